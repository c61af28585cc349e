#pragma once

// Delay lines. Threads: construction allocates the ring and its spare (setup,
// under the plug-in mutex); reset and processing run on the audio thread or
// under the mutex and allocate nothing; cleanSpare runs outside the mutex
// (see RingStorage).

#include "effect/DSP_RingStorage.h"

#include <cstdint>
#include <cstring>
#include <memory>

// Every delay line holds this many samples: 16 seconds at 97,000 Hz. One more
// slot after them is never written and stays zero: reads that land just past
// the ring take it.
constexpr std::int32_t kRingCapacity = 1552000;
constexpr std::int32_t kZeroSlot = kRingCapacity;

// Block processing works through runs of at most this many samples.
constexpr int kRunLength = 64;

// Where each sample of a run is written and read, and the all-pass coefficient
// of each read. It depends on the counters and the delays only, not on the
// signal, so it is worked out for the whole run before the signal passes.
struct ReadPlan
{
  std::int32_t write[kRunLength];
  std::int32_t index0[kRunLength];
  std::int32_t index1[kRunLength];
  float coefficient[kRunLength];
  // Every second slot is the one after the first, so each pair can be read at once.
  bool adjacent;
  // The run writes slots write[0], write[0] + 1, ... (the counter does not wrap).
  bool writesInOrder;
};

// A run at one steady delay whose reads move on exactly one slot per sample
// with one coefficient, none of them taking a slot the run writes: read i
// takes slots first + i and first + 1 + i, write i goes to firstWrite + i.
// The reads may then all come before the writes.
struct SteadyReads
{
  std::int32_t first;
  std::int32_t firstWrite;
  float coefficient;
  float fraction;
  float width; // as clamped
};

// Ring length for a rate: 16 seconds of it, but never more than the storage
// and never less than one sample.
constexpr std::int32_t ringLengthForRate(std::int32_t sampleRate)
{
  const std::int64_t length = 16 * static_cast<std::int64_t>(sampleRate);
  if (length < 1) return 1;
  if (length > kRingCapacity) return kRingCapacity;
  return static_cast<std::int32_t>(length);
}

// A rate truncated toward zero to whole Hz; NaN and negative rates give 0,
// rates beyond the 32-bit range give its maximum.
std::int32_t truncateSampleRate(float sampleRate);

// Reads a ring at a fractional distance behind a reference position, with
// first-order all-pass interpolation between the two neighbouring samples.
class ReadHead
{
public:
  ReadHead(std::int32_t size, float width);

  // Delay in samples, clamped to 0 ... L - 1 (NaN counts as 0).
  void setWidth(float width) { mWidth = clampWidth(width); }
  // New rate and delay; the all-pass state carries over when it is finite.
  void reset(std::int32_t size, float width);

  float process(std::int32_t referenceIndex, const float* buffer)
  {
    float r = static_cast<float>(referenceIndex) - mWidth;
    if (r >= mLength) r -= mLength;
    if (r < 0.0f) r += mLength;
    const std::int32_t i0 = static_cast<std::int32_t>(r);
    std::int32_t i1 = static_cast<std::int32_t>(r + 1.0f);
    if (i1 >= mLengthInt) i1 = 0;
    // Just below zero, r + L can round up to L itself: that slot lies past
    // the ring and has never been written.
    const float sample0 = i0 < mLengthInt ? buffer[i0] : 0.0f;
    const float sample1 = buffer[i1];
    // A pair straddling the end of the ring measures to the end instead.
    const float fraction = i1 == 0 ? mLength - r : static_cast<float>(i1) - r;
    // A steady delay repeats the fraction: the quotient is then the same.
    if (fraction != mFraction)
    {
      mFraction = fraction;
      mCoefficient = (1.0f - fraction) / (fraction + 1.0f);
    }
    const float c = mCoefficient;
    const float y = sample0 * c + sample1 - mPrevOut * c;
    mPrevOut = y;
    return y;
  }

  // Indices and coefficients of n reads at the given reference counters and
  // delays (each clamped as setWidth does), as n process calls would take
  // them; the head keeps the last delay. The all-pass state is not touched:
  // see allPass.
  // Steady: every width is widths[0].
  void plan(const std::int32_t* references, const float* widths, int n, ReadPlan& plan,
            bool steady = false);
  // One all-pass read of a plan, carrying its state in 'state'.
  static float allPass(const float* buffer, const ReadPlan& plan, int i, float& state)
  {
    const float c = plan.coefficient[i];
    const float y = buffer[plan.index0[i]] * c + buffer[plan.index1[i]] - state * c;
    state = y;
    return y;
  }
  float allPassState() const { return mPrevOut; }
  void setAllPassState(float state) { mPrevOut = state; }

  // Whether n reads from the reference firstReference on at one width move
  // on one slot per sample with one coefficient, as n process calls would
  // take them: they do while the read position keeps to one binade (the
  // subtraction then rounds alike at every step) and the pair does not reach
  // the end of the ring. Fills the slots of reads if so; changes nothing.
  bool planSteady(std::int32_t firstReference, float width, int n, SteadyReads& reads) const;
  // Leaves the head as after the steady reads.
  void takeSteady(const SteadyReads& reads)
  {
    mWidth = reads.width;
    mFraction = reads.fraction;
    mCoefficient = reads.coefficient;
  }

  std::int32_t ringLength() const { return mLengthInt; }
  float width() const { return mWidth; }

private:
  template <class Widths>
  void planReads(const std::int32_t* references, Widths widths, int n, ReadPlan& plan);
  void setSize(std::int32_t size);
  float clampWidth(float width) const
  {
    if (!(width > 0.0f)) return 0.0f;
    return width > mLongestWidth ? mLongestWidth : width;
  }

