#pragma once

// Threads: one owner; every call is audio-thread safe (no allocation, no lock).

// Coupled-form sine oscillator. Its output is unipolar: a sine of amplitude
// about 1 offset by +1, starting at its peak of 2.0.
class Sinosc
{
public:
  Sinosc(float sampleRate, float frequency);

  // New rate, phase restarted.
  void reset(float sampleRate);
  // New frequency, phase kept.
  void setFrequency(float frequency);

  float getSample()
  {
    mState[0] = mState[0] - mCoefficient * mState[1];
    mState[1] = mState[1] + mCoefficient * mState[0];
    return 2.0f * mState[0] + 1.0f;
  }

private:
  void restartPhase();
  static float rotationCoefficient(float sampleRate, float frequency);

  float mCoefficient;
  float mState[2];
  float mSampleRate;
  float mFrequency;
};
