#pragma once

// Threads: construction allocates (setup, under the plug-in mutex); setters,
// reset and process run on the audio thread or under the mutex, allocate
// nothing and make no system call. One owner; no internal locking.

#include "effect/DSP_DelayA.h"
#include "effect/DSP_Glide.h"
#include "effect/DSP_OnePoleHP.h"
#include "effect/DSP_OnePoleLP.h"
#include "effect/DSP_Vector.h"

#include <memory>

// Two independent delay taps, each with its own gliding delay time, feedback,
// high-pass and low-pass filter, pan position and level, mixed into a stereo
// pair with a linear pan law.
class StereoDelay
{
public:
  explicit StereoDelay(float sampleRate);
  ~StereoDelay();
  StereoDelay(const StereoDelay&) = delete;
  StereoDelay& operator=(const StereoDelay&) = delete;

  // Re-tunes filters and glide for the rate and clears both loops. The
  // smoothed delays carry over and glide on from where they stood; state that
  // is not finite becomes zero.
  void reset(float sampleRate);

  // Outside the plug-in mutex: clears what the last reset set aside in the
  // delay lines' spares (see TapDelay::reset); the number of slots cleared.
  std::size_t cleanSpareRings();
  bool spareRingsClean() const;
  // Not while a render runs: backs the rings in use with memory now.
  void touchRingPages() const;
  // Slots the resets so far cleared themselves, under the caller's lock.
  std::size_t slotsClearedByResets() const;

  // Delay targets in milliseconds; a value that is not finite is ignored.
  void setDelayMS1(float ms) { mTap1.setTargetDelay(ms); }
  void setDelayMS2(float ms) { mTap2.setTargetDelay(ms); }
  void setFeedback1(float feedback) { mTap1.feedback = feedback; }
  void setFeedback2(float feedback) { mTap2.feedback = feedback; }
  // 0 = left, 1 = right.
  void setPan1(float pan) { mTap1.pan = pan; }
  void setPan2(float pan) { mTap2.pan = pan; }
  void setLevel1(float level) { mTap1.level = level; }
  void setLevel2(float level) { mTap2.level = level; }
  // Normalised cutoffs 0 ... 1: low-pass value 1 and high-pass value 0 bypass
  // their filter.
  void setLP1Cutoff(float value) { mTap1.setLowPass(value); }
  void setLP2Cutoff(float value) { mTap2.setLowPass(value); }
  void setHP1Cutoff(float value) { mTap1.setHighPass(value); }
  void setHP2Cutoff(float value) { mTap2.setHighPass(value); }

  // One sample; returns the engine's {left, right} pair, overwritten by the
  // next call.
  float* process(float x);
  // n samples, the same as n process calls: each tap runs through a run of
  // samples on its own, then the pan and levels mix both. The output arrays
  // may not overlap the input.
  void processBlock(const float* x, float* left, float* right, int n);

  // 20000^(x - 1): the fraction of 22050 Hz a cutoff value stands for.
  static float getExpo(float x);
  static void killDenormal(float& v) { flushDenormal(v); }

  float getSmoothedDelayMS1() const { return mTap1.smoothedDelay; }
  float getSmoothedDelayMS2() const { return mTap2.smoothedDelay; }
  float getRateExponent() const { return mGlide.rateExponent(); }
  float getSamplesPerMS() const { return mSamplesPerMS; }

private:
  struct Tap
  {
    Tap(float sampleRate, float startPan);

    void setTargetDelay(float ms);
    void setLowPass(float value);
    void setHighPass(float value);
    void reset(float sampleRate);
    float process(float x, const Glide& glide, float samplesPerMS);
    // Glides and plans n <= kRunLength samples.
    void planRun(int n, const Glide& glide, float samplesPerMS);
    bool highPassOn() const { return highPassValue > 0.0f; }
    bool lowPassOn() const { return lowPassValue < 1.0f; }
    // The planned samples into out.
    void passRun(const float* x, float* out, int n);
    template <bool HighPass, bool LowPass> void passRun(const float* x, float* out, int n);
    ReadPlan plan;

    std::unique_ptr<TapDelay> line;
    std::unique_ptr<OnePoleLP> lowPass;
    std::unique_ptr<OnePoleHP> highPass;
    float output = 0.0f;
    float lowPassValue = 0.0f;
    float highPassValue = 0.0f;
    float feedback = 0.0f;
    float targetDelay = 0.0f;
    float smoothedDelay = 0.0f;
    float pan;
    float level = 0.5f;
  };

  // A run at settled delays whose reads are steady (see SteadyReads) in both
  // taps: the reads first, then the loops side by side, then the writes.
  // False (and nothing done) when the run is not of that kind.
  bool passSteadyRun(const float* x, float* left, float* right, int n);
  template <bool HighPass, bool LowPass, bool Alike>
  void passSteadyLanes(const float* q, Float4 c, float* pairs, float* left, float* right, int n);
  // Any other run: planned reads, each sample written then read.
  void passRun(const float* x, float* out1, float* out2, int n);
  template <bool HighPass, bool LowPass>
  void passRunSideBySide(const float* x, float* out1, float* out2, int n);
  template <bool HighPass, bool LowPass, bool Straight>
  void passRunLanes(const float* x, float* out1, float* out2, int n);

  // Steady runs are longer than planned ones: they keep no plan per sample.
  static constexpr int kSteadyRunLength = 4 * kRunLength;

  float mSampleRate;
  Tap mTap1;
  Tap mTap2;
  Glide mGlide{0.9995f};
  float mSamplesPerMS = 0.0f;
  float mOutput[2] = {0.0f, 0.0f};
};
