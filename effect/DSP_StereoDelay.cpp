#include "effect/DSP_StereoDelay.h"

#include "effect/DSP_Expo.h"
#include "effect/DSP_Finite.h"

#include <cmath>

namespace
{
float cutoffHz(float value)
{
  return StereoDelay::getExpo(value) * 22050;
}
} // namespace

StereoDelay::Tap::Tap(float sampleRate, float startPan)
    : line(new TapDelay(sampleRate, 10.0f)), lowPass(new OnePoleLP), highPass(new OnePoleHP),
      pan(startPan)
{
}

void StereoDelay::Tap::setTargetDelay(float ms)
{
  if (std::isfinite(ms)) targetDelay = ms;
}

void StereoDelay::Tap::setLowPass(float value)
{
  lowPassValue = value;
  lowPass->setCutoff(cutoffHz(value));
}

void StereoDelay::Tap::setHighPass(float value)
{
  highPassValue = value;
  highPass->setCutoff(cutoffHz(value));
}

void StereoDelay::Tap::reset(float sampleRate)
{
  lowPass->reset(sampleRate);
  highPass->reset(sampleRate);
  lowPass->setCutoff(cutoffHz(lowPassValue));
  highPass->setCutoff(cutoffHz(highPassValue));
  output = 0.0f;
  keepFinite(smoothedDelay);
  line->reset(truncateSampleRate(sampleRate), sampleRate / 1000.0f * targetDelay);
}

float StereoDelay::Tap::process(float x, const Glide& glide, float samplesPerMS)
{
  smoothedDelay = glide.step(targetDelay, smoothedDelay);
  line->setDelay(samplesPerMS * smoothedDelay);
  // The input enters scaled by the feedback, so feedback also sets the level
  // of the first echo.
  output = line->Process((output + x) * feedback);
  if (highPassValue > 0.0f) output = highPass->process(output);
  if (lowPassValue < 1.0f) output = lowPass->process(output);
  killDenormal(output);
  return output;
}

StereoDelay::StereoDelay(float sampleRate)
    : mSampleRate(sampleRate), mTap1(sampleRate, 0.0f), mTap2(sampleRate, 1.0f)
{
}

StereoDelay::~StereoDelay() = default;

void StereoDelay::reset(float sampleRate)
{
  mSampleRate = sampleRate;
  mTap1.reset(sampleRate);
  mTap2.reset(sampleRate);
  mGlide.setRate(sampleRate);
  mSamplesPerMS = sampleRate / 1000.0f;
  for (float& v : mOutput)
    keepFinite(v);
}

float* StereoDelay::process(float x)
{
  const float out1 = mTap1.process(x, mGlide, mSamplesPerMS);
  const float out2 = mTap2.process(x, mGlide, mSamplesPerMS);
  mOutput[0] = out1 * (1.0f - mTap1.pan) * mTap1.level + out2 * (1.0f - mTap2.pan) * mTap2.level;
  mOutput[1] = out1 * mTap1.pan * mTap1.level + out2 * mTap2.pan * mTap2.level;
  return mOutput;
}

float StereoDelay::getExpo(float x)
{
  return static_cast<float>(std::exp(static_cast<double>(x) * kLn20000) / 20000.0);
}
