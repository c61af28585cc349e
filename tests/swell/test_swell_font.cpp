#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "swell/swell_font.h"

namespace
{
HFONT makeFont(const char* face, int height, int weight = FW_NORMAL, bool italic = false,
               int quality = DEFAULT_QUALITY)
{
  return CreateFont(height, 0, 0, 0, weight, italic, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, char(quality), DEFAULT_PITCH, face);
}

int advanceOf(HFONT font, char c)
{
  SWELL_Glyph g;
  EXPECT_TRUE(SWELL_RenderGlyph(font, uint32_t(c), &g));
  return g.advance;
}

struct FontDeleter
{
  void operator()(SWELL_Font* f) const { DeleteObject(f); }
};
using FontPtr = std::unique_ptr<SWELL_Font, FontDeleter>;
} // namespace

TEST(SwellFont, MissingFamilyFallsBackToMonospace)
{
  FontPtr font(makeFont("Monaco", 12));
  ASSERT_TRUE(font);
  SWELL_FontInfo info;
  ASSERT_TRUE(SWELL_GetFontInfo(font.get(), &info));
  EXPECT_TRUE(info.fellBack);
  EXPECT_STREQ("Monaco", info.requestedFace);
  EXPECT_NE(std::string(), info.file);
  // Every character of a monospace face advances the same.
  EXPECT_EQ(advanceOf(font.get(), 'i'), advanceOf(font.get(), 'M'));
  EXPECT_EQ(advanceOf(font.get(), '.'), advanceOf(font.get(), 'W'));

  FontPtr unnamed(makeFont(nullptr, 12));
  ASSERT_TRUE(unnamed);
  ASSERT_TRUE(SWELL_GetFontInfo(unnamed.get(), &info));
  EXPECT_TRUE(info.fellBack);
  EXPECT_STREQ("", info.requestedFace);
}

TEST(SwellFont, InstalledAndGenericFamiliesAreFound)
{
  FontPtr sans(makeFont("DejaVu Sans", 12));
  ASSERT_TRUE(sans);
  SWELL_FontInfo info;
  ASSERT_TRUE(SWELL_GetFontInfo(sans.get(), &info));
  EXPECT_FALSE(info.fellBack);
  EXPECT_STREQ("DejaVu Sans", info.family);
  EXPECT_NE(advanceOf(sans.get(), 'i'), advanceOf(sans.get(), 'M'));

  FontPtr lowerCase(makeFont("dejavu sans", 12));
  ASSERT_TRUE(SWELL_GetFontInfo(lowerCase.get(), &info));
  EXPECT_FALSE(info.fellBack);

  FontPtr generic(makeFont("sans-serif", 12));
  ASSERT_TRUE(SWELL_GetFontInfo(generic.get(), &info));
  EXPECT_FALSE(info.fellBack);
}

TEST(SwellFont, WeightAndSlantChooseTheFace)
{
  FontPtr bold(makeFont("DejaVu Sans", 14, FW_BOLD));
  FontPtr italic(makeFont("DejaVu Sans", 14, FW_NORMAL, true));
  FontPtr plain(makeFont("DejaVu Sans", 14, 0));
  SWELL_FontInfo b, i, p;
  ASSERT_TRUE(SWELL_GetFontInfo(bold.get(), &b));
  ASSERT_TRUE(SWELL_GetFontInfo(italic.get(), &i));
  ASSERT_TRUE(SWELL_GetFontInfo(plain.get(), &p));
  EXPECT_NE(std::string::npos, std::string(b.file).find("Bold"));
  EXPECT_NE(std::string::npos, std::string(i.file).find("Oblique"));
  EXPECT_EQ(std::string::npos, std::string(p.file).find("Bold"));
  EXPECT_EQ(FW_NORMAL, p.weight);
  EXPECT_TRUE(i.italic);

  // A fallback keeps the weight asked for.
  FontPtr boldMono(makeFont("Monaco", 14, FW_BOLD));
  SWELL_FontInfo m;
  ASSERT_TRUE(SWELL_GetFontInfo(boldMono.get(), &m));
  EXPECT_TRUE(m.fellBack);
  EXPECT_NE(std::string::npos, std::string(m.file).find("Bold"));
}

