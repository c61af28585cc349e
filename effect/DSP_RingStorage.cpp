#include "effect/DSP_RingStorage.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace
{
float* ZeroedSamples(std::size_t n)
{
  void* p = std::calloc(n, sizeof(float));
  if (!p) throw std::bad_alloc();
  return static_cast<float*>(p);
}
} // namespace

RingStorage::RingStorage(std::size_t slots) : mSlots(slots), mRing(ZeroedSamples(slots))
{
  try
  {
    mSpare = ZeroedSamples(slots);
  }
  catch (...)
  {
    std::free(mRing);
    throw;
  }
}

RingStorage::~RingStorage()
{
  std::free(mRing);
  std::free(mSpare);
}

std::size_t RingStorage::clear(std::size_t written)
{
  written = std::min(written, mSlots);
  if (written == 0) return 0;
  if (!spareClean())
  {
    std::fill(mRing, mRing + written, 0.0f);
    return written;
  }
  std::swap(mRing, mSpare);
  mSpareWritten = written;
  // Publishes the spare and its extent to cleanSpare.
  mSpareClean.store(false, std::memory_order_release);
  return 0;
}

void RingStorage::touchPages() const
{
  constexpr std::size_t kSlotsPerPage = 4096 / sizeof(float);
  volatile float* ring = mRing;
  for (std::size_t i = 0; i < mSlots; i += kSlotsPerPage)
    ring[i] = ring[i];
}

std::size_t RingStorage::cleanSpare()
{
  if (spareClean()) return 0;
  const std::size_t written = mSpareWritten;
  std::fill(mSpare, mSpare + written, 0.0f);
  // The next trade sees the zeros before it hands the spare to a render.
  mSpareClean.store(true, std::memory_order_release);
  return written;
}
