// The editor's drawing operations over the raster layer, the named colours and
// the mapping of colours and blends onto raster words.

#include <cmath>

#include "IPlug/IGraphics.h"

const IColor COLOR_TRANSPARENT(0, 0, 0, 0);
const IColor COLOR_BLACK(255, 0, 0, 0);
const IColor COLOR_GRAY(255, 127, 127, 127);
const IColor COLOR_WHITE(255, 255, 255, 255);
const IColor COLOR_RED(255, 255, 0, 0);
const IColor COLOR_GREEN(255, 0, 255, 0);
const IColor COLOR_BLUE(255, 0, 0, 255);
const IColor COLOR_YELLOW(255, 255, 255, 0);
const IColor COLOR_ORANGE(255, 255, 127, 0);

IText::IText(int size, const IColor* color, const char* font, EStyle style, EAlign align,
             int orientation, EQuality quality)
    : mSize(size), mColor(color ? *color : DEFAULT_TEXT_COLOR), mStyle(style), mAlign(align),
      mOrientation(orientation), mQuality(quality)
{
  std::memset(mFont, 0, sizeof(mFont));
  std::strncpy(mFont, font ? font : kDefaultFont, kFontLen - 1);
}

LICE_pixel LiceColor(const IColor* color)
{
  return LICE_RGBA(color->R, color->G, color->B, color->A);
}

IColor ColorFromLice(LICE_pixel pixel)
{
  return IColor(LICE_GETA(pixel), LICE_GETR(pixel), LICE_GETG(pixel), LICE_GETB(pixel));
}

float LiceWeight(const IChannelBlend* blend)
{
  return blend ? blend->mWeight : 1.0f;
}

int LiceBlendMode(const IChannelBlend* blend)
{
  if (!blend) return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
  switch (blend->mMethod)
  {
  case IChannelBlend::kBlendClobber:
    return LICE_BLIT_MODE_COPY;
  case IChannelBlend::kBlendAdd:
    return LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
  case IChannelBlend::kBlendColorDodge:
    return LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;
  case IChannelBlend::kBlendNone:
  default:
    return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
  }
}

// ---- Bitmaps ---------------------------------------------------------------

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY,
                           const IChannelBlend* blend)
{
  const IRECT r = dest->Intersect(&mDrawRECT);
  srcX += r.L - dest->L;
  srcY += r.T - dest->T;
  LICE_Blit(mDrawBitmap, bitmap->mData, r.L, r.T, srcX, srcY, r.W(), r.H(), LiceWeight(blend),
            LiceBlendMode(blend));
  return true;
}

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int frame, const IChannelBlend* blend)
{
  int srcY = 0;
  if (bitmap->N > 1 && frame > 1)
    srcY = int(0.5 + double(bitmap->H) * double(frame - 1) / double(bitmap->N));
  return DrawBitmap(bitmap, dest, 0, srcY, blend);
}

bool IGraphics::DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle,
                                  int yOffsetZeroDeg, const IChannelBlend* blend)
{
  const int W = bitmap->W, H = bitmap->H;
  LICE_RotatedBlit(mDrawBitmap, bitmap->mData, destCtrX - W / 2, destCtrY - H / 2, W, H, 0.0f, 0.0f,
                   float(W), float(H), float(angle), false, LiceWeight(blend),
                   LiceBlendMode(blend) | LICE_BLIT_FILTER_BILINEAR, 0.0f, float(yOffsetZeroDeg));
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y,
                                double angle, const IChannelBlend* blend)
{
  if (!mScratchBitmap) mScratchBitmap = new LICE_MemBitmap();
  const int W = base->W, H = base->H;
  LICE_Copy(mScratchBitmap, base->mData);
  LICE_ClearRect(mScratchBitmap, 0, 0, W, H, 0xFFFFFF00, 0);
  const float radians = float(angle * 3.141592653589793 / 180.0);
  const float xOffset = (W % 2) ? -0.5f : 0.0f;
  LICE_RotatedBlit(mScratchBitmap, mask->mData, 0, 0, W, H, 0.0f, 0.0f, float(W), float(H), radians,
                   true, 1.0f, LICE_BLIT_MODE_ADD | LICE_BLIT_FILTER_BILINEAR | LICE_BLIT_USE_ALPHA,
                   xOffset, 0.0f);
  LICE_RotatedBlit(
      mScratchBitmap, top->mData, 0, 0, W, H, 0.0f, 0.0f, float(W), float(H), radians, true, 1.0f,
      LICE_BLIT_MODE_COPY | LICE_BLIT_FILTER_BILINEAR | LICE_BLIT_USE_ALPHA, xOffset, 0.0f);
  const IRECT area(x, y, x + W, y + H);
  const IRECT r = area.Intersect(&mDrawRECT);
  LICE_Blit(mDrawBitmap, mScratchBitmap, r.L, r.T, r.L - x, r.T - y, r.W(), r.H(),
            LiceWeight(blend), LiceBlendMode(blend));
  return true;
}

