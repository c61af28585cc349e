// Lines, arcs, circles, rounded rectangles and convex polygons. Pixel centres
// sit on whole coordinates. Every shape visits at most the rows and columns
// of the bitmap, however large its coordinates, and paints each pixel once.
#include <algorithm>
#include <climits>
#include <cmath>

#include "lice/lice.h"
#include "lice/lice_paint.h"

using namespace lice_detail;

namespace
{
const double kTwoPi = 6.283185307179586;

long long clampToLong(double v)
{
  const double limit = 4.0e18;
  return v != v ? 0 : v < -limit ? -(long long)limit : v > limit ? (long long)limit : (long long)v;
}
long long ceilToLong(double v)
{
  return clampToLong(std::ceil(v));
}
long long floorToLong(double v)
{
  return clampToLong(std::floor(v));
}

// Paints pixels of one colour as LICE_FillRect would, clipped to the bitmap;
// partly covered pixels get alpha scaled by their coverage.
class ShapePainter
{
public:
  ShapePainter(LICE_IBitmap* bm, LICE_pixel color, float alpha, int mode)
      : m_color(color), m_alpha(alpha), m_mode(mode),
        m_full(SolidPaint::forFill(color, alpha, mode))
  {
    if (!hasPixels(bm)) return;
    m_rows = rowsOf(bm);
    m_width = bm->getWidth();
    m_height = bm->getHeight();
  }

  bool drawsNothing() const { return m_width <= 0 || m_height <= 0 || m_full.drawsNothing(); }
  int width() const { return m_width; }
  int height() const { return m_height; }

  // Pixels x0 ... x1 of row y.
  void span(long long x0, long long x1, long long y) const
  {
    if (y < 0 || y >= m_height) return;
    if (x0 < 0) x0 = 0;
    if (x1 >= m_width) x1 = m_width - 1;
    if (x1 >= x0) m_full.paintRow(m_rows.row(int(y)) + x0, int(x1 - x0 + 1));
  }

  void plot(long long x, long long y, double coverage) const
  {
    if (coverage <= 0.0 || x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    LICE_pixel* p = m_rows.row(int(y)) + x;
    if (coverage >= 1.0)
      m_full.paintRow(p, 1);
    else
      SolidPaint::forFill(m_color, float(m_alpha * coverage), m_mode).paintRow(p, 1);
  }

private:
  LICE_pixel m_color;
  float m_alpha;
  int m_mode;
  SolidPaint m_full;
  Rows m_rows;
  int m_width = 0, m_height = 0;
};

// The pixels of a one-pixel ring of radius r about (cx, cy) within the box
// [bx0, bx1] x [by0, by1], for which accept(x, y) holds. Anti-aliased, a pixel
// at distance d from the centre has coverage 1 - |d - r|; otherwise it is
// drawn when r - 0.5 <= d < r + 0.5.
template <class Accept>
void drawRing(const ShapePainter& p, double cx, double cy, double r, bool aa, long long bx0,
              long long by0, long long bx1, long long by1, Accept&& accept)
{
  const double outer = r + (aa ? 1.0 : 0.5), inner = r - (aa ? 1.0 : 0.5);
  if (bx0 < 0) bx0 = 0;
  if (by0 < 0) by0 = 0;
  if (bx1 >= p.width()) bx1 = p.width() - 1;
  if (by1 >= p.height()) by1 = p.height() - 1;
  const long long yFirst = ceilToLong(cy - outer), yLast = floorToLong(cy + outer);
  auto visit = [&](long long x0, long long x1, long long y, double dy)
  {
    if (x0 < bx0) x0 = bx0;
    if (x1 > bx1) x1 = bx1;
    for (long long x = x0; x <= x1; ++x)
    {
      const double d = std::sqrt((x - cx) * (x - cx) + dy * dy);
      const double coverage = aa ? 1.0 - std::fabs(d - r) : (d >= inner && d < outer ? 1.0 : 0.0);
      if (coverage > 0.0 && accept(x, y)) p.plot(x, y, coverage);
    }
  };
  for (long long y = yFirst < by0 ? by0 : yFirst; y <= yLast && y <= by1; ++y)
  {
    const double dy = y - cy;
    if (std::fabs(dy) > outer) continue;
    const double xo = std::sqrt(outer * outer - dy * dy);
    const double xi = inner > 0 && std::fabs(dy) < inner ? std::sqrt(inner * inner - dy * dy) : 0.0;
    const long long leftEnd = floorToLong(cx - xi);
    visit(ceilToLong(cx - xo), leftEnd, y, dy);
    const long long rightStart = ceilToLong(cx + xi);
    visit(rightStart > leftEnd ? rightStart : leftEnd + 1, floorToLong(cx + xo), y, dy);
  }
}

// Exact floor and ceiling of num / den for den > 0.
long long floorDiv(__int128 num, __int128 den)
{
  __int128 q = num / den;
  if (q * den > num) --q;
  return (long long)q;
}
long long ceilDiv(__int128 num, __int128 den)
{
  return -floorDiv(-num, den);
}
} // namespace

void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha,
               int mode, bool aa)
{
  const ShapePainter p(dest, color, alpha, mode);
  if (p.drawsNothing()) return;
  const long long dx = (long long)x2 - x1, dy = (long long)y2 - y1;
  const bool alongX = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  if (dy == 0) return p.span(x1 < x2 ? x1 : x2, x1 < x2 ? x2 : x1, y1);
  // Step along the major axis over the part of it inside the bitmap.
  const long long a1 = alongX ? x1 : y1, a2 = alongX ? x2 : y2, b1 = alongX ? y1 : x1;
  const double slope = alongX ? double(dy) / double(dx) : double(dx) / double(dy);
  const long long limit = (alongX ? p.width() : p.height()) - 1;
  long long from = a1 < a2 ? a1 : a2, to = a1 < a2 ? a2 : a1;
  if (from < 0) from = 0;
  if (to > limit) to = limit;
  for (long long a = from; a <= to; ++a)
  {
    const double b = b1 + (a - a1) * slope;
    auto plot = [&](long long minor, double coverage)
    {
      if (alongX)
        p.plot(a, minor, coverage);
      else
        p.plot(minor, a, coverage);
    };
    if (!aa)
    {
      plot(floorToLong(b + 0.5), 1.0);
      continue;
    }
    const double lower = std::floor(b), frac = b - lower;
    plot(clampToLong(lower), 1.0 - frac);
    plot(clampToLong(lower) + 1, frac);
  }
}

