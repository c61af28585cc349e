// Combine formulas on chosen pixel pairs, against values worked out by hand
// from the formulas (integer division truncating toward zero).
#include <gtest/gtest.h>

#include <vector>

#include "lice/lice.h"
#include "lice/lice_combine.h"

namespace
{
struct Case
{
  int weight;
  int sourceAlpha;
  LICE_pixel expected;
};

const LICE_pixel kDest = LICE_RGBA(200, 100, 30, 180);
LICE_pixel source(int a)
{
  return LICE_RGBA(40, 220, 128, a);
}

template <class C> void expectCases(const char* name, const std::vector<Case>& cases)
{
  for (const Case& c : cases)
  {
    const LICE_pixel s = source(c.sourceAlpha);
    EXPECT_EQ(C::doPix(kDest, LICE_GETR(s), LICE_GETG(s), LICE_GETB(s), c.sourceAlpha, c.weight),
              c.expected)
        << name << " weight " << c.weight << " source alpha " << c.sourceAlpha;
  }
}
} // namespace

TEST(LiceCombine, ChannelHelpersFollowThePixelLayout)
{
  const LICE_pixel p = LICE_RGBA(1, 2, 3, 255);
  EXPECT_EQ(p, 0x030201FFu);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&p);
  EXPECT_EQ(bytes[0], 255); // A, R, G, B in memory
  EXPECT_EQ(bytes[1], 1);
  EXPECT_EQ(bytes[3], 3);
  EXPECT_EQ(LICE_GETA(p), 255);
  EXPECT_EQ(LICE_GETR(p), 1);
  EXPECT_EQ(LICE_GETG(p), 2);
  EXPECT_EQ(LICE_GETB(p), 3);
}

TEST(LiceCombine, CopyAndClobber)
{
  expectCases<_LICE_CombinePixelsCopyNoClamp>("copy", {{1, 0, 0x1f65c7b3},
                                                       {1, 255, 0x1f65c7b5},
                                                       {128, 128, 0x4fa0789a},
                                                       {128, 255, 0x4fa078da},
                                                       {255, 1, 0x80dc2801},
                                                       {256, 128, 0x80dc2880}});
  expectCases<_LICE_CombinePixelsCopyClamp>("copy clamp",
                                            {{1, 0, 0x1f65c7b3}, {128, 128, 0x4fa0789a}});
  expectCases<_LICE_CombinePixelsClobberNoClamp>("clobber",
                                                 {{1, 0, 0x80dc2800}, {128, 128, 0x80dc2880}});
  // The clamping twin limits channels handed in beyond 0 ... 255.
  EXPECT_EQ(_LICE_CombinePixelsClobberClamp::doPix(0, 300, -5, 128, 256, 256),
            LICE_RGBA(255, 0, 128, 255));
  EXPECT_EQ(_LICE_CombinePixelsClobberNoClamp::doPix(0, 300, -5, 128, 256, 256),
            LICE_RGBA(300 & 255, -5 & 255, 128, 0));
}

TEST(LiceCombine, Add)
{
  expectCases<_LICE_CombinePixelsAdd>("add", {{1, 0, 0x1e64c8b4},
                                              {128, 0, 0x5ed2dcb4},
                                              {128, 128, 0x5ed2dcf4},
                                              {255, 128, 0x9dffefff},
                                              {256, 1, 0x9efff0b5},
                                              {256, 255, 0x9efff0ff}});
}

TEST(LiceCombine, ColorDodge)
{
  expectCases<_LICE_CombinePixelsColorDodge>("dodge", {{1, 255, 0x1e64c8b4},
                                                       {128, 0, 0x28afd8b4},
                                                       {128, 128, 0x28afd8f0},
                                                       {255, 1, 0x3bffebb4},
                                                       {256, 128, 0x3cffedff}});
  // A full-strength source channel (t > 254) saturates every non-zero channel.
  EXPECT_EQ(_LICE_CombinePixelsColorDodge::doPix(LICE_RGBA(0, 1, 2, 3), 255, 255, 255, 255, 256),
            LICE_RGBA(0, 255, 255, 255));
}

