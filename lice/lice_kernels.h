// Row loops for the combines the editor runs most: copies at a weight, with or
// without source alpha, from a bitmap or of one colour. Each gives exactly
// the result of its combiner in lice_combine.h, four pixels at a time where
// the processor has SSE2.
//
// They use that s + (d - s) * k / 256, truncated toward zero, equals
// (s * (256 - k) + d * k + (d < s ? 255 : 0)) >> 8 for channels 0 ... 255 and
// 0 <= k <= 256, which stays within 16 bits.
#pragma once

#include "lice/lice.h"

namespace lice_detail
{
// _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp over a row.
void copySourceAlphaFullRow(LICE_pixel* d, const LICE_pixel* s, int n);
// _LICE_CombinePixelsCopySourceAlphaNoClamp, 0 < w < 256.
void copySourceAlphaRow(LICE_pixel* d, const LICE_pixel* s, int n, int w);
// _LICE_CombinePixelsCopyNoClamp, 0 < w < 256.
void copyRow(LICE_pixel* d, const LICE_pixel* s, int n, int w);
// _LICE_CombinePixelsCopyNoClamp of one colour (its A the source A), 0 < w < 256.
void copyColorRow(LICE_pixel* d, int n, LICE_pixel color, int w);
} // namespace lice_detail
