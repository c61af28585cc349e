#pragma once

// Threads: construction allocates (setup, under the plug-in mutex); setters,
// reset and process run on the audio thread or under the mutex, allocate
// nothing and make no system call. One owner; no internal locking.

#include "effect/DSP_DelayA.h"
#include "effect/DSP_Glide.h"
#include "effect/DSP_OnePoleHP.h"
#include "effect/DSP_OnePoleLP.h"
#include "effect/DSP_Sine.h"
#include "effect/DSP_Sinosc.h"

#include <cmath>
#include <memory>

// A feedback delay whose read position two sine oscillators (LFO and Flt)
// push back and forth, with a low-pass, a high-pass and a sine saturator in
// the loop. Single-line mode sends one line to both channels; pong mode runs
// two lines in series into left and right, feeding back from the second.
class DelayLoop
{
public:
  explicit DelayLoop(float sampleRate);
  ~DelayLoop();
  DelayLoop(const DelayLoop&) = delete;
  DelayLoop& operator=(const DelayLoop&) = delete;

  // Re-tunes filters, oscillators and glide for the rate and clears the loop.
  // The smoothed delay and LFO intensity carry over; state that is not finite
  // becomes zero.
  void reset(float sampleRate);

  // Outside the plug-in mutex: clears what the last reset set aside in the
  // delay lines' spares (see TapDelay::reset); the number of slots cleared.
  std::size_t cleanSpareRings();
  bool spareRingsClean() const;
  // Not while a render runs: backs the rings in use with memory now.
  void touchRingPages() const;
  // Slots the resets so far cleared themselves, under the caller's lock.
  std::size_t slotsClearedByResets() const;

  // Delay target in milliseconds; a value that is not finite is ignored.
  void setDelayMS(float ms);
  void setFeedback(float feedback) { mFeedback = feedback; }
  // Per-sample glide factor of the delay time at 44,100 Hz.
  void setSmooth(float base) { mGlide.setBase(base); }
  // Linear 0 ... 20000 Hz.
  void setLPCutoff(float value);
  // Exponential 20 ... 20000 Hz.
  void setHPCutoff(float value);
  void setLfoIntensity(float intensity) { mLfoIntensity = intensity; }
  void setLfoRate(float hz);
  void setFltIntensity(float intensity) { mFltIntensity = intensity; }
  void setFltRate(float hz);

  // One sample; returns the engine's {left, right} pair, overwritten by the
  // next call.
  float* process(float x);
  // n samples, the same as n process calls. The modulation of a run of
  // samples is worked out while the run before it passes (for a block's first
  // run, beside the last run of the block before, when nothing it depends on
  // moved in between), and its reads are planned before the signal passes.
  // With the inline sine each sample then passes in one loop; with calls to
  // the library's, where the reads of the first line cannot reach what the
  // run writes into it, the sines are taken after the reads, independent of
  // each other, and the loop's writes after them. The output arrays may not
  // overlap the input.
  void processBlock(const float* x, float* left, float* right, int n);
  // Whether processBlock takes the inline sine (where it gives the library's
  // bits, see DSP_Sine.h) or calls the library's, as on processors without
  // FMA; the inline one is taken by default where it can be.
  void useInlineSine(bool use) { mFusedSine = use && fusedSineMatchesLibrary(); }
  bool usesInlineSine() const { return mFusedSine; }

  // The loop's soft clipper: the sine of x, so it is bounded to +-1.
  static float Saturate(float x) { return std::sin(x); }
  // 20 ... 20000 as a fraction of 20000: 0.001 ... 1.
  static float getExpo(float x);
  static void killDenormal(double& v) { flushDenormal(v); }

  float getSmoothedDelayMS() const { return mSmoothedDelay; }
  float getSmoothedLfoIntensity() const { return mSmoothedLfoIntensity; }
  float getRateExponent() const { return mGlide.rateExponent(); }
  float getSamplesPerMS() const { return mSamplesPerMS; }

  // Two lines in series (left, right) when set; the effect writes it directly.
  bool mPong = false;

private:
  float modulatedDelay(float baseDelay, float flt, double lfoTerm) const
  {
    return static_cast<float>(baseDelay + flt * 10.0 * mFltIntensity + lfoTerm);
  }
  void processPong(float x);
  void processSingle(float x);
  struct Modulation;
  struct Ahead;
  struct FirstRun;
  // The block form with the inline sine, compiled for FMA.
  void processRunsFused(const float* x, float* left, float* right, int n);
  template <class Sine> void processRuns(const float* x, float* left, float* right, int n);
  template <class Sine>
  void processRun(const float* x, float* left, float* right, int n,
                  const float (&delays)[2][kRunLength], Ahead& ahead);
  template <class Sine>
  void pongInOrder(const float* x, float* left, float* right, int n, const ReadPlan& plan1,
                   const ReadPlan& plan2, Ahead& ahead);
  void pongReadsFirst(const float* x, float* left, float* right, int n, const ReadPlan& plan1,
                      const ReadPlan& plan2, Ahead& ahead);
  template <class Sine>
  void singleInOrder(const float* x, float* left, float* right, int n, const ReadPlan& plan1,
                     Ahead& ahead);
  void singleReadsFirst(const float* x, float* out, int n, const ReadPlan& plan1, Ahead& ahead);

  float mSampleRate;
  std::unique_ptr<TapDelay> mLine1;
  std::unique_ptr<OnePoleLP> mLowPass;
  std::unique_ptr<OnePoleHP> mHighPass;
  double mOutput1 = 0.0;
  float mLowPassValue = 0.0f;
  float mHighPassValue = 0.0f;
  float mFeedback = 0.0f;
  float mTargetDelay = 0.0f;
  Glide mGlide{0.9995f};
  float mSmoothedDelay = 0.0f;
  // The LFO intensity follows its setting through a fixed per-sample one-pole,
  // not adjusted for the rate.
  float mLfoIntensityFactor = 0.9995f;
  float mLfoIntensityWeight = 1.0f - 0.9995f;
  float mSmoothedLfoIntensity = 0.0f;
  float mLfoIntensity = 0.0f;
  float mLfoRate = 2000.0f;
  std::unique_ptr<TapDelay> mLine2;
  double mOutput2 = 0.0;
  float mFltIntensity = 0.0f;
  float mFltRate = 5000.0f;
  float mOutput[2] = {0.0f, 0.0f};
  float mLfoSample = 0.0f;
  std::unique_ptr<Sinosc> mFlt;
  std::unique_ptr<Sinosc> mLfo;
  float mSamplesPerMS = 0.0f;
  float mBaseDelay = 0.0f;
  // The block form takes the inline sine where it gives the library's bits.
  bool mFusedSine;
  std::unique_ptr<FirstRun> mFirstRun;
};
