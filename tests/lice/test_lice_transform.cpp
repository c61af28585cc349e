// Scaled and rotated blits: the plain-blit shortcut, nearest and bilinear
// sampling, mirroring, rotation about the centre and its offset, clipping.
#include <gtest/gtest.h>

#include <climits>

#include "lice/lice.h"
#include "tests/lice/lice_test_util.h"

using namespace lice_test;

namespace
{
const double kPi = 3.141592653589793;

// Pixel (x, y) of a pattern bitmap: distinct for every position.
LICE_pixel cell(int x, int y)
{
  return LICE_RGBA(x * 40 + 10, y * 40 + 10, 100, 255);
}

void fillCells(LICE_IBitmap* bm)
{
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      LICE_PutPixel(bm, x, y, cell(x, y), 1.0f, 0);
}

} // namespace

TEST(LiceScaledBlit, SameSizeIsAPlainBlitAtTheNearestPosition)
{
  LICE_MemBitmap src(4, 4), dest(4, 4);
  fillCells(&src);
  LICE_Clear(&dest, 0);
  LICE_ScaledBlit(&dest, &src, 0, 0, 3, 3, 1.4f, 0.6f, 3.0005f, 3.0f, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), cell(1, 1));
  EXPECT_EQ(LICE_GetPixel(&dest, 2, 2), cell(3, 3));
  EXPECT_EQ(countPixels(&dest, 0), 16 - 9);
  // Filtered, a position within 0.03 of whole pixels still takes the shortcut.
  LICE_Clear(&dest, 0);
  LICE_ScaledBlit(&dest, &src, 0, 0, 3, 3, 0.98f, 0.02f, 3.0f, 3.0f, 1.0f,
                  LICE_BLIT_FILTER_BILINEAR);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), cell(1, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 2, 2), cell(3, 2));
}

TEST(LiceScaledBlit, BilinearBetweenPixels)
{
  LICE_MemBitmap src(2, 1), dest(2, 1);
  LICE_PutPixel(&src, 0, 0, LICE_RGBA(0, 0, 0, 0), 1.0f, 0);
  LICE_PutPixel(&src, 1, 0, LICE_RGBA(200, 100, 40, 255), 1.0f, 0);
  LICE_Clear(&dest, 0xffffffff);
  // Half a pixel to the right: each destination pixel sits midway.
  LICE_ScaledBlit(&dest, &src, 0, 0, 1, 1, 0.5f, 0.0f, 1.0f, 1.0f, 1.0f, LICE_BLIT_FILTER_BILINEAR);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), LICE_RGBA(100, 50, 20, 127));
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 0), 0xffffffffu);
  // Without the filter the same call samples the nearest pixel.
  LICE_ScaledBlit(&dest, &src, 0, 0, 1, 1, 0.5f, 0.0f, 1.0f, 1.0f, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), LICE_RGBA(200, 100, 40, 255));
}

TEST(LiceScaledBlit, ScalesUpAndDownWithNearestPixels)
{
  LICE_MemBitmap src(2, 2), big(4, 4), small(2, 2);
  fillCells(&src);
  LICE_ScaledBlit(&big, &src, 0, 0, 4, 4, 0.0f, 0.0f, 2.0f, 2.0f, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&big, 0, 0), cell(0, 0));
  EXPECT_EQ(LICE_GetPixel(&big, 1, 1), cell(0, 0));
  EXPECT_EQ(LICE_GetPixel(&big, 2, 1), cell(1, 0));
  EXPECT_EQ(LICE_GetPixel(&big, 3, 3), cell(1, 1));

  LICE_MemBitmap four(4, 4);
  fillCells(&four);
  LICE_ScaledBlit(&small, &four, 0, 0, 2, 2, 0.0f, 0.0f, 4.0f, 4.0f, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&small, 0, 0), cell(1, 1));
  EXPECT_EQ(LICE_GetPixel(&small, 1, 1), cell(3, 3));
  // Filtered upscaling of a uniform picture stays uniform up to the edges.
  LICE_Clear(&src, LICE_RGBA(9, 8, 7, 6));
  LICE_ScaledBlit(&big, &src, 0, 0, 4, 4, 0.0f, 0.0f, 2.0f, 2.0f, 1.0f, LICE_BLIT_FILTER_BILINEAR);
  EXPECT_EQ(countPixels(&big, LICE_RGBA(9, 8, 7, 6)), 16);
}

TEST(LiceScaledBlit, NegativeSizesMirror)
{
  LICE_MemBitmap src(4, 2), dest(4, 2);
  fillCells(&src);
  LICE_ScaledBlit(&dest, &src, 4, 0, -4, 2, 0.0f, 0.0f, 4.0f, 2.0f, 1.0f, 0);
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(LICE_GetPixel(&dest, x, 1), cell(3 - x, 1));
  LICE_ScaledBlit(&dest, &src, 0, 2, 4, -2, 0.0f, 0.0f, 4.0f, 2.0f, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), cell(0, 1));
  EXPECT_EQ(LICE_GetPixel(&dest, 3, 1), cell(3, 0));
}

