// Choosing a pixel combiner from a mode word and a weight, and handing it as a
// type to code templated on it (so that row loops are compiled per combiner).
#pragma once

#include <type_traits>

#include "lice/lice_combine.h"

namespace lice_detail
{
enum class Combine
{
  None,
  Clobber,
  Copy,
  CopySourceAlphaFull, // source alpha at weight 256
  CopySourceAlpha,
  Add,
  AddSourceAlpha,
  Dodge,
  DodgeSourceAlpha,
  Mul,
  MulSourceAlpha,
  Overlay,
  OverlaySourceAlpha,
  HSVAdjust,
  HSVAdjustSourceAlpha,
};

// Blits and LICE_CombinePixels: mode & (LICE_BLIT_USE_ALPHA | LICE_BLIT_MODE_MASK)
// with weight w. Copy without source alpha needs 0 < w <= 256.
Combine blitCombine(int mode, int w);

// Fills and single pixels: the mode's low byte, no source alpha.
Combine plainCombine(int mode, int w);

template <class T> struct TypeTag
{
  using type = T;
};

template <bool Clamped, class NoClamp, class Clamp>
using Pick = TypeTag<typename std::conditional<Clamped, Clamp, NoClamp>::type>;

// Calls visit(TypeTag<combiner>()) for c; returns false for Combine::None.
// Clamped picks the clamping twins where they exist.
template <bool Clamped, class Visitor> bool withCombiner(Combine c, Visitor&& visit)
{
  switch (c)
  {
  case Combine::None:
    return false;
  case Combine::Clobber:
    visit(Pick<Clamped, _LICE_CombinePixelsClobberNoClamp, _LICE_CombinePixelsClobberClamp>());
    break;
  case Combine::Copy:
    visit(Pick<Clamped, _LICE_CombinePixelsCopyNoClamp, _LICE_CombinePixelsCopyClamp>());
    break;
  case Combine::CopySourceAlphaFull:
    visit(Pick<Clamped, _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp,
               _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp>());
    break;
  case Combine::CopySourceAlpha:
    visit(Pick<Clamped, _LICE_CombinePixelsCopySourceAlphaNoClamp,
               _LICE_CombinePixelsCopySourceAlphaClamp>());
    break;
  case Combine::Add:
    visit(TypeTag<_LICE_CombinePixelsAdd>());
    break;
  case Combine::AddSourceAlpha:
    visit(TypeTag<_LICE_CombinePixelsAddSourceAlpha>());
    break;
  case Combine::Dodge:
    visit(TypeTag<_LICE_CombinePixelsColorDodge>());
    break;
  case Combine::DodgeSourceAlpha:
    visit(TypeTag<_LICE_CombinePixelsColorDodgeSourceAlpha>());
    break;
  case Combine::Mul:
    visit(Pick<Clamped, _LICE_CombinePixelsMulNoClamp, _LICE_CombinePixelsMulClamp>());
    break;
  case Combine::MulSourceAlpha:
    visit(Pick<Clamped, _LICE_CombinePixelsMulSourceAlphaNoClamp,
               _LICE_CombinePixelsMulSourceAlphaClamp>());
    break;
  case Combine::Overlay:
    visit(TypeTag<_LICE_CombinePixelsOverlay>());
    break;
  case Combine::OverlaySourceAlpha:
    visit(TypeTag<_LICE_CombinePixelsOverlaySourceAlpha>());
    break;
  case Combine::HSVAdjust:
    visit(TypeTag<_LICE_CombinePixelsHSVAdjust>());
    break;
  case Combine::HSVAdjustSourceAlpha:
    visit(TypeTag<_LICE_CombinePixelsHSVAdjustSourceAlpha>());
    break;
  }
  return true;
}

// Source channels of a pixel word, as the combiners take them.
template <class C> inline LICE_pixel combineWord(LICE_pixel d, LICE_pixel s, int w)
{
  return C::doPix(d, LICE_GETR(s), LICE_GETG(s), LICE_GETB(s), LICE_GETA(s), w);
}
} // namespace lice_detail
