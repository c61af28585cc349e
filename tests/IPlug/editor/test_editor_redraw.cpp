// The dirty scan, strict and non-strict redraw, frame selection and the
// drawing operations' edges.

#include <gtest/gtest.h>

#include "tests/IPlug/editor/EditorTestSupport.h"

namespace
{
struct Redraw : ::testing::Test
{
  GesturePlug plug{2};
  TestGraphics* gui = new TestGraphics(&plug);
  std::vector<std::string> log;

  void SetUp() override { plug.AttachGraphics(gui); }
  ProbeControl* Probe(IRECT r, const char* name)
  {
    auto* c = new ProbeControl(&plug, r, -1, &log, name);
    gui->AttachControl(c);
    return c;
  }
  void CleanAll()
  {
    IRECT all(0, 0, 200, 100);
    gui->Draw(&all);
    gui->Draw(&all);
    log.clear();
  }
};
} // namespace

TEST_F(Redraw, DirtyScanUnitesDirtyRectangles)
{
  ProbeControl* a = Probe(IRECT(10, 10, 20, 20), "a");
  Probe(IRECT(50, 5, 60, 15), "b");
  ProbeControl* c = Probe(IRECT(100, 40, 120, 60), "c");
  CleanAll();
  IRECT r;
  EXPECT_FALSE(gui->IsDirty(&r));
  EXPECT_TRUE(r.Empty());
  a->SetDirty(false);
  c->SetDirty(false);
  EXPECT_TRUE(gui->IsDirty(&r));
  EXPECT_EQ(r, IRECT(10, 10, 120, 60));
}

TEST_F(Redraw, StrictDrawsWhatTouchesTheRectangleAndCleansAll)
{
  Probe(IRECT(0, 0, 200, 100), "bg");
  Probe(IRECT(40, 10, 60, 30), "before"); // ends where the repaint area begins
  Probe(IRECT(60, 10, 80, 30), "inside");
  ProbeControl* hidden = Probe(IRECT(60, 10, 80, 30), "hidden");
  Probe(IRECT(90, 10, 99, 30), "left-edge"); // its left edge touches the area's right
  hidden->Hide(true);
  IRECT area(60, 10, 90, 30);
  EXPECT_TRUE(gui->Draw(&area));
  const std::vector<std::string> expected = {"bg:draw", "inside:draw", "left-edge:draw"};
  EXPECT_EQ(log, expected);
  ASSERT_EQ(gui->screens.size(), 1u);
  EXPECT_EQ(gui->screens[0], area);
  // Hidden was marked for a second redraw; everything else is clean.
  IRECT r;
  EXPECT_TRUE(gui->IsDirty(&r));
  EXPECT_EQ(r, IRECT(60, 10, 80, 30));
  gui->Draw(&area);
  EXPECT_FALSE(gui->IsDirty(&r));
}

TEST_F(Redraw, ValueChangeDrawsTwice)
{
  ProbeControl* a = Probe(IRECT(0, 0, 10, 10), "a");
  CleanAll();
  a->SetValueFromPlug(0.3); // the first value: becomes the default, no dirtying
  IRECT r;
  EXPECT_FALSE(gui->IsDirty(&r));
  a->SetValueFromPlug(0.7);
  IRECT area(0, 0, 10, 10);
  gui->Draw(&area);
  EXPECT_TRUE(a->IsDirty());
  gui->Draw(&area);
  EXPECT_FALSE(a->IsDirty());
  a->SetValueFromPlug(0.7); // unchanged
  EXPECT_FALSE(a->IsDirty());
}

