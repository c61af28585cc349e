#pragma once

// Buffers whose pages the system backs in one call before they are first
// written. A page fault costs about ten microseconds on a virtual machine;
// asking for a whole buffer's pages at once costs about one per page, and a
// render's chunks and plots run to thousands of pages. Any thread.

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// Only advice: where the system declines, pages fault in when first written.
inline void PrefaultForWriting(void* data, size_t bytes)
{
#ifdef MADV_POPULATE_WRITE
  const size_t kPage = 4096;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kPage - 1);
  if (end >= begin + 4 * kPage)
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
  (void)data;
  (void)bytes;
#endif
}

// n value-initialised elements in prefaulted memory.
template <class T> std::vector<T> PrefaultedVector(size_t n)
{
  std::vector<T> v;
  v.reserve(n);
  PrefaultForWriting(v.data(), n * sizeof(T));
  v.resize(n);
  return v;
}
