// Blits, fills, clears and single pixels: clipping, mode dispatch and the
// whole-word paths.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>

#include "lice/lice.h"
#include "tests/lice/lice_test_util.h"
#include "lice/lice_combine.h"

using namespace lice_test;

namespace
{
// Pixel (x, y) of a pattern bitmap: distinct in every channel.
LICE_pixel patternPixel(int x, int y)
{
  return LICE_RGBA(x * 10 + 1, y * 10 + 2, x + y, 100 + x);
}

void fillPattern(LICE_IBitmap* bm)
{
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      LICE_PutPixel(bm, x, y, patternPixel(x, y), 1.0f, 0);
}

} // namespace

TEST(LiceBlit, OpaqueCopyIsExactAcrossRowSpans)
{
  LICE_MemBitmap src(5, 4, 1), dest(9, 7, 16);
  fillPattern(&src);
  LICE_Clear(&dest, 0xdeadbeef);
  LICE_Blit(&dest, &src, 2, 1, nullptr, 1.0f, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(LICE_GetPixel(&dest, x + 2, y + 1), patternPixel(x, y));
  EXPECT_EQ(countPixels(&dest, 0xdeadbeef), 9 * 7 - 20);
}

TEST(LiceBlit, HalfAlphaAveragesWholeWords)
{
  LICE_MemBitmap white(3, 3), black(3, 3);
  LICE_Clear(&white, 0xffffffff);
  LICE_Clear(&black, 0x00000000);
  LICE_Blit(&black, &white, 0, 0, nullptr, 0.5f, 0);
  EXPECT_EQ(countPixels(&black, 0x7f7f7f7f), 9);
  // The filter bit does not leave the whole-word path.
  LICE_Clear(&black, 0);
  LICE_Blit(&black, &white, 0, 0, nullptr, 0.5f, LICE_BLIT_FILTER_BILINEAR);
  EXPECT_EQ(countPixels(&black, 0x7f7f7f7f), 9);
}

TEST(LiceBlit, SourceAlphaCopy)
{
  LICE_MemBitmap src(2, 1), dest(2, 1);
  LICE_PutPixel(&src, 0, 0, LICE_RGBA(9, 9, 9, 0), 1.0f, 0);
  LICE_PutPixel(&src, 1, 0, LICE_RGBA(1, 2, 3, 255), 1.0f, 0);
  LICE_Clear(&dest, LICE_RGBA(50, 60, 70, 80));
  LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), LICE_RGBA(50, 60, 70, 80));
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 0), LICE_RGBA(1, 2, 3, 255));
  // At alpha 0.5 the weight is scaled by the source's A.
  LICE_Clear(&dest, LICE_RGBA(50, 60, 70, 80));
  LICE_Blit(&dest, &src, 0, 0, nullptr, 0.5f, LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), LICE_RGBA(50, 60, 70, 80));
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 0),
            LICE_CombinePixels(LICE_RGBA(50, 60, 70, 80), LICE_RGBA(1, 2, 3, 255), 0.5f,
                               LICE_BLIT_USE_ALPHA));
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 0), LICE_RGBA(25, 31, 36, 208));
}

TEST(LiceBlit, NegativeSourceRectangleShiftsTheDestination)
{
  LICE_MemBitmap src(4, 4), dest(12, 12);
  fillPattern(&src);
  LICE_Clear(&dest, 0);
  const RECT r{-2, -3, 4, 4};
  LICE_Blit(&dest, &src, 5, 5, &r, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dest, 7, 8), patternPixel(0, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 10, 11), patternPixel(3, 3));
  EXPECT_EQ(LICE_GetPixel(&dest, 6, 8), 0u);
  EXPECT_EQ(LICE_GetPixel(&dest, 7, 7), 0u);
  EXPECT_EQ(countPixels(&dest, 0), 144 - 16);
  // The second form says the same with a position and a size.
  LICE_Clear(&dest, 0);
  LICE_Blit(&dest, &src, 5, 5, -2, -3, 6, 7, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dest, 7, 8), patternPixel(0, 0));
  EXPECT_EQ(countPixels(&dest, 0), 144 - 16);
}