TEST(LiceCombine, Multiply)
{
  expectCases<_LICE_CombinePixelsMulNoClamp>("mul", {{1, 0, 0x1d63c7b3},
                                                     {128, 0, 0x165c735a},
                                                     {128, 128, 0x165c7387},
                                                     {255, 1, 0x0f551f01},
                                                     {256, 1, 0x0f551f00},
                                                     {256, 255, 0x0f551fb3}});
  expectCases<_LICE_CombinePixelsMulClamp>("mul clamp", {{128, 128, 0x165c7387}});
}

TEST(LiceCombine, OverlayGoesThroughNegativeIntermediates)
{
  expectCases<_LICE_CombinePixelsOverlay>("overlay", {{1, 0, 0x1e64c7b3},
                                                      {1, 128, 0x1e64c7b4},
                                                      {128, 0, 0x1e79b899},
                                                      {128, 255, 0x1e79b8ce},
                                                      {255, 1, 0x1e8faa7f},
                                                      {256, 0, 0x1e8fa97e},
                                                      {256, 255, 0x1e8fa9e9}});
}

template <class C> LICE_pixel overBrightPixel(int w)
{
  return C::doPix(LICE_RGBA(10, 250, 128, 0), 255, 0, 128, 200, w);
}

TEST(LiceCombine, SaturatingSource)
{
  EXPECT_EQ(overBrightPixel<_LICE_CombinePixelsAdd>(128), 0xc0fa8964u);
  EXPECT_EQ(overBrightPixel<_LICE_CombinePixelsAdd>(256), 0xfffaffc8u);
  EXPECT_EQ(overBrightPixel<_LICE_CombinePixelsColorDodge>(128), 0xaafa1300u);
  EXPECT_EQ(overBrightPixel<_LICE_CombinePixelsColorDodge>(255), 0xfefaff00u);
  EXPECT_EQ(overBrightPixel<_LICE_CombinePixelsOverlay>(128), 0x80f70e00u);
  EXPECT_EQ(overBrightPixel<_LICE_CombinePixelsCopyNoClamp>(128), 0x807d8564u);
}

TEST(LiceCombine, CopyWithSourceAlpha)
{
  // Weight 256: the alpha parameter plays no part; A accumulates.
  expectCases<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>(
      "copy sa 256",
      {{256, 0, kDest}, {256, 1, 0x1f65c6b5}, {256, 128, 0x50a177ff}, {256, 255, source(255)}});
  expectCases<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp>("copy sa 256 clamp",
                                                                      {{256, 1, 0x1f65c6b5}});
  expectCases<_LICE_CombinePixelsCopySourceAlphaNoClamp>("copy sa", {{1, 0, kDest},
                                                                     {1, 128, kDest},
                                                                     {1, 255, 0x1f65c7b5},
                                                                     {128, 1, 0x1f65c7b5},
                                                                     {128, 128, 0x3782a0f4},
                                                                     {128, 255, 0x4fa078ff},
                                                                     {255, 255, 0x80dc28ff}});
  expectCases<_LICE_CombinePixelsCopySourceAlphaClamp>("copy sa clamp", {{128, 128, 0x3782a0f4}});
}

TEST(LiceCombine, OtherModesWithSourceAlpha)
{
  expectCases<_LICE_CombinePixelsAddSourceAlpha>("add sa", {{128, 0, kDest},
                                                            {128, 128, 0x3e9bd2d4},
                                                            {128, 255, 0x5ed2dcff},
                                                            {256, 1, 0x1f65c8b4},
                                                            {256, 255, 0x9efff0ff}});
  expectCases<_LICE_CombinePixelsColorDodgeSourceAlpha>(
      "dodge sa", {{128, 128, 0x227fd0cd}, {255, 128, 0x28afd8f0}, {256, 255, 0x3cffedff}});
  // Multiply keeps the pixel for A = 0; the others apply weight w * 1 / 256.
  expectCases<_LICE_CombinePixelsMulSourceAlphaNoClamp>("mul sa", {{256, 0, kDest},
                                                                   {128, 1, 0x1d63c7b3},
                                                                   {256, 1, 0x1d63c6b2},
                                                                   {256, 128, 0x165c7286},
                                                                   {255, 255, 0x0f551fb3}});
  expectCases<_LICE_CombinePixelsMulSourceAlphaClamp>("mul sa clamp", {{256, 128, 0x165c7286}});
  expectCases<_LICE_CombinePixelsOverlaySourceAlpha>("overlay sa", {{256, 0, 0x1e64c7b3},
                                                                    {128, 0, kDest},
                                                                    {128, 128, 0x1e6ec0b4},
                                                                    {256, 128, 0x1e7ab8b4},
                                                                    {256, 255, 0x1e8fa9e9}});
}