TEST(SwellFont, PositiveHeightIsTheCellNegativeTheEm)
{
  for (int h : {2, 9, 11, 13, 24, 60})
  {
    FontPtr font(makeFont("Monaco", h));
    SWELL_FontMetrics m;
    ASSERT_TRUE(SWELL_GetFontMetrics(font.get(), &m));
    EXPECT_EQ(h, m.lineHeight) << h;
    EXPECT_EQ(h, m.ascent + m.descent) << h;
    EXPECT_GT(m.ascent, m.descent) << h;
  }
  FontPtr em(makeFont("DejaVu Sans", -20));
  FontPtr cell(makeFont("DejaVu Sans", 20));
  SWELL_FontMetrics me, mc;
  ASSERT_TRUE(SWELL_GetFontMetrics(em.get(), &me));
  ASSERT_TRUE(SWELL_GetFontMetrics(cell.get(), &mc));
  // The face's cell is taller than its em square.
  EXPECT_GT(me.lineHeight, 20);
  EXPECT_GT(advanceOf(em.get(), 'M'), advanceOf(cell.get(), 'M'));

  FontPtr zero(makeFont("DejaVu Sans", 0));
  ASSERT_TRUE(SWELL_GetFontMetrics(zero.get(), &mc));
  EXPECT_GT(mc.lineHeight, 0);
}

TEST(SwellFont, QualityChoosesOneBitOrGrayGlyphs)
{
  auto levels = [](HFONT font)
  {
    SWELL_Glyph g;
    EXPECT_TRUE(SWELL_RenderGlyph(font, 'Q', &g));
    EXPECT_EQ(size_t(g.width) * g.height, g.coverage.size());
    int partial = 0, full = 0;
    for (uint8_t c : g.coverage)
    {
      partial += c > 0 && c < 255;
      full += c == 255;
    }
    return std::make_pair(partial, full);
  };
  FontPtr mono(makeFont("DejaVu Sans", 16, FW_NORMAL, false, NONANTIALIASED_QUALITY));
  FontPtr smooth(makeFont("DejaVu Sans", 16, FW_NORMAL, false, ANTIALIASED_QUALITY));
  FontPtr deflt(makeFont("DejaVu Sans", 16, FW_NORMAL, false, DEFAULT_QUALITY));
  auto m = levels(mono.get());
  EXPECT_EQ(0, m.first);
  EXPECT_GT(m.second, 10);
  EXPECT_GT(levels(smooth.get()).first, 0);
  EXPECT_GT(levels(deflt.get()).first, 0);
}

TEST(SwellFont, GlyphPlacementAndSpace)
{
  FontPtr font(makeFont("DejaVu Sans Mono", 20));
  SWELL_FontMetrics m;
  ASSERT_TRUE(SWELL_GetFontMetrics(font.get(), &m));
  SWELL_Glyph cap, under, space;
  ASSERT_TRUE(SWELL_RenderGlyph(font.get(), 'H', &cap));
  ASSERT_TRUE(SWELL_RenderGlyph(font.get(), '_', &under));
  ASSERT_TRUE(SWELL_RenderGlyph(font.get(), ' ', &space));
  // A capital stands on the baseline and stays below the ascent.
  EXPECT_GT(cap.top, 0);
  EXPECT_LE(cap.top, m.ascent);
  EXPECT_EQ(cap.top, cap.height);
  // The underscore hangs below it.
  EXPECT_LT(under.top, 1);
  EXPECT_EQ(0u, space.coverage.size());
  EXPECT_EQ(cap.advance, space.advance);
}

TEST(SwellFont, NullHandlesAreRefused)
{
  EXPECT_FALSE(DeleteObject(nullptr));
  SWELL_FontInfo info;
  SWELL_FontMetrics m;
  SWELL_Glyph g;
  EXPECT_FALSE(SWELL_GetFontInfo(nullptr, &info));
  EXPECT_FALSE(SWELL_GetFontMetrics(nullptr, &m));
  EXPECT_FALSE(SWELL_RenderGlyph(nullptr, 'a', &g));
}
