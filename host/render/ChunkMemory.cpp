#include "host/render/ChunkMemory.h"

#include <sys/mman.h>

#include <cstdint>

namespace
{
constexpr size_t kLargePage = size_t(2) << 20;
// Less than this comes from the heap: a large page would be mostly unused.
constexpr size_t kMinMappedBytes = kLargePage / 2;

// Whole large pages on a large-page boundary; null when the system refuses.
void* MapLargePages(size_t bytes)
{
  const size_t span = bytes + kLargePage; // room to slide onto a boundary
  void* p = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  const auto base = reinterpret_cast<uintptr_t>(p);
  const uintptr_t start = (base + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t end = start + bytes;
  if (start > base) munmap(p, start - base);
  if (base + span > end) munmap(reinterpret_cast<void*>(end), base + span - end);
#ifdef MADV_HUGEPAGE
  madvise(reinterpret_cast<void*>(start), bytes, MADV_HUGEPAGE); // only advice
#endif
  return reinterpret_cast<void*>(start);
}
} // namespace

ChunkMemory::ChunkMemory(size_t n)
{
  const size_t bytes = (n * sizeof(float) + kLargePage - 1) / kLargePage * kLargePage;
  if (bytes >= kMinMappedBytes)
    if (void* p = MapLargePages(bytes))
    {
      mSamples = static_cast<float*>(p);
      mMappedBytes = bytes;
      return;
    }
  mHeap.reset(new float[n > 0 ? n : 1]());
  mSamples = mHeap.get();
}

ChunkMemory::~ChunkMemory()
{
  if (mMappedBytes > 0) munmap(mSamples, mMappedBytes);
}
