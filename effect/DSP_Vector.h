#pragma once

// Four lanes of single-precision floats or 32-bit integers, with the
// compiler's vector extensions. Each lane takes exactly the operation a
// scalar would (no reassociation, no fused multiply-add), so vector and
// scalar code give the same bits. Any thread; no state.

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h> // conversions the compiler misses written generically
#endif

typedef float Float4 __attribute__((vector_size(16)));
typedef std::int32_t Int4 __attribute__((vector_size(16)));
template <class V, class T> inline V loadLanes(const T* p)
{
  V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class V, class T> inline void storeLanes(T* p, V v)
{
  std::memcpy(p, &v, sizeof v);
}

// Per lane: mask (all ones or all zeros) ? a : b.
inline Int4 selectLanes(Int4 mask, Int4 a, Int4 b)
{
  return (a & mask) | (b & ~mask);
}

inline Float4 selectLanes(Int4 mask, Float4 a, Float4 b)
{
  return reinterpret_cast<Float4>(
      selectLanes(mask, reinterpret_cast<Int4>(a), reinterpret_cast<Int4>(b)));
}

// Per lane: all ones where the denormal guard of flushDenormal (float) would
// zero the value.
inline Int4 denormalLanes(Float4 v)
{
  const Float4 magnitude = reinterpret_cast<Float4>(reinterpret_cast<Int4>(v) & 0x7fffffff);
  return magnitude < 1e-30f;
}

// Per lane: +0 where the mask is set, v elsewhere.
inline Float4 clearLanes(Float4 v, Int4 mask)
{
  return reinterpret_cast<Float4>(reinterpret_cast<Int4>(v) & ~mask);
}

// Per lane: the denormal guard of flushDenormal (float).
inline Float4 flushDenormalLanes(Float4 v)
{
  return clearLanes(v, denormalLanes(v));
}

// Four host samples in single precision, and back: doubles are rounded as a
// scalar conversion rounds them (and widened exactly), floats pass as they are.
typedef double Double2 __attribute__((vector_size(16)));
typedef float Float2 __attribute__((vector_size(8)));

inline Float4 loadSingle(const double* p)
{
#if defined(__SSE2__)
  return _mm_movelh_ps(_mm_cvtpd_ps(_mm_loadu_pd(p)), _mm_cvtpd_ps(_mm_loadu_pd(p + 2)));
#else
  const Float2 low = __builtin_convertvector(loadLanes<Double2>(p), Float2);
  const Float2 high = __builtin_convertvector(loadLanes<Double2>(p + 2), Float2);
  return __builtin_shufflevector(low, high, 0, 1, 2, 3);
#endif
}

inline Float4 loadSingle(const float* p)
{
  return loadLanes<Float4>(p);
}

inline void storeSingle(double* p, Float4 v)
{
  storeLanes(p, __builtin_convertvector(__builtin_shufflevector(v, v, 0, 1), Double2));
#if defined(__SSE2__)
  // Written generically, the upper pair is converted one float at a time.
  storeLanes(p + 2, reinterpret_cast<Double2>(_mm_cvtps_pd(_mm_movehl_ps(v, v))));
#else
  storeLanes(p + 2, __builtin_convertvector(__builtin_shufflevector(v, v, 2, 3), Double2));
#endif
}

inline void storeSingle(float* p, Float4 v)
{
  storeLanes(p, v);
}
