#pragma once

// Delay lines. Threads: construction allocates the ring (setup, under the
// plug-in mutex); every other call runs on the audio thread and allocates nothing.

#include <cstdint>
#include <cstring>
#include <memory>

// Every delay line holds this many samples: 16 seconds at 97,000 Hz.
constexpr std::int32_t kRingCapacity = 1552000;

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
  // New rate and delay; the all-pass state carries over.
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

  std::int32_t ringLength() const { return mLengthInt; }
  float width() const { return mWidth; }

private:
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

  // Clears the whole ring and restarts the counters; the read head keeps its
  // all-pass state.
  void reset(std::int32_t sampleRate, float delay);
  // Delay in samples; clamped to the ring by the read head.
  void setDelay(float delay) { mReadHead->setWidth(delay); }

  float Process(float x)
  {
    // The reference counter names the slot written one sample earlier.
    if (++mReferenceCounter >= mRingLength) mReferenceCounter = 0;
    if (++mWriteCounter >= mRingLength) mWriteCounter = 0;
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

  float lastOutput() const { return mLastOutput; }
  std::int32_t ringLength() const { return mReadHead->ringLength(); }
  float delay() const { return mReadHead->width(); }

private:
  std::unique_ptr<float[]> mBuffer;
  std::int32_t mReferenceCounter = 0;
  std::int32_t mWriteCounter = 1;
  float mInitialDelay;
  float mLastOutput = 0.0f;
  float mSampleRate;
  std::unique_ptr<ReadHead> mReadHead;
  std::int32_t mRingLength; // the counters wrap here
};
