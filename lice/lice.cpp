#include "lice/lice.h"

#include <sys/mman.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "lice/lice_kernels.h"
#include "lice/lice_paint.h"
#include "swell/swell_memdc.h"

using namespace lice_detail;

namespace
{
// Pixel buffers must stay below this size so that byte counts fit in an int.
const long long kMaxBufferBytes = 1LL << 31;
const uintptr_t kPixelAlignment = 64;

const uintptr_t kPage = 4096;
const size_t kLargePage = size_t(2) << 20;

// Fresh memory is dear: a small page costs microseconds when first written
// (on a virtual machine, often ten or more). Buffers of a large page or more
// start on a large-page boundary and are marked for large pages; smaller ones
// have the system back their pages in one call. Only advice either way.
void* allocatePixelBuffer(size_t bytes)
{
  if (bytes < kLargePage) return std::malloc(bytes);
  void* p = nullptr;
  if (posix_memalign(&p, kLargePage, bytes) != 0) return nullptr;
#ifdef MADV_HUGEPAGE
  madvise(p, (bytes + kLargePage - 1) & ~(kLargePage - 1), MADV_HUGEPAGE);
#endif
  return p;
}

void backPages(void* block, size_t bytes)
{
#ifdef MADV_POPULATE_WRITE
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(block) + kPage - 1) & ~(kPage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kPage - 1);
  if (bytes < kLargePage && end >= begin + 4 * kPage)
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
  (void)block;
  (void)bytes;
#endif
}

bool sizeRefused(int w, int h, long long span)
{
  if (w < 0 || h < 0) return true;
  return h > 0 && span * 4 > (kMaxBufferBytes - 1) / h;
}
} // namespace

// ---- LICE_MemBitmap -------------------------------------------------------

LICE_MemBitmap::LICE_MemBitmap(int w, int h, unsigned int linealign)
{
  if (linealign >= 2)
  {
    const unsigned int lowest = linealign & (~linealign + 1);
    m_linealign = int(lowest > 16 ? 16 : lowest) - 1;
  }
  if (w || h) resize(w, h);
}

LICE_MemBitmap::~LICE_MemBitmap()
{
  std::free(m_fb);
}

LICE_pixel* LICE_MemBitmap::getBits()
{
  if (!m_fb) return nullptr;
  const uintptr_t p = reinterpret_cast<uintptr_t>(m_fb);
  return reinterpret_cast<LICE_pixel*>((p + kPixelAlignment - 1) & ~(kPixelAlignment - 1));
}

void LICE_MemBitmap::releaseBuffer()
{
  std::free(m_fb);
  m_fb = nullptr;
  m_allocsize = 0;
}

bool LICE_MemBitmap::resize(int w, int h)
{
  if (w == m_width && h == m_height) return false;
  const long long span = (static_cast<long long>(w) + m_linealign) & ~(long long)m_linealign;
  if (sizeRefused(w, h, span))
  {
    releaseBuffer();
    m_width = m_height = 0;
    return false;
  }
  m_width = w;
  m_height = h;
  const int bytes = int(span * h * 4);
  if (bytes <= 0)
    releaseBuffer();
  else if (!m_fb)
  {
    m_fb = allocatePixelBuffer(size_t(bytes) + kPixelAlignment - 1);
    m_allocsize = m_fb ? bytes : 0;
  }
  else if (m_allocsize < bytes)
  {
    long long grown = (bytes / 4) * 5LL;
    if (grown > INT_MAX) grown = INT_MAX;
    void* p = std::realloc(m_fb, size_t(grown) + kPixelAlignment - 1);
    if (p)
    {
      m_fb = p;
      m_allocsize = int(grown);
    }
    else
    {
      releaseBuffer();
      m_fb = allocatePixelBuffer(size_t(bytes) + kPixelAlignment - 1);
      m_allocsize = m_fb ? bytes : 0;
    }
  }
  if (m_fb)
    backPages(m_fb, size_t(m_allocsize));
  else
    m_width = m_height = 0;
  return true;
}

// ---- LICE_SysBitmap -------------------------------------------------------

LICE_SysBitmap::LICE_SysBitmap(int w, int h)
{
  resize(w, h);
}

LICE_SysBitmap::~LICE_SysBitmap()
{
  DeleteDC(m_dc);
}

