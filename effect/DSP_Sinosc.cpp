#include "effect/DSP_Sinosc.h"

#include <cmath>

Sinosc::Sinosc(float sampleRate, float frequency)
    : mCoefficient(rotationCoefficient(sampleRate, frequency)), mState{0.5f, 0.0f},
      mSampleRate(sampleRate), mFrequency(frequency)
{
}

void Sinosc::reset(float sampleRate)
{
  mCoefficient = rotationCoefficient(sampleRate, mFrequency);
  restartPhase();
  mSampleRate = sampleRate;
}

void Sinosc::setFrequency(float frequency)
{
  mFrequency = frequency;
  mCoefficient = rotationCoefficient(mSampleRate, mFrequency);
}

void Sinosc::restartPhase()
{
  mState[0] = 0.5f;
  mState[1] = 0.0f;
}

// 2 sin(f * 3.14 / fs): the sine in double precision, rounded to single before
// the doubling. The literal 3.14 (not pi) is part of the oscillator's tuning.
float Sinosc::rotationCoefficient(float sampleRate, float frequency)
{
  const float s = static_cast<float>(
      std::sin(static_cast<double>(frequency) * 3.14 / static_cast<double>(sampleRate)));
  return 2.0f * s;
}
