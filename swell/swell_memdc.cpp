#include "swell/swell_memdc.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace
{
const size_t kAlignment = 64;
const int64_t kMaxBufferBytes = int64_t(1) << 31;

struct Pixels
{
  void* block = nullptr;        // what the allocator gave; freed with free()
  unsigned int* bits = nullptr; // the first pixel, 64-byte aligned inside it
};

// Zero-filled, 64-byte aligned pixel storage; null when the size is refused.
// calloc rather than a fill: a large buffer comes from the system already
// zero, so its pages are touched only when first drawn into.
Pixels allocatePixels(int w, int h)
{
  if (w <= 0 || h <= 0) return {};
  const int64_t bytes = int64_t(w) * h * 4;
  if (bytes >= kMaxBufferBytes) return {};
  void* p = std::calloc(size_t(bytes) + kAlignment - 1, 1);
  if (!p) return {};
  const uintptr_t first = (reinterpret_cast<uintptr_t>(p) + kAlignment - 1) & ~(kAlignment - 1);
  return {p, reinterpret_cast<unsigned int*>(first)};
}
} // namespace

HDC CreateMemoryDC(int w, int h)
{
  const Pixels pixels = allocatePixels(w, h);
  if (!pixels.block) return nullptr;
  HDC dc = new (std::nothrow) SWELL_DrawContext;
  if (!dc)
  {
    std::free(pixels.block);
    return nullptr;
  }
  dc->block = pixels.block;
  dc->bits = pixels.bits;
  dc->width = w;
  dc->height = h;
  return dc;
}

void DeleteDC(HDC dc)
{
  if (!dc) return;
  std::free(dc->block);
  delete dc;
}

unsigned int* GetMemoryDCBits(HDC dc)
{
  return dc ? dc->bits : nullptr;
}

bool ResizeMemoryDC(HDC dc, int w, int h)
{
  if (!dc) return false;
  const Pixels pixels = allocatePixels(w, h);
  if (!pixels.block) return false;
  std::free(dc->block);
  dc->block = pixels.block;
  dc->bits = pixels.bits;
  dc->width = w;
  dc->height = h;
  return true;
}