bool LICE_SysBitmap::resize(int w, int h)
{
  if (w == m_width && h == m_height) return false;
  const long long span = (static_cast<long long>(w) + 3) & ~3LL;
  const bool refused = sizeRefused(w, h, span);
  m_width = refused ? 0 : w;
  m_height = refused ? 0 : h;
  if (!refused && w && h && m_allocw >= w && m_alloch >= h && m_bits) return true;
  m_allocw = refused ? 0 : int(span);
  m_alloch = m_height;
  DeleteDC(m_dc);
  m_dc = nullptr;
  m_bits = nullptr;
  if (!m_allocw || !m_alloch) return false;
  m_dc = CreateMemoryDC(m_allocw, m_alloch);
  m_bits = GetMemoryDCBits(m_dc);
  if (!m_bits) m_width = m_height = 0;
  return true;
}

// ---- Blits ----------------------------------------------------------------

namespace
{
// A clipped blit: w x h pixels from (sx, sy) of the source to (dx, dy).
struct BlitArea
{
  int dx, dy, sx, sy, w, h;
};

// Calls f(destRow, srcRow) for every row of the area. Rows run bottom-up when
// a bitmap is blitted downwards onto itself, so that no row is read after it
// was written.
template <class F>
void forEachRowPair(LICE_IBitmap* dest, LICE_IBitmap* src, const BlitArea& a, F&& f)
{
  const Rows drows = rowsOf(dest), srows = rowsOf(src);
  const bool upwards = dest == src && a.dy > a.sy;
  for (int i = 0; i < a.h; ++i)
  {
    const int y = upwards ? a.h - 1 - i : i;
    f(drows.row(a.dy + y) + a.dx, srows.row(a.sy + y) + a.sx);
  }
}

void channelCopy(LICE_IBitmap* dest, LICE_IBitmap* src, const BlitArea& a, int mode)
{
  const int from = (mode & 3) * 8, to = ((mode >> 2) & 3) * 8;
  const LICE_pixel keep = ~(LICE_pixel(255) << to);
  forEachRowPair(dest, src, a,
                 [&](LICE_pixel* d, const LICE_pixel* s)
                 {
                   for (int x = 0; x < a.w; ++x)
                     d[x] = (d[x] & keep) | (((s[x] >> from) & 255) << to);
                 });
}

void copyRows(LICE_IBitmap* dest, LICE_IBitmap* src, const BlitArea& a)
{
  forEachRowPair(dest, src, a,
                 [&](LICE_pixel* d, const LICE_pixel* s)
                 { std::memmove(d, s, size_t(a.w) * sizeof(LICE_pixel)); });
}

void averageRows(LICE_IBitmap* dest, LICE_IBitmap* src, const BlitArea& a)
{
  forEachRowPair(dest, src, a,
                 [&](LICE_pixel* d, const LICE_pixel* s)
                 {
                   for (int x = 0; x < a.w; ++x)
                     d[x] = ((d[x] >> 1) & 0x7f7f7f7f) + ((s[x] >> 1) & 0x7f7f7f7f);
                 });
}

void combineRows(LICE_IBitmap* dest, LICE_IBitmap* src, const BlitArea& a, int weight, int mode)
{
  const Combine combine = blitCombine(mode, weight);
  const bool partial = weight > 0 && weight < 256;
  if (combine == Combine::CopySourceAlphaFull)
    return forEachRowPair(dest, src, a,
                          [&](LICE_pixel* d, const LICE_pixel* s)
                          { copySourceAlphaFullRow(d, s, a.w); });
  if (combine == Combine::CopySourceAlpha && partial)
    return forEachRowPair(dest, src, a,
                          [&](LICE_pixel* d, const LICE_pixel* s)
                          { copySourceAlphaRow(d, s, a.w, weight); });
  if (combine == Combine::Copy && partial)
    return forEachRowPair(dest, src, a,
                          [&](LICE_pixel* d, const LICE_pixel* s) { copyRow(d, s, a.w, weight); });
  withCombiner<false>(combine,
                      [&](auto tag)
                      {
                        using C = typename decltype(tag)::type;
                        forEachRowPair(dest, src, a,
                                       [&](LICE_pixel* d, const LICE_pixel* s)
                                       {
                                         for (int x = 0; x < a.w; ++x)
                                           d[x] = combineWord<C>(d[x], s[x], weight);
                                       });
                      });
}

// The source rectangle is (sx, sy) ... (right, bottom), already limited to the
// source; 64-bit so that no coordinate arithmetic can overflow.
void blitClipped(LICE_IBitmap* dest, LICE_IBitmap* src, long long dstx, long long dsty,
                 long long sx, long long sy, long long right, long long bottom, float alpha,
                 int mode)
{
  if (dstx < 0) sx -= dstx, dstx = 0;
  if (dsty < 0) sy -= dsty, dsty = 0;
  const long long destW = dest->getWidth(), destH = dest->getHeight();
  if (dstx + (right - sx) > destW) right = destW + sx - dstx;
  if (dsty + (bottom - sy) > destH) bottom = destH + sy - dsty;
  if (sx >= right || sy >= bottom || !dest->getBits() || !src->getBits()) return;
  const BlitArea a{int(dstx), int(dsty), int(sx), int(sy), int(right - sx), int(bottom - sy)};

  if ((mode & LICE_BLIT_MODE_MASK) >= LICE_BLIT_MODE_CHANCOPY)
    return channelCopy(dest, src, a, mode);
  const bool plainCopy = (mode & (LICE_BLIT_USE_ALPHA | LICE_BLIT_MODE_MASK)) == 0;
  if (plainCopy && alpha == 1.0f) return copyRows(dest, src, a);
  if (plainCopy && alpha == 0.5f) return averageRows(dest, src, a);
  const int weight = weightFromScaledAlpha(alpha * 256.0f);
  if (weight != 0) combineRows(dest, src, a, weight, mode);
}
} // namespace

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
               float alpha, int mode)
{
  if (!dest || !src || alpha == 0.0f) return;
  long long right = src->getWidth(), bottom = src->getHeight(), sx = 0, sy = 0;
  long long dx = dstx, dy = dsty;
  if (srcrect)
  {
    if (srcrect->right < right) right = srcrect->right;
    if (srcrect->bottom < bottom) bottom = srcrect->bottom;
    sx = srcrect->left;
    sy = srcrect->top;
    if (sx < 0) dx -= sx, sx = 0;
    if (sy < 0) dy -= sy, sy = 0;
  }
  blitClipped(dest, src, dx, dy, sx, sy, right, bottom, alpha, mode);
}

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch, float alpha, int mode)
{
  // The far edges may lie beyond the int range; clamping them keeps the result.
  auto farEdge = [](long long v) { return int(v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : v); };
  const RECT r{srcx, srcy, farEdge(static_cast<long long>(srcx) + srcw),
               farEdge(static_cast<long long>(srcy) + srch)};
  LICE_Blit(dest, src, dstx, dsty, &r, alpha, mode);
}

