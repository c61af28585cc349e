// Shapes: the pixels they cover, clipping at any coordinates, anti-aliased
// edges, and that each pixel is painted once with the fill's combine.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "lice/lice.h"
#include "tests/lice/lice_test_util.h"

using namespace lice_test;

namespace
{
const LICE_pixel kWhite = 0xffffffff, kBlack = LICE_RGBA(0, 0, 0, 255);
// White at 50 % over black, painted exactly once.
const LICE_pixel kHalfOnce = ((kBlack >> 1) & 0x7f7f7f7f) + ((kWhite >> 1) & 0x7f7f7f7f);

int touched(LICE_IBitmap* bm, LICE_pixel background)
{
  return bm->getWidth() * bm->getHeight() - countPixels(bm, background);
}
} // namespace

TEST(LiceLine, CoversBothEndsAlongTheMajorAxis)
{
  LICE_MemBitmap bm(10, 10);
  LICE_Clear(&bm, kBlack);
  LICE_Line(&bm, 2, 3, 7, 3, kWhite);
  LICE_Line(&bm, 8, 7, 8, 1, kWhite);
  EXPECT_EQ(touched(&bm, kBlack), 6 + 7);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 3), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 8, 1), kWhite);

  LICE_Clear(&bm, kBlack);
  LICE_Line(&bm, 0, 0, 9, 9, kWhite, 0.5f, 0);
  EXPECT_EQ(countPixels(&bm, kHalfOnce), 10);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(LICE_GetPixel(&bm, i, i), kHalfOnce);

  // A shallow line: one pixel per column, rounding to the nearest row.
  LICE_Clear(&bm, kBlack);
  LICE_Line(&bm, 0, 0, 9, 3, kWhite);
  EXPECT_EQ(touched(&bm, kBlack), 10);
  EXPECT_EQ(LICE_GetPixel(&bm, 5, 2), kWhite); // 5 x 3 / 9 = 1.67
  EXPECT_EQ(LICE_GetPixel(&bm, 9, 3), kWhite);
}

TEST(LiceLine, ClipsAtAnyCoordinates)
{
  LICE_MemBitmap bm(10, 10);
  LICE_Clear(&bm, kBlack);
  LICE_Line(&bm, -100, -100, 100, 100, kWhite);
  EXPECT_EQ(touched(&bm, kBlack), 10);
  LICE_Clear(&bm, kBlack);
  LICE_Line(&bm, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kWhite, 1.0f, 0, true);
  LICE_Line(&bm, INT_MIN, 5, INT_MAX, 5, kWhite);
  LICE_Line(&bm, 3, INT_MAX, 3, INT_MIN, kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 5), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 9), kWhite);
  LICE_Line(nullptr, 0, 0, 5, 5, kWhite);
  LICE_Clear(&bm, kBlack);
  LICE_Line(&bm, 20, 0, 30, 9, kWhite);
  LICE_Line(&bm, 0, 0, 9, 9, kWhite, 1.0f, 6); // mode 6 draws nothing
  LICE_Line(&bm, 0, 0, 9, 9, LICE_RGBA(9, 9, 9, 0), 1.0f, LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(touched(&bm, kBlack), 0);
}

TEST(LiceLine, AntiAliasedCoverageSplitsBetweenRows)
{
  LICE_MemBitmap bm(5, 3);
  LICE_Clear(&bm, kBlack);
  LICE_Line(&bm, 0, 0, 4, 2, kWhite, 1.0f, 0, true);
  // Ends and the middle fall on whole rows; columns 1 and 3 are split half and half.
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 0), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 1), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 4, 2), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 0), kHalfOnce);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 1), kHalfOnce);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 2), kHalfOnce);
  EXPECT_EQ(touched(&bm, kBlack), 7);
}

TEST(LiceCircle, RingAtTheRadius)
{
  LICE_MemBitmap bm(21, 21);
  LICE_Clear(&bm, kBlack);
  LICE_Circle(&bm, 10.0f, 10.0f, 6.0f, kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 16, 10), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 10, 4), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 10, 10), kBlack);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x)
    {
      const double d = std::hypot(x - 10.0, y - 10.0);
      EXPECT_EQ(LICE_GetPixel(&bm, x, y) == kWhite, d >= 5.5 && d < 6.5) << x << ", " << y;
      // Mirror images are drawn alike.
      EXPECT_EQ(LICE_GetPixel(&bm, x, y), LICE_GetPixel(&bm, 20 - x, y));
      EXPECT_EQ(LICE_GetPixel(&bm, x, y), LICE_GetPixel(&bm, y, x));
    }
}

