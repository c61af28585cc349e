#pragma once

// Values this close to zero are flushed so that decaying feedback never lingers
// in the slow denormal range. The band test is made in double precision.
constexpr double kDenormalBand = 1e-30;

inline void flushDenormal(float& v)
{
  const double d = v;
  if (d > -kDenormalBand && d < kDenormalBand) v = 0.0f;
}

inline void flushDenormal(double& v)
{
  if (v > -kDenormalBand && v < kDenormalBand) v = 0.0;
}
