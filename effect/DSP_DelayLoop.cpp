#include "effect/DSP_DelayLoop.h"

#include "effect/DSP_Expo.h"
#include "effect/DSP_Finite.h"
#include "effect/DSP_Sine.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

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
  for (float* v : {&mSmoothedDelay, &mSmoothedLfoIntensity, &mLfoSample, &mBaseDelay, &mOutput[0],
                   &mOutput[1]})
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

// The saturator's sine: the library's, or its inline form (see DSP_Sine.h).
struct LibrarySine
{
  static float of(float x) { return DelayLoop::Saturate(x); }
  static void pair(float a, float b, float& sineA, float& sineB)
  {
    sineA = of(a);
    sineB = of(b);
  }
  // A call spills every register, so the sines of a run are taken in a loop
  // of their own where the reads allow it.
  static constexpr bool kInline = false;
};

struct FusedSine
{
  static float of(float x) { return fusedSine(x); }
  static void pair(float a, float b, float& sineA, float& sineB)
  {
    fusedSinePair(a, b, sineA, sineB);
  }
  static constexpr bool kInline = true;
};
} // namespace

// The glides and oscillators by value, so that a loop that copies them into a
// local keeps them in registers: stores into the ring and the delay arrays
// cannot reach a local whose address is never taken.
struct DelayLoop::Modulation
{
  explicit Modulation(const DelayLoop& loop)
      : glide(loop.mGlide), lfo(*loop.mLfo), flt(*loop.mFlt), target(loop.mTargetDelay),
        samplesPerMS(loop.mSamplesPerMS), intensity(loop.mLfoIntensity),
        weight(loop.mLfoIntensityWeight), factor(loop.mLfoIntensityFactor),
        fltIntensity(loop.mFltIntensity), smoothed(loop.mSmoothedDelay),
        smoothedIntensity(loop.mSmoothedLfoIntensity), lfoSample(loop.mLfoSample),
        baseDelay(loop.mBaseDelay)
  {
  }

  // The steps of process before the lines run. Held: see held().
  template <bool Held = false> void step(float* delays1, float* delays2, int i)
  {
    if (!Held) smoothed = glide.step(target, smoothed);
    lfoSample = lfo.getSample();
    if (!Held) smoothedIntensity = intensity * weight + smoothedIntensity * factor;
    baseDelay = samplesPerMS * smoothed;
    const double lfoTerm = lfoSample * 20.0 * smoothedIntensity;
    const float flt1 = flt.getSample();
    const float flt2 = flt.getSample();
    delays1[i] = static_cast<float>(baseDelay + flt1 * 10.0 * fltIntensity + lfoTerm);
    delays2[i] = static_cast<float>(baseDelay + flt2 * 10.0 * fltIntensity + lfoTerm);
  }

  // Whether the delay glide and the LFO intensity each step to their own
  // bits: then every later step does too, and skipping them changes nothing.
  bool held() const
  {
    const float nextIntensity = intensity * weight + smoothedIntensity * factor;
    return glide.settled(target, smoothed) &&
           std::memcmp(&nextIntensity, &smoothedIntensity, sizeof nextIntensity) == 0;
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

  Glide glide;
  Sinosc lfo, flt;
  float target, samplesPerMS, intensity, weight, factor;
  double fltIntensity; // widened once: the products take it as a double
  float smoothed, smoothedIntensity, lfoSample, baseDelay;
};

// The modulation of the next run, stepped inside the signal loop of this one:
// its chains of dependent steps then overlap with the signal's. It depends on
// the settings only, which do not change within a block.
struct DelayLoop::Ahead
{
  Modulation& modulation;
  float* delays1;
  float* delays2;
  int count; // never more than the run's length

  // Runs body(i) for the run's n samples, stepping the modulation beside the
  // first count of them on a local copy.
  template <class Body> void run(int n, Body body)
  {
    if (count > 0 && modulation.held())
      steps<true>(n, body);
    else
      steps<false>(n, body);
  }

  template <bool Held, class Body> void steps(int n, Body& body)
  {
    Modulation local = modulation;
    int i = 0;
    for (; i < count; ++i)
    {
      local.step<Held>(delays1, delays2, i);
      body(i);
    }
    for (; i < n; ++i)
      body(i);
    modulation = local;
  }
};

// The first run of the next block, worked out beside the last run of this
// one, so that a block of one run (what the effect hands over) need not step
// its modulation on its own. The delays and the state after them depend on
// nothing but the modulation's values, so they hold for the next block
// exactly when it starts from the same values, bit for bit, with a first run
// of the same length: a setter, reset or per-sample call in between that
// changes any of them leaves the block to step its first run itself.
struct DelayLoop::FirstRun
{
  explicit FirstRun(const DelayLoop& loop) : from(loop), after(loop) {}

  bool holdsFor(const Modulation& start, int length) const
  {
    return length == count && std::memcmp(&from, &start, sizeof from) == 0;
  }

  Modulation from, after;
  float delays[2][kRunLength];
  int count = 0;

