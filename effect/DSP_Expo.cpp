#include "effect/DSP_Expo.h"

#include <cmath>

double expoSweep(double x)
{
  return std::exp(kLn20 + x * (kLn20000 - kLn20));
}

float getExpo(float x)
{
  return static_cast<float>(expoSweep(x));
}
