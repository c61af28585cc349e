// The pixel combiners behind every blit, fill and pixel function. Each class
// has one operation:
//   static LICE_pixel doPix(LICE_pixel dest, int r, int g, int b, int a, int w)
// combining source channels r, g, b, a into the destination word with the
// integer weight w (256 = opaque). Divisions truncate toward zero; channels are
// clamped to 0 ... 255 where a formula clamps, and otherwise stored as their
// low byte. The *Clamp twins clamp every channel.
#pragma once

#include "lice/lice.h"

namespace lice_detail
{
inline int clampChannel(int v)
{
  return v < 0 ? 0 : v > 255 ? 255 : v;
}

// trunc(x) for a weight (alpha x 256). Kept within +-4096 (alpha +-16) so that
// no combine formula can overflow; NaN counts as 0.
inline int weightFromScaledAlpha(double x)
{
  if (!(x == x)) return 0;
  return x > 4096.0 ? 4096 : x < -4096.0 ? -4096 : int(x);
}

inline LICE_pixel packLowBytes(int r, int g, int b, int a)
{
  return LICE_RGBA(r, g, b, a);
}

struct StoreLowByte
{
  static int apply(int v) { return v & 255; }
};
struct StoreClamped
{
  static int apply(int v) { return clampChannel(v); }
};

template <class Store> inline LICE_pixel store(int r, int g, int b, int a)
{
  return packLowBytes(Store::apply(r), Store::apply(g), Store::apply(b), Store::apply(a));
}

// A per-channel formula F::channel(d, s, w) applied to all four channels.
template <class F, class Store> struct PerChannel
{
  static LICE_pixel doPix(LICE_pixel d, int r, int g, int b, int a, int w)
  {
    return store<Store>(F::channel(LICE_GETR(d), r, w), F::channel(LICE_GETG(d), g, w),
                        F::channel(LICE_GETB(d), b, w), F::channel(LICE_GETA(d), a, w));
  }
};

// The source over the destination at weight w.
struct CopyChannel
{
  static int channel(int d, int s, int w) { return s + (d - s) * (256 - w) / 256; }
};

template <class Store> struct Clobber
{
  static LICE_pixel doPix(LICE_pixel, int r, int g, int b, int a, int)
  {
    return store<Store>(r, g, b, a);
  }
};

// Weight 256 with source alpha: the alpha parameter plays no part.
template <class Store> struct CopySourceAlphaIgnoreAlphaParm
{
  static LICE_pixel doPix(LICE_pixel d, int r, int g, int b, int a, int)
  {
    if (a == 0) return d;
    if (a == 255) return store<Store>(r, g, b, a);
    const int keep = 255 - a;
    const int da = LICE_GETA(d) + a;
    return store<Store>(r + (LICE_GETR(d) - r) * keep / 256, g + (LICE_GETG(d) - g) * keep / 256,
                        b + (LICE_GETB(d) - b) * keep / 256, da < 255 ? da : 255);
  }
};

template <class Store> struct CopySourceAlpha
{
  static LICE_pixel doPix(LICE_pixel d, int r, int g, int b, int a, int w)
  {
    if (a == 0) return d;
    const int ws = w * (a + 1) / 256;
    const int da = LICE_GETA(d) + ws;
    return store<Store>(CopyChannel::channel(LICE_GETR(d), r, ws),
                        CopyChannel::channel(LICE_GETG(d), g, ws),
                        CopyChannel::channel(LICE_GETB(d), b, ws), da < 255 ? da : 255);
  }
};

struct MulChannel
{
  static int channel(int d, int s, int w) { return (s * w + (256 - w) * 256) * d / 65536; }
};

struct AddChannel
{
  static int channel(int d, int s, int w) { return d + s * w / 256; }
};

struct ColorDodgeChannel
{
  static int channel(int d, int s, int w)
  {
    const int t = s * w / 256;
    return t > 254 ? d * 256 : d * 256 / (256 - t);
  }
};

struct OverlayChannel
{
  static int channel(int d, int s, int w)
  {
    const int k = s * w + (256 - w) * 128;
    return (d * (32768 - k) / 256 + k) * d / 32768;
  }
};

// The source-alpha form of a plain combiner: weight w * (a + 1) / 256, and with
// KeepWhenClear the destination stays as it is for a = 0.
template <class Plain, bool KeepWhenClear> struct SourceAlphaWeighted
{
  static LICE_pixel doPix(LICE_pixel d, int r, int g, int b, int a, int w)
  {
    if (KeepWhenClear && a == 0) return d;
    return Plain::doPix(d, r, g, b, a, w * (a + 1) / 256);
  }
};

// Hue 0 ... 383 (six sectors of 64), saturation and value 0 ... 255.
void RGBToHSV(int r, int g, int b, int* h, int* s, int* v);
void HSVToRGB(int h, int s, int v, int* r, int* g, int* b);

// Shifts the destination's hue, saturation and value by the source's R, G, B
// (128 = no change); the result takes the source's A.
LICE_pixel hsvAdjust(LICE_pixel d, int r, int g, int b, int a, int w);
} // namespace lice_detail