TEST(LiceBlit, ClipsAtEveryDestinationEdge)
{
  LICE_MemBitmap src(4, 4), dest(6, 6);
  fillPattern(&src);
  LICE_Clear(&dest, 0);
  LICE_Blit(&dest, &src, -2, -1, nullptr, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), patternPixel(2, 1));
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 2), patternPixel(3, 3));
  EXPECT_EQ(countPixels(&dest, 0), 36 - 6);

  LICE_Clear(&dest, 0);
  LICE_Blit(&dest, &src, 4, 5, nullptr, 0.7f, LICE_BLIT_MODE_ADD);
  EXPECT_EQ(countPixels(&dest, 0), 36 - 2);
  EXPECT_NE(LICE_GetPixel(&dest, 5, 5), 0u);

  // Source rectangles past the source are cut to it; areas outside draw nothing.
  LICE_Clear(&dest, 0);
  const RECT wide{2, 2, 100, 100};
  LICE_Blit(&dest, &src, 0, 0, &wide, 1.0f, 0);
  EXPECT_EQ(countPixels(&dest, 0), 36 - 4);
  LICE_Clear(&dest, 0);
  LICE_Blit(&dest, &src, 6, 0, nullptr, 1.0f, 0);
  LICE_Blit(&dest, &src, 0, -4, nullptr, 1.0f, 0);
  LICE_Blit(&dest, &src, INT_MAX, INT_MAX, nullptr, 1.0f, 0);
  LICE_Blit(&dest, &src, INT_MIN, 0, nullptr, 1.0f, 0);
  LICE_Blit(&dest, &src, 0, 0, INT_MAX - 1, 0, INT_MAX, INT_MAX, 1.0f, 0);
  LICE_Blit(&dest, &src, 0, 0, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1.0f, 0);
  const RECT inverted{3, 3, 1, 1};
  LICE_Blit(&dest, &src, 0, 0, &inverted, 1.0f, 0);
  EXPECT_EQ(countPixels(&dest, 0), 36);
}

TEST(LiceBlit, ModeDispatch)
{
  LICE_MemBitmap src(1, 1), dest(1, 1);
  const LICE_pixel d = LICE_RGBA(200, 100, 30, 180), s = LICE_RGBA(40, 220, 128, 128);
  LICE_Clear(&src, s);
  auto blitOnce = [&](float alpha, int mode)
  {
    LICE_Clear(&dest, d);
    LICE_Blit(&dest, &src, 0, 0, nullptr, alpha, mode);
    return LICE_GetPixel(&dest, 0, 0);
  };
  for (int mode : {0, 1, 2, 3, 4, 5, 0x10000, 0x10001, 0x10002, 0x10003, 0x10004, 0x10005})
    for (float alpha : {0.25f, 0.6f, 1.0f})
      EXPECT_EQ(blitOnce(alpha, mode), LICE_CombinePixels(d, s, alpha, mode))
          << "mode " << mode << " alpha " << alpha;
  EXPECT_EQ(blitOnce(0.5f, LICE_BLIT_MODE_ADD), 0x5ed2dcf4u);
  for (int mode : {6, 100, 239, 0x10006, 0x100ef})
    EXPECT_EQ(blitOnce(1.0f, mode), d) << "mode " << mode;
  EXPECT_EQ(blitOnce(0.0f, LICE_BLIT_MODE_ADD), d);
  EXPECT_EQ(blitOnce(0.003f, LICE_BLIT_MODE_ADD), d); // weight 0
  EXPECT_EQ(blitOnce(-0.0f, 0), d);
}