void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src)
{
  if (!dest || !src) return;
  dest->resize(src->getWidth(), src->getHeight());
  LICE_Blit(dest, src, 0, 0, nullptr, 1.0f, 0);
}

// ---- Fills and pixels -----------------------------------------------------

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha,
                   int mode)
{
  PixelRect r;
  if (!hasPixels(dest) || !clipToBitmap(dest, x, y, w, h, &r)) return;
  SolidPaint::forFill(color, alpha, mode).paintRect(dest, r);
}

void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color)
{
  PixelRect all;
  if (!hasPixels(dest) || !clipToBitmap(dest, 0, 0, dest->getWidth(), dest->getHeight(), &all))
    return;
  const Rows rows = rowsOf(dest);
  for (int y = 0; y < all.h; ++y)
  {
    LICE_pixel* p = rows.row(y);
    for (int x = 0; x < all.w; ++x)
      p[x] = color;
  }
}

void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel mask,
                    LICE_pixel orbits)
{
  PixelRect r;
  if (!hasPixels(dest) || !clipToBitmap(dest, x, y, w, h, &r)) return;
  const Rows rows = rowsOf(dest);
  for (int row = r.y; row < r.y + r.h; ++row)
  {
    LICE_pixel* p = rows.row(row) + r.x;
    for (int i = 0; i < r.w; ++i)
      p[i] = (p[i] & mask) | orbits;
  }
}

LICE_pixel LICE_GetPixel(LICE_IBitmap* bm, int x, int y)
{
  if (!hasPixels(bm) || x < 0 || y < 0 || x >= bm->getWidth() || y >= bm->getHeight()) return 0;
  return rowsOf(bm).row(y)[x];
}

void LICE_PutPixel(LICE_IBitmap* bm, int x, int y, LICE_pixel color, float alpha, int mode)
{
  if (!hasPixels(bm) || x < 0 || y < 0 || x >= bm->getWidth() || y >= bm->getHeight()) return;
  SolidPaint::forPixel(color, alpha, mode).paintRow(rowsOf(bm).row(y) + x, 1);
}

LICE_pixel LICE_CombinePixels(LICE_pixel dest, LICE_pixel src, float alpha, int mode)
{
  const int weight = weightFromScaledAlpha(alpha * 256.0f);
  LICE_pixel result = dest;
  if (weight == 0) return result;
  withCombiner<false>(blitCombine(mode, weight), [&](auto tag)
                      { result = combineWord<typename decltype(tag)::type>(dest, src, weight); });
  return result;
}