TEST(LiceCombine, HSVAdjust)
{
  // A neutral source (128 for hue, saturation and value) keeps the colour and
  // takes the source's A.
  EXPECT_EQ(_LICE_CombinePixelsHSVAdjust::doPix(LICE_RGBA(255, 0, 0, 10), 128, 128, 128, 77, 256),
            LICE_RGBA(255, 0, 0, 77));
  // R 171 turns the hue by one sector (64 of 384): red becomes yellow.
  EXPECT_EQ(_LICE_CombinePixelsHSVAdjust::doPix(LICE_RGBA(255, 0, 0, 10), 171, 128, 128, 255, 256),
            LICE_RGBA(255, 255, 0, 255));
  // Turning backwards wraps: red less 63 steps (R 86) lands near magenta.
  EXPECT_EQ(_LICE_CombinePixelsHSVAdjust::doPix(LICE_RGBA(255, 0, 0, 10), 86, 128, 128, 255, 256),
            LICE_RGBA(255, 0, 252, 255));
  // Value down by 128 at full weight, saturation down to gray.
  EXPECT_EQ(
      _LICE_CombinePixelsHSVAdjust::doPix(LICE_RGBA(200, 200, 200, 0), 128, 128, 64, 255, 256),
      LICE_RGBA(72, 72, 72, 255));
  EXPECT_EQ(_LICE_CombinePixelsHSVAdjust::doPix(LICE_RGBA(255, 0, 0, 0), 128, 0, 128, 255, 256),
            LICE_RGBA(255, 255, 255, 255));
  // The source-alpha twin scales the weight by (A + 1) / 256: A 0 at weight
  // 256 leaves weight 1, which turns the hue by 0 and the value by -1.
  EXPECT_EQ(
      _LICE_CombinePixelsHSVAdjustSourceAlpha::doPix(LICE_RGBA(255, 0, 0, 9), 171, 128, 0, 0, 256),
      LICE_RGBA(254, 0, 0, 0));
}

TEST(LiceCombine, CombinePixelsDispatchesOnTheModeWord)
{
  const LICE_pixel s = source(128);
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 0.0f, LICE_BLIT_MODE_ADD), kDest);
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 1.0f, LICE_BLIT_MODE_COPY), s);
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 0.5f, LICE_BLIT_MODE_COPY), 0x4fa0789au);
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 0.5f, LICE_BLIT_MODE_ADD), 0x5ed2dcf4u);
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 0.5f, LICE_BLIT_MODE_MUL), 0x165c7387u);
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 1.0f, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA),
            0x50a177ffu);
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 0.5f, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA),
            0x3782a0f4u);
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 0.5f, LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA),
            0x3e9bd2d4u);
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 1.0f, LICE_BLIT_MODE_MUL | LICE_BLIT_USE_ALPHA),
            0x165c7286u);
  // The filter bit is ignored here; modes 6 and above give the destination back.
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 0.5f, LICE_BLIT_MODE_ADD | LICE_BLIT_FILTER_BILINEAR),
            0x5ed2dcf4u);
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 1.0f, 6), kDest);
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 1.0f, 6 | LICE_BLIT_USE_ALPHA), kDest);
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 1.0f, LICE_BLIT_MODE_CHANCOPY), kDest);
  // A weight below 1 / 256 truncates to 0.
  EXPECT_EQ(LICE_CombinePixels(kDest, s, 0.003f, LICE_BLIT_MODE_ADD), kDest);
}