TEST(LiceBlit, ChannelCopyMovesOneByte)
{
  LICE_MemBitmap src(2, 1), dest(2, 1);
  LICE_Clear(&src, LICE_RGBA(11, 22, 33, 44));
  LICE_Clear(&dest, LICE_RGBA(1, 2, 3, 4));
  // Source byte 1 (R) into destination byte 3 (B); alpha plays no part.
  LICE_Blit(&dest, &src, 0, 0, nullptr, 0.1f, LICE_BLIT_MODE_CHANCOPY | 1 | (3 << 2));
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 0), LICE_RGBA(1, 2, 11, 4));
  // Source A into destination A, with the source-alpha bit set.
  LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_CHANCOPY | LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), LICE_RGBA(1, 2, 11, 44));
}

TEST(LiceBlit, OntoItselfAndThroughFlippedRows)
{
  LICE_MemBitmap bm(3, 6);
  fillPattern(&bm);
  LICE_Blit(&bm, &bm, 0, 2, 0, 0, 3, 4, 1.0f, 0); // downwards, overlapping
  for (int y = 0; y < 4; ++y)
    EXPECT_EQ(LICE_GetPixel(&bm, 1, y + 2), patternPixel(1, y));

  FlippedBitmap flipped(3, 2);
  LICE_MemBitmap src(3, 2);
  fillPattern(&src);
  LICE_Blit(&flipped, &src, 0, 0, nullptr, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&flipped, 2, 0), patternPixel(2, 0));
  EXPECT_EQ(flipped.getBits()[2], patternPixel(2, 1)); // top row stored last
  LICE_MemBitmap back(3, 2);
  LICE_Clear(&back, 0);
  LICE_Blit(&back, &flipped, 0, 0, nullptr, 0.5f, 0);
  EXPECT_EQ(LICE_GetPixel(&back, 0, 1), ((patternPixel(0, 1) >> 1) & 0x7f7f7f7f));
}

TEST(LiceBlit, NullAndEmptyBitmapsAreIgnored)
{
  LICE_MemBitmap bm(2, 2), empty;
  LICE_Clear(&bm, 5);
  LICE_Blit(nullptr, &bm, 0, 0, nullptr, 1.0f, 0);
  LICE_Blit(&bm, nullptr, 0, 0, nullptr, 1.0f, 0);
  LICE_Blit(&bm, &empty, 0, 0, nullptr, 1.0f, 0);
  LICE_Blit(&empty, &bm, 0, 0, nullptr, 1.0f, 0);
  EXPECT_EQ(countPixels(&bm, 5), 4);
  LICE_Copy(&empty, &bm);
  EXPECT_EQ(empty.getWidth(), 2);
  EXPECT_EQ(countPixels(&empty, 5), 4);
  LICE_Copy(nullptr, &bm);
  LICE_Copy(&bm, nullptr);
}

TEST(LiceFill, SpecialAlphasUseShiftedWords)
{
  LICE_MemBitmap bm(2, 2);
  const LICE_pixel d = 0x80402010, c = 0xffffffff;
  auto fillOnce = [&](float alpha)
  {
    LICE_Clear(&bm, d);
    LICE_FillRect(&bm, 0, 0, 2, 2, c, alpha, 0);
    return LICE_GetPixel(&bm, 1, 1);
  };
  EXPECT_EQ(fillOnce(1.0f), c);
  EXPECT_EQ(fillOnce(0.5f), ((d >> 1) & 0x7f7f7f7fu) + ((c >> 1) & 0x7f7f7f7fu));
  EXPECT_EQ(fillOnce(0.25f),
            ((d >> 1) & 0x7f7f7f7fu) + ((d >> 2) & 0x3f3f3f3fu) + ((c >> 2) & 0x3f3f3f3fu));
  EXPECT_EQ(fillOnce(0.75f),
            ((d >> 2) & 0x3f3f3f3fu) + ((c >> 1) & 0x7f7f7f7fu) + ((c >> 2) & 0x3f3f3f3fu));
  // Each stays within 2 per channel of the general copy of the colour at the
  // same weight; one step away the general path takes over, with source A
  // equal to the weight.
  for (float alpha : {0.25f, 0.5f, 0.75f})
  {
    const int w = int(alpha * 256);
    const LICE_pixel general = _LICE_CombinePixelsCopyNoClamp::doPix(d, 255, 255, 255, 255, w);
    const LICE_pixel special = fillOnce(alpha);
    for (int shift = 0; shift < 32; shift += 8)
      EXPECT_LE(std::abs(int((special >> shift) & 255) - int((general >> shift) & 255)), 2)
          << "alpha " << alpha;
    const float nearby = (w + 1) / 256.0f;
    EXPECT_EQ(fillOnce(nearby),
              _LICE_CombinePixelsCopyNoClamp::doPix(d, 255, 255, 255, w + 1, w + 1));
  }
}

