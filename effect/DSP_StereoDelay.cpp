#include "effect/DSP_StereoDelay.h"

#include "effect/DSP_Expo.h"
#include "effect/DSP_Finite.h"

#include "effect/DSP_Vector.h"

#include <cmath>
#include <cstring>

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

void StereoDelay::Tap::planRun(int n, const Glide& glide, float samplesPerMS)
{
  // The glide and the reads do not depend on the signal: they are worked out
  // for the run first.
  float delays[kRunLength];
  float smoothed = smoothedDelay;
  // A settled glide gives the same bits at every step: no chain of steps to
  // wait for, and one delay for the whole run.
  const bool settled = glide.settled(targetDelay, smoothed);
  if (settled)
    delays[0] = samplesPerMS * smoothed;
  else
    for (int i = 0; i < n; ++i)
    {
      smoothed = glide.step(targetDelay, smoothed);
      delays[i] = samplesPerMS * smoothed;
    }
  smoothedDelay = smoothed;
  line->planRun(delays, n, plan, settled);
}

void StereoDelay::Tap::passRun(const float* x, float* out, int n)
{
  if (highPassOn())
    lowPassOn() ? passRun<true, true>(x, out, n) : passRun<true, false>(x, out, n);
  else
    lowPassOn() ? passRun<false, true>(x, out, n) : passRun<false, false>(x, out, n);
}

template <bool HighPass, bool LowPass>
void StereoDelay::Tap::passRun(const float* x, float* out, int n)
{
  // Filters and loop state as locals, so that the stores into the ring do not
  // make the compiler reload them.
  TapDelay::Run run = line->beginRun(plan);
  OnePoleHP hp = *highPass;
  OnePoleLP lp = *lowPass;
  float y = output;
  const float gain = feedback;
  for (int i = 0; i < n; ++i)
  {
    y = run.step(i, (y + x[i]) * gain);
    if (HighPass) y = hp.process(y);
    if (LowPass) y = lp.process(y);
    // A filter's output is guarded already; guarding again changes nothing.
    if (!HighPass && !LowPass) killDenormal(y);
    out[i] = y;
  }
  line->endRun(run);
  *highPass = hp;
  *lowPass = lp;
  output = y;
}

namespace
{
// Filters of both taps in two vector lanes (the other two idle): each lane
// takes the steps of OnePole::process. The loop carries its value before the
// guard, with the guard's verdict: a1 times the guarded output is a1 times
// that value where the guard keeps it, and a zero where it does not (the sign
// of that zero can differ from a1 * 0, but only the sign of a zero sum
// follows from it, and the guard zeroes such a sum either way). So the guard
// is worked out beside the loop's multiply instead of before it.
struct FilterLanes
{
  Float4 b0, b1, a1, in, out;
  Float4 unguarded;
  Int4 zeroed; // lanes whose guard zeroed the last value

  FilterLanes(const OnePole& f1, const OnePole& f2)
      : b0{f1.b0(), f2.b0()}, b1{f1.b1(), f2.b1()}, a1{f1.a1(), f2.a1()},
        in{f1.previousInput(), f2.previousInput()}, out{f1.previousOutput(), f2.previousOutput()},
        unguarded(out), zeroed(denormalLanes(out))
  {
  }
  Float4 process(Float4 x) { return processGuarded(flushDenormalLanes(x), x); }
  // The same for an input that is guarded already (another filter's output):
  // guarding it again changes nothing.
  Float4 processGuarded(Float4 x) { return processGuarded(x, x); }
  // Back into the filters; a filter that is switched off keeps its history.
  void store(OnePole& f1, OnePole& f2, bool on1 = true, bool on2 = true) const
  {
    if (on1) f1.setHistory(in[0], out[0]);
    if (on2) f2.setHistory(in[1], out[1]);
  }

private:
  Float4 processGuarded(Float4 guardedX, Float4 x)
  {
    unguarded = b0 * x + b1 * in + clearLanes(a1 * unguarded, zeroed);
    zeroed = denormalLanes(unguarded);
    out = clearLanes(unguarded, zeroed);
    in = guardedX;
    return out;
  }
};
} // namespace