  std::int32_t mSize;
  std::int32_t mLengthInt = 1;
  float mLength = 1.0f;
  float mLongestWidth = 0.0f;
  float mPrevOut = 0.0f; // all-pass state
  float mFraction = 1.0f;
  float mCoefficient = 0.0f;
  float mWidth = 0.0f;
};

// A ring buffer of 16 seconds of samples, written once per sample and read by
// its read head at the set delay behind the newest sample.
class TapDelay
{
public:
  TapDelay(float sampleRate, float delay);
  TapDelay(const TapDelay&) = delete;
  TapDelay& operator=(const TapDelay&) = delete;

  // Clears the ring and restarts the counters; the read head keeps its
  // all-pass state. With a clean spare the ring trades places with it and
  // nothing is cleared here (cleanSpare clears the old ring later); without
  // one, the slots written since the last clear are cleared in place (the
  // rest are still zero), so the cost follows what was rendered.
  void reset(std::int32_t sampleRate, float delay);
  // Outside the plug-in mutex: clears what the last reset set aside. Returns
  // the number of slots cleared.
  std::size_t cleanSpare() { return mBuffer.cleanSpare(); }
  bool spareClean() const { return mBuffer.spareClean(); }
  // Not while a render runs: backs the ring in use with memory now.
  void touchPages() const { mBuffer.touchPages(); }
  // Slots the resets so far cleared themselves (a reset that trades for the
  // spare clears none).
  std::size_t slotsClearedByResets() const { return mClearedByResets; }
  // Delay in samples; clamped to the ring by the read head.
  void setDelay(float delay) { mReadHead->setWidth(delay); }

  float Process(float x)
  {
    // The reference counter names the slot written one sample earlier.
    if (++mReferenceCounter >= mRingLength) mReferenceCounter = 0;
    if (++mWriteCounter >= mRingLength)
    {
      mWriteCounter = 0;
      mWrapped = true;
    }
    mBuffer[mWriteCounter] = x;
    mLastOutput = mReadHead->process(mReferenceCounter, mBuffer.get());
    return mLastOutput;
  }

  // Truncates |x| toward zero by taking its bit pattern apart: 0 below 1 and
  // from 2^32 up. For the whole, non-negative counter values it is plain
  // truncation, so the counters are kept as integers, which gives the same
  // indices without a conversion per sample.
  static std::int32_t FloatToInt(float x)
  {
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    const std::uint32_t shift = 158u - ((bits >> 23) & 0xffu);
    const std::uint32_t mantissa = (bits << 8) | 0x80000000u;
    return shift <= 31u ? static_cast<std::int32_t>(mantissa >> shift) : 0;
  }

  // ---- Runs of samples (block processing) --------------------------------
  // A run is planned (counters advanced, reads worked out), then its samples
  // pass in order: write then read, as Process does. Where the reads cannot
  // reach the slots the run writes, the reads may come first and the writes
  // after (see readsClearOfWrites).
  struct Run
  {
    float* buffer;
    float state; // all-pass
    const ReadPlan& plan;

    float step(int i, float x)
    {
      buffer[plan.write[i]] = x;
      return ReadHead::allPass(buffer, plan, i, state);
    }
    float read(int i) { return ReadHead::allPass(buffer, plan, i, state); }
    void write(int i, float x) { buffer[plan.write[i]] = x; }
  };

  // Advances the counters over n samples (n <= kRunLength) and plans their
  // reads at the given delays; the last delay stays set.
  // Steady: every delay is delays[0].
  void planRun(const float* delays, int n, ReadPlan& plan, bool steady = false);
  Run beginRun(const ReadPlan& plan) { return Run{mBuffer.get(), mReadHead->allPassState(), plan}; }
  // Stores the run's all-pass state and last output.
  void endRun(const Run& run) { endRun(run.state); }
  void endRun(float allPassState)
  {
    mReadHead->setAllPassState(allPassState);
    mLastOutput = allPassState;
  }

  // Whether the next n samples (any number) at one delay make a steady
  // run (see SteadyReads) without a counter wrapping; fills reads if so.
  // Changes nothing: takeSteadyRun does.
  bool planSteadyRun(float delay, int n, SteadyReads& reads) const;
  // Advances the counters over the run and leaves the read head at its
  // delay, as planRun would.
  void takeSteadyRun(const SteadyReads& reads, int n)
  {
    mReferenceCounter += n;
    mWriteCounter += n;
    mReadHead->takeSteady(reads);
  }
  float* ring() const { return mBuffer.get(); }
  float allPassState() const { return mReadHead->allPassState(); }
  // True when no read of the n planned samples takes a slot that the run
  // writes at or before that sample, so reading all before writing any reads
  // the same values as sample order.
  bool readsClearOfWrites(const ReadPlan& plan, int n) const;

  float lastOutput() const { return mLastOutput; }
  std::int32_t ringLength() const { return mReadHead->ringLength(); }
  float delay() const { return mReadHead->width(); }

private:
  // The ring (get()) and its spare.
  RingStorage mBuffer;
  std::int32_t mReferenceCounter = 0;
  std::int32_t mWriteCounter = 1;
  float mInitialDelay;
  float mLastOutput = 0.0f;
  float mSampleRate;
  std::unique_ptr<ReadHead> mReadHead;
  std::int32_t mRingLength; // the counters wrap here
  bool mWrapped = false;    // the write counter has gone round since the last clear
  std::size_t mClearedByResets = 0;
};