TEST(LiceScaledBlit, ModesClippingAndNothingCases)
{
  LICE_MemBitmap src(2, 2), dest(3, 3);
  LICE_Clear(&src, LICE_RGBA(50, 50, 50, 0));
  LICE_Clear(&dest, 7);
  // Source alpha 0 leaves every pixel as it was.
  LICE_ScaledBlit(&dest, &src, -5, -5, 20, 20, 0.0f, 0.0f, 2.0f, 2.0f, 1.0f, LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(countPixels(&dest, 7), 9);
  LICE_Clear(&src, LICE_RGBA(50, 50, 50, 255));
  LICE_ScaledBlit(&dest, &src, 0, 0, 0, 3, 0.0f, 0.0f, 2.0f, 2.0f, 1.0f, 0);
  LICE_ScaledBlit(&dest, &src, 0, 0, 3, 3, 0.0f, 0.0f, 2.0f, 2.0f, 0.0f, 0);
  LICE_ScaledBlit(&dest, &src, 0, 0, 3, 3, 5.0f, 5.0f, 2.0f, 2.0f, 1.0f, 0); // source outside
  LICE_ScaledBlit(&dest, &src, 0, 0, 3, 3, 0.0f, 0.0f, 2.0f, 2.0f, 1.0f, 9); // draws nothing
  LICE_ScaledBlit(nullptr, &src, 0, 0, 3, 3, 0.0f, 0.0f, 2.0f, 2.0f, 1.0f, 0);
  LICE_ScaledBlit(&dest, nullptr, 0, 0, 3, 3, 0.0f, 0.0f, 2.0f, 2.0f, 1.0f, 0);
  LICE_ScaledBlit(&dest, &src, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0.0f, 0.0f, 2.0f, 2.0f, 1.0f, 0);
  EXPECT_EQ(countPixels(&dest, 7), 9);
  LICE_ScaledBlit(&dest, &src, 2, 2, 5, 5, 0.0f, 0.0f, 2.0f, 2.0f, 0.5f, LICE_BLIT_MODE_ADD);
  EXPECT_EQ(countPixels(&dest, 7), 8);
  EXPECT_EQ(LICE_GetPixel(&dest, 2, 2),
            LICE_CombinePixels(7, LICE_RGBA(50, 50, 50, 255), 0.5f, LICE_BLIT_MODE_ADD));
}

TEST(LiceRotatedBlit, TurnsClockwiseAboutTheCentre)
{
  LICE_MemBitmap src(4, 4), dest(4, 4);
  fillCells(&src);
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, 0.0f, false, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 2), cell(1, 2));
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, float(kPi / 2), false, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dest, 3, 0), cell(0, 0)); // top left to top right
  EXPECT_EQ(LICE_GetPixel(&dest, 3, 3), cell(3, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), cell(0, 3));
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, float(kPi), false, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dest, 3, 3), cell(0, 0));
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 1), cell(3, 2));
}

TEST(LiceRotatedBlit, UncoveredPixelsAndTheSourceRectangle)
{
  LICE_MemBitmap src(4, 2), dest(4, 4);
  fillCells(&src);
  LICE_Clear(&dest, 7);
  // A 4 x 2 picture turned a quarter inside a 4 x 4 area covers its middle columns.
  LICE_RotatedBlit(&dest, &src, 0, 1, 4, 2, 0.0f, 0.0f, 4.0f, 2.0f, float(kPi / 2), false, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 1), 7u);
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 1), cell(1, 1));
  EXPECT_EQ(LICE_GetPixel(&dest, 2, 1), cell(1, 0));
  EXPECT_EQ(countPixels(&dest, 7), 16 - 4);

  // Clipped to a source rectangle of its left half, the rest stays untouched.
  LICE_Clear(&dest, 7);
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 2, 0.0f, 0.0f, 2.0f, 2.0f, 0.0f, true, 1.0f, 0);
  EXPECT_EQ(countPixels(&dest, 7), 16 - 8);
  LICE_Clear(&dest, 7);
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 2, 0.0f, 0.0f, 2.0f, 2.0f, float(kPi), true, 1.0f, 0);
  EXPECT_EQ(LICE_GetPixel(&dest, 0, 0), cell(1, 1));
  EXPECT_EQ(LICE_GetPixel(&dest, 3, 0), cell(0, 1));
}

TEST(LiceRotatedBlit, CentreOffsetAndNothingCases)
{
  LICE_MemBitmap src(4, 4), dest(4, 4);
  fillCells(&src);
  LICE_Clear(&dest, 7);
  // Half a turn about a point one pixel below the centre moves the picture down by two.
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, float(kPi), false, 1.0f, 0,
                   0.0f, 1.0f);
  EXPECT_EQ(LICE_GetPixel(&dest, 3, 2), cell(0, 3));
  EXPECT_EQ(LICE_GetPixel(&dest, 3, 3), cell(0, 2));
  EXPECT_EQ(countPixels(&dest, 7), 8);

  LICE_Clear(&dest, 7);
  LICE_RotatedBlit(&dest, &src, 0, 0, 0, 4, 0.0f, 0.0f, 4.0f, 4.0f, 1.0f, false, 1.0f, 0);
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, 1.0f, false, 0.0f, 0);
  LICE_RotatedBlit(nullptr, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, 1.0f, false, 1.0f, 0);
  LICE_RotatedBlit(&dest, &src, 8, 8, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, 1.0f, false, 1.0f, 0);
  EXPECT_EQ(countPixels(&dest, 7), 16);
  // Filtered rotation of a uniform picture gives that colour wherever it lands.
  LICE_Clear(&src, LICE_RGBA(1, 2, 3, 255));
  LICE_RotatedBlit(&dest, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, 0.7f, false, 1.0f,
                   LICE_BLIT_FILTER_BILINEAR);
  EXPECT_EQ(countPixels(&dest, 7) + countPixels(&dest, LICE_RGBA(1, 2, 3, 255)), 16);
  EXPECT_EQ(LICE_GetPixel(&dest, 1, 1), LICE_RGBA(1, 2, 3, 255));
}