// Both taps side by side in two vector lanes, when their filters are switched
// alike: each lane takes the steps of Tap::passRun.
template <bool HighPass, bool LowPass>
void StereoDelay::passRunSideBySide(const float* x, float* out1, float* out2, int n)
{
  const ReadPlan& plan1 = mTap1.plan;
  const ReadPlan& plan2 = mTap2.plan;
  if (plan1.adjacent && plan2.adjacent && plan1.writesInOrder && plan2.writesInOrder)
    passRunLanes<HighPass, LowPass, true>(x, out1, out2, n);
  else
    passRunLanes<HighPass, LowPass, false>(x, out1, out2, n);
}

// Straight: the writes go to consecutive slots, and each read takes its two
// slots with one load per tap.
template <bool HighPass, bool LowPass, bool Straight>
void StereoDelay::passRunLanes(const float* x, float* out1, float* out2, int n)
{
  TapDelay::Run run1 = mTap1.line->beginRun(mTap1.plan), run2 = mTap2.line->beginRun(mTap2.plan);
  float* const buffer1 = run1.buffer;
  float* const buffer2 = run2.buffer;
  const ReadPlan& plan1 = mTap1.plan;
  const ReadPlan& plan2 = mTap2.plan;
  FilterLanes hp(*mTap1.highPass, *mTap2.highPass), lp(*mTap1.lowPass, *mTap2.lowPass);
  const Float4 gain{mTap1.feedback, mTap2.feedback};
  Float4 allPass{run1.state, run2.state};
  Float4 y{mTap1.output, mTap2.output};
  float* const written1 = buffer1 + plan1.write[0];
  float* const written2 = buffer2 + plan2.write[0];
  for (int i = 0; i < n; ++i)
  {
    const Float4 in = (y + x[i]) * gain;
    if (Straight)
    {
      written1[i] = in[0];
      written2[i] = in[1];
    }
    else
    {
      buffer1[plan1.write[i]] = in[0];
      buffer2[plan2.write[i]] = in[1];
    }
    Float4 s0, s1;
    if (Straight)
    {
      // {first 1, first 2, second 1, second 2}: the idle lanes of s0 carry the
      // second slots, which the idle lanes of c and of the filters (zeros)
      // keep out of every result.
      s0 = __builtin_shufflevector(loadLanes<Float2>(buffer1 + plan1.index0[i]),
                                   loadLanes<Float2>(buffer2 + plan2.index0[i]), 0, 2, 1, 3);
      s1 = __builtin_shufflevector(s0, s0, 2, 3, 2, 3);
    }
    else
    {
      s0 = Float4{buffer1[plan1.index0[i]], buffer2[plan2.index0[i]]};
      s1 = Float4{buffer1[plan1.index1[i]], buffer2[plan2.index1[i]]};
    }
    const Float4 c{plan1.coefficient[i], plan2.coefficient[i]};
    y = s0 * c + s1 - allPass * c;
    allPass = y;
    if (HighPass) y = hp.process(y);
    if (LowPass) y = lp.process(y);
    if (!HighPass && !LowPass) y = flushDenormalLanes(y);
    out1[i] = y[0];
    out2[i] = y[1];
  }
  run1.state = allPass[0];
  run2.state = allPass[1];
  mTap1.line->endRun(run1);
  mTap2.line->endRun(run2);
  hp.store(*mTap1.highPass, *mTap2.highPass);
  lp.store(*mTap1.lowPass, *mTap2.lowPass);
  mTap1.output = y[0];
  mTap2.output = y[1];
}

