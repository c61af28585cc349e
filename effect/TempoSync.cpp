#include "effect/TempoSync.h"

#include "effect/DSP_DelayA.h"

// One whole note: four beats of 60000 ms / tempo.
constexpr double kWholeNoteMSTimesTempo = 240000.0;

int NoteDivision(float noteValue, float noteStep)
{
  const float v = noteValue, s = noteStep;
  int division = 1;
  if (v >= s && v < 2 * s) division = 2;
  if (v >= 2 * s && v < 3 * s) division = 4;
  if (v >= 3 * s && v < 4 * s) division = 8;
  if (v >= 4 * s && v <= 1.0f) division = 16;
  return division;
}

float SnapFineFactor(float fineFactor)
{
  const double f = fineFactor;
  if (f >= 0.6 && f <= 0.7) return 0.6666667f;
  if (f >= 0.95 && f <= 1.05) return 1.0f;
  return fineFactor;
}

float StepCount(float value)
{
  return static_cast<float>(static_cast<int>(value * 15.0f)) + 1.0f;
}

bool LoopFollowsTempo(int noteDivision, double tempo)
{
  return noteDivision > 2 || tempo > 60.0;
}

bool StereoFollowsTempo(double tempo)
{
  return tempo > 50.0;
}

float LoopDelayMS(int noteDivision, float fineFactor, double tempo)
{
  return static_cast<float>((1.0 / noteDivision) * kWholeNoteMSTimesTempo * fineFactor / tempo);
}

float StereoDelayMS(float units, float steps, double tempo)
{
  const float unit = ((1.0f / units) / 4.0f) * static_cast<float>(kWholeNoteMSTimesTempo);
  return static_cast<float>(static_cast<double>(unit * steps) / tempo);
}

float LongestDelayMS(float sampleRate)
{
  if (!(sampleRate > 0.0f)) return 0.0f;
  const std::int32_t ringLength = ringLengthForRate(truncateSampleRate(sampleRate));
  return static_cast<float>(ringLength - 1) / (sampleRate / 1000.0f);
}
