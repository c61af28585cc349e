#pragma once

// Four lanes of single-precision floats or 32-bit integers, with the
// compiler's vector extensions. Each lane takes exactly the operation a
// scalar would (no reassociation, no fused multiply-add), so vector and
// scalar code give the same bits. Any thread; no state.

#include <cstdint>
#include <cstring>

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
  return reinterpret_cast<Float4>(selectLanes(mask, reinterpret_cast<Int4>(a),
                                              reinterpret_cast<Int4>(b)));
}

// Per lane: the denormal guard of flushDenormal (float).
inline Float4 flushDenormalLanes(Float4 v)
{
  const Float4 magnitude = reinterpret_cast<Float4>(reinterpret_cast<Int4>(v) & 0x7fffffff);
  return selectLanes(magnitude < 1e-30f, Float4{}, v);
}

// Two lanes, for conversions between single and double precision.
typedef double Double2 __attribute__((vector_size(16)));
typedef float Float2 __attribute__((vector_size(8)));

// Double to single precision (rounded as a scalar conversion rounds) and back.
inline void narrowLanes(const double* in, float* out, int n)
{
  int i = 0;
  for (; i + 2 <= n; i += 2)
    storeLanes(out + i, __builtin_convertvector(loadLanes<Double2>(in + i), Float2));
  for (; i < n; ++i)
    out[i] = static_cast<float>(in[i]);
}

inline void widenLanes(const float* in, double* out, int n)
{
  int i = 0;
  for (; i + 2 <= n; i += 2)
    storeLanes(out + i, __builtin_convertvector(loadLanes<Float2>(in + i), Double2));
  for (; i < n; ++i)
    out[i] = in[i];
}
