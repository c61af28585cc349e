#pragma once

// Threads: one owner; every call is audio-thread safe (no allocation, no lock).

#include "effect/DSP_OnePole.h"

// One-pole low-pass filter (bilinear transform without pre-warping).
class OnePoleLP : public OnePole
{
public:
  OnePoleLP() = default;

  // Coefficients from the rate given to the last reset; all single precision.
  void setCutoff(float cutoffHz);
};