  // Compared bit for bit: no padding between the values.
  static_assert(sizeof(Modulation) ==
                    sizeof(Glide) + 2 * sizeof(Sinosc) + 9 * sizeof(float) + sizeof(double),
                "Modulation has padding");
};

DelayLoop::DelayLoop(float sampleRate)
    : mSampleRate(sampleRate), mLine1(new TapDelay(sampleRate, 10.0f)), mLowPass(new OnePoleLP),
      mHighPass(new OnePoleHP), mLine2(new TapDelay(sampleRate, 10.0f)),
      mFlt(new Sinosc(sampleRate, 5000.0f)), mLfo(new Sinosc(44100.0f, 0.0f)),
      mFusedSine(fusedSineMatchesLibrary()), mFirstRun(new FirstRun(*this))
{
}

DelayLoop::~DelayLoop() = default;

template <class Sine>
inline __attribute__((always_inline)) void DelayLoop::processRuns(const float* x, float* left,
                                                                  float* right, int n)
{
  const int first = n < kRunLength ? n : kRunLength;
  Modulation modulation(*this);
  float delays[2][2][kRunLength];
  FirstRun& ready = *mFirstRun;
  if (ready.holdsFor(modulation, first))
  {
    for (int line = 0; line < 2; ++line)
      std::memcpy(delays[0][line], ready.delays[line], sizeof(float) * first);
    modulation = ready.after;
  }
  else
  {
    Modulation local = modulation;
    for (int i = 0; i < first; ++i)
      local.step(delays[0][0], delays[0][1], i);
    modulation = local;
  }
  for (int start = 0, run = 0; start < n; start += kRunLength, ++run)
  {
    const int count = n - start < kRunLength ? n - start : kRunLength;
    const int rest = n - start - count;
    const float(&current)[2][kRunLength] = delays[run & 1];
    if (rest > 0)
    {
      float(&next)[2][kRunLength] = delays[(run + 1) & 1];
      Ahead ahead{modulation, next[0], next[1], rest < kRunLength ? rest : kRunLength};
      processRun<Sine>(x + start, left + start, right + start, count, current, ahead);
      continue;
    }
    // The last run: beside it, the first run of a next block of this size.
    ready.from = modulation;
    Modulation after = modulation;
    Ahead ahead{after, ready.delays[0], ready.delays[1], first < count ? first : count};
    processRun<Sine>(x + start, left + start, right + start, count, current, ahead);
    for (int i = ahead.count; i < first; ++i)
      after.step(ready.delays[0], ready.delays[1], i);
    ready.after = after;
    ready.count = first;
  }
  modulation.store(*this);
}

template <class Sine>
inline __attribute__((always_inline)) void
DelayLoop::processRun(const float* x, float* left, float* right, int n,
                      const float (&delays)[2][kRunLength], Ahead& ahead)
{
  ReadPlan plan1;
  mLine1->planRun(delays[0], n, plan1);
  if (mPong)
  {
    ReadPlan plan2;
    mLine2->planRun(delays[1], n, plan2);
    if (!Sine::kInline && mLine1->readsClearOfWrites(plan1, n))
      pongReadsFirst(x, left, right, n, plan1, plan2, ahead);
    else
      pongInOrder<Sine>(x, left, right, n, plan1, plan2, ahead);
  }
  else
  {
    // The second line only takes its delay.
    mLine2->setDelay(delays[1][n - 1]);
    if (!Sine::kInline && mLine1->readsClearOfWrites(plan1, n))
    {
      singleReadsFirst(x, left, n, plan1, ahead);
      for (int i = 0; i < n; ++i)
        right[i] = left[i];
    }
    else
      singleInOrder<Sine>(x, left, right, n, plan1, ahead);
  }
  mOutput[0] = left[n - 1];
  mOutput[1] = right[n - 1];
}

template <class Sine>
inline __attribute__((always_inline)) void
DelayLoop::pongInOrder(const float* x, float* left, float* right, int n, const ReadPlan& plan1,
                       const ReadPlan& plan2, Ahead& ahead)
{
  TapDelay::Run line1 = mLine1->beginRun(plan1), line2 = mLine2->beginRun(plan2);
  OnePoleLP lp = *mLowPass;
  OnePoleHP hp = *mHighPass;
  const double gain = mFeedback;
  float out2 = static_cast<float>(mOutput2);
  ahead.run(n,
            [&](int i)
            {
              const float p =
                  line1.step(i, static_cast<float>((x[i] + static_cast<double>(out2)) * gain));
              const float q = hp.process(lp.process(line2.step(i, p)));
              float sineP, sineQ;
              Sine::pair(static_cast<float>(p * 0.95), static_cast<float>(q * 0.95), sineP, sineQ);
              left[i] = guarded(sineP);
              out2 = guarded(sineQ);
              right[i] = out2;
            });
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
  ahead.run(n,
            [&](int i)
            {
              const float p = line1.read(i);
              const float q = hp.process(lp.process(line2.step(i, p)));
              left[i] = static_cast<float>(p * 0.95);
              right[i] = static_cast<float>(q * 0.95);
            });
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

template <class Sine>
inline __attribute__((always_inline)) void
DelayLoop::singleInOrder(const float* x, float* left, float* right, int n, const ReadPlan& plan1,
                         Ahead& ahead)
{
  TapDelay::Run line1 = mLine1->beginRun(plan1);
  OnePoleLP lp = *mLowPass;
  OnePoleHP hp = *mHighPass;
  const double gain = mFeedback;
  float out1 = static_cast<float>(mOutput1);
  ahead.run(n,
            [&](int i)
            {
              const float p =
                  line1.step(i, static_cast<float>((x[i] + static_cast<double>(out1)) * gain));
              out1 = guarded(Sine::of(hp.process(lp.process(p))));
              left[i] = out1;
              right[i] = out1;
            });
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
  ahead.run(n, [&](int i) { out[i] = hp.process(lp.process(line1.read(i))); });
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

void DelayLoop::processBlock(const float* x, float* left, float* right, int n)
{
  if (n <= 0) return;
  if (mFusedSine)
    processRunsFused(x, left, right, n);
  else
    processRuns<LibrarySine>(x, left, right, n);
}

__attribute__((target("fma"), flatten)) void
DelayLoop::processRunsFused(const float* x, float* left, float* right, int n)
{
  processRuns<FusedSine>(x, left, right, n);
}

float DelayLoop::getExpo(float x)
{
  return static_cast<float>(expoSweep(x) / 20000.0);
}
