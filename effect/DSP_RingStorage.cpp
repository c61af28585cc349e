#include "effect/DSP_RingStorage.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace
{
constexpr std::size_t kLargePage = std::size_t(2) << 20;

// Rings of a large page or more are mapped straight from the system, on
// large-page boundaries and in whole large pages, and marked for large pages:
// the first pass over a line then takes a handful of faults instead of one per
// small page. Smaller rings come from the heap.
bool MapsLargePages(std::size_t n) { return n * sizeof(float) >= kLargePage; }

std::size_t MappedBytes(std::size_t n)
{
  return (n * sizeof(float) + kLargePage - 1) / kLargePage * kLargePage;
}

float* MapZeroedSamples(std::size_t n)
{
  const std::size_t bytes = MappedBytes(n);
  // Room to slide the start onto a boundary; the slack on both sides goes back.
  const std::size_t span = bytes + kLargePage;
  void* p = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  const auto base = reinterpret_cast<std::uintptr_t>(p);
  const std::uintptr_t start = (base + kLargePage - 1) & ~(kLargePage - 1);
  if (start > base) munmap(p, start - base);
  const std::uintptr_t end = start + bytes;
  if (base + span > end) munmap(reinterpret_cast<void*>(end), base + span - end);
  void* ring = reinterpret_cast<void*>(start);
#ifdef MADV_HUGEPAGE
  // Only advice: where the system has no large pages to give, small ones serve.
  madvise(ring, bytes, MADV_HUGEPAGE);
#endif
  return static_cast<float*>(ring);
}

float* ZeroedSamples(std::size_t n)
{
  if (MapsLargePages(n)) return MapZeroedSamples(n);
  void* p = std::calloc(n, sizeof(float));
  if (!p) throw std::bad_alloc();
  return static_cast<float*>(p);
}

void FreeSamples(float* p, std::size_t n)
{
  if (!p) return;
  if (MapsLargePages(n))
    munmap(p, MappedBytes(n));
  else
    std::free(p);
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
    FreeSamples(mRing, slots);
    throw;
  }
}

RingStorage::~RingStorage()
{
  FreeSamples(mRing, mSlots);
  FreeSamples(mSpare, mSlots);
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
