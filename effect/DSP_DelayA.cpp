#include "effect/DSP_DelayA.h"

#include "effect/DSP_Finite.h"
#include "effect/DSP_Vector.h"

#include <algorithm>
#include <limits>

std::int32_t truncateSampleRate(float sampleRate)
{
  if (!(sampleRate > 0.0f)) return 0;
  if (sampleRate >= 2147483648.0f) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(sampleRate);
}

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
    : mBuffer(kRingCapacity + 1), mInitialDelay(delay), mSampleRate(sampleRate),
      mReadHead(new ReadHead(truncateSampleRate(sampleRate), delay)),
      mRingLength(mReadHead->ringLength())
{
}

void TapDelay::reset(std::int32_t sampleRate, float delay)
{
  // Writes go to the slots after slot 1 in order, so before a wrap only the
  // slots up to the write counter hold anything.
  const std::int32_t written = mWrapped ? mRingLength : mWriteCounter + 1;
  mClearedByResets += mBuffer.clear(static_cast<std::size_t>(written));
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

namespace
{
// The widths of a run's reads: four lanes at a time, clamped as setWidth
// clamps them, or one (the caller clamps it).
struct EachWidth
{
  const float* widths;
  Float4 longest;

  Float4 lanes(int i) const
  {
    Float4 w = loadLanes<Float4>(widths + i);
    w = selectLanes(w > 0.0f, w, Float4{});
    return selectLanes(w > longest, longest, w);
  }
  float at(int i) const { return widths[i]; }
};

// One width for the whole run, clamped once (clamping it again changes nothing).
struct SteadyWidth
{
  float clamped;

  Float4 lanes(int) const { return Float4{} + clamped; }
  float at(int) const { return clamped; }
};
} // namespace

void ReadHead::plan(const std::int32_t* references, const float* widths, int n, ReadPlan& plan,
                    bool steady)
{
  if (steady && n > 0)
    planReads(references, SteadyWidth{clampWidth(widths[0])}, n, plan);
  else
    planReads(references, EachWidth{widths, Float4{} + mLongestWidth}, n, plan);
  if (n > 0)
  {
    setWidth(widths[steady ? 0 : n - 1]);
    // The quotient cache of process follows the last read.
    mFraction = readSlots(references[n - 1], mWidth, mLength, mLengthInt).fraction;
    mCoefficient = plan.coefficient[n - 1];
  }
}

template <class Widths>
void ReadHead::planReads(const std::int32_t* references, Widths widths, int n, ReadPlan& plan)
{
  const float length = mLength;
  const std::int32_t lengthInt = mLengthInt;
  // Four reads at a time: the steps of readSlots lane by lane.
  const Float4 lengthV = Float4{} + length;
  const Int4 lengthIntV = Int4{} + lengthInt;
  Int4 apart{};
  int i = 0;
  for (; i + 4 <= n; i += 4)
  {
    const Float4 w = widths.lanes(i);
    Float4 r = __builtin_convertvector(loadLanes<Int4>(references + i), Float4) - w;
    r = selectLanes(r >= lengthV, r - lengthV, r);
    r = selectLanes(r < 0.0f, r + lengthV, r);
    const Int4 i0 = __builtin_convertvector(r, Int4);
    Int4 i1 = __builtin_convertvector(r + 1.0f, Int4);
    i1 = selectLanes(i1 >= lengthIntV, Int4{}, i1);
    const Float4 fraction =
        selectLanes(i1 == 0, lengthV - r, __builtin_convertvector(i1, Float4) - r);
    const Int4 index0 = selectLanes(i0 < lengthIntV, i0, Int4{} + kZeroSlot);
    apart |= i1 - index0 - 1;
    storeLanes(plan.index0 + i, index0);
    storeLanes(plan.index1 + i, i1);
    storeLanes(plan.coefficient + i, (1.0f - fraction) / (fraction + 1.0f));
  }
  for (; i < n; ++i)
  {
    const ReadSlots slots = readSlots(references[i], clampWidth(widths.at(i)), length, lengthInt);
    plan.index0[i] = slots.index0;
    plan.index1[i] = slots.index1;
    apart[0] |= slots.index1 - slots.index0 - 1;
    plan.coefficient[i] = (1.0f - slots.fraction) / (slots.fraction + 1.0f);
  }
  plan.adjacent = !(apart[0] | apart[1] | apart[2] | apart[3]);
}

namespace
{
// The exponent field of a positive double.
inline std::uint64_t binade(double v)
{
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits >> 52;
}
} // namespace

namespace
{
// Whether the exact values from 'low' to 'high' (positive, below 2^22) lie in
// one binade: its spacing then divides 1, so adding a whole number of steps to
// any of them before rounding or after gives the same float.
inline bool oneBinade(double low, double high)
{
  return low >= 1.0 && high < 4194304.0 && binade(low) == binade(high);
}
} // namespace

bool ReadHead::planSteady(std::int32_t firstReference, float width, int n, SteadyReads& reads) const
{
  if (n < 1) return false;
  const float w = clampWidth(width);
  // Each read's position is its reference less the width, rounded, plus the
  // ring length, rounded again, where it fell below zero. Doubles hold the
  // exact values. Where they keep to one binade, each read's position is the
  // first one's plus its step, its second slot is exactly one on, and the
  // fraction is the first one's.
  const double first = static_cast<double>(firstReference) - w;
  const double last = static_cast<double>(firstReference + n - 1) - w;
  if (first >= 1.0)
  {
    if (!oneBinade(first, last + 1.0)) return false;
  }
  else
  {
    // Below zero all the way. There the subtraction is exact (the distance
    // back is at most the width, so it fits the width's spacing): only the
    // wrapped positions round.
    if (!(last <= -1.0)) return false;
    const double wrappedFirst = static_cast<float>(first) + static_cast<double>(mLength);
    const double wrappedLast = static_cast<float>(last) + static_cast<double>(mLength);
    if (!oneBinade(wrappedFirst, wrappedLast + 1.0)) return false;
  }
  const ReadSlots slots = readSlots(firstReference, w, mLength, mLengthInt);
  if (slots.index1 != slots.index0 + 1 || slots.index1 + (n - 1) >= mLengthInt) return false;
  reads.first = slots.index0;
  reads.fraction = slots.fraction;
  reads.coefficient = (1.0f - slots.fraction) / (slots.fraction + 1.0f);
  reads.width = w;
  return true;
}

bool TapDelay::planSteadyRun(float delay, int n, SteadyReads& reads) const
{
  const std::int32_t length = mRingLength;
  if (mReferenceCounter + n >= length || mWriteCounter + n >= length) return false;
  if (!mReadHead->planSteady(mReferenceCounter + 1, delay, n, reads)) return false;
  // The reads trail the writes by this many slots: more than the run, and
  // no read takes a slot the run writes.
  reads.firstWrite = mWriteCounter + 1;
  std::int32_t apart = reads.firstWrite - reads.first;
  if (apart < 0) apart += length;
  return apart > n;
}

void TapDelay::planRun(const float* delays, int n, ReadPlan& plan, bool steady)
{
  std::int32_t references[kRunLength];
  std::int32_t ref = mReferenceCounter, write = mWriteCounter;
  const std::int32_t length = mRingLength;
  if (ref + n < length && write + n < length)
  {
    // Neither counter wraps in this run: four counts at a time.
    const Int4 step{1, 2, 3, 4};
    int i = 0;
    for (; i + 4 <= n; i += 4)
    {
      storeLanes(references + i, step + (ref + i));
      storeLanes(plan.write + i, step + (write + i));
    }
    for (; i < n; ++i)
    {
      references[i] = ref + 1 + i;
      plan.write[i] = write + 1 + i;
    }
    ref += n;
    write += n;
    plan.writesInOrder = true;
  }
  else
  {
    bool wrapped = false;
    for (int i = 0; i < n; ++i)
    {
      ref = ref + 1 >= length ? 0 : ref + 1;
      write = write + 1 >= length ? 0 : write + 1;
      wrapped |= write == 0;
      references[i] = ref;
      plan.write[i] = write;
    }
    mWrapped |= wrapped;
    plan.writesInOrder = false;
  }
  mReferenceCounter = ref;
  mWriteCounter = write;
  mReadHead->plan(references, delays, n, plan, steady);
}

bool TapDelay::readsClearOfWrites(const ReadPlan& plan, int n) const
{
  // How many samples before sample i each read slot was written: the run
  // writes slots 0 ... i samples back. The zero slot lies past the ring.
  const std::int32_t length = mRingLength;
  const Int4 lengthV = Int4{} + length;
  Int4 conflict{};
  int i = 0;
  for (; i + 4 <= n; i += 4)
  {
    const Int4 sample = Int4{0, 1, 2, 3} + i;
    const Int4 write = loadLanes<Int4>(plan.write + i);
    for (const std::int32_t* slots : {plan.index0 + i, plan.index1 + i})
    {
      const Int4 slot = loadLanes<Int4>(slots);
      Int4 back = write - slot;
      back += (back < 0) & lengthV;
      conflict |= (slot < lengthV) & (back <= sample);
    }
  }
  bool clear = !(conflict[0] | conflict[1] | conflict[2] | conflict[3]);
  for (; i < n; ++i)
    for (std::int32_t slot : {plan.index0[i], plan.index1[i]})
    {
      std::int32_t back = plan.write[i] - slot;
      back = back < 0 ? back + length : back;
      clear &= slot >= length || back > i;
    }
  return clear;
}
