#pragma once

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
    mReadPosition = r;
    mIndex0 = truncate(r);
    mIndex1 = truncate(r + 1.0f);
    if (mIndex1 >= mLength) mIndex1 = 0.0f;
    const std::int32_t i0 = static_cast<std::int32_t>(mIndex0);
    // Just below zero, r + L can round up to L itself: that slot lies past
    // the ring and has never been written.
    mSample0 = i0 < mLengthInt ? buffer[i0] : 0.0f;
    mSample1 = buffer[static_cast<std::int32_t>(mIndex1)];
    // A pair straddling the end of the ring measures to the end instead.
    mFraction = mIndex1 == 0.0f ? mLength - r : mIndex1 - r;
    mCoefficient = (1.0f - mFraction) / (mFraction + 1.0f);
    const float y = mSample0 * mCoefficient + mSample1 - mPrevOut * mCoefficient;
    mPrevOut = y;
    return y;
  }

  std::int32_t ringLength() const { return mLengthInt; }
  float width() const { return mWidth; }

private:
  void setSize(std::int32_t size);
  float clampWidth(float width) const;
  static float truncate(float r) { return static_cast<float>(static_cast<std::int32_t>(r)); }

  std::int32_t mSize;
  std::int32_t mLengthInt = 1;
  float mLength = 1.0f;
  float mPrevOut = 0.0f;
  float mSample0 = 0.0f;
  float mSample1 = 0.0f;
  float mIndex0 = 0.0f;
  float mIndex1 = 0.0f;
  float mWidth = 0.0f;
  float mFraction = 0.0f;
  float mCoefficient = 0.0f;
  float mReadPosition = 0.0f;
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
    mReferenceCounter += 1.0f;
    mWriteCounter += 1.0f;
    if (mReferenceCounter >= mRingLength) mReferenceCounter = 0.0f;
    if (mWriteCounter >= mRingLength) mWriteCounter = 0.0f;
    mBuffer[FloatToInt(mWriteCounter)] = x;
    mLastOutput = mReadHead->process(FloatToInt(mReferenceCounter), mBuffer.get());
    return mLastOutput;
  }

  // Truncates |x| toward zero by taking its bit pattern apart: 0 below 1 and
  // from 2^32 up.
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
  float mReferenceCounter = 0.0f;
  float mWriteCounter = 1.0f;
  float mInitialDelay;
  float mLastOutput = 0.0f;
  float mSampleRate;
  std::unique_ptr<ReadHead> mReadHead;
  float mRingLength;
};
