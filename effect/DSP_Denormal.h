#pragma once

// Pure functions: any thread, audio thread included.

#include <cmath>

// Values strictly inside +-1e-30 are flushed so that decaying feedback never
// lingers in the slow denormal range. The band is 1e-30 in double precision;
// for a float the same test is |v| < the float nearest above 1e-30 (1e-30f is
// that float), which needs no widening.
constexpr double kDenormalBand = 1e-30;
constexpr float kDenormalBandFloat = 1e-30f;
static_assert(static_cast<double>(kDenormalBandFloat) > kDenormalBand,
              "the float band must be the first float past the double band");

inline void flushDenormal(float& v)
{
  if (std::fabs(v) < kDenormalBandFloat) v = 0.0f;
}

inline void flushDenormal(double& v)
{
  if (std::fabs(v) < kDenormalBand) v = 0.0;
}
