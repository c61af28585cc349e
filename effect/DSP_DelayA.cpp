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
    : mBuffer(ZeroedSamples(kRingCapacity + 1)), mInitialDelay(delay), mSampleRate(sampleRate),
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

namespace
{
// One read of ReadHead::process without branches: the slots and the distance
// from the read position to the second slot.
struct ReadSlots
{
  std::int32_t index0, index1;
  float fraction;
};

inline ReadSlots readSlots(std::int32_t reference, float width, float length,
                           std::int32_t lengthInt)
{
  float r = static_cast<float>(reference) - width;
  r = r >= length ? r - length : r;
  r = r < 0.0f ? r + length : r;
  const std::int32_t i0 = static_cast<std::int32_t>(r);
  std::int32_t i1 = static_cast<std::int32_t>(r + 1.0f);
  i1 = i1 >= lengthInt ? 0 : i1;
  const float fraction = i1 == 0 ? length - r : static_cast<float>(i1) - r;
  return {i0 < lengthInt ? i0 : kZeroSlot, i1, fraction};
}
} // namespace

void ReadHead::plan(const std::int32_t* references, const float* widths, int n, ReadPlan& plan)
{
  const float length = mLength;
  const std::int32_t lengthInt = mLengthInt;
  for (int i = 0; i < n; ++i)
  {
    const ReadSlots slots = readSlots(references[i], clampWidth(widths[i]), length, lengthInt);
    plan.index0[i] = slots.index0;
    plan.index1[i] = slots.index1;
    plan.coefficient[i] = (1.0f - slots.fraction) / (slots.fraction + 1.0f);
  }
  if (n > 0)
  {
    setWidth(widths[n - 1]);
    // The quotient cache of process follows the last read.
    mFraction = readSlots(references[n - 1], mWidth, length, lengthInt).fraction;
    mCoefficient = plan.coefficient[n - 1];
  }
}

void TapDelay::planRun(const float* delays, int n, ReadPlan& plan)
{
  std::int32_t references[kRunLength];
  std::int32_t ref = mReferenceCounter, write = mWriteCounter;
  const std::int32_t length = mRingLength;
  bool wrapped = false;
  for (int i = 0; i < n; ++i)
  {
    ref = ref + 1 >= length ? 0 : ref + 1;
    write = write + 1 >= length ? 0 : write + 1;
    wrapped |= write == 0;
    references[i] = ref;
    plan.write[i] = write;
  }
  mReferenceCounter = ref;
  mWriteCounter = write;
  mWrapped |= wrapped;
  mReadHead->plan(references, delays, n, plan);
}

bool TapDelay::readsClearOfWrites(const ReadPlan& plan, int n) const
{
  const std::int32_t length = mRingLength;
  bool clear = true;
  for (int i = 0; i < n; ++i)
  {
    // How many samples before sample i each read slot was written; the run
    // writes slots 0 ... i samples back.
    for (std::int32_t slot : {plan.index0[i], plan.index1[i]})
    {
      if (slot >= length) continue; // the zero slot
      std::int32_t back = plan.write[i] - slot;
      back = back < 0 ? back + length : back;
      clear &= back > i;
    }
  }
  return clear;
}