TEST(LiceCircle, AntiAliasedRingAndClipping)
{
  LICE_MemBitmap bm(21, 21);
  LICE_Clear(&bm, kBlack);
  LICE_Circle(&bm, 10.0f, 10.0f, 6.0f, kWhite, 1.0f, 0, true);
  EXPECT_EQ(LICE_GetPixel(&bm, 16, 10), kWhite);          // on the ring
  EXPECT_EQ(LICE_GetPixel(&bm, 10, 10), kBlack);          // centre
  EXPECT_EQ(LICE_GetPixel(&bm, 18, 10), kBlack);          // two pixels out
  const LICE_pixel nearRing = LICE_GetPixel(&bm, 14, 14); // d = 5.66: partly covered
  EXPECT_NE(nearRing, kBlack);
  EXPECT_NE(nearRing, kWhite);
  // Partly or wholly outside, and huge: nothing outside the bitmap is touched.
  LICE_Circle(&bm, -5.0f, 10.0f, 8.0f, kWhite, 1.0f, 0, true);
  LICE_Circle(&bm, 10.0f, 10.0f, 1e9f, kWhite);
  LICE_Circle(&bm, 1e30f, 0.0f, 5.0f, kWhite);
  LICE_Circle(&bm, 10.0f, 10.0f, -3.0f, kWhite);
  LICE_Circle(&bm, 10.0f, 10.0f, std::nanf(""), kWhite);
}

TEST(LiceArc, RunsClockwiseFromStraightUp)
{
  LICE_MemBitmap bm(21, 21);
  LICE_Clear(&bm, kBlack);
  LICE_Arc(&bm, 10.0f, 10.0f, 6.0f, 0.0f, 3.14159265f, kWhite); // the right half
  EXPECT_EQ(LICE_GetPixel(&bm, 16, 10), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 4, 10), kBlack);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(LICE_GetPixel(&bm, x, y), kBlack) << x << ", " << y;
  // Reversed limits cover the same arc; the quarter from 3 o'clock down to 6.
  LICE_MemBitmap other(21, 21);
  LICE_Clear(&other, kBlack);
  LICE_Arc(&other, 10.0f, 10.0f, 6.0f, 3.14159265f, 0.0f, kWhite);
  EXPECT_EQ(countPixels(&other, kWhite), countPixels(&bm, kWhite));
  LICE_Clear(&other, kBlack);
  LICE_Arc(&other, 10.0f, 10.0f, 6.0f, 1.5707964f, 3.14159265f, kWhite);
  EXPECT_EQ(LICE_GetPixel(&other, 13, 15), kWhite);
  EXPECT_EQ(LICE_GetPixel(&other, 13, 5), kBlack);
}

TEST(LiceFillCircle, CoversCentresWithinTheRadius)
{
  LICE_MemBitmap bm(11, 11);
  LICE_Clear(&bm, kBlack);
  LICE_FillCircle(&bm, 5.0f, 5.0f, 3.0f, kWhite, 0.5f, 0);
  EXPECT_EQ(countPixels(&bm, kHalfOnce), 29); // whole points with x^2 + y^2 <= 9
  EXPECT_EQ(touched(&bm, kBlack), 29);

  LICE_Clear(&bm, kBlack);
  LICE_FillCircle(&bm, 5.0f, 5.0f, 3.0f, kWhite, 1.0f, 0, true);
  EXPECT_EQ(LICE_GetPixel(&bm, 5, 5), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 7, 5), kWhite);    // d = 2 <= 2.5
  EXPECT_EQ(LICE_GetPixel(&bm, 9, 5), kBlack);    // d = 4 >= 3.5
  EXPECT_EQ(LICE_GetPixel(&bm, 8, 5), kHalfOnce); // d = 3: half covered
  // Partly covered pixels are filled at alpha x coverage (3.5 - d).
  LICE_MemBitmap one(1, 1);
  LICE_Clear(&one, kBlack);
  LICE_FillRect(&one, 0, 0, 1, 1, kWhite, float(3.5 - std::sqrt(8.0)), 0);
  EXPECT_EQ(LICE_GetPixel(&bm, 7, 7), LICE_GetPixel(&one, 0, 0));
  EXPECT_NE(LICE_GetPixel(&one, 0, 0), kBlack);

  LICE_FillCircle(&bm, 5.0f, 5.0f, 1e9f, kWhite, 1.0f, 0, true);
  EXPECT_EQ(countPixels(&bm, kWhite), 121);
  LICE_FillCircle(&bm, -1e20f, 5.0f, 3.0f, kBlack);
  LICE_FillCircle(&bm, 5.0f, 5.0f, -1.0f, kBlack);
  EXPECT_EQ(countPixels(&bm, kWhite), 121);
}