TEST(LiceFill, SourceAlphaScalesByTheColoursAlpha)
{
  LICE_MemBitmap bm(3, 2);
  LICE_Clear(&bm, LICE_RGBA(0, 100, 255, 255));
  // A 160 gray: weight trunc(160 / 255 x 256) = 160, source A 160.
  LICE_FillRect(&bm, 0, 0, 3, 2, LICE_RGBA(155, 155, 155, 160), 1.0f, LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(countPixels(&bm, LICE_RGBA(97, 135, 192, 195)), 6);
  // A 0 scales the fill away.
  LICE_FillRect(&bm, 0, 0, 3, 2, LICE_RGBA(1, 1, 1, 0), 1.0f, LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(countPixels(&bm, LICE_RGBA(97, 135, 192, 195)), 6);
  // A 128 at full alpha: weight 128, the whole-word half path.
  LICE_Clear(&bm, 0);
  LICE_FillRect(&bm, 0, 0, 3, 2, LICE_RGBA(200, 200, 200, 128), 1.0f, LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), (LICE_RGBA(200, 200, 200, 128) >> 1) & 0x7f7f7f7fu);
}

TEST(LiceFill, OtherModesCombineWithSourceAlphaEqualToTheWeight)
{
  LICE_MemBitmap bm(1, 1);
  LICE_Clear(&bm, LICE_RGBA(100, 200, 10, 50));
  LICE_FillRect(&bm, 0, 0, 1, 1, LICE_RGBA(100, 100, 100, 0), 0.5f, LICE_BLIT_MODE_ADD);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), 0x3cfa9672u);
  LICE_FillRect(&bm, 0, 0, 1, 1, 0xffffffff, 1.0f, 6);
  LICE_FillRect(&bm, 0, 0, 1, 1, 0xffffffff, 1.0f, 239);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), 0x3cfa9672u);
}

TEST(LiceFill, ClipsAndSkipsEmptyAreas)
{
  LICE_MemBitmap bm(5, 5);
  LICE_Clear(&bm, 0);
  LICE_FillRect(&bm, -3, -3, 5, 5, 9, 1.0f, 0);
  EXPECT_EQ(countPixels(&bm, 9), 4);
  LICE_FillRect(&bm, 4, 3, 100, 100, 9, 1.0f, 0);
  EXPECT_EQ(countPixels(&bm, 9), 6);
  LICE_FillRect(&bm, 0, 0, 0, 5, 7, 1.0f, 0);
  LICE_FillRect(&bm, 0, 0, 5, -1, 7, 1.0f, 0);
  LICE_FillRect(&bm, -10, 0, 10, 5, 7, 1.0f, 0);
  LICE_FillRect(&bm, 5, 0, 10, 5, 7, 1.0f, 0);
  LICE_FillRect(&bm, 0, 0, 5, 5, 7, 0.0f, 0);
  LICE_FillRect(&bm, INT_MAX, INT_MAX, INT_MAX, INT_MAX, 7, 1.0f, 0);
  LICE_FillRect(&bm, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 7, 1.0f, 0);
  LICE_FillRect(nullptr, 0, 0, 5, 5, 7, 1.0f, 0);
  EXPECT_EQ(countPixels(&bm, 7), 0);
  LICE_FillRect(&bm, 1, 1, 1, 1, 7, 1e30f, 0); // absurd alpha: defined, in bounds
  LICE_FillRect(&bm, 1, 1, 1, 1, 7, std::nanf(""), LICE_BLIT_MODE_OVERLAY);
}

