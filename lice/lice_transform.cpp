// Scaled and rotated blits. Each destination pixel centre is mapped back into
// the source and sampled there (nearest pixel, or bilinear with
// LICE_BLIT_FILTER_BILINEAR), then combined with the clamping combiners.
#include <climits>
#include <cmath>

#include "lice/lice.h"
#include "lice/lice_paint.h"

using namespace lice_detail;

namespace
{
// Source pixels a sample may use: [x0, x1) x [y0, y1).
struct Window
{
  int x0, y0, x1, y1;
  bool empty() const { return x1 <= x0 || y1 <= y0; }
  bool contains(double u, double v) const { return u >= x0 && u < x1 && v >= y0 && v < y1; }
  int clampX(int x) const { return x < x0 ? x0 : x >= x1 ? x1 - 1 : x; }
  int clampY(int y) const { return y < y0 ? y0 : y >= y1 ? y1 - 1 : y; }
};

int clampToInt(double v)
{
  return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : int(v);
}

// The source rectangle (either way round) within the bitmap.
Window windowOf(LICE_IBitmap* src, double x, double y, double w, double h)
{
  const double left = std::floor(w < 0 ? x + w : x), top = std::floor(h < 0 ? y + h : y);
  const double right = std::ceil(w < 0 ? x : x + w), bottom = std::ceil(h < 0 ? y : y + h);
  Window win{clampToInt(left), clampToInt(top), clampToInt(right), clampToInt(bottom)};
  if (win.x0 < 0) win.x0 = 0;
  if (win.y0 < 0) win.y0 = 0;
  if (win.x1 > src->getWidth()) win.x1 = src->getWidth();
  if (win.y1 > src->getHeight()) win.y1 = src->getHeight();
  return win;
}

class Sampler
{
public:
  Sampler(LICE_IBitmap* src, const Window& win, bool bilinear)
      : m_rows(rowsOf(src)), m_win(win), m_bilinear(bilinear)
  {
  }

  // The source at (u, v), pixel centres at half coordinates.
  LICE_pixel at(double u, double v) const { return m_bilinear ? filtered(u, v) : nearest(u, v); }

private:
  LICE_pixel pixel(int x, int y) const { return m_rows.row(m_win.clampY(y))[m_win.clampX(x)]; }

  LICE_pixel nearest(double u, double v) const
  {
    return pixel(clampToInt(std::floor(u)), clampToInt(std::floor(v)));
  }

  LICE_pixel filtered(double u, double v) const
  {
    const double fu = std::floor(u - 0.5), fv = std::floor(v - 0.5);
    const int x = clampToInt(fu), y = clampToInt(fv);
    const int fx = int((u - 0.5 - fu) * 256.0), fy = int((v - 0.5 - fv) * 256.0);
    const LICE_pixel p00 = pixel(x, y), p01 = pixel(x + 1, y);
    const LICE_pixel p10 = pixel(x, y + 1), p11 = pixel(x + 1, y + 1);
    LICE_pixel out = 0;
    for (int shift = 0; shift < 32; shift += 8)
    {
      auto c = [shift](LICE_pixel p) { return int((p >> shift) & 255); };
      const int top = c(p00) * (256 - fx) + c(p01) * fx;
      const int bottom = c(p10) * (256 - fx) + c(p11) * fx;
      out |= LICE_pixel((top * (256 - fy) + bottom * fy) >> 16) << shift;
    }
    return out;
  }