// ---- Pixels, lines and shapes ------------------------------------------------

bool IGraphics::DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend, bool)
{
  LICE_PutPixel(mDrawBitmap, int(x + 0.5f), int(y + 0.5f), LiceColor(color), LiceWeight(blend),
                LiceBlendMode(blend));
  return true;
}

bool IGraphics::ForcePixel(const IColor* color, int x, int y)
{
  LICE_pixel* bits = GetBits();
  if (!bits || x < 0 || y < 0 || x >= mDrawBitmap->getWidth() || y >= mDrawBitmap->getHeight())
    return true;
  bits[x + y * mDrawBitmap->getRowSpan()] = LiceColor(color);
  return true;
}

bool IGraphics::DrawLine(const IColor* color, float x1, float y1, float x2, float y2,
                         const IChannelBlend* blend, bool antiAlias)
{
  LICE_Line(mDrawBitmap, int(x1), int(y1), int(x2), int(y2), LiceColor(color), LiceWeight(blend),
            LiceBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin,
                               float rMax, const IChannelBlend* blend, bool antiAlias)
{
  const float s = std::sin(angle), c = std::cos(angle);
  return DrawLine(color, cx + rMin * s, cy - rMin * c, cx + rMax * s, cy - rMax * c, blend,
                  antiAlias);
}

bool IGraphics::DrawHorizontalLine(const IColor* color, int y, int x1, int x2)
{
  LICE_Line(mDrawBitmap, x1, y, x2, y, LiceColor(color), 1.0f, LICE_BLIT_MODE_COPY, false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, int x, int y1, int y2)
{
  LICE_Line(mDrawBitmap, x, y1, x, y2, LiceColor(color), 1.0f, LICE_BLIT_MODE_COPY, false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* color, IRECT* rect, float yFrac)
{
  yFrac = std::min(std::max(yFrac, 0.0f), 1.0f);
  const int y = rect->B - int(float(rect->B - rect->T) * yFrac);
  return DrawHorizontalLine(color, y, rect->L, rect->R);
}

bool IGraphics::DrawVerticalLine(const IColor* color, IRECT* rect, float xFrac)
{
  xFrac = std::min(std::max(xFrac, 0.0f), 1.0f);
  const int x = rect->L + int(float(rect->R - rect->L) * xFrac);
  return DrawVerticalLine(color, x, rect->T, rect->B);
}

bool IGraphics::DrawRect(const IColor* color, IRECT* rect)
{
  DrawHorizontalLine(color, rect->T, rect->L, rect->R);
  DrawHorizontalLine(color, rect->B, rect->L, rect->R);
  DrawVerticalLine(color, rect->L, rect->T, rect->B);
  DrawVerticalLine(color, rect->R, rect->T, rect->B);
  return true;
}

bool IGraphics::DrawArc(const IColor* color, float cx, float cy, float r, float minAngle,
                        float maxAngle, const IChannelBlend* blend, bool antiAlias)
{
  LICE_Arc(mDrawBitmap, cx, cy, r, minAngle, maxAngle, LiceColor(color), LiceWeight(blend),
           LiceBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::DrawCircle(const IColor* color, float cx, float cy, float r,
                           const IChannelBlend* blend, bool antiAlias)
{
  LICE_Circle(mDrawBitmap, cx, cy, r, LiceColor(color), LiceWeight(blend), LiceBlendMode(blend),
              antiAlias);
  return true;
}

bool IGraphics::FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend,
                           bool antiAlias)
{
  LICE_FillCircle(mDrawBitmap, float(cx), float(cy), r, LiceColor(color), LiceWeight(blend),
                  LiceBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::FillIRect(const IColor* color, IRECT* rect, const IChannelBlend* blend)
{
  LICE_FillRect(mDrawBitmap, rect->L, rect->T, rect->W(), rect->H(), LiceColor(color),
                LiceWeight(blend), LiceBlendMode(blend));
  return true;
}

bool IGraphics::RoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend,
                          int cornerRadius, bool antiAlias)
{
  LICE_RoundRect(mDrawBitmap, rect->L, rect->T, rect->W(), rect->H(), cornerRadius,
                 LiceColor(color), LiceWeight(blend), LiceBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                             IChannelBlend* blend)
{
  LICE_FillTriangle(mDrawBitmap, x1, y1, x2, y2, x3, y3, LiceColor(color), LiceWeight(blend),
                    LiceBlendMode(blend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* color, int* x, int* y, int nPoints,
                                   const IChannelBlend* blend)
{
  LICE_FillConvexPolygon(mDrawBitmap, x, y, nPoints, LiceColor(color), LiceWeight(blend),
                         LiceBlendMode(blend));
  return true;
}

IColor IGraphics::GetPoint(int x, int y)
{
  return ColorFromLice(LICE_GetPixel(mDrawBitmap, x, y));
}