void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
              LICE_pixel color, float alpha, int mode, bool aa)
{
  const ShapePainter p(dest, color, alpha, mode);
  if (p.drawsNothing() || !(r >= 0.0f) || !std::isfinite(cx) || !std::isfinite(cy)) return;
  double start = minAngle, sweep = double(maxAngle) - minAngle;
  if (sweep < 0) start = maxAngle, sweep = -sweep;
  if (!std::isfinite(start) || !(sweep == sweep)) return;
  const bool whole = sweep >= kTwoPi;
  drawRing(p, cx, cy, r, aa, 0, 0, LLONG_MAX, LLONG_MAX,
           [&](long long x, long long y)
           {
             if (whole) return true;
             // 0 straight up, growing clockwise (y grows downwards).
             double t = std::fmod(std::atan2(x - double(cx), double(cy) - y) - start, kTwoPi);
             if (t < 0) t += kTwoPi;
             return t <= sweep;
           });
}

void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha,
                 int mode, bool aa)
{
  LICE_Arc(dest, cx, cy, r, 0.0f, float(kTwoPi), color, alpha, mode, aa);
}

void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha,
                     int mode, bool aa)
{
  const ShapePainter p(dest, color, alpha, mode);
  if (p.drawsNothing() || !(r >= 0.0f) || !std::isfinite(cx) || !std::isfinite(cy)) return;
  // Anti-aliased, pixels within r - 0.5 are full and those out to r + 0.5
  // are covered by r + 0.5 - d; otherwise a pixel is in when d <= r.
  const double full = aa ? r - 0.5 : r, outer = aa ? r + 0.5 : r;
  long long y0 = ceilToLong(cy - outer), y1 = floorToLong(cy + outer);
  if (y0 < 0) y0 = 0;
  if (y1 >= p.height()) y1 = p.height() - 1;
  for (long long y = y0; y <= y1; ++y)
  {
    const double dy = y - cy;
    if (std::fabs(dy) > outer) continue;
    const double ho = std::sqrt(outer * outer - dy * dy);
    long long inL = 1, inR = 0; // the fully covered span, empty until found
    if (full >= 0 && std::fabs(dy) <= full)
    {
      const double hi = std::sqrt(full * full - dy * dy);
      inL = ceilToLong(cx - hi);
      inR = floorToLong(cx + hi);
      p.span(inL, inR, y);
    }
    if (!aa) continue;
    long long x0 = ceilToLong(cx - ho), x1 = floorToLong(cx + ho);
    if (x0 < 0) x0 = 0;
    if (x1 >= p.width()) x1 = p.width() - 1;
    for (long long x = x0; x <= x1; ++x)
    {
      if (x >= inL && x <= inR) x = inR + 1;
      if (x > x1) break;
      const double d = std::sqrt((x - cx) * (x - cx) + dy * dy);
      p.plot(x, y, r + 0.5 - d);
    }
  }
}