  Rows m_rows;
  Window m_win;
  bool m_bilinear;
};

// Calls source(x + 0.5, y + 0.5, &u, &v) for every destination pixel of the
// area and combines the sample at (u, v) when source() returns true.
template <class Map>
void drawMapped(LICE_IBitmap* dest, const PixelRect& area, const Sampler& sampler, float alpha,
                int mode, Map&& source)
{
  const int weight = weightFromScaledAlpha(alpha * 256.0f);
  if (weight == 0) return;
  const Rows rows = rowsOf(dest);
  withCombiner<true>(blitCombine(mode, weight),
                     [&](auto tag)
                     {
                       using C = typename decltype(tag)::type;
                       for (int y = area.y; y < area.y + area.h; ++y)
                       {
                         LICE_pixel* row = rows.row(y);
                         for (int x = area.x; x < area.x + area.w; ++x)
                         {
                           double u, v;
                           if (source(x + 0.5, y + 0.5, &u, &v))
                             row[x] = combineWord<C>(row[x], sampler.at(u, v), weight);
                         }
                       }
                     });
}

// The destination rectangle (either way round) within the bitmap.
bool destinationArea(LICE_IBitmap* dest, int x, int y, int w, int h, PixelRect* area)
{
  const long long left = w < 0 ? (long long)x + w : x, top = h < 0 ? (long long)y + h : y;
  return clipToBitmap(dest, left, top, w < 0 ? -(long long)w : w, h < 0 ? -(long long)h : h, area);
}

bool nearWhole(double v, double tolerance)
{
  return std::fabs(v - std::floor(v + 0.5)) < tolerance;
}
} // namespace

void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                     float srcx, float srcy, float srcw, float srch, float alpha, int mode)
{
  if (!hasPixels(dest) || !hasPixels(src) || dstw == 0 || dsth == 0 || alpha == 0.0f) return;
  const bool bilinear = (mode & LICE_BLIT_FILTER_BILINEAR) != 0;
  const bool sameSize =
      dstw > 0 && dsth > 0 && std::fabs(srcw - dstw) < 0.001 && std::fabs(srch - dsth) < 0.001;
  if (sameSize && (!bilinear || (nearWhole(srcx, 0.03) && nearWhole(srcy, 0.03))))
    return LICE_Blit(dest, src, dstx, dsty, clampToInt(std::floor(srcx + 0.5)),
                     clampToInt(std::floor(srcy + 0.5)), dstw, dsth, alpha, mode);

  PixelRect area;
  const Window win = windowOf(src, srcx, srcy, srcw, srch);
  if (win.empty() || !destinationArea(dest, dstx, dsty, dstw, dsth, &area)) return;
  const double scaleX = double(srcw) / dstw, scaleY = double(srch) / dsth;
  drawMapped(dest, area, Sampler(src, win, bilinear), alpha, mode,
             [&](double x, double y, double* u, double* v)
             {
               *u = srcx + (x - dstx) * scaleX;
               *v = srcy + (y - dsty) * scaleY;
               return true;
             });
}

void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                      float srcx, float srcy, float srcw, float srch, float angle,
                      bool cliptosourcerect, float alpha, int mode, float rotxcent, float rotycent)
{
  if (!hasPixels(dest) || !hasPixels(src) || dstw == 0 || dsth == 0 || alpha == 0.0f) return;
  PixelRect area;
  const Window win = cliptosourcerect ? windowOf(src, srcx, srcy, srcw, srch)
                                      : Window{0, 0, src->getWidth(), src->getHeight()};
  if (win.empty() || !destinationArea(dest, dstx, dsty, dstw, dsth, &area)) return;

  // The rotation centre in the destination and the source point it shows.
  const double scaleX = double(srcw) / dstw, scaleY = double(srch) / dsth;
  const double cx = dstx + dstw * 0.5 + rotxcent, cy = dsty + dsth * 0.5 + rotycent;
  const double scx = srcx + srcw * 0.5 + rotxcent * scaleX;
  const double scy = srcy + srch * 0.5 + rotycent * scaleY;
  const double c = std::cos(double(angle)), s = std::sin(double(angle));
  drawMapped(dest, area, Sampler(src, win, (mode & LICE_BLIT_FILTER_BILINEAR) != 0), alpha, mode,
             [&](double x, double y, double* u, double* v)
             {
               const double dx = x - cx, dy = y - cy;
               *u = scx + (dx * c + dy * s) * scaleX;
               *v = scy + (dy * c - dx * s) * scaleY;
               return win.contains(*u, *v);
             });
}
