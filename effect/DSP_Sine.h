#pragma once

// Pure functions: any thread, audio thread included. fusedSineMatchesLibrary
// checks the machine once, on its first call (not on the audio thread).

#include <cmath>
#include <cstdint>
#include <cstring>
#include <immintrin.h>

// The loop's saturator is the C library's single-precision sine. A call to it
// costs every vector register the caller holds, which is what bounds a loop
// that keeps oscillators and filters in registers. On processors with FMA and
// AVX2 the library computes sinf in double precision with fused multiply-adds
// along fixed steps; fusedSine takes the same steps inline, so it returns the
// same bits (bench/effect/sine_all_floats compares all 2^32 inputs). Inputs
// that need the library's long argument reduction (|x| >= 120, Inf, NaN) still
// go to the library. Code that inlines fusedSine must be compiled for FMA and
// run only where fusedSineMatchesLibrary() holds.
namespace sine_steps
{
// One set of polynomial coefficients; the second set serves quadrants 2 and 3
// (the cosine's coefficients negated).
struct Coefficients
{
  double c0, c1, s1, c2, s2, c3, s3, c4;
};

constexpr Coefficients kQuadrants[2] = {
    {0x1p0, -0x1.ffffffd0c621cp-2, -0x1.555545995a603p-3, 0x1.55553e1068f19p-5,
     0x1.1107605230bc4p-7, -0x1.6c087e89a359dp-10, -0x1.994eb3774cf24p-13, 0x1.99343027bf8c3p-16},
    {-0x1p0, 0x1.ffffffd0c621cp-2, -0x1.555545995a603p-3, -0x1.55553e1068f19p-5,
     0x1.1107605230bc4p-7, 0x1.6c087e89a359dp-10, -0x1.994eb3774cf24p-13, -0x1.99343027bf8c3p-16}};

// 2^24 * 2 / pi and pi / 2.
constexpr double kQuadrantsPerRadian = 0x1.45f306dc9c883p+23;
constexpr double kHalfPi = 0x1.921fb54442d18p0;

// Exponent and top mantissa bits of |x|, for the range tests.
inline std::uint32_t top12(float x)
{
  std::uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return (bits >> 20) & 0x7ff;
}

constexpr std::uint32_t kTinyTop = 0x398;    // 2^-12: sin x rounds to x below it
constexpr std::uint32_t kQuarterTop = 0x3f4; // pi / 4: no reduction below it
constexpr std::uint32_t kShortTop = 0x42f;   // 120: the short reduction below it

// The odd polynomial near 0 (sine) or the even one (cosine) of a reduced x.
__attribute__((target("fma"))) inline float polynomial(double x, double x2, const Coefficients& p,
                                                       bool cosine)
{
  if (!cosine)
  {
    const double x3 = x * x2;
    const double s1 = __builtin_fma(x2, p.s3, p.s2);
    const double x7 = x3 * x2;
    const double s = __builtin_fma(x3, p.s1, x);
    return static_cast<float>(__builtin_fma(x7, s1, s));
  }
  const double x4 = x2 * x2;
  const double c2 = __builtin_fma(x2, p.c4, p.c3);
  const double c1 = __builtin_fma(x2, p.c1, p.c0);
  const double x6 = x4 * x2;
  const double c = __builtin_fma(x4, p.c2, c1);
  return static_cast<float>(__builtin_fma(x6, c2, c));
}
} // namespace sine_steps

__attribute__((target("fma"))) inline float fusedSine(float y)
{
  using namespace sine_steps;
  const std::uint32_t top = top12(y);
  const double x = y;
  if (top < kQuarterTop)
  {
    if (top < kTinyTop) return y;
    return polynomial(x, x * x, kQuadrants[0], false);
  }
  if (top < kShortTop)
  {
    const double r = x * kQuadrantsPerRadian;
    const std::int32_t n = (static_cast<std::int32_t>(r) + 0x800000) >> 24;
    const double reduced = __builtin_fma(-static_cast<double>(n), kHalfPi, x);
    // Quadrants 2 and 3 negate the sine's argument and the cosine's coefficients.
    const double signedReduced = (n & 2) ? -reduced : reduced;
    return polynomial(signedReduced, reduced * reduced, kQuadrants[(n >> 1) & 1], (n & 1) != 0);
  }
  return std::sin(y);
}

// Two sines at once: where both inputs lie in the range the polynomial takes
// without reduction (the common case for a signal in the loop), the steps run
// side by side in two lanes, each with a scalar's rounding; otherwise one at
// a time.
__attribute__((target("fma"))) inline void fusedSinePair(float a, float b, float& sineA,
                                                         float& sineB)
{
  using namespace sine_steps;
  constexpr std::uint32_t kSpan = kQuarterTop - kTinyTop;
  if (top12(a) - kTinyTop < kSpan && top12(b) - kTinyTop < kSpan)
  {
    const Coefficients& p = kQuadrants[0];
    const __m128d x = _mm_cvtps_pd(_mm_setr_ps(a, b, 0.0f, 0.0f));
    const __m128d x2 = _mm_mul_pd(x, x);
    const __m128d x3 = _mm_mul_pd(x, x2);
    const __m128d s1 = _mm_fmadd_pd(x2, _mm_set1_pd(p.s3), _mm_set1_pd(p.s2));
    const __m128d x7 = _mm_mul_pd(x3, x2);
    const __m128d s = _mm_fmadd_pd(x3, _mm_set1_pd(p.s1), x);
    const __m128 sines = _mm_cvtpd_ps(_mm_fmadd_pd(x7, s1, s));
    sineA = _mm_cvtss_f32(sines);
    sineB = _mm_cvtss_f32(_mm_shuffle_ps(sines, sines, 1));
    return;
  }
  sineA = fusedSine(a);
  sineB = fusedSine(b);
}

// True when this processor has FMA and AVX2 (the library then takes its fused
// form) and fusedSine gives the library's bits on a spread of inputs across
// every range. Checked once; later calls return the first answer.
bool fusedSineMatchesLibrary();
