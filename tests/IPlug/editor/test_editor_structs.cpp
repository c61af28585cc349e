// Rectangles, colours, blends and the mapping onto raster words.

#include <gtest/gtest.h>

#include "IPlug/IGraphicsStructs.h"

TEST(IRECT, SizeCentreAndEmptiness)
{
  IRECT r(10, 20, 31, 40);
  EXPECT_EQ(r.W(), 21);
  EXPECT_EQ(r.H(), 20);
  EXPECT_FLOAT_EQ(r.MW(), 20.5f);
  EXPECT_FLOAT_EQ(r.MH(), 30.0f);
  EXPECT_TRUE(IRECT().Empty());
  // Zero area elsewhere is not empty, and it contains nothing.
  IRECT flat(5, 5, 5, 5);
  EXPECT_FALSE(flat.Empty());
  EXPECT_FALSE(flat.Contains(5, 5));
}

TEST(IRECT, ContainsExcludesRightAndBottom)
{
  IRECT r(0, 0, 10, 10);
  EXPECT_FALSE(IRECT().Contains(0, 0));
  EXPECT_TRUE(r.Contains(0, 0));
  EXPECT_TRUE(r.Contains(9, 9));
  EXPECT_FALSE(r.Contains(10, 5));
  EXPECT_FALSE(r.Contains(5, 10));
  EXPECT_FALSE(r.Contains(-1, 5));
}

TEST(IRECT, IntersectsIsAsymmetricAtTheNearEdges)
{
  IRECT a(0, 0, 10, 10), right(10, 0, 20, 10), below(0, 10, 10, 20);
  // a ends where right begins: counts as intersecting; not the other way round.
  EXPECT_TRUE(a.Intersects(&right));
  EXPECT_FALSE(right.Intersects(&a));
  EXPECT_TRUE(a.Intersects(&below));
  EXPECT_FALSE(below.Intersects(&a));
  IRECT far(11, 0, 20, 10);
  EXPECT_FALSE(a.Intersects(&far));
  IRECT empty;
  EXPECT_FALSE(a.Intersects(&empty));
  EXPECT_FALSE(empty.Intersects(&a));
}

TEST(IRECT, IntersectAndUnion)
{
  IRECT a(0, 0, 10, 10), b(5, 6, 20, 30), c(50, 50, 60, 60), empty;
  EXPECT_EQ(a.Intersect(&b), IRECT(5, 6, 10, 10));
  EXPECT_TRUE(a.Intersect(&c).Empty());
  EXPECT_EQ(a.Union(&c), IRECT(0, 0, 60, 60));
  EXPECT_EQ(empty.Union(&b), b);
  EXPECT_EQ(b.Union(&empty), b);
  // Touching at the near edge intersects in a zero-width strip.
  IRECT right(10, 0, 20, 10);
  EXPECT_EQ(a.Intersect(&right), IRECT(10, 0, 10, 10));
}

TEST(IRECT, FromBitmapFrame)
{
  IBitmap strip(nullptr, 40, 600, 60);
  EXPECT_EQ(IRECT(3, 4, &strip), IRECT(3, 4, 43, 14));
  // A bitmap with no frames has no frame height rather than a division by zero.
  IBitmap none(nullptr, 40, 600, 0);
  EXPECT_EQ(IRECT(3, 4, &none), IRECT(3, 4, 43, 4));
}

TEST(Mapping, ColourWordsAndBack)
{
  IColor c(255, 1, 2, 3);
  EXPECT_EQ(LiceColor(&c), 0x030201FFu);
  IColor wide(0x1FF, 0x100, 0x2AB, -1);
  EXPECT_EQ(LiceColor(&wide), 0xFFAB00FFu);
  EXPECT_EQ(ColorFromLice(0x030201FFu), c);
}

TEST(Mapping, BlendModesAndWeights)
{
  EXPECT_EQ(LiceBlendMode(nullptr), 0x10000);
  IChannelBlend none(IChannelBlend::kBlendNone), clobber(IChannelBlend::kBlendClobber),
      add(IChannelBlend::kBlendAdd, 0.5f), dodge(IChannelBlend::kBlendColorDodge);
  EXPECT_EQ(LiceBlendMode(&none), 0x10000);
  EXPECT_EQ(LiceBlendMode(&clobber), 0);
  EXPECT_EQ(LiceBlendMode(&add), 0x10001);
  EXPECT_EQ(LiceBlendMode(&dodge), 0x10002);
  EXPECT_FLOAT_EQ(LiceWeight(nullptr), 1.0f);
  EXPECT_FLOAT_EQ(LiceWeight(&add), 0.5f);
}

TEST(NamedColours, Values)
{
  EXPECT_EQ(COLOR_TRANSPARENT, IColor(0, 0, 0, 0));
  EXPECT_EQ(COLOR_GRAY, IColor(255, 127, 127, 127));
  EXPECT_EQ(COLOR_ORANGE, IColor(255, 255, 127, 0));
  EXPECT_EQ(DEFAULT_TEXT_COLOR, COLOR_BLACK);
}

TEST(IText, DefaultsAndFaceCopy)
{
  IText t;
  EXPECT_STREQ(t.mFont, "Monaco");
  EXPECT_EQ(t.mSize, 10);
  EXPECT_EQ(t.mColor, COLOR_BLACK);
  EXPECT_EQ(t.mAlign, IText::kAlignCenter);
  EXPECT_EQ(t.mCached, nullptr);
  IColor red = COLOR_RED;
  IText named(11, &red, "A face name that is far longer than thirty-one characters",
              IText::kStyleBold, IText::kAlignFar, 90, IText::kQualityAntiAliased);
  EXPECT_EQ(std::strlen(named.mFont), 31u);
  EXPECT_EQ(named.mColor, red);
  EXPECT_EQ(named.mOrientation, 90);
}
