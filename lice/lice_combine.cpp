#include "lice/lice_combine.h"

#include "lice/lice_dispatch.h"

namespace lice_detail
{
namespace
{
const int kHueSector = 64;
const int kHueRange = 6 * kHueSector;

int max3(int a, int b, int c)
{
  return a > b ? (a > c ? a : c) : (b > c ? b : c);
}
int min3(int a, int b, int c)
{
  return a < b ? (a < c ? a : c) : (b < c ? b : c);
}
} // namespace

void RGBToHSV(int r, int g, int b, int* h, int* s, int* v)
{
  const int hi = max3(r, g, b);
  const int delta = hi - min3(r, g, b);
  *v = hi;
  *s = hi > 0 ? delta * 255 / hi : 0;
  if (delta == 0)
    *h = 0;
  else if (hi == r)
    *h = (g - b) * kHueSector / delta;
  else if (hi == g)
    *h = 2 * kHueSector + (b - r) * kHueSector / delta;
  else
    *h = 4 * kHueSector + (r - g) * kHueSector / delta;
  if (*h < 0) *h += kHueRange;
}

void HSVToRGB(int h, int s, int v, int* r, int* g, int* b)
{
  if (s <= 0)
  {
    *r = *g = *b = v;
    return;
  }
  h = h < 0 ? 0 : h >= kHueRange ? kHueRange - 1 : h;
  const int f = h % kHueSector;
  const int p = v * (255 - s) / 255;
  const int q = v * (255 - s * f / kHueSector) / 255;
  const int t = v * (255 - s * (kHueSector - f) / kHueSector) / 255;
  switch (h / kHueSector)
  {
  case 0:
    *r = v, *g = t, *b = p;
    break;
  case 1:
    *r = q, *g = v, *b = p;
    break;
  case 2:
    *r = p, *g = v, *b = t;
    break;
  case 3:
    *r = p, *g = q, *b = v;
    break;
  case 4:
    *r = t, *g = p, *b = v;
    break;
  default:
    *r = v, *g = p, *b = q;
    break;
  }
}

LICE_pixel hsvAdjust(LICE_pixel d, int r, int g, int b, int a, int w)
{
  int h, s, v;
  RGBToHSV(LICE_GETR(d), LICE_GETG(d), LICE_GETB(d), &h, &s, &v);
  h += w * (r + r / 2 - 192) / 256;
  if (h < 0)
    h += kHueRange;
  else if (h >= kHueRange)
    h -= kHueRange;
  s = clampChannel(s + w * (g - 128) / 128);
  v = clampChannel(v + w * (b - 128) / 128);
  int outR, outG, outB;
  HSVToRGB(h, s, v, &outR, &outG, &outB);
  return packLowBytes(outR, outG, outB, a);
}

Combine blitCombine(int mode, int w)
{
  switch (mode & (LICE_BLIT_USE_ALPHA | LICE_BLIT_MODE_MASK))
  {
  case LICE_BLIT_MODE_COPY:
    return w == 256 ? Combine::Clobber : (w > 0 && w < 256 ? Combine::Copy : Combine::None);
  case LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA:
    return w == 256 ? Combine::CopySourceAlphaFull : Combine::CopySourceAlpha;
  case LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA:
    return Combine::AddSourceAlpha;
  case LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA:
    return Combine::DodgeSourceAlpha;
  case LICE_BLIT_MODE_MUL | LICE_BLIT_USE_ALPHA:
    return Combine::MulSourceAlpha;
  case LICE_BLIT_MODE_OVERLAY | LICE_BLIT_USE_ALPHA:
    return Combine::OverlaySourceAlpha;
  case LICE_BLIT_MODE_HSVADJ | LICE_BLIT_USE_ALPHA:
    return Combine::HSVAdjustSourceAlpha;
  default:
    if (mode & LICE_BLIT_USE_ALPHA) return Combine::None;
    return plainCombine(mode, w);
  }
}

Combine plainCombine(int mode, int w)
{
  switch (mode & LICE_BLIT_MODE_MASK)
  {
  case LICE_BLIT_MODE_COPY:
    return w > 0 ? Combine::Copy : Combine::None;
  case LICE_BLIT_MODE_ADD:
    return Combine::Add;
  case LICE_BLIT_MODE_DODGE:
    return Combine::Dodge;
  case LICE_BLIT_MODE_MUL:
    return Combine::Mul;
  case LICE_BLIT_MODE_OVERLAY:
    return Combine::Overlay;
  case LICE_BLIT_MODE_HSVADJ:
    return Combine::HSVAdjust;
  default:
    return Combine::None;
  }
}
} // namespace lice_detail
