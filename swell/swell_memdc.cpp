#include "swell/swell_memdc.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace
{
const size_t kAlignment = 64;
const int64_t kMaxBufferBytes = int64_t(1) << 31;

// Zero-filled, 64-byte aligned pixel storage; null when the size is refused.
unsigned int* allocatePixels(int w, int h)
{
  if (w <= 0 || h <= 0) return nullptr;
  const int64_t bytes = int64_t(w) * h * 4;
  if (bytes >= kMaxBufferBytes) return nullptr;
  const size_t rounded = (size_t(bytes) + kAlignment - 1) / kAlignment * kAlignment;
  void* p = std::aligned_alloc(kAlignment, rounded);
  if (p) std::memset(p, 0, rounded);
  return static_cast<unsigned int*>(p);
}
} // namespace

HDC CreateMemoryDC(int w, int h)
{
  unsigned int* bits = allocatePixels(w, h);
  if (!bits) return nullptr;
  HDC dc = new (std::nothrow) SWELL_DrawContext;
  if (!dc)
  {
    std::free(bits);
    return nullptr;
  }
  dc->bits = bits;
  dc->width = w;
  dc->height = h;
  return dc;
}

void DeleteDC(HDC dc)
{
  if (!dc) return;
  std::free(dc->bits);
  delete dc;
}

unsigned int* GetMemoryDCBits(HDC dc)
{
  return dc ? dc->bits : nullptr;
}

bool ResizeMemoryDC(HDC dc, int w, int h)
{
  if (!dc) return false;
  unsigned int* bits = allocatePixels(w, h);
  if (!bits) return false;
  std::free(dc->bits);
  dc->bits = bits;
  dc->width = w;
  dc->height = h;
  return true;
}
