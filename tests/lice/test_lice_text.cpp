#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "lice/lice_text.h"
#include "lice_test_util.h"

namespace
{
const LICE_pixel kBlack = LICE_RGBA(0, 0, 0, 255);

HFONT makeFont(int height, int quality = DEFAULT_QUALITY, const char* face = "Monaco")
{
  return CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, char(quality), DEFAULT_PITCH, face);
}

// Ink bounds: the smallest rectangle holding every pixel that is not black.
RECT inkBounds(LICE_IBitmap* bm)
{
  RECT r = {bm->getWidth(), bm->getHeight(), 0, 0};
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      if (LICE_GetPixel(bm, x, y) != kBlack)
      {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
  return r;
}

int maxRed(LICE_IBitmap* bm)
{
  int m = 0;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      m = std::max(m, LICE_GETR(LICE_GetPixel(bm, x, y)));
  return m;
}

class TextTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    font.SetFromHFont(makeFont(20), LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
    font.SetTextColor(LICE_RGBA(255, 255, 255, 255));
    LICE_Clear(&bm, kBlack);
  }
  int width(const char* s)
  {
    RECT r = {0, 0, 0, 0};
    font.DrawText(nullptr, s, -1, &r, LICE_DT_CALCRECT);
    return r.right;
  }
  LICE_MemBitmap bm{200, 60};
  LICE_CachedFont font;
};
} // namespace

TEST_F(TextTest, LineHeightIsTheCellAskedFor)
{
  EXPECT_EQ(20, font.GetLineHeight());
  LICE_CachedFont empty;
  EXPECT_EQ(0, empty.GetLineHeight());
  RECT r = {0, 0, 100, 20};
  EXPECT_EQ(0, empty.DrawText(&bm, "x", -1, &r, 0));
}

TEST_F(TextTest, CalcRectMeasuresAndDrawsNothing)
{
  RECT r = {10, 5, 11, 6};
  EXPECT_EQ(20, font.DrawText(&bm, "abc", -1, &r, LICE_DT_CALCRECT));
  EXPECT_EQ(10, r.left);
  EXPECT_EQ(10 + 3 * width("a"), r.right); // monospace fallback
  EXPECT_EQ(25, r.bottom);
  EXPECT_EQ(200 * 60, lice_test::countPixels(&bm, kBlack));

  RECT two = {0, 0, 0, 0};
  EXPECT_EQ(40, font.DrawText(&bm, "ab\ncdef", -1, &two, LICE_DT_CALCRECT));
  EXPECT_EQ(4 * width("a"), two.right);
  // A count stops the text early.
  EXPECT_EQ(2 * width("a"), width("ab"));
  RECT counted = {0, 0, 0, 0};
  font.DrawText(nullptr, "abcdef", 2, &counted, LICE_DT_CALCRECT);
  EXPECT_EQ(width("ab"), counted.right);
  RECT none = {3, 4, 9, 9};
  EXPECT_EQ(0, font.DrawText(&bm, "", -1, &none, LICE_DT_CALCRECT));
  EXPECT_EQ(3, none.right);
  EXPECT_EQ(4, none.bottom);
}

TEST_F(TextTest, EachGlyphIsRenderedOncePerFont)
{
  RECT r = {0, 0, 200, 60};
  font.DrawText(&bm, "aaaa", -1, &r, 0);
  EXPECT_EQ(1, font.GetRenderedGlyphCount());
  font.DrawText(&bm, "aaaa", -1, &r, 0);
  font.DrawText(&bm, "ab a", -1, &r, 0);
  EXPECT_EQ(3, font.GetRenderedGlyphCount());
  font.DrawText(&bm, "\xc3\xa9\xc3\xa9", -1, &r, 0); // two of one non-ASCII letter
  EXPECT_EQ(4, font.GetRenderedGlyphCount());
  font.SetFromHFont(makeFont(12), LICE_FONT_FLAG_OWNS_HFONT);
  EXPECT_EQ(0, font.GetRenderedGlyphCount());
  EXPECT_EQ(12, font.GetLineHeight());
}

TEST_F(TextTest, TextStartsAtTheTopOfTheRectangle)
{
  RECT r = {30, 17, 190, 60};
  font.DrawText(&bm, "Hg", -1, &r, 0);
  RECT ink = inkBounds(&bm);
  EXPECT_GE(ink.top, 17);
  EXPECT_LE(ink.bottom, 17 + 20);
  EXPECT_GE(ink.left, 30);
  EXPECT_LT(ink.left, 30 + 4);
}

TEST_F(TextTest, CentringAndRightAlignmentPlaceTheText)
{
  const int w = width("Mix");
  auto inkLeft = [&](RECT r, unsigned flags)
  {
    LICE_Clear(&bm, kBlack);
    font.DrawText(&bm, "Mix", -1, &r, flags);
    return inkBounds(&bm).left;
  };
  const int bearing = inkLeft(RECT{0, 0, 200, 60}, 0);
  EXPECT_EQ(40 + (121 - 40 - w) / 2 + bearing, inkLeft(RECT{40, 0, 121, 60}, LICE_DT_CENTER));
  EXPECT_EQ(150 - w + bearing, inkLeft(RECT{40, 0, 150, 60}, LICE_DT_RIGHT));
  // Centring in a rectangle narrower than the text starts left of it.
  EXPECT_EQ(100 + (4 - w) / 2 + bearing,
            inkLeft(RECT{100, 0, 104, 60}, LICE_DT_CENTER | LICE_DT_NOCLIP));
}