TEST(LiceRoundRect, OutlineInsideTheRectanglePaintedOnce)
{
  LICE_MemBitmap bm(12, 10);
  LICE_Clear(&bm, kBlack);
  LICE_RoundRect(&bm, 1, 1, 10, 8, 0, kWhite, 0.5f, 0);
  EXPECT_EQ(countPixels(&bm, kHalfOnce), 2 * 10 + 2 * 8 - 4);
  EXPECT_EQ(touched(&bm, kBlack), 2 * 10 + 2 * 8 - 4);
  EXPECT_EQ(LICE_GetPixel(&bm, 10, 8), kHalfOnce);
  EXPECT_EQ(LICE_GetPixel(&bm, 11, 9), kBlack);

  LICE_Clear(&bm, kBlack);
  LICE_RoundRect(&bm, 1, 1, 10, 8, 3, kWhite, 0.5f, 0);
  EXPECT_EQ(touched(&bm, kBlack), countPixels(&bm, kHalfOnce)); // no pixel twice
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 1), kBlack);                  // rounded corner
  EXPECT_EQ(LICE_GetPixel(&bm, 4, 1), kHalfOnce);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 4), kHalfOnce);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 2), kHalfOnce);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x)
    {
      EXPECT_EQ(LICE_GetPixel(&bm, x, y), LICE_GetPixel(&bm, 11 - x, y)) << x << ", " << y;
      EXPECT_EQ(LICE_GetPixel(&bm, x, y), LICE_GetPixel(&bm, x, 9 - y)) << x << ", " << y;
    }
  // A radius beyond half the size is cut to fit; empty sizes draw nothing.
  LICE_Clear(&bm, kBlack);
  LICE_RoundRect(&bm, 1, 1, 10, 8, 100, kWhite, 1.0f, 0, true);
  EXPECT_GT(touched(&bm, kBlack), 0);
  LICE_Clear(&bm, kBlack);
  LICE_RoundRect(&bm, 1, 1, 0, 8, 2, kWhite);
  LICE_RoundRect(&bm, 1, 1, 8, -1, 2, kWhite);
  EXPECT_EQ(touched(&bm, kBlack), 0);
  LICE_RoundRect(&bm, 3, 3, 1, 1, 2, kWhite, 0.5f, 0);
  EXPECT_EQ(countPixels(&bm, kHalfOnce), 1);
  LICE_RoundRect(&bm, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 5, kWhite, 1.0f, 0, true);
}

TEST(LiceFillPolygon, TrianglesAndPolygonsIncludeTheirEdges)
{
  LICE_MemBitmap bm(8, 8);
  LICE_Clear(&bm, kBlack);
  LICE_FillTriangle(&bm, 0, 0, 4, 0, 0, 4, kWhite, 0.5f, 0);
  EXPECT_EQ(countPixels(&bm, kHalfOnce), 15); // x + y <= 4
  EXPECT_EQ(touched(&bm, kBlack), 15);
  EXPECT_EQ(LICE_GetPixel(&bm, 2, 2), kHalfOnce);
  EXPECT_EQ(LICE_GetPixel(&bm, 3, 2), kBlack);

  LICE_Clear(&bm, kBlack);
  const int sx[4] = {1, 5, 5, 1}, sy[4] = {1, 1, 3, 3};
  LICE_FillConvexPolygon(&bm, sx, sy, 4, kWhite, 0.5f, 0);
  EXPECT_EQ(countPixels(&bm, kHalfOnce), 15);
  // A thin sliver covers the pixel centres inside it.
  LICE_Clear(&bm, kBlack);
  LICE_FillTriangle(&bm, 0, 0, 1, 7, 2, 0, kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 7), kWhite);
  EXPECT_EQ(LICE_GetPixel(&bm, 0, 1), kBlack);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 3), kWhite);
}

TEST(LiceFillPolygon, DegenerateAndHugePolygons)
{
  LICE_MemBitmap bm(8, 8);
  LICE_Clear(&bm, kBlack);
  const int px[1] = {3}, py[1] = {4};
  LICE_FillConvexPolygon(&bm, px, py, 1, kWhite);
  EXPECT_EQ(touched(&bm, kBlack), 1);
  LICE_FillConvexPolygon(&bm, px, py, 0, kWhite);
  LICE_FillConvexPolygon(&bm, nullptr, py, 1, kWhite);
  LICE_FillConvexPolygon(&bm, px, nullptr, 1, kWhite);
  EXPECT_EQ(touched(&bm, kBlack), 1);
  LICE_FillTriangle(&bm, 0, 2, 7, 2, 3, 2, kWhite); // flat: one row
  EXPECT_EQ(touched(&bm, kBlack), 9);

  LICE_Clear(&bm, kBlack);
  const int hx[4] = {INT_MIN, INT_MAX, INT_MAX, INT_MIN},
            hy[4] = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  LICE_FillConvexPolygon(&bm, hx, hy, 4, kWhite, 0.5f, 0);
  EXPECT_EQ(countPixels(&bm, kHalfOnce), 64);
  LICE_Clear(&bm, kBlack);
  LICE_FillTriangle(&bm, INT_MIN, INT_MIN, INT_MAX, 0, INT_MIN, INT_MAX, kWhite);
  EXPECT_EQ(countPixels(&bm, kWhite), 64);
}