void LICE_RoundRect(LICE_IBitmap* dest, int x, int y, int w, int h, int cornerradius,
                    LICE_pixel color, float alpha, int mode, bool aa)
{
  const ShapePainter p(dest, color, alpha, mode);
  if (p.drawsNothing() || w <= 0 || h <= 0) return;
  const long long left = x, top = y, right = (long long)x + w - 1, bottom = (long long)y + h - 1;
  long long r = cornerradius < 0 ? 0 : cornerradius;
  if (r > (w - 1) / 2) r = (w - 1) / 2;
  if (r > (h - 1) / 2) r = (h - 1) / 2;

  p.span(left + r, right - r, top);
  if (bottom > top) p.span(left + r, right - r, bottom);
  // Sides without the rows the top and bottom edges already drew.
  const long long sideTop = r > 0 ? top + r : top + 1, sideBottom = r > 0 ? bottom - r : bottom - 1;
  long long y0 = sideTop < 0 ? 0 : sideTop,
            y1 = sideBottom >= p.height() ? p.height() - 1 : sideBottom;
  for (long long row = y0; row <= y1; ++row)
  {
    p.plot(left, row, 1.0);
    if (right > left) p.plot(right, row, 1.0);
  }
  if (r == 0) return;
  // Quarter circles, each only beyond the ends of the straight edges.
  auto always = [](long long, long long) { return true; };
  drawRing(p, double(left + r), double(top + r), double(r), aa, left, top, left + r - 1,
           top + r - 1, always);
  drawRing(p, double(right - r), double(top + r), double(r), aa, right - r + 1, top, right,
           top + r - 1, always);
  drawRing(p, double(left + r), double(bottom - r), double(r), aa, left, bottom - r + 1,
           left + r - 1, bottom, always);
  drawRing(p, double(right - r), double(bottom - r), double(r), aa, right - r + 1, bottom - r + 1,
           right, bottom, always);
}

void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints,
                            LICE_pixel color, float alpha, int mode)
{
  const ShapePainter p(dest, color, alpha, mode);
  if (p.drawsNothing() || !x || !y || npoints < 1) return;
  long long yMin = y[0], yMax = y[0];
  for (int i = 1; i < npoints; ++i)
  {
    if (y[i] < yMin) yMin = y[i];
    if (y[i] > yMax) yMax = y[i];
  }
  if (yMin < 0) yMin = 0;
  if (yMax >= p.height()) yMax = p.height() - 1;
  for (long long row = yMin; row <= yMax; ++row)
  {
    // The leftmost and rightmost pixel centres on the outline in this row.
    long long from = LLONG_MAX, to = LLONG_MIN;
    for (int i = 0; i < npoints; ++i)
    {
      const int j = i + 1 < npoints ? i + 1 : 0;
      const long long xa = x[i], ya = y[i], xb = x[j], yb = y[j];
      if (row < (ya < yb ? ya : yb) || row > (ya < yb ? yb : ya)) continue;
      if (ya == yb)
      {
        from = std::min(from, std::min(xa, xb));
        to = std::max(to, std::max(xa, xb));
        continue;
      }
      // x = xa + (row - ya) * (xb - xa) / (yb - ya), exactly.
      const __int128 den = yb > ya ? yb - ya : ya - yb;
      const __int128 num =
          (__int128)xa * den + (__int128)(row - ya) * (xb - xa) * (yb > ya ? 1 : -1);
      from = std::min(from, ceilDiv(num, den));
      to = std::max(to, floorDiv(num, den));
    }
    if (from <= to) p.span(from, to, row);
  }
}

void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                       LICE_pixel color, float alpha, int mode)
{
  const int xs[3] = {x1, x2, x3}, ys[3] = {y1, y2, y3};
  LICE_FillConvexPolygon(dest, xs, ys, 3, color, alpha, mode);
}
