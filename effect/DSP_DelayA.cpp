#include "effect/DSP_DelayA.h"

#include "effect/DSP_Finite.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <limits>

std::int32_t truncateSampleRate(float sampleRate)
{
  if (!(sampleRate > 0.0f)) return 0;
  if (sampleRate >= 2147483648.0f) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(sampleRate);
}

namespace
{
float* ZeroedSamples(std::size_t n)
{
  void* p = std::calloc(n, sizeof(float));
  if (!p) throw std::bad_alloc();
  return static_cast<float*>(p);
}
} // namespace

ReadHead::ReadHead(std::int32_t size, float width)
{
  reset(size, width);
}

void ReadHead::reset(std::int32_t size, float width)
{
  keepFinite(mPrevOut);
  if (!std::isfinite(mFraction) || !std::isfinite(mCoefficient))
  {
    mFraction = 1.0f;
    mCoefficient = 0.0f;
  }
  setSize(size);
  setWidth(width);
}

void ReadHead::setSize(std::int32_t size)
{
  mSize = size;
  mLengthInt = ringLengthForRate(size);
  mLength = static_cast<float>(mLengthInt);
  mLongestWidth = mLength - 1.0f;
}

TapDelay::TapDelay(float sampleRate, float delay)
    : mBuffer(ZeroedSamples(kRingCapacity)), mInitialDelay(delay), mSampleRate(sampleRate),
      mReadHead(new ReadHead(truncateSampleRate(sampleRate), delay)),
      mRingLength(mReadHead->ringLength())
{
}

void TapDelay::FreeSamples::operator()(float* p) const
{
  std::free(p);
}

void TapDelay::reset(std::int32_t sampleRate, float delay)
{
  // Writes go to the slots after slot 1 in order, so before a wrap only the
  // slots up to the write counter hold anything.
  const std::int32_t written = mWrapped ? mRingLength : mWriteCounter + 1;
  std::fill(mBuffer.get(), mBuffer.get() + written, 0.0f);
  mWrapped = false;
  mSampleRate = static_cast<float>(sampleRate);
  mReferenceCounter = 0;
  mWriteCounter = 1;
  mInitialDelay = delay;
  keepFinite(mLastOutput);
  mReadHead->reset(sampleRate, delay);
  mRingLength = mReadHead->ringLength();
}