TEST_F(Redraw, NonStrictRedrawsEachDirtyControlsNeighbourhood)
{
  Probe(IRECT(0, 0, 200, 100), "bg");
  Probe(IRECT(10, 10, 30, 30), "a");
  ProbeControl* b = Probe(IRECT(20, 20, 40, 40), "b");
  Probe(IRECT(100, 50, 120, 60), "far");
  ProbeControl* top = Probe(IRECT(35, 35, 50, 50), "top");
  gui->SetStrictDrawing(false);
  CleanAll();
  b->SetDirty(false);
  IRECT area(20, 20, 40, 40);
  gui->Draw(&area);
  const std::vector<std::string> expected = {"bg:draw", "a:draw", "b:draw", "top:draw"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(b->lastDrawRect, IRECT(20, 20, 40, 40));
  EXPECT_FALSE(b->IsDirty());
  // A hidden dirty control is erased by what lies under and over it.
  log.clear();
  top->Hide(true);
  gui->Draw(&area);
  const std::vector<std::string> erased = {"bg:draw", "b:draw"};
  EXPECT_EQ(log, erased);
}

TEST_F(Redraw, NonStrictDirtyBackgroundRepaintsAllVisible)
{
  ProbeControl* bg = Probe(IRECT(0, 0, 200, 100), "bg");
  Probe(IRECT(10, 10, 30, 30), "a");
  ProbeControl* hidden = Probe(IRECT(20, 20, 40, 40), "hidden");
  gui->SetStrictDrawing(false);
  CleanAll();
  hidden->Hide(true);
  bg->SetDirty(false);
  IRECT area(0, 0, 1, 1);
  gui->Draw(&area);
  const std::vector<std::string> expected = {"bg:draw", "a:draw"};
  EXPECT_EQ(log, expected);
  EXPECT_TRUE(hidden->IsDirty()); // keeps its dirty state
}

TEST_F(Redraw, EmptyEditorDrawsNothing)
{
  IRECT area(0, 0, 10, 10);
  EXPECT_TRUE(gui->Draw(&area));
  EXPECT_TRUE(gui->screens.empty());
}

// ---- Drawing operations -----------------------------------------------------------

TEST_F(Redraw, FrameSelectionPicksTheSourceRow)
{
  // 4 frames of 100 rows: frame 3 starts at row 200.
  IBitmap strip(MakeStrip(4, 100, 4), 4, 400, 4);
  IRECT dest(0, 0, 4, 100);
  IRECT all(0, 0, 200, 100);
  gui->SetDrawRECT(all);
  for (int frame : {0, 1, 2, 3, 4})
  {
    gui->DrawBitmap(&strip, &dest, frame, nullptr);
    EXPECT_EQ(gui->GetPoint(0, 0).R, frame < 2 ? 0 : frame - 1) << frame;
  }
  delete strip.mData;
}

TEST_F(Redraw, BlitsAreClippedToTheRepaintRectangle)
{
  IBitmap strip(MakeStrip(20, 20, 1), 20, 20, 1);
  LICE_FillRect(strip.mData, 0, 0, 20, 20, LICE_RGBA(9, 9, 9, 255));
  gui->SetDrawRECT(IRECT(5, 5, 10, 10));
  IRECT dest(0, 0, 20, 20);
  gui->DrawBitmap(&strip, &dest, 1, nullptr);
  EXPECT_EQ(gui->GetPoint(4, 4).A, 0);
  EXPECT_EQ(gui->GetPoint(5, 5).R, 9);
  EXPECT_EQ(gui->GetPoint(9, 9).R, 9);
  EXPECT_EQ(gui->GetPoint(10, 10).A, 0);
  delete strip.mData;
}

TEST_F(Redraw, ForcePixelAndGetPointStayInside)
{
  IColor c(200, 1, 2, 3);
  gui->ForcePixel(&c, 3, 4);
  EXPECT_EQ(gui->GetPoint(3, 4), c);
  EXPECT_EQ(gui->GetBits()[3 + 4 * gui->GetDrawBitmap()->getRowSpan()], LiceColor(&c));
  // Outside the bitmap nothing is written and transparent black is read.
  for (auto xy : {std::make_pair(-1, 0), std::make_pair(200, 0), std::make_pair(0, 100),
                  std::make_pair(0, -1)})
  {
    EXPECT_TRUE(gui->ForcePixel(&c, xy.first, xy.second));
    EXPECT_EQ(gui->GetPoint(xy.first, xy.second), COLOR_TRANSPARENT);
  }
  EXPECT_EQ(gui->GetPoint(0, 1), COLOR_TRANSPARENT); // the wrapped neighbour of (200, 0)
}

TEST_F(Redraw, LinesAndRectangleOutline)
{
  IColor c = COLOR_WHITE;
  IRECT r(10, 10, 20, 20);
  gui->DrawRect(&c, &r);
  EXPECT_EQ(gui->GetPoint(10, 10), c);
  EXPECT_EQ(gui->GetPoint(20, 20), c); // right and bottom lines lie on R and B
  EXPECT_EQ(gui->GetPoint(15, 15), COLOR_TRANSPARENT);
  IRECT frac(0, 50, 10, 60);
  gui->DrawHorizontalLine(&c, &frac, 2.0f); // clamped to 1: the top
  EXPECT_EQ(gui->GetPoint(5, 50), c);
  gui->DrawVerticalLine(&c, &frac, 0.5f);
  EXPECT_EQ(gui->GetPoint(5, 55), c);
  // Radial line: angle 0 points up.
  gui->DrawRadialLine(&c, 100.0f, 50.0f, 0.0f, 5.0f, 10.0f);
  EXPECT_EQ(gui->GetPoint(100, 42), c);
  EXPECT_EQ(gui->GetPoint(100, 58), COLOR_TRANSPARENT);
}
