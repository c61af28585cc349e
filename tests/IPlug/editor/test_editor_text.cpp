// Fonts built from text styles through the drawing layer, and text drawn into
// the editor's bitmap with the system's fonts.

#include <gtest/gtest.h>

#include "IPlug/IGraphicsCaches.h"
#include "lice/lice_text.h"
#include "tests/IPlug/editor/EditorTestSupport.h"

namespace
{
struct Text : ::testing::Test
{
  GesturePlug plug{1};
  TestGraphics* gui = new TestGraphics(&plug, 200, 60);
  void SetUp() override { plug.AttachGraphics(gui); }

  SWELL_FontInfo Info(LICE_IFont* font)
  {
    SWELL_FontInfo info{};
    EXPECT_TRUE(SWELL_GetFontInfo(static_cast<LICE_CachedFont*>(font)->GetHFont(), &info));
    return info;
  }
  // Columns (min, max) holding any pixel with alpha in the row band, -1 if none.
  std::pair<int, int> InkColumns(int top, int bottom)
  {
    int lo = -1, hi = -1;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < gui->Width(); ++x)
        if (gui->GetPoint(x, y).A)
        {
          if (lo < 0 || x < lo) lo = x;
          hi = std::max(hi, x);
        }
    return {lo, hi};
  }
};
} // namespace

TEST_F(Text, StyleSizeIsTheLineHeight)
{
  for (int size : {9, 11, 16, 24})
  {
    IText style(size);
    LICE_IFont* font = gui->CacheFont(&style);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(style.mCached, font);
    EXPECT_NEAR(font->GetLineHeight(), size, 1) << size;
  }
  IText tiny(1);
  LICE_IFont* font = gui->CacheFont(&tiny);
  ASSERT_NE(font, nullptr);
  EXPECT_LE(font->GetLineHeight(), 3);
}

TEST_F(Text, StylesDifferingOnlyInColourShareOneFont)
{
  const int before = s_fontCache.Size();
  IText red(13, &COLOR_RED, "DejaVu Sans", IText::kStyleNormal, IText::kAlignNear);
  IText blue(13, &COLOR_BLUE, "DejaVu Sans", IText::kStyleNormal, IText::kAlignFar, 0,
             IText::kQualityAntiAliased);
  EXPECT_EQ(gui->CacheFont(&red), gui->CacheFont(&blue));
  EXPECT_EQ(s_fontCache.Size(), before + 1);
}

TEST_F(Text, StyleReachesTheFontRequest)
{
  IText bold(12, nullptr, "Monaco", IText::kStyleBold, IText::kAlignCenter, 90,
             IText::kQualityNonAntiAliased);
  SWELL_FontInfo info = Info(gui->CacheFont(&bold));
  EXPECT_STREQ(info.requestedFace, "Monaco");
  EXPECT_EQ(info.weight, 700);
  EXPECT_FALSE(info.italic);
  EXPECT_FALSE(info.antialiased);
  EXPECT_EQ(info.orientation, 900);
  IText italic(12, nullptr, "Monaco", IText::kStyleItalic, IText::kAlignCenter, 0,
               IText::kQualityClearType);
  info = Info(gui->CacheFont(&italic));
  EXPECT_EQ(info.weight, 400);
  EXPECT_TRUE(info.italic);
  EXPECT_TRUE(info.antialiased);
}

TEST_F(Text, AlignmentPlacesTheInkAndGlyphsAreRenderedOnce)
{
  IText near(14, &COLOR_WHITE, nullptr, IText::kStyleNormal, IText::kAlignNear);
  IText centre(14, &COLOR_WHITE, nullptr, IText::kStyleNormal, IText::kAlignCenter);
  IText far(14, &COLOR_WHITE, nullptr, IText::kStyleNormal, IText::kAlignFar);
  IRECT r0(50, 0, 150, 16), r1(50, 20, 150, 36), r2(50, 40, 150, 56);
  ASSERT_TRUE(gui->DrawIText(&near, "808", &r0));
  ASSERT_TRUE(gui->DrawIText(&centre, "808", &r1));
  ASSERT_TRUE(gui->DrawIText(&far, "808", &r2));
  const auto a = InkColumns(0, 18), b = InkColumns(20, 38), c = InkColumns(40, 58);
  ASSERT_GE(a.first, 0);
  EXPECT_LE(a.first, 53);
  EXPECT_NEAR((b.first + b.second) / 2.0, 100.0, 2.0);
  EXPECT_GE(c.second, 145);
  EXPECT_LE(c.second, 150);
  // The ink is white and opaque somewhere.
  bool opaque = false;
  for (int x = a.first; x <= a.second; ++x)
    for (int y = 0; y < 16; ++y)
      opaque = opaque || gui->GetPoint(x, y) == COLOR_WHITE;
  EXPECT_TRUE(opaque);

  auto* cached = static_cast<LICE_CachedFont*>(near.mCached);
  const int rendered = cached->GetRenderedGlyphCount();
  gui->DrawIText(&near, "880", &r0);
  EXPECT_EQ(cached->GetRenderedGlyphCount(), rendered);
}

TEST_F(Text, TranslucentColourDrawsTranslucentInk)
{
  IColor half(128, 255, 255, 255);
  IText style(16, &half, nullptr, IText::kStyleNormal, IText::kAlignNear);
  IColor black = COLOR_BLACK;
  IRECT all(0, 0, 200, 60);
  gui->FillIRect(&black, &all);
  IRECT r(10, 10, 190, 30);
  gui->DrawIText(&style, "MMMM", &r);
  int brightest = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 100; ++x)
      brightest = std::max(brightest, gui->GetPoint(x, y).R);
  EXPECT_GT(brightest, 100);
  EXPECT_LT(brightest, 160);
}
