// `tolvane snapshot` and the editor line of `tolvane info`: the editor drawn
// as a host shows it, against a reference picture of the factory state.

#include "tests/host/HostTestSupport.h"

#include "lice/lice.h"
#include "lice/lice_png.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace
{
struct Difference
{
  int pixels = 0;  // pixels whose largest channel difference exceeds the budget
  int largest = 0; // the largest channel difference of any pixel
};

// Per-pixel comparison: font rasterisation may differ slightly between
// library versions, so a pixel may be off by up to `budget` in each channel.
Difference Compare(LICE_IBitmap* a, LICE_IBitmap* b, int budget)
{
  Difference d;
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
    {
      const LICE_pixel p = a->getBits()[y * a->getRowSpan() + x];
      const LICE_pixel q = b->getBits()[y * b->getRowSpan() + x];
      int worst = 0;
      for (int shift = 0; shift < 32; shift += 8)
        worst = std::max(worst, std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)));
      d.largest = std::max(d.largest, worst);
      if (worst > budget) ++d.pixels;
    }
  return d;
}

std::unique_ptr<LICE_IBitmap> Snapshot(const TempDir& dir, const std::string& name,
                                       const std::vector<std::string>& extra = {})
{
  std::vector<std::string> args = {"snapshot", dir.Path(name)};
  args.insert(args.end(), extra.begin(), extra.end());
  const RunResult run = RunTolvane(args);
  EXPECT_EQ(run.status, 0) << run.err;
  return std::unique_ptr<LICE_IBitmap>(LICE_LoadPNG(dir.Path(name).c_str()));
}

// The share of an area's pixels that differ between two pictures.
double ChangedShare(LICE_IBitmap* a, LICE_IBitmap* b, int l, int t, int r, int bottom)
{
  int changed = 0;
  for (int y = t; y < bottom; ++y)
    for (int x = l; x < r; ++x)
      changed += a->getBits()[y * a->getRowSpan() + x] != b->getBits()[y * b->getRowSpan() + x];
  return double(changed) / ((r - l) * (bottom - t));
}
} // namespace

TEST(HostSnapshot, FactoryStateMatchesTheReferencePicture)
{
  TempDir dir;
  std::unique_ptr<LICE_IBitmap> shot = Snapshot(dir, "factory.png");
  std::unique_ptr<LICE_IBitmap> reference(LICE_LoadPNG(SNAPSHOT_REFERENCE));
  ASSERT_NE(shot, nullptr);
  ASSERT_NE(reference, nullptr);
  ASSERT_EQ(shot->getWidth(), 595);
  ASSERT_EQ(shot->getHeight(), 433);
  ASSERT_EQ(reference->getWidth(), 595);
  ASSERT_EQ(reference->getHeight(), 433);
  const Difference d = Compare(shot.get(), reference.get(), 48);
  // At most one pixel in 200 beyond the budget: glyph edges, never a control.
  EXPECT_LE(d.pixels, 595 * 433 / 200) << "largest channel difference " << d.largest;
}

TEST(HostSnapshot, StateOptionsChangeWhatIsDrawn)
{
  TempDir dir;
  std::unique_ptr<LICE_IBitmap> factory = Snapshot(dir, "factory.png");
  std::unique_ptr<LICE_IBitmap> loop = Snapshot(dir, "loop.png", {"--set", "switch=0"});
  ASSERT_NE(factory, nullptr);
  ASSERT_NE(loop, nullptr);
  // The stereo panel is dimmed and the loop panel opens: most of both change.
  EXPECT_GT(ChangedShare(factory.get(), loop.get(), 201, 14, 362, 202), 0.9);
  EXPECT_GT(ChangedShare(factory.get(), loop.get(), 367, 267, 590, 396), 0.9);
  // The "2Smooth" knob lies outside every blocker: untouched.
  EXPECT_EQ(ChangedShare(factory.get(), loop.get(), 113, 401, 141, 429), 0.0);
}

TEST(HostSnapshot, UsageAndFailures)
{
  TempDir dir;
  RunResult run = RunTolvane({"snapshot"});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(Contains(run.err, "OUT.png")) << run.err;
  run = RunTolvane({"snapshot", dir.Path("x.png"), "--preset", "No Such Preset"});
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(FileExists(dir.Path("x.png")));
  run = RunTolvane({"snapshot", dir.Path("missing-folder/x.png")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "cannot write")) << run.err;
}

TEST(HostSnapshot, InfoNamesTheViewAndItsSize)
{
  const RunResult run = RunTolvane({"info"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "editor        Cocoa view from TolvaneDelay_View, 595 x 433"))
      << run.out;
}
