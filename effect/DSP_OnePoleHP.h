#pragma once

// Threads: one owner; every call is audio-thread safe (no allocation, no lock).

#include "effect/DSP_OnePole.h"

// One-pole high-pass filter (bilinear transform without pre-warping).
class OnePoleHP : public OnePole
{
public:
  OnePoleHP() = default;

  // Coefficients from the rate given to the last reset.
  void setCutoff(float cutoffHz);
};
