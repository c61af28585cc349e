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

std::size_t DelayLoop::cleanSpareRings()
{
  return mLine1->cleanSpare() + mLine2->cleanSpare();
}

void DelayLoop::touchRingPages() const
{
  mLine1->touchPages();
  mLine2->touchPages();
}

bool DelayLoop::spareRingsClean() const
{
  return mLine1->spareClean() && mLine2->spareClean();
}

std::size_t DelayLoop::slotsClearedByResets() const
{
  return mLine1->slotsClearedByResets() + mLine2->slotsClearedByResets();
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
  mLine1->setDelay(modulatedDelay(mBaseDelay, flt1, lfoTerm));
  mLine2->setDelay(modulatedDelay(mBaseDelay, flt2, lfoTerm));
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

namespace
{
// The output of a saturator after the double-precision denormal guard. For a
// float the float band is the same test (see flushDenormal), with no widening.
inline float guarded(float saturated)
{
  flushDenormal(saturated);
  return saturated;
}
} // namespace

// The glides and oscillators as locals (so that stores into the ring and the
// arrays do not make the compiler reload them), stepped one sample at a time
// into the delays of both lines.
struct DelayLoop::Modulation
{
  explicit Modulation(const DelayLoop& loop)
      : glide(loop.mGlide), lfo(*loop.mLfo), flt(*loop.mFlt), loop(loop),
        target(loop.mTargetDelay), samplesPerMS(loop.mSamplesPerMS),
        intensity(loop.mLfoIntensity), weight(loop.mLfoIntensityWeight),
        factor(loop.mLfoIntensityFactor), smoothed(loop.mSmoothedDelay),
        smoothedIntensity(loop.mSmoothedLfoIntensity), lfoSample(loop.mLfoSample),
        baseDelay(loop.mBaseDelay)
  {
  }

  // The steps of process before the lines run.
  void step(float* delays1, float* delays2, int i)
  {
    smoothed = glide.step(target, smoothed);
    lfoSample = lfo.getSample();
    smoothedIntensity = intensity * weight + smoothedIntensity * factor;
    baseDelay = samplesPerMS * smoothed;
    const double lfoTerm = lfoSample * 20.0 * smoothedIntensity;
    const float flt1 = flt.getSample();
    const float flt2 = flt.getSample();
    delays1[i] = loop.modulatedDelay(baseDelay, flt1, lfoTerm);
    delays2[i] = loop.modulatedDelay(baseDelay, flt2, lfoTerm);
  }

  void store(DelayLoop& owner) const
  {
    *owner.mLfo = lfo;
    *owner.mFlt = flt;
    owner.mSmoothedDelay = smoothed;
    owner.mSmoothedLfoIntensity = smoothedIntensity;
    owner.mLfoSample = lfoSample;
    owner.mBaseDelay = baseDelay;
  }

  const Glide glide;
  Sinosc lfo, flt;
  const DelayLoop& loop;
  const float target, samplesPerMS, intensity, weight, factor;
  float smoothed, smoothedIntensity, lfoSample, baseDelay;
};

// The modulation of the next run, stepped inside the loops of this one: its
// chains of dependent steps then overlap with the signal's. It depends on
// the settings only, which do not change within a block.
struct DelayLoop::Ahead
{
  Modulation& modulation;
  float* delays1;
  float* delays2;
  int count;

  void step(int i)
  {
    if (i < count) modulation.step(delays1, delays2, i);
  }
};

void DelayLoop::processBlock(const float* x, float* left, float* right, int n)
{
  if (n <= 0) return;
  Modulation modulation(*this);
  float delays[2][2][kRunLength];
  for (int i = 0, first = n < kRunLength ? n : kRunLength; i < first; ++i)
    modulation.step(delays[0][0], delays[0][1], i);
  for (int start = 0, run = 0; start < n; start += kRunLength, ++run)
  {
    const int count = n - start < kRunLength ? n - start : kRunLength;
    const int rest = n - start - count;
    float(&next)[2][kRunLength] = delays[(run + 1) & 1];
    Ahead ahead{modulation, next[0], next[1], rest < kRunLength ? rest : kRunLength};
    processRun(x + start, left + start, right + start, count, delays[run & 1], ahead);
  }
  modulation.store(*this);
}

void DelayLoop::processRun(const float* x, float* left, float* right, int n,
                           const float (&delays)[2][kRunLength], Ahead& ahead)
{
  ReadPlan plan1;
  mLine1->planRun(delays[0], n, plan1);
  if (mPong)
  {
    ReadPlan plan2;
    mLine2->planRun(delays[1], n, plan2);
    if (mLine1->readsClearOfWrites(plan1, n))
      pongReadsFirst(x, left, right, n, plan1, plan2, ahead);
    else
      pongInOrder(x, left, right, n, plan1, plan2, ahead);
  }
  else
  {
    // The second line only takes its delay.
    mLine2->setDelay(delays[1][n - 1]);
    if (mLine1->readsClearOfWrites(plan1, n))
      singleReadsFirst(x, left, n, plan1, ahead);
    else
      singleInOrder(x, left, n, plan1, ahead);
    for (int i = 0; i < n; ++i)
      right[i] = left[i];
  }
  mOutput[0] = left[n - 1];
  mOutput[1] = right[n - 1];
}

void DelayLoop::pongInOrder(const float* x, float* left, float* right, int n,
                            const ReadPlan& plan1, const ReadPlan& plan2, Ahead& ahead)
{
  TapDelay::Run line1 = mLine1->beginRun(plan1), line2 = mLine2->beginRun(plan2);
  OnePoleLP lp = *mLowPass;
  OnePoleHP hp = *mHighPass;
  const double gain = mFeedback;
  float out2 = static_cast<float>(mOutput2);
  for (int i = 0; i < n; ++i)
  {
    ahead.step(i);
    const float p = line1.step(i, static_cast<float>((x[i] + static_cast<double>(out2)) * gain));
    const float q = hp.process(lp.process(line2.step(i, p)));
    left[i] = guarded(Saturate(static_cast<float>(p * 0.95)));
    out2 = guarded(Saturate(static_cast<float>(q * 0.95)));
    right[i] = out2;
  }
  mLine1->endRun(line1);
  mLine2->endRun(line2);
  *mLowPass = lp;
  *mHighPass = hp;
  mOutput1 = left[n - 1];
  mOutput2 = out2;
}

void DelayLoop::pongReadsFirst(const float* x, float* left, float* right, int n,
                               const ReadPlan& plan1, const ReadPlan& plan2, Ahead& ahead)
{
  TapDelay::Run line1 = mLine1->beginRun(plan1), line2 = mLine2->beginRun(plan2);
  OnePoleLP lp = *mLowPass;
  OnePoleHP hp = *mHighPass;
  // Reads and filters first; the saturators' arguments wait in the outputs.
  for (int i = 0; i < n; ++i)
  {
    ahead.step(i);
    const float p = line1.read(i);
    const float q = hp.process(lp.process(line2.step(i, p)));
    left[i] = static_cast<float>(p * 0.95);
    right[i] = static_cast<float>(q * 0.95);
  }
  for (int i = 0; i < n; ++i)
  {
    left[i] = guarded(Saturate(left[i]));
    right[i] = guarded(Saturate(right[i]));
  }
  const double gain = mFeedback;
  float out2 = static_cast<float>(mOutput2);
  for (int i = 0; i < n; ++i)
  {
    line1.write(i, static_cast<float>((x[i] + static_cast<double>(out2)) * gain));
    out2 = right[i];
  }
  mLine1->endRun(line1);
  mLine2->endRun(line2);
  *mLowPass = lp;
  *mHighPass = hp;
  mOutput1 = left[n - 1];
  mOutput2 = out2;
}

void DelayLoop::singleInOrder(const float* x, float* out, int n, const ReadPlan& plan1,
                              Ahead& ahead)
{
  TapDelay::Run line1 = mLine1->beginRun(plan1);
  OnePoleLP lp = *mLowPass;
  OnePoleHP hp = *mHighPass;
  const double gain = mFeedback;
  float out1 = static_cast<float>(mOutput1);
  for (int i = 0; i < n; ++i)
  {
    ahead.step(i);
    const float p = line1.step(i, static_cast<float>((x[i] + static_cast<double>(out1)) * gain));
    out1 = guarded(Saturate(hp.process(lp.process(p))));
    out[i] = out1;
  }
  mLine1->endRun(line1);
  *mLowPass = lp;
  *mHighPass = hp;
  mOutput1 = mOutput2 = out1;
}

void DelayLoop::singleReadsFirst(const float* x, float* out, int n, const ReadPlan& plan1,
                                 Ahead& ahead)
{
  TapDelay::Run line1 = mLine1->beginRun(plan1);
  OnePoleLP lp = *mLowPass;
  OnePoleHP hp = *mHighPass;
  for (int i = 0; i < n; ++i)
  {
    ahead.step(i);
    out[i] = hp.process(lp.process(line1.read(i)));
  }
  for (int i = 0; i < n; ++i)
    out[i] = guarded(Saturate(out[i]));
  const double gain = mFeedback;
  float out1 = static_cast<float>(mOutput1);
  for (int i = 0; i < n; ++i)
  {
    line1.write(i, static_cast<float>((x[i] + static_cast<double>(out1)) * gain));
    out1 = out[i];
  }
  mLine1->endRun(line1);
  *mLowPass = lp;
  *mHighPass = hp;
  mOutput1 = mOutput2 = out1;
}

float DelayLoop::getExpo(float x)
{
  return static_cast<float>(expoSweep(x) / 20000.0);
}