namespace
{
// Two floats to the low lanes (the others zero), and back.
inline Float4 loadPair(const float* p)
{
  return __builtin_shufflevector(loadLanes<Float2>(p), Float2{}, 0, 1, 2, 3);
}

inline void storePair(float* p, Float4 v)
{
  storeLanes(p, __builtin_shufflevector(v, v, 0, 1));
}

// The part of each all-pass read of a steady run that does not depend on the
// loop, s0 * c + s1, for both taps, interleaved {tap 1, tap 2} per sample.
void steadyReads(const float* ring1, const SteadyReads& reads1, const float* ring2,
                 const SteadyReads& reads2, float* q, int n)
{
  const float* a = ring1 + reads1.first;
  const float* b = ring2 + reads2.first;
  const float c1 = reads1.coefficient, c2 = reads2.coefficient;
  int i = 0;
  for (; i + 4 <= n; i += 4)
  {
    const Float4 q1 = loadLanes<Float4>(a + i) * c1 + loadLanes<Float4>(a + i + 1);
    const Float4 q2 = loadLanes<Float4>(b + i) * c2 + loadLanes<Float4>(b + i + 1);
    storeLanes(q + 2 * i, __builtin_shufflevector(q1, q2, 0, 4, 1, 5));
    storeLanes(q + 2 * i + 4, __builtin_shufflevector(q1, q2, 2, 6, 3, 7));
  }
  for (; i < n; ++i)
  {
    q[2 * i] = a[i] * c1 + a[i + 1];
    q[2 * i + 1] = b[i] * c2 + b[i + 1];
  }
}

// The writes of a steady run, (previous output + input) * feedback per tap,
// from the interleaved outputs, pairs[0] and pairs[1] being those before the run.
void steadyWrites(const float* x, const float* pairs, float* to1, float gain1, float* to2,
                  float gain2, int n)
{
  int i = 0;
  for (; i + 4 <= n; i += 4)
  {
    const Float4 a = loadLanes<Float4>(pairs + 2 * i), b = loadLanes<Float4>(pairs + 2 * i + 4);
    const Float4 in = loadLanes<Float4>(x + i);
    storeLanes(to1 + i, (__builtin_shufflevector(a, b, 0, 2, 4, 6) + in) * gain1);
    storeLanes(to2 + i, (__builtin_shufflevector(a, b, 1, 3, 5, 7) + in) * gain2);
  }
  for (; i < n; ++i)
  {
    to1[i] = (pairs[2 * i] + x[i]) * gain1;
    to2[i] = (pairs[2 * i + 1] + x[i]) * gain2;
  }
}
} // namespace

bool StereoDelay::passSteadyRun(const float* x, float* left, float* right, int n)
{
  if (!mGlide.settled(mTap1.targetDelay, mTap1.smoothedDelay) ||
      !mGlide.settled(mTap2.targetDelay, mTap2.smoothedDelay))
    return false;
  SteadyReads reads1, reads2;
  if (!mTap1.line->planSteadyRun(mSamplesPerMS * mTap1.smoothedDelay, n, reads1) ||
      !mTap2.line->planSteadyRun(mSamplesPerMS * mTap2.smoothedDelay, n, reads2))
    return false;
  mTap1.line->takeSteadyRun(reads1, n);
  mTap2.line->takeSteadyRun(reads2, n);
  float* const ring1 = mTap1.line->ring();
  float* const ring2 = mTap2.line->ring();
  float q[2 * kSteadyRunLength];
  steadyReads(ring1, reads1, ring2, reads2, q, n);
  // The taps' outputs, {tap 1, tap 2} per sample, after those of the last run.
  float pairs[2 * kSteadyRunLength + 2];
  pairs[0] = mTap1.output;
  pairs[1] = mTap2.output;
  const Float4 c{reads1.coefficient, reads2.coefficient};
  const bool highPass = mTap1.highPassOn() || mTap2.highPassOn();
  const bool lowPass = mTap1.lowPassOn() || mTap2.lowPassOn();
  if (mTap1.highPassOn() != mTap2.highPassOn() || mTap1.lowPassOn() != mTap2.lowPassOn())
  {
    if (highPass)
      lowPass ? passSteadyLanes<true, true, false>(q, c, pairs, left, right, n)
              : passSteadyLanes<true, false, false>(q, c, pairs, left, right, n);
    else
      passSteadyLanes<false, true, false>(q, c, pairs, left, right, n);
  }
  else if (highPass)
    lowPass ? passSteadyLanes<true, true, true>(q, c, pairs, left, right, n)
            : passSteadyLanes<true, false, true>(q, c, pairs, left, right, n);
  else
    lowPass ? passSteadyLanes<false, true, true>(q, c, pairs, left, right, n)
            : passSteadyLanes<false, false, true>(q, c, pairs, left, right, n);
  steadyWrites(x, pairs, ring1 + reads1.firstWrite, mTap1.feedback, ring2 + reads2.firstWrite,
               mTap2.feedback, n);
  mTap1.output = pairs[2 * n];
  mTap2.output = pairs[2 * n + 1];
  return true;
}

