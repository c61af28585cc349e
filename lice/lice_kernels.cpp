#include "lice/lice_kernels.h"

#include "lice/lice_dispatch.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace lice_detail
{
namespace
{
// The scalar rest of a row (and the whole row without SSE2).
template <class C> void combineTail(LICE_pixel* d, const LICE_pixel* s, int from, int n, int w)
{
  for (int i = from; i < n; ++i)
    d[i] = combineWord<C>(d[i], s[i], w);
}

#ifdef __SSE2__
const int kStep = 4;

// (s * ws + d * wd + (d < s ? 255 : 0)) >> 8 in 16-bit lanes, ws + wd = 256.
inline __m128i blend16(__m128i d, __m128i s, __m128i ws, __m128i wd)
{
  __m128i sum = _mm_add_epi16(_mm_mullo_epi16(s, ws), _mm_mullo_epi16(d, wd));
  sum = _mm_add_epi16(sum, _mm_and_si128(_mm_cmplt_epi16(d, s), _mm_set1_epi16(255)));
  return _mm_srli_epi16(sum, 8);
}

// Each pixel's A lane copied into its R, G, B lanes.
inline __m128i spreadAlpha16(__m128i v)
{
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0), 0);
}

inline __m128i lowHalf16(__m128i v)
{
  return _mm_unpacklo_epi8(v, _mm_setzero_si128());
}
inline __m128i highHalf16(__m128i v)
{
  return _mm_unpackhi_epi8(v, _mm_setzero_si128());
}

inline __m128i select(__m128i mask, __m128i ifSet, __m128i ifClear)
{
  return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

// Pixels whose source A is zero keep the destination.
inline __m128i keepWhereClear(__m128i dv, __m128i sv, __m128i result)
{
  const __m128i alphaBytes = _mm_and_si128(sv, _mm_set1_epi32(0xff));
  return select(_mm_cmpeq_epi32(alphaBytes, _mm_setzero_si128()), dv, result);
}

inline __m128i load(const LICE_pixel* p)
{
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void store(LICE_pixel* p, __m128i v)
{
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
#endif
} // namespace

void copySourceAlphaFullRow(LICE_pixel* d, const LICE_pixel* s, int n)
{
  int i = 0;
#ifdef __SSE2__
  const __m128i alphaByte = _mm_set1_epi32(0xff), one = _mm_set1_epi16(1),
                full = _mm_set1_epi16(255);
  for (; i + kStep <= n; i += kStep)
  {
    const __m128i dv = load(d + i), sv = load(s + i);
    const __m128i sl = lowHalf16(sv), sh = highHalf16(sv);
    const __m128i al = spreadAlpha16(sl), ah = spreadAlpha16(sh);
    // R, G, B: s + (d - s) * (255 - a) / 256.
    __m128i r = _mm_packus_epi16(
        blend16(lowHalf16(dv), sl, _mm_add_epi16(al, one), _mm_sub_epi16(full, al)),
        blend16(highHalf16(dv), sh, _mm_add_epi16(ah, one), _mm_sub_epi16(full, ah)));
    // A: min(dA + a, 255).
    r = select(alphaByte, _mm_adds_epu8(dv, sv), r);
    store(d + i, keepWhereClear(dv, sv, r));
  }
#endif
  combineTail<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>(d, s, i, n, 256);
}

void copySourceAlphaRow(LICE_pixel* d, const LICE_pixel* s, int n, int w)
{
  int i = 0;
#ifdef __SSE2__
  const __m128i weight = _mm_set1_epi16(short(w)), one = _mm_set1_epi16(1);
  const __m128i whole = _mm_set1_epi16(256), full = _mm_set1_epi16(255);
  const __m128i alphaLanes = _mm_set_epi16(0, 0, 0, -1, 0, 0, 0, -1);
  auto half = [&](__m128i dh, __m128i sh)
  {
    // w' = w * (a + 1) / 256; R, G, B blend at w', A = min(dA + w', 255).
    const __m128i ws =
        _mm_srli_epi16(_mm_mullo_epi16(weight, _mm_add_epi16(spreadAlpha16(sh), one)), 8);
    const __m128i rgb = blend16(dh, sh, ws, _mm_sub_epi16(whole, ws));
    return select(alphaLanes, _mm_min_epi16(_mm_add_epi16(dh, ws), full), rgb);
  };
  for (; i + kStep <= n; i += kStep)
  {
    const __m128i dv = load(d + i), sv = load(s + i);
    const __m128i r =
        _mm_packus_epi16(half(lowHalf16(dv), lowHalf16(sv)), half(highHalf16(dv), highHalf16(sv)));
    store(d + i, keepWhereClear(dv, sv, r));
  }
#endif
  combineTail<_LICE_CombinePixelsCopySourceAlphaNoClamp>(d, s, i, n, w);
}

void copyRow(LICE_pixel* d, const LICE_pixel* s, int n, int w)
{
  int i = 0;
#ifdef __SSE2__
  const __m128i ws = _mm_set1_epi16(short(w)), wd = _mm_set1_epi16(short(256 - w));
  for (; i + kStep <= n; i += kStep)
  {
    const __m128i dv = load(d + i), sv = load(s + i);
    store(d + i, _mm_packus_epi16(blend16(lowHalf16(dv), lowHalf16(sv), ws, wd),
                                  blend16(highHalf16(dv), highHalf16(sv), ws, wd)));
  }
#endif
  combineTail<_LICE_CombinePixelsCopyNoClamp>(d, s, i, n, w);
}

void copyColorRow(LICE_pixel* d, int n, LICE_pixel color, int w)
{
  int i = 0;
#ifdef __SSE2__
  const __m128i ws = _mm_set1_epi16(short(w)), wd = _mm_set1_epi16(short(256 - w));
  const __m128i c = lowHalf16(_mm_set1_epi32(int(color)));
  for (; i + kStep <= n; i += kStep)
  {
    const __m128i dv = load(d + i);
    store(d + i,
          _mm_packus_epi16(blend16(lowHalf16(dv), c, ws, wd), blend16(highHalf16(dv), c, ws, wd)));
  }
#endif
  for (; i < n; ++i)
    d[i] = _LICE_CombinePixelsCopyNoClamp::doPix(d[i], LICE_GETR(color), LICE_GETG(color),
                                                 LICE_GETB(color), LICE_GETA(color), w);
}
} // namespace lice_detail