TEST_F(TextTest, ClippedToTheRectangleUnlessAskedNotTo)
{
  RECT narrow = {20, 10, 30, 25};
  font.DrawText(&bm, "WWWW", -1, &narrow, 0);
  RECT ink = inkBounds(&bm);
  EXPECT_GE(ink.left, 20);
  EXPECT_LE(ink.right, 30);
  EXPECT_LE(ink.bottom, 25);

  LICE_Clear(&bm, kBlack);
  font.DrawText(&bm, "WWWW", -1, &narrow, LICE_DT_NOCLIP);
  ink = inkBounds(&bm);
  EXPECT_GT(ink.right, 50);
  EXPECT_GT(ink.bottom, 25);

  // Without clipping, text running off the bitmap stays inside it.
  RECT off = {180, 50, 400, 100};
  font.DrawText(&bm, "WWWW", -1, &off, LICE_DT_NOCLIP);
  off = RECT{-30, -10, 0, 0};
  font.DrawText(&bm, "WWWW", -1, &off, LICE_DT_NOCLIP);
}

TEST_F(TextTest, ColourAlphaCountsOnlyWhenAsked)
{
  font.SetTextColor(LICE_RGBA(255, 255, 255, 128));
  RECT r = {0, 0, 200, 60};
  font.DrawText(&bm, "H", -1, &r, 0);
  EXPECT_EQ(255, maxRed(&bm));

  LICE_Clear(&bm, kBlack);
  font.DrawText(&bm, "H", -1, &r, LICE_DT_USEFGALPHA);
  EXPECT_NEAR(128, maxRed(&bm), 1);

  LICE_Clear(&bm, kBlack);
  EXPECT_EQ(LICE_RGBA(255, 255, 255, 128), font.SetTextColor(LICE_RGBA(255, 0, 0, 0)));
  font.DrawText(&bm, "H", -1, &r, LICE_DT_USEFGALPHA);
  EXPECT_EQ(200 * 60, lice_test::countPixels(&bm, kBlack));
}

TEST_F(TextTest, NonAntialiasedTextHasOnlyTheTextColour)
{
  font.SetFromHFont(makeFont(16, NONANTIALIASED_QUALITY), LICE_FONT_FLAG_OWNS_HFONT);
  RECT r = {0, 0, 200, 60};
  font.DrawText(&bm, "Delay 1/8", -1, &r, 0);
  const int ink = 200 * 60 - lice_test::countPixels(&bm, kBlack);
  EXPECT_GT(ink, 20);
  EXPECT_EQ(ink, lice_test::countPixels(&bm, LICE_RGBA(255, 255, 255, 255)));

  font.SetFromHFont(makeFont(16, ANTIALIASED_QUALITY), LICE_FONT_FLAG_OWNS_HFONT);
  LICE_Clear(&bm, kBlack);
  font.DrawText(&bm, "Delay 1/8", -1, &r, 0);
  const int smoothInk = 200 * 60 - lice_test::countPixels(&bm, kBlack);
  EXPECT_GT(smoothInk - lice_test::countPixels(&bm, LICE_RGBA(255, 255, 255, 255)), 10);
}

TEST_F(TextTest, LinesFollowEachOtherAndFlippedBitmapsReadUpright)
{
  RECT r = {0, 0, 200, 60};
  EXPECT_EQ(40, font.DrawText(&bm, "a\r\nb", -1, &r, 0));
  RECT ink = inkBounds(&bm);
  EXPECT_GT(ink.bottom, 20);

  lice_test::FlippedBitmap flipped(200, 60);
  LICE_Clear(&flipped, kBlack);
  LICE_Clear(&bm, kBlack);
  RECT at = {5, 7, 200, 60};
  font.DrawText(&flipped, "Fg", -1, &at, 0);
  font.DrawText(&bm, "Fg", -1, &at, 0);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x)
      ASSERT_EQ(LICE_GetPixel(&bm, x, y), LICE_GetPixel(&flipped, x, y)) << x << "," << y;
}

TEST(TextOwnership, ABorrowedHandleOutlivesTheFontObject)
{
  HFONT handle = makeFont(14);
  {
    LICE_CachedFont font;
    font.SetFromHFont(handle);
    EXPECT_EQ(handle, font.GetHFont());
    font.SetFromHFont(handle, LICE_FONT_FLAG_OWNS_HFONT); // same handle: only the flags change
    font.SetFromHFont(handle, 0);
  }
  SWELL_FontMetrics m;
  EXPECT_TRUE(SWELL_GetFontMetrics(handle, &m));
  EXPECT_TRUE(DeleteObject(handle));
}

namespace
{
void drawWithAStaticFontAndExit()
{
  static LICE_CachedFont kept; // made before the font library: destroyed after it
  kept.SetFromHFont(makeFont(12), LICE_FONT_FLAG_OWNS_HFONT);
  RECT r = {0, 0, 50, 20};
  LICE_MemBitmap bm(50, 20);
  kept.DrawText(&bm, "ok", -1, &r, 0);
  std::exit(0);
}
} // namespace

TEST(TextOwnership, AFontKeptInAStaticObjectIsReleasedCleanlyAtExit)
{
  EXPECT_EXIT(drawWithAStaticFontAndExit(), ::testing::ExitedWithCode(0), "");
}
