// Memory and system bitmaps: row spans, alignment, resize results and growth,
// and the size limits that keep every buffer within its allocation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "lice/lice.h"
#include "swell/swell_memdc.h"

namespace
{
bool aligned64(const void* p)
{
  return reinterpret_cast<uintptr_t>(p) % 64 == 0;
}
} // namespace

TEST(LiceMemBitmap, RowSpanFollowsTheLineAlignment)
{
  LICE_MemBitmap b4(10, 10, 4);
  EXPECT_EQ(b4.getRowSpan(), 12);
  EXPECT_EQ(LICE_MemBitmap(10, 10, 0).getRowSpan(), 10);
  EXPECT_EQ(LICE_MemBitmap(10, 10, 1).getRowSpan(), 10);
  EXPECT_EQ(LICE_MemBitmap(10, 10, 8).getRowSpan(), 16);
  EXPECT_EQ(LICE_MemBitmap(10, 10, 12).getRowSpan(), 12); // lowest set bit: 4
  EXPECT_EQ(LICE_MemBitmap(17, 1, 64).getRowSpan(), 32);  // capped at 16 pixels
  EXPECT_EQ(LICE_MemBitmap(16, 1, 64).getRowSpan(), 16);
  EXPECT_FALSE(b4.isFlipped());
  EXPECT_EQ(b4.getDC(), nullptr);
  EXPECT_EQ(b4.Extended(1, nullptr), 0);
}

TEST(LiceMemBitmap, ResizeReportsChangesAndKeepsPixelsAligned)
{
  LICE_MemBitmap bm(10, 10, 4);
  EXPECT_TRUE(aligned64(bm.getBits()));
  EXPECT_EQ(bm.getAllocatedBytes(), 10 * 12 * 4);
  EXPECT_FALSE(bm.resize(10, 10));
  // Same pixel count, other shape: still a change.
  LICE_MemBitmap strip(2, 8, 1);
  EXPECT_TRUE(strip.resize(4, 4));
  EXPECT_EQ(strip.getWidth(), 4);
  EXPECT_EQ(strip.getHeight(), 4);

  LICE_MemBitmap empty;
  EXPECT_EQ(empty.getBits(), nullptr);
  EXPECT_EQ(empty.getWidth(), 0);
  EXPECT_TRUE(empty.resize(3, 1));
  EXPECT_TRUE(aligned64(empty.getBits()));
}

TEST(LiceMemBitmap, GrowsByAQuarterAndNeverShrinks)
{
  LICE_MemBitmap bm(10, 10, 4);
  ASSERT_TRUE(bm.resize(10, 20)); // needs 960 bytes
  EXPECT_EQ(bm.getAllocatedBytes(), 1200);
  EXPECT_TRUE(aligned64(bm.getBits()));
  ASSERT_TRUE(bm.resize(10, 25)); // 1200 bytes still fit
  EXPECT_EQ(bm.getAllocatedBytes(), 1200);
  ASSERT_TRUE(bm.resize(2, 2));
  EXPECT_EQ(bm.getAllocatedBytes(), 1200);
  EXPECT_EQ(bm.getRowSpan(), 4);
  LICE_FillRect(&bm, 0, 0, 2, 2, 0x11223344);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 1), 0x11223344u);
  // Nothing to hold: the buffer goes.
  ASSERT_TRUE(bm.resize(0, 7));
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getHeight(), 0);
  EXPECT_EQ(bm.getAllocatedBytes(), 0);
}

TEST(LiceMemBitmap, RefusedSizesLeaveAnEmptyBitmap)
{
  LICE_MemBitmap bm(4, 4, 4);
  EXPECT_FALSE(bm.resize(-1, 5));
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getHeight(), 0);
  EXPECT_EQ(bm.getBits(), nullptr);

  ASSERT_TRUE(bm.resize(4, 4));
  EXPECT_FALSE(bm.resize(32768, 16384)); // exactly 2^31 bytes
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_FALSE(bm.resize(0x7fffffff, 0x7fffffff));
  EXPECT_FALSE(bm.resize(0x7ffffff0, 1)); // row span rounding must not wrap
  EXPECT_EQ(bm.getWidth(), 0);

  LICE_MemBitmap huge(100000, 100000);
  EXPECT_EQ(huge.getWidth(), 0);
  EXPECT_EQ(huge.getBits(), nullptr);
  // Drawing into it is harmless.
  LICE_FillRect(&huge, 0, 0, 10, 10, 0xffffffff);
  LICE_Clear(&huge, 0);
}

TEST(LiceSysBitmap, StartsEmptyAndAllocatesSpansOfFour)
{
  LICE_SysBitmap bm(0, 0);
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getDC(), nullptr);
  EXPECT_TRUE(bm.resize(1, 1));
  EXPECT_EQ(bm.getRowSpan(), 4);
  ASSERT_NE(bm.getBits(), nullptr);
  ASSERT_NE(bm.getDC(), nullptr);
  EXPECT_EQ(GetMemoryDCBits(bm.getDC()), bm.getBits());
  EXPECT_EQ(bm.getDC()->width, 4);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), 0u); // fresh pixels are zero
  EXPECT_FALSE(bm.resize(1, 1));
}

