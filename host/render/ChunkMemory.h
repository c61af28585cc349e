#pragma once

// The samples of a render's chunks, taken from the system in one piece on
// large-page boundaries and marked for large pages. A fresh small page costs
// microseconds when first written (on a virtual machine, often ten or more),
// and the chunks in flight span thousands of them; a few large pages serve
// them all. Where the system declines, the memory comes from the heap.
// One owner; the memory may be used from any thread.

#include <cstddef>
#include <memory>

class ChunkMemory
{
public:
  // Room for n samples, zeroed; throws std::bad_alloc when there is none.
  explicit ChunkMemory(size_t n);
  ~ChunkMemory();
  ChunkMemory(const ChunkMemory&) = delete;
  ChunkMemory& operator=(const ChunkMemory&) = delete;

  float* Samples() const { return mSamples; }

private:
  float* mSamples = nullptr;
  size_t mMappedBytes = 0; // 0 when the samples come from the heap
  std::unique_ptr<float[]> mHeap;
};
