#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "lice/lice_png.h"
#include "tools/artwork/Artwork.h"

using namespace artwork;

namespace
{
typedef std::unique_ptr<LICE_IBitmap> Bitmap;

Bitmap load(const std::string& name)
{
  return Bitmap(LICE_LoadPNG((std::string(TOLVANE_PICTURES_DIR) + "/" + name).c_str()));
}

int luminance(LICE_pixel p)
{
  return (LICE_GETR(p) * 3 + LICE_GETG(p) * 6 + LICE_GETB(p)) / 10;
}

// Pixels of two equal-sized areas whose colour or opacity differs by more
// than the threshold in some channel.
int differing(LICE_IBitmap* a, int ay, LICE_IBitmap* b, int by, int w, int h, int threshold)
{
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      const LICE_pixel p = LICE_GetPixel(a, x, ay + y), q = LICE_GetPixel(b, x, by + y);
      for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((p >> shift) & 255) - int((q >> shift) & 255)) > threshold)
        {
          ++n;
          break;
        }
    }
  return n;
}

bool overlaps(const Box& a, const Box& b)
{
  return a.l < b.r && b.l < a.r && a.t < b.b && b.t < a.b;
}
bool inside(const Box& a, const Box& outer)
{
  return a.l >= outer.l && a.t >= outer.t && a.r <= outer.r && a.b <= outer.b;
}

struct Picture
{
  const char* name;
  int w, h;
};
const Picture kPictures[] = {
    {"GUIFINAL2_KVO.png", kWidth, kHeight},
    {"TopBig.png", kTopBig, kTopBig* kKnobFrames},
    {"TopSmall.png", kTopSmall, kTopSmall* kKnobFrames},
    {"BottomBig3.png", kBottomBig, kBottomBig* kKnobFrames},
    {"BottomSmall.png", kBottomSmall, kBottomSmall* kKnobFrames},
    {"SliderBody.png", kHandleW, kFaderLen},
    {"SliderKnob.png", kHandleW, kHandleH},
    {"SwitcherButton.png", kEngineW, 2 * kEngineH},
    {"PongButton.png", kPongW, 2 * kPongH},
};
} // namespace

TEST(Artwork, CommittedPicturesHaveTheLayoutsSizesAndMatchTheGenerator)
{
  for (const Picture& p : kPictures)
  {
    Bitmap bm = load(p.name);
    ASSERT_TRUE(bm) << p.name;
    EXPECT_EQ(p.w, bm->getWidth()) << p.name;
    EXPECT_EQ(p.h, bm->getHeight()) << p.name;
  }
  // Regenerating gives the committed pictures, but for small differences of
  // glyph rendering between font library versions.
  Bitmap drawn(makeBackground()), committed(load("GUIFINAL2_KVO.png"));
  EXPECT_LT(differing(drawn.get(), 0, committed.get(), 0, kWidth, kHeight, 64),
            kWidth * kHeight / 100);
  Bitmap strip(makeKnobStrip(kBottomBig, kLoop)), bottom(load("BottomBig3.png"));
  EXPECT_EQ(0, differing(strip.get(), 0, bottom.get(), 0, kBottomBig, kBottomBig * kKnobFrames, 2));
}

TEST(Artwork, NoControlCoversItsValueDisplayOrLeavesTheWindow)
{
  const Box window = {0, 0, kWidth, kHeight};
  auto check = [&](const Labelled& c, int w, int h)
  {
    const Box control = {c.x, c.y, c.x + w, c.y + h};
    EXPECT_TRUE(inside(control, window)) << c.label;
    if (c.display.r > 0) EXPECT_FALSE(overlaps(control, c.display)) << c.label << " at " << c.x;
    return control;
  };
  for (const Labelled& k : kLoopKnobs)
  {
    const Box knob = check(k, kBottomBig, kBottomBig);
    bool covered = false;
    for (const Box& a : kLoopAreas)
      covered = covered || inside(knob, a);
    EXPECT_TRUE(covered) << k.label;
  }
  for (const Labelled& k : kStereoBigKnobs)
    EXPECT_TRUE(inside(check(k, kTopBig, kTopBig), kStereoAreas[0])) << k.label;
  for (const Labelled& k : kStereoSmallKnobs)
    check(k, kTopSmall, kTopSmall);
  for (const Labelled& f : kFaders)
    check(f, kHandleW, kFaderLen);

  // Usable whichever engine runs: outside every dimmed area.
  const Box always[] = {
      {kSmoothKnob.x, kSmoothKnob.y, kSmoothKnob.x + kBottomSmall, kSmoothKnob.y + kBottomSmall},
      {kPongX, kPongY, kPongX + kPongW, kPongY + kPongH},
      {kEngineX, kEngineY, kEngineX + kEngineW, kEngineY + kEngineH}};
  for (const Box& c : always)
  {
    EXPECT_TRUE(inside(c, window));
    for (const Box& a : kLoopAreas)
      EXPECT_FALSE(overlaps(c, a)) << c.l << "," << c.t;
    for (const Box& a : kStereoAreas)
      EXPECT_FALSE(overlaps(c, a)) << c.l << "," << c.t;
  }
}

TEST(Artwork, EveryKnobFrameShowsItsOwnPosition)
{
  for (const Picture& p : {kPictures[1], kPictures[2], kPictures[3], kPictures[4]})
  {
    Bitmap strip = load(p.name);
    ASSERT_TRUE(strip);
    const int s = p.w;
    for (int f = 1; f < kKnobFrames; ++f)
      EXPECT_GE(differing(strip.get(), (f - 1) * s, strip.get(), f * s, s, s, 40), 3)
          << p.name << " frame " << f;
    EXPECT_GT(differing(strip.get(), 0, strip.get(), (kKnobFrames - 1) * s, s, s, 40), s * s / 10)
        << p.name;
  }
}

TEST(Artwork, ButtonStatesDifferAtAGlanceAndTheHandleStandsOutFromItsTrack)
{
  for (const Picture& p : {kPictures[7], kPictures[8]})
  {
    Bitmap b = load(p.name);
    ASSERT_TRUE(b);
    const int h = p.h / 2;
    EXPECT_GT(differing(b.get(), 0, b.get(), h, p.w, h, 60), p.w * h / 4) << p.name;
  }
  Bitmap handle = load("SliderKnob.png"), track = load("SliderBody.png");
  ASSERT_TRUE(handle && track);
  long handleLight = 0;
  for (int x = 3; x < kHandleW - 3; ++x)
    handleLight += luminance(LICE_GetPixel(handle.get(), x, 2));
  const int slot = luminance(LICE_GetPixel(track.get(), kHandleW / 2, kFaderLen / 2));
  EXPECT_GT(handleLight / (kHandleW - 6) - slot, 120);
}

TEST(Artwork, TheBundleCarriesThePictures)
{
  const char* components = std::getenv("TOLVANE_COMPONENTS_DIR");
  ASSERT_NE(nullptr, components);
  for (const Picture& p : kPictures)
  {
    std::ifstream bundled(std::string(components) + "/TolvaneDelay.component/Contents/Resources/" +
                              p.name,
                          std::ios::binary);
    std::ifstream source(std::string(TOLVANE_PICTURES_DIR) + "/" + p.name, std::ios::binary);
    ASSERT_TRUE(bundled.good()) << p.name;
    const std::string a((std::istreambuf_iterator<char>(bundled)),
                        std::istreambuf_iterator<char>());
    const std::string b((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
    EXPECT_EQ(b, a) << p.name;
  }
}