// The loops of a steady run in two vector lanes: each lane takes the steps of
// Tap::passRun after its reads. Alike: both taps have the same filters on;
// otherwise a stage that is off for one tap passes its lane through, and every
// lane is guarded at the end (a filter's output is guarded already).
template <bool HighPass, bool LowPass, bool Alike>
void StereoDelay::passSteadyLanes(const float* q, Float4 c, float* pairs, float* left, float* right,
                                  int n)
{
  FilterLanes hp(*mTap1.highPass, *mTap2.highPass), lp(*mTap1.lowPass, *mTap2.lowPass);
  Float4 allPass{mTap1.line->allPassState(), mTap2.line->allPassState()};
  // The pan law in the loop's spare time: {tap 1, tap 2, tap 1, tap 2} times
  // the left and right pans, times the levels, each pair summed.
  const Float4 pan{1.0f - mTap1.pan, 1.0f - mTap2.pan, mTap1.pan, mTap2.pan};
  const Float4 level{mTap1.level, mTap2.level, mTap1.level, mTap2.level};
  const Int4 highPassOn{-mTap1.highPassOn(), -mTap2.highPassOn()};
  const Int4 lowPassOn{-mTap1.lowPassOn(), -mTap2.lowPassOn()};
  for (int i = 0; i < n; ++i)
  {
    Float4 y = loadPair(q + 2 * i) - allPass * c;
    allPass = y;
    if (Alike)
    {
      if (HighPass) y = hp.process(y);
      if (LowPass) y = HighPass ? lp.processGuarded(y) : lp.process(y);
      if (!HighPass && !LowPass) y = flushDenormalLanes(y);
    }
    else
    {
      if (HighPass) y = selectLanes(highPassOn, hp.process(y), y);
      if (LowPass) y = selectLanes(lowPassOn, lp.process(y), y);
      y = flushDenormalLanes(y);
    }
    storePair(pairs + 2 + 2 * i, y);
    const Float4 parts = __builtin_shufflevector(y, y, 0, 1, 0, 1) * pan * level;
    const Float4 sums = parts + __builtin_shufflevector(parts, parts, 1, 0, 3, 2);
    left[i] = sums[0];
    right[i] = sums[2];
  }
  mTap1.line->endRun(allPass[0]);
  mTap2.line->endRun(allPass[1]);
  hp.store(*mTap1.highPass, *mTap2.highPass, mTap1.highPassOn(), mTap2.highPassOn());
  lp.store(*mTap1.lowPass, *mTap2.lowPass, mTap1.lowPassOn(), mTap2.lowPassOn());
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

std::size_t StereoDelay::cleanSpareRings()
{
  return mTap1.line->cleanSpare() + mTap2.line->cleanSpare();
}

void StereoDelay::touchRingPages() const
{
  mTap1.line->touchPages();
  mTap2.line->touchPages();
}

bool StereoDelay::spareRingsClean() const
{
  return mTap1.line->spareClean() && mTap2.line->spareClean();
}

std::size_t StereoDelay::slotsClearedByResets() const
{
  return mTap1.line->slotsClearedByResets() + mTap2.line->slotsClearedByResets();
}

float* StereoDelay::process(float x)
{
  const float out1 = mTap1.process(x, mGlide, mSamplesPerMS);
  const float out2 = mTap2.process(x, mGlide, mSamplesPerMS);
  mOutput[0] = out1 * (1.0f - mTap1.pan) * mTap1.level + out2 * (1.0f - mTap2.pan) * mTap2.level;
  mOutput[1] = out1 * mTap1.pan * mTap1.level + out2 * mTap2.pan * mTap2.level;
  return mOutput;
}

namespace
{
// The linear pan law with levels, for one sample or four.
struct PanLaw
{
  float left1, left2, right1, right2, level1, level2;

  template <class T> T left(T out1, T out2) const
  {
    return out1 * left1 * level1 + out2 * left2 * level2;
  }
  template <class T> T right(T out1, T out2) const
  {
    return out1 * right1 * level1 + out2 * right2 * level2;
  }
};

// The taps' outputs mixed into left and right; four samples at a time, each
// lane as the scalar tail computes it.
void mixTaps(const PanLaw& pan, const float* out1, const float* out2, float* left, float* right,
             int n)
{
  int i = 0;
  for (; i + 4 <= n; i += 4)
  {
    const Float4 a = loadLanes<Float4>(out1 + i), b = loadLanes<Float4>(out2 + i);
    storeLanes(left + i, pan.left(a, b));
    storeLanes(right + i, pan.right(a, b));
  }
  for (; i < n; ++i)
  {
    left[i] = pan.left(out1[i], out2[i]);
    right[i] = pan.right(out1[i], out2[i]);
  }
}
} // namespace

void StereoDelay::processBlock(const float* x, float* left, float* right, int n)
{
  if (n <= 0) return;
  const PanLaw pan{1.0f - mTap1.pan, 1.0f - mTap2.pan, mTap1.pan,
                   mTap2.pan,        mTap1.level,      mTap2.level};
  for (int start = 0; start < n; start += kSteadyRunLength)
  {
    const int count = n - start < kSteadyRunLength ? n - start : kSteadyRunLength;
    if (!passSteadyRun(x + start, left + start, right + start, count))
      // Whatever is steady of it in shorter runs, the rest planned.
      for (int run = start; run < start + count; run += kRunLength)
      {
        const int m = start + count - run < kRunLength ? start + count - run : kRunLength;
        if (!passSteadyRun(x + run, left + run, right + run, m))
        {
          float out1[kRunLength], out2[kRunLength];
          passRun(x + run, out1, out2, m);
          mixTaps(pan, out1, out2, left + run, right + run, m);
        }
      }
  }
  mOutput[0] = left[n - 1];
  mOutput[1] = right[n - 1];
}

void StereoDelay::passRun(const float* in, float* out1, float* out2, int count)
{
  mTap1.planRun(count, mGlide, mSamplesPerMS);
  mTap2.planRun(count, mGlide, mSamplesPerMS);
  if (mTap1.highPassOn() != mTap2.highPassOn() || mTap1.lowPassOn() != mTap2.lowPassOn())
  {
    mTap1.passRun(in, out1, count);
    mTap2.passRun(in, out2, count);
  }
  else if (mTap1.highPassOn())
    mTap1.lowPassOn() ? passRunSideBySide<true, true>(in, out1, out2, count)
                      : passRunSideBySide<true, false>(in, out1, out2, count);
  else
    mTap1.lowPassOn() ? passRunSideBySide<false, true>(in, out1, out2, count)
                      : passRunSideBySide<false, false>(in, out1, out2, count);
}

float StereoDelay::getExpo(float x)
{
  return static_cast<float>(std::exp(static_cast<double>(x) * kLn20000) / 20000.0);
}