TEST(LiceSysBitmap, GrowsOnlyWhenTheAllocationIsTooSmall)
{
  LICE_SysBitmap bm(10, 10);
  EXPECT_EQ(bm.getRowSpan(), 12);
  LICE_pixel* first = bm.getBits();
  LICE_PutPixel(&bm, 3, 3, 0xabcdef01, 1.0f, 0);

  EXPECT_TRUE(bm.resize(8, 8)); // fits: same pixels, same span
  EXPECT_EQ(bm.getBits(), first);
  EXPECT_EQ(bm.getRowSpan(), 12);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 3), 0xabcdef01u);
  EXPECT_TRUE(bm.resize(12, 10));
  EXPECT_EQ(bm.getBits(), first);

  EXPECT_TRUE(bm.resize(13, 10)); // wider than the span: a new context
  EXPECT_EQ(bm.getRowSpan(), 16);
  EXPECT_EQ(bm.getWidth(), 13);
  ASSERT_NE(bm.getBits(), nullptr);
  EXPECT_EQ(GetMemoryDCBits(bm.getDC()), bm.getBits());
  LICE_FillRect(&bm, 0, 0, 13, 10, 0x01020304);
  EXPECT_EQ(LICE_GetPixel(&bm, 12, 9), 0x01020304u);

  EXPECT_TRUE(bm.resize(5, 11)); // taller: a new context, span from the width
  EXPECT_EQ(bm.getRowSpan(), 8);
  EXPECT_EQ(bm.getHeight(), 11);
}

TEST(LiceSysBitmap, EmptyAndRefusedSizes)
{
  LICE_SysBitmap bm(10, 10);
  EXPECT_FALSE(bm.resize(0, 0)); // no context for an empty size
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getDC(), nullptr);
  EXPECT_EQ(bm.getWidth(), 0);

  ASSERT_TRUE(bm.resize(4, 4));
  EXPECT_FALSE(bm.resize(-4, 4));
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getHeight(), 0);
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_FALSE(bm.resize(0x7ffffffe, 2));
  EXPECT_EQ(bm.getBits(), nullptr);
  ASSERT_TRUE(bm.resize(4, 4));
  EXPECT_NE(bm.getBits(), nullptr);
}

TEST(SwellMemoryDC, OwnsAZeroedAlignedBuffer)
{
  EXPECT_EQ(CreateMemoryDC(0, 5), nullptr);
  EXPECT_EQ(CreateMemoryDC(-1, 5), nullptr);
  EXPECT_EQ(CreateMemoryDC(65536, 32768), nullptr);
  HDC dc = CreateMemoryDC(3, 2);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(aligned64(GetMemoryDCBits(dc)));
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(GetMemoryDCBits(dc)[i], 0u);
  EXPECT_FALSE(ResizeMemoryDC(dc, 0, 1)); // refused: the old buffer stays
  EXPECT_EQ(dc->width, 3);
  EXPECT_TRUE(ResizeMemoryDC(dc, 5, 4));
  EXPECT_EQ(dc->width, 5);
  EXPECT_EQ(dc->height, 4);
  GetMemoryDCBits(dc)[19] = 7;
  DeleteDC(dc);
  DeleteDC(nullptr);
  EXPECT_EQ(GetMemoryDCBits(nullptr), nullptr);
}

// Buffers of an editor's size, and ones that reuse memory a drawn context gave
// back, still start aligned and all zero.
TEST(SwellMemoryDC, FreshBuffersAreZeroEvenWhereMemoryIsReused)
{
  const int sizes[][2] = {{700, 420}, {33, 17}, {1024, 768}, {700, 420}, {33, 17}};
  HDC resized = CreateMemoryDC(1, 1);
  ASSERT_NE(resized, nullptr);
  for (const auto& size : sizes)
  {
    const int n = size[0] * size[1];
    HDC dc = CreateMemoryDC(size[0], size[1]);
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(aligned64(GetMemoryDCBits(dc)));
    EXPECT_EQ(std::count(GetMemoryDCBits(dc), GetMemoryDCBits(dc) + n, 0u), n);
    std::fill(GetMemoryDCBits(dc), GetMemoryDCBits(dc) + n, 0xffffffffu);
    DeleteDC(dc);

    ASSERT_TRUE(ResizeMemoryDC(resized, size[0], size[1]));
    EXPECT_TRUE(aligned64(GetMemoryDCBits(resized)));
    EXPECT_EQ(std::count(GetMemoryDCBits(resized), GetMemoryDCBits(resized) + n, 0u), n);
    std::fill(GetMemoryDCBits(resized), GetMemoryDCBits(resized) + n, 0x12345678u);
  }
  DeleteDC(resized);
}
