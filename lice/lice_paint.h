// Helpers shared by the raster functions: row addressing, clipping to a
// bitmap, and painting one constant colour the way fills and pixels do.
#pragma once

#include <cstddef>

#include "lice/lice_dispatch.h"

namespace lice_detail
{
// The rows of a bitmap in top-to-bottom order, whether or not it is flipped.
struct Rows
{
  LICE_pixel* top = nullptr;
  ptrdiff_t step = 0;
  LICE_pixel* row(int y) const { return top + y * step; }
};
Rows rowsOf(LICE_IBitmap* bm);

struct PixelRect
{
  int x = 0, y = 0, w = 0, h = 0;
};

// The part of (x, y, w, h) inside the bitmap; false when nothing is left.
bool clipToBitmap(LICE_IBitmap* bm, long long x, long long y, long long w, long long h,
                  PixelRect* out);

// Bitmap usable for drawing: non-null, with pixels and a positive row span.
bool hasPixels(LICE_IBitmap* bm);

// One colour painted over destination pixels.
class SolidPaint
{
public:
  // LICE_FillRect's rules: with LICE_BLIT_USE_ALPHA the colour's A scales
  // alpha; copies at 25, 50, 75 and 100 % use shifted words; anything else
  // combines the colour's R, G, B with source A and weight trunc(alpha x 256).
  static SolidPaint forFill(LICE_pixel color, float alpha, int mode);
  // LICE_PutPixel's rules: as a fill, but the source A is the colour's own and
  // the source-alpha bit is not honoured.
  static SolidPaint forPixel(LICE_pixel color, float alpha, int mode);

  bool drawsNothing() const { return m_kind == Kind::None; }
  void paintRow(LICE_pixel* row, int n) const;
  void paintRect(LICE_IBitmap* bm, const PixelRect& r) const;

private:
  enum class Kind
  {
    None,
    Set,
    Quarter,
    Half,
    ThreeQuarter,
    Combined
  };
  static SolidPaint build(LICE_pixel color, int weight, int mode, int sourceA);

  Kind m_kind = Kind::None;
  LICE_pixel m_color = 0;
  LICE_pixel m_colorTerm = 0; // the colour's share in the shifted-word paths
  Combine m_combine = Combine::None;
  int m_r = 0, m_g = 0, m_b = 0, m_a = 0, m_weight = 0;
};
} // namespace lice_detail
