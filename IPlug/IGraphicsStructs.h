#pragma once

// Small value records of the editor framework: rectangles, colours, blends,
// mouse modifiers, bitmaps and text styles, the named colours, and the three
// functions that map colours and blends onto the raster layer's words.
// Plain values, copied freely; any thread may use them.

#include <algorithm>
#include <cstring>

#include "lice/lice.h"

class LICE_IFont;

// A loaded bitmap: the raster bitmap (owned by the bitmap cache), the size of
// the whole strip and the number of frames stacked vertically in it.
struct IBitmap
{
  LICE_IBitmap* mData = nullptr;
  int W = 0, H = 0, N = 0;

  IBitmap() = default;
  IBitmap(LICE_IBitmap* data, int w, int h, int n = 1) : mData(data), W(w), H(h), N(n) {}

  // Height of one frame; 0 when there are no frames.
  int FrameHeight() const { return N > 0 ? H / N : 0; }
};

struct IColor
{
  int A = 0, R = 0, G = 0, B = 0;

  IColor() = default;
  IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
  bool operator!=(const IColor& o) const { return !(*this == o); }
};

extern const IColor COLOR_TRANSPARENT, COLOR_BLACK, COLOR_GRAY, COLOR_WHITE, COLOR_RED, COLOR_GREEN,
    COLOR_BLUE, COLOR_YELLOW, COLOR_ORANGE;
#define DEFAULT_TEXT_COLOR COLOR_BLACK

struct IChannelBlend
{
  enum EBlendMethod
  {
    kBlendNone = 0,
    kBlendClobber = 1,
    kBlendAdd = 2,
    kBlendColorDodge = 3
  };
  EBlendMethod mMethod;
  float mWeight;

  IChannelBlend(EBlendMethod method = kBlendNone, float weight = 1.0f)
      : mMethod(method), mWeight(weight)
  {
  }
};

// Buttons and modifier keys held during a mouse event: left, right, Shift,
// Control, Alt. Control or Shift asks for fine adjustment.
struct IMouseMod
{
  bool L, R, S, C, A;
  IMouseMod(bool l = false, bool r = false, bool s = false, bool c = false, bool a = false)
      : L(l), R(r), S(s), C(c), A(a)
  {
  }
  bool Fine() const { return C || S; }
};

// Text style. mSize is the wanted line height in pixels; mCached is borrowed
// from the process-wide font cache once the style has been drawn.
struct IText
{
  enum EStyle
  {
    kStyleNormal = 0,
    kStyleBold = 1,
    kStyleItalic = 2
  };
  enum EAlign
  {
    kAlignNear = 0,
    kAlignCenter = 1,
    kAlignFar = 2
  };
  enum EQuality
  {
    kQualityDefault = 0,
    kQualityNonAntiAliased = 1,
    kQualityAntiAliased = 2,
    kQualityClearType = 3
  };
  static constexpr int kFontLen = 32;
  static constexpr const char* kDefaultFont = "Monaco";

  char mFont[kFontLen];
  int mSize;
  IColor mColor;
  EStyle mStyle;
  EAlign mAlign;
  int mOrientation; // degrees
  EQuality mQuality;
  LICE_IFont* mCached = nullptr;

  // A null colour is DEFAULT_TEXT_COLOR, a null font kDefaultFont.
  IText(int size = 10, const IColor* color = nullptr, const char* font = nullptr,
        EStyle style = kStyleNormal, EAlign align = kAlignCenter, int orientation = 0,
        EQuality quality = kQualityDefault);
};

// Integer rectangle, origin top-left, right and bottom exclusive. The all-zero
// rectangle is the empty one.
struct IRECT
{
  int L = 0, T = 0, R = 0, B = 0;

  IRECT() = default;
  IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}
  // One frame of the bitmap placed at (x, y).
  IRECT(int x, int y, const IBitmap* bitmap)
      : L(x), T(y), R(x + bitmap->W), B(y + bitmap->FrameHeight())
  {
  }

  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRECT& o) const { return !(*this == o); }

  int W() const { return R - L; }
  int H() const { return B - T; }
  float MW() const { return 0.5f * float(L + R); }
  float MH() const { return 0.5f * float(T + B); }

  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  bool Contains(int x, int y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }
  // A rectangle ending exactly where the other begins (R == other.L or
  // B == other.T) counts as intersecting; one beginning where the other ends
  // does not.
  bool Intersects(const IRECT* other) const
  {
    if (Empty() || other->Empty()) return false;
    return !(R < other->L || L >= other->R || B < other->T || T >= other->B);
  }
  IRECT Intersect(const IRECT* other) const
  {
    if (!Intersects(other)) return IRECT();
    return IRECT(std::max(L, other->L), std::max(T, other->T), std::min(R, other->R),
                 std::min(B, other->B));
  }
  IRECT Union(const IRECT* other) const
  {
    if (Empty()) return *other;
    if (other->Empty()) return *this;
    return IRECT(std::min(L, other->L), std::min(T, other->T), std::max(R, other->R),
                 std::max(B, other->B));
  }
};

// What a file dialog is for.
enum EFileAction
{
  kFileOpen = 0,
  kFileSave = 1
};

// Mapping onto the raster layer.
LICE_pixel LiceColor(const IColor* color);
float LiceWeight(const IChannelBlend* blend);
int LiceBlendMode(const IChannelBlend* blend);
// The colour of a pixel word.
IColor ColorFromLice(LICE_pixel pixel);