TEST(LiceClear, ClearAndClearRect)
{
  FlippedBitmap bm(4, 3);
  LICE_Clear(&bm, LICE_RGBA(1, 2, 3, 4));
  EXPECT_EQ(countPixels(&bm, LICE_RGBA(1, 2, 3, 4)), 12);
  // Keep R, G, B and zero A over a clipped rectangle.
  LICE_ClearRect(&bm, -1, 1, 3, 10, 0xffffff00, 0);
  EXPECT_EQ(countPixels(&bm, LICE_RGBA(1, 2, 3, 0)), 4);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 1), LICE_RGBA(1, 2, 3, 4));
  LICE_ClearRect(&bm, 3, 0, 1, 1, 0, 0x12345678);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 0), 0x12345678u);
  EXPECT_EQ(bm.getBits()[2 * 4 + 3], 0x12345678u); // top row stored last
  LICE_ClearRect(&bm, 0, 0, 0, 3, 0, 0);
  LICE_Clear(nullptr, 0);
  EXPECT_EQ(countPixels(&bm, 0), 0);
}

TEST(LicePixel, GetAndPut)
{
  LICE_MemBitmap bm(3, 3), empty;
  LICE_Clear(&bm, 0x80808080);
  EXPECT_EQ(LICE_GetPixel(&bm, -1, 0), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 0), 0u);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 3), 0u);
  EXPECT_EQ(LICE_GetPixel(nullptr, 0, 0), 0u);
  EXPECT_EQ(LICE_GetPixel(&empty, 0, 0), 0u);
  LICE_PutPixel(&bm, -1, 1, 0, 1.0f, 0);
  LICE_PutPixel(&bm, 1, 3, 0, 1.0f, 0);
  LICE_PutPixel(&empty, 0, 0, 0, 1.0f, 0);
  EXPECT_EQ(countPixels(&bm, 0x80808080), 9);

  // The source-alpha bit is not honoured: copy at 100 % stores the colour.
  LICE_PutPixel(&bm, 0, 0, LICE_RGBA(9, 9, 9, 0), 1.0f, LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), LICE_RGBA(9, 9, 9, 0));
  LICE_PutPixel(&bm, 1, 0, 0xffffffff, 0.5f, 0);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 0), 0xbfbfbfbfu);
  LICE_PutPixel(&bm, 2, 0, 0xffffffff, 0.25f, 0);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 0), 0x9f9f9f9fu);
  // Other weights combine with the colour's own A.
  LICE_PutPixel(&bm, 0, 1, LICE_RGBA(40, 220, 128, 128), 0.5f, LICE_BLIT_MODE_ADD);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 1),
            LICE_CombinePixels(0x80808080, LICE_RGBA(40, 220, 128, 128), 0.5f, LICE_BLIT_MODE_ADD));
  LICE_PutPixel(&bm, 1, 1, LICE_RGBA(0, 0, 0, 10), 0.1f, 0);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 1),
            _LICE_CombinePixelsCopyNoClamp::doPix(0x80808080, 0, 0, 0, 10, 25));
  LICE_PutPixel(&bm, 2, 1, 0xffffffff, 0.001f, 0);
  LICE_PutPixel(&bm, 2, 1, 0xffffffff, 1.0f, 7);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 1), 0x80808080u);
}
