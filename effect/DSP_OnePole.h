#pragma once

// Threads: one owner; every call is audio-thread safe (no allocation, no lock).

#include "effect/DSP_Denormal.h"

// State and per-sample step shared by the one-pole low-pass and high-pass
// filters; each derived filter computes its own coefficients in setCutoff.
// Until reset and setCutoff have run, every coefficient is 0 and so is the output.
class OnePole
{
public:
  // Stores the rate only: history and coefficients stay as they are.
  void reset(float sampleRate) { mSampleRate = sampleRate; }

  float process(float x)
  {
    mPrevOut = mB0 * x + mB1 * mPrevIn + mA1 * mPrevOut;
    mPrevIn = x;
    killDenormal(mPrevOut);
    killDenormal(mPrevIn);
    return mPrevOut;
  }

  static void killDenormal(float& v) { flushDenormal(v); }

protected:
  OnePole() = default;

  float mPrevIn = 0.0f;
  float mPrevOut = 0.0f;
  float mSampleRate = 0.0f;
  float mB0 = 0.0f;
  float mB1 = 0.0f;
  float mA1 = 0.0f;
};
