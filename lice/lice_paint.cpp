#include "lice/lice_paint.h"

#include "lice/lice_kernels.h"

namespace lice_detail
{
namespace
{
const LICE_pixel kHalfMask = 0x7f7f7f7f;
const LICE_pixel kQuarterMask = 0x3f3f3f3f;

LICE_pixel half(LICE_pixel p)
{
  return (p >> 1) & kHalfMask;
}
LICE_pixel quarter(LICE_pixel p)
{
  return (p >> 2) & kQuarterMask;
}
} // namespace

Rows rowsOf(LICE_IBitmap* bm)
{
  Rows rows;
  rows.top = bm->getBits();
  rows.step = bm->getRowSpan();
  if (bm->isFlipped() && bm->getHeight() > 0)
  {
    rows.top += (bm->getHeight() - 1) * rows.step;
    rows.step = -rows.step;
  }
  return rows;
}

bool hasPixels(LICE_IBitmap* bm)
{
  return bm && bm->getBits() && bm->getRowSpan() > 0;
}

bool clipToBitmap(LICE_IBitmap* bm, long long x, long long y, long long w, long long h,
                  PixelRect* out)
{
  long long x1 = x + w, y1 = y + h;
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  if (x1 > bm->getWidth()) x1 = bm->getWidth();
  if (y1 > bm->getHeight()) y1 = bm->getHeight();
  if (x1 <= x || y1 <= y) return false;
  out->x = int(x);
  out->y = int(y);
  out->w = int(x1 - x);
  out->h = int(y1 - y);
  return true;
}

SolidPaint SolidPaint::forFill(LICE_pixel color, float alpha, int mode)
{
  if (mode & LICE_BLIT_USE_ALPHA) alpha *= LICE_GETA(color) / 255.0f;
  if (alpha == 0.0f) return SolidPaint();
  const int v = weightFromScaledAlpha(alpha * 256.0);
  return build(color, v, mode, v);
}

SolidPaint SolidPaint::forPixel(LICE_pixel color, float alpha, int mode)
{
  return build(color, weightFromScaledAlpha(alpha * 256.0f), mode, LICE_GETA(color));
}

SolidPaint SolidPaint::build(LICE_pixel color, int weight, int mode, int sourceA)
{
  SolidPaint p;
  p.m_color = color;
  if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)
  {
    switch (weight)
    {
    case 256:
      p.m_kind = Kind::Set;
      return p;
    case 192:
      p.m_kind = Kind::ThreeQuarter;
      p.m_colorTerm = half(color) + quarter(color);
      return p;
    case 128:
      p.m_kind = Kind::Half;
      p.m_colorTerm = half(color);
      return p;
    case 64:
      p.m_kind = Kind::Quarter;
      p.m_colorTerm = quarter(color);
      return p;
    default:
      break;
    }
  }
  if (weight == 0) return p;
  p.m_combine = plainCombine(mode, weight);
  if (p.m_combine == Combine::None) return p;
  p.m_kind = Kind::Combined;
  p.m_r = LICE_GETR(color);
  p.m_g = LICE_GETG(color);
  p.m_b = LICE_GETB(color);
  p.m_a = sourceA;
  p.m_weight = weight;
  return p;
}

void SolidPaint::paintRow(LICE_pixel* row, int n) const
{
  switch (m_kind)
  {
  case Kind::None:
    return;
  case Kind::Set:
    for (int i = 0; i < n; ++i)
      row[i] = m_color;
    return;
  case Kind::ThreeQuarter:
    for (int i = 0; i < n; ++i)
      row[i] = quarter(row[i]) + m_colorTerm;
    return;
  case Kind::Half:
    for (int i = 0; i < n; ++i)
      row[i] = half(row[i]) + m_colorTerm;
    return;
  case Kind::Quarter:
    for (int i = 0; i < n; ++i)
      row[i] = half(row[i]) + quarter(row[i]) + m_colorTerm;
    return;
  case Kind::Combined:
    if (m_combine == Combine::Copy && m_weight < 256 && m_a >= 0 && m_a < 256)
      return copyColorRow(row, n, LICE_RGBA(m_r, m_g, m_b, m_a), m_weight);
    withCombiner<false>(m_combine,
                        [&](auto tag)
                        {
                          using C = typename decltype(tag)::type;
                          for (int i = 0; i < n; ++i)
                            row[i] = C::doPix(row[i], m_r, m_g, m_b, m_a, m_weight);
                        });
    return;
  }
}

void SolidPaint::paintRect(LICE_IBitmap* bm, const PixelRect& r) const
{
  const Rows rows = rowsOf(bm);
  for (int y = r.y; y < r.y + r.h; ++y)
    paintRow(rows.row(y) + r.x, r.w);
}
} // namespace lice_detail