struct _LICE_CombinePixelsClobberNoClamp : lice_detail::Clobber<lice_detail::StoreLowByte>
{
};
struct _LICE_CombinePixelsClobberClamp : lice_detail::Clobber<lice_detail::StoreClamped>
{
};
struct _LICE_CombinePixelsCopyNoClamp
    : lice_detail::PerChannel<lice_detail::CopyChannel, lice_detail::StoreLowByte>
{
};
struct _LICE_CombinePixelsCopyClamp
    : lice_detail::PerChannel<lice_detail::CopyChannel, lice_detail::StoreClamped>
{
};
struct _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp
    : lice_detail::CopySourceAlphaIgnoreAlphaParm<lice_detail::StoreLowByte>
{
};
struct _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp
    : lice_detail::CopySourceAlphaIgnoreAlphaParm<lice_detail::StoreClamped>
{
};
struct _LICE_CombinePixelsCopySourceAlphaNoClamp
    : lice_detail::CopySourceAlpha<lice_detail::StoreLowByte>
{
};
struct _LICE_CombinePixelsCopySourceAlphaClamp
    : lice_detail::CopySourceAlpha<lice_detail::StoreClamped>
{
};
struct _LICE_CombinePixelsMulNoClamp
    : lice_detail::PerChannel<lice_detail::MulChannel, lice_detail::StoreLowByte>
{
};
struct _LICE_CombinePixelsMulClamp
    : lice_detail::PerChannel<lice_detail::MulChannel, lice_detail::StoreClamped>
{
};
struct _LICE_CombinePixelsMulSourceAlphaNoClamp
    : lice_detail::SourceAlphaWeighted<_LICE_CombinePixelsMulNoClamp, true>
{
};
struct _LICE_CombinePixelsMulSourceAlphaClamp
    : lice_detail::SourceAlphaWeighted<_LICE_CombinePixelsMulClamp, true>
{
};
struct _LICE_CombinePixelsAdd
    : lice_detail::PerChannel<lice_detail::AddChannel, lice_detail::StoreClamped>
{
};
struct _LICE_CombinePixelsAddSourceAlpha
    : lice_detail::SourceAlphaWeighted<_LICE_CombinePixelsAdd, true>
{
};
struct _LICE_CombinePixelsColorDodge
    : lice_detail::PerChannel<lice_detail::ColorDodgeChannel, lice_detail::StoreClamped>
{
};
struct _LICE_CombinePixelsColorDodgeSourceAlpha
    : lice_detail::SourceAlphaWeighted<_LICE_CombinePixelsColorDodge, false>
{
};
struct _LICE_CombinePixelsOverlay
    : lice_detail::PerChannel<lice_detail::OverlayChannel, lice_detail::StoreClamped>
{
};
struct _LICE_CombinePixelsOverlaySourceAlpha
    : lice_detail::SourceAlphaWeighted<_LICE_CombinePixelsOverlay, false>
{
};
struct _LICE_CombinePixelsHSVAdjust
{
  static LICE_pixel doPix(LICE_pixel d, int r, int g, int b, int a, int w)
  {
    return lice_detail::hsvAdjust(d, r, g, b, a, w);
  }
};
struct _LICE_CombinePixelsHSVAdjustSourceAlpha
    : lice_detail::SourceAlphaWeighted<_LICE_CombinePixelsHSVAdjust, false>
{
};
