#include "effect/DSP_DelayLoop.h"

#include "effect/DSP_Expo.h"
#include "effect/DSP_Finite.h"

#include <cmath>
#include <initializer_list>

DelayLoop::DelayLoop(float sampleRate)
    : mSampleRate(sampleRate), mLine1(new TapDelay(sampleRate, 10.0f)), mLowPass(new OnePoleLP),
      mHighPass(new OnePoleHP), mLine2(new TapDelay(sampleRate, 10.0f)),
      mFlt(new Sinosc(sampleRate, 5000.0f)), mLfo(new Sinosc(44100.0f, 0.0f))
{
}

DelayLoop::~DelayLoop() = default;

void DelayLoop::reset(float sampleRate)
{
  mLowPass->reset(sampleRate);
  mHighPass->reset(sampleRate);
  mLowPass->setCutoff(mLowPassValue * 20000);
  mHighPass->setCutoff(getExpo(mHighPassValue) * 20000);
  mSampleRate = sampleRate;
  mFlt->reset(sampleRate);
  mLfo->reset(sampleRate);
  mOutput1 = 0.0;
  mOutput2 = 0.0;
  for (float* v : {&mSmoothedDelay, &mSmoothedLfoIntensity, &mLfoSample, &mBaseDelay,
                   &mOutput[0], &mOutput[1]})
    keepFinite(*v);
  const float delay = sampleRate / 1000.0f * mTargetDelay;
  mLine1->reset(truncateSampleRate(sampleRate), delay);
  mLine2->reset(truncateSampleRate(sampleRate), delay);
  mGlide.setRate(sampleRate);
  mSamplesPerMS = sampleRate / 1000.0f;
}

void DelayLoop::setDelayMS(float ms)
{
  if (std::isfinite(ms)) mTargetDelay = ms;
}

void DelayLoop::setLPCutoff(float value)
{
  mLowPassValue = value;
  mLowPass->setCutoff(value * 20000);
}

void DelayLoop::setHPCutoff(float value)
{
  mHighPassValue = value;
  mHighPass->setCutoff(getExpo(value) * 20000);
}

void DelayLoop::setLfoRate(float hz)
{
  mLfoRate = hz;
  mLfo->setFrequency(hz);
}

void DelayLoop::setFltRate(float hz)
{
  mFltRate = hz;
  mFlt->setFrequency(hz);
}

float* DelayLoop::process(float x)
{
  mSmoothedDelay = mGlide.step(mTargetDelay, mSmoothedDelay);
  mLfoSample = mLfo->getSample();
  mSmoothedLfoIntensity =
      mLfoIntensity * mLfoIntensityWeight + mSmoothedLfoIntensity * mLfoIntensityFactor;
  mBaseDelay = mSamplesPerMS * mSmoothedDelay;
  // Both oscillators are unipolar, so the modulation only lengthens the delay.
  // The Flt oscillator steps once per line: it runs at twice its set rate.
  const double lfoTerm = mLfoSample * 20.0 * mSmoothedLfoIntensity;
  const float flt1 = mFlt->getSample();
  const float flt2 = mFlt->getSample();
  mLine1->setDelay(modulatedDelay(flt1, lfoTerm));
  mLine2->setDelay(modulatedDelay(flt2, lfoTerm));
  if (mPong)
    processPong(x);
  else
    processSingle(x);
  killDenormal(mOutput1);
  killDenormal(mOutput2);
  mOutput[0] = static_cast<float>(mOutput1);
  mOutput[1] = static_cast<float>(mOutput2);
  return mOutput;
}

// Left carries line 1 unfiltered; right carries it one more delay later,
// filtered, and only the right signal returns into line 1.
void DelayLoop::processPong(float x)
{
  const float p = mLine1->Process(static_cast<float>((x + mOutput2) * mFeedback));
  mOutput1 = p;
  const float q = mHighPass->process(mLowPass->process(mLine2->Process(p)));
  mOutput2 = q;
  mOutput1 = Saturate(static_cast<float>(mOutput1 * 0.95));
  mOutput2 = Saturate(static_cast<float>(mOutput2 * 0.95));
}

void DelayLoop::processSingle(float x)
{
  const float p = mLine1->Process(static_cast<float>((x + mOutput1) * mFeedback));
  mOutput1 = Saturate(mHighPass->process(mLowPass->process(p)));
  mOutput2 = mOutput1;
}

float DelayLoop::Saturate(float x)
{
  return std::sin(x);
}

float DelayLoop::getExpo(float x)
{
  return static_cast<float>(expoSweep(x) / 20000.0);
}
