// Hit testing and the routing of mouse, wheel and key events, with the
// begin/end announcements of a gesture to the host.

#include <gtest/gtest.h>

#include "tests/IPlug/editor/EditorTestSupport.h"

namespace
{
struct Editor : ::testing::Test
{
  GesturePlug plug{4};
  TestGraphics* gui = new TestGraphics(&plug);
  std::vector<std::string> log;
  IMouseMod mod{true};

  void SetUp() override
  {
    plug.InitDoubles({0, 0, 0, 0});
    plug.AttachGraphics(gui);
  }
  ProbeControl* Probe(IRECT r, int param, const char* name)
  {
    auto* c = new ProbeControl(&plug, r, param, &log, name);
    gui->AttachControl(c);
    return c;
  }
};
} // namespace

TEST_F(Editor, FrameRateDefaultsAndIndices)
{
  TestGraphics zero(&plug, 10, 10, 0), negative(&plug, 10, 10, -5), given(&plug, 10, 10, 30);
  EXPECT_EQ(zero.FPS(), 25);
  EXPECT_EQ(negative.FPS(), 25);
  EXPECT_EQ(given.FPS(), 30);

  EXPECT_EQ(gui->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 1, 1), -1, &log, "a")), 0);
  EXPECT_EQ(gui->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 1, 1), -1, &log, "b")), 1);
  IColor grey = COLOR_GRAY;
  IControl* bg = gui->AttachPanelBackground(&grey);
  EXPECT_EQ(gui->GetControl(0), bg);
  EXPECT_EQ(*bg->GetRECT(), IRECT(0, 0, 200, 100));
  EXPECT_EQ(gui->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 1, 1), -1, &log, "c")), 3);
}

TEST_F(Editor, TopmostVisibleUngrayedControlIsHit)
{
  IColor grey = COLOR_GRAY;
  gui->AttachPanelBackground(&grey);
  ProbeControl* low = Probe(IRECT(0, 0, 50, 50), 0, "low");
  ProbeControl* high = Probe(IRECT(25, 25, 75, 75), 1, "high");
  EXPECT_EQ(gui->GetMouseControlIdx(30, 30), 2);
  EXPECT_EQ(gui->GetMouseControlIdx(10, 10), 1);
  EXPECT_EQ(gui->GetMouseControlIdx(150, 90), 0);
  EXPECT_EQ(gui->GetMouseControlIdx(250, 90), -1);
  high->Hide(true);
  EXPECT_EQ(gui->GetMouseControlIdx(30, 30), 1);
  low->GrayOut(true);
  EXPECT_EQ(gui->GetMouseControlIdx(30, 30), 0);
  // Mouse-over reaches a grayed control only when it asks for it.
  EXPECT_EQ(gui->GetMouseControlIdx(30, 30, true), 0);
  low->SetMOWhenGrayed(true);
  EXPECT_EQ(gui->GetMouseControlIdx(30, 30, true), 1);
  EXPECT_EQ(gui->GetMouseControlIdx(30, 30, false), 0);
}

TEST_F(Editor, GestureIsCapturedWithDeltasAndAnnounced)
{
  Probe(IRECT(0, 0, 50, 50), 2, "knob");
  Probe(IRECT(60, 0, 100, 50), -1, "other");
  gui->OnMouseDown(10, 10, &mod);
  EXPECT_EQ(gui->GetMouseCapture(), 0);
  gui->OnMouseDrag(15, 8, &mod);
  gui->OnMouseDrag(15, 8, &mod);  // same position: not delivered
  gui->OnMouseDrag(80, 20, &mod); // over the other control: still the captured one
  gui->OnMouseUp(90, 30, &mod);
  EXPECT_EQ(gui->GetMouseCapture(), -1);
  const std::vector<std::string> expected = {"knob:down 10,10", "knob:drag 5,-2", "knob:drag 65,12",
                                             "knob:up 90,30"};
  EXPECT_EQ(log, expected);
  const std::vector<std::pair<char, int>> gestures = {{'B', 2}, {'E', 2}};
  EXPECT_EQ(plug.gestures, gestures);
}

TEST_F(Editor, IgnoredInputAndControlsWithoutParameter)
{
  Probe(IRECT(0, 0, 50, 50), -1, "free");
  gui->OnMouseDrag(5, 5, &mod); // nothing captured
  gui->OnMouseUp(150, 50, &mod);
  gui->OnMouseWheel(150, 50, &mod, 3);
  EXPECT_TRUE(log.empty());
  gui->OnMouseDown(5, 5, &mod);
  gui->OnMouseUp(5, 5, &mod);
  EXPECT_TRUE(plug.gestures.empty());
  EXPECT_FALSE(gui->OnKeyDown(150, 50, 7));
}

TEST_F(Editor, DoubleClickAsSingleClickCapturesWithoutBegin)
{
  ProbeControl* c = Probe(IRECT(0, 0, 50, 50), 1, "sw");
  EXPECT_FALSE(gui->OnMouseDblClick(5, 5, &mod));
  EXPECT_EQ(log.back(), "sw:dbl 5,5");
  EXPECT_EQ(gui->GetMouseCapture(), -1);
  c->mDblAsSingleClick = true;
  EXPECT_TRUE(gui->OnMouseDblClick(6, 6, &mod));
  EXPECT_EQ(log.back(), "sw:down 6,6");
  EXPECT_EQ(gui->GetMouseCapture(), 0);
  EXPECT_TRUE(plug.gestures.empty());
  gui->OnMouseUp(6, 6, &mod);
  const std::vector<std::pair<char, int>> gestures = {{'E', 1}};
  EXPECT_EQ(plug.gestures, gestures);
  EXPECT_FALSE(gui->OnMouseDblClick(150, 50, &mod));
}

TEST_F(Editor, WheelGoesToCapturedControlWithoutGestures)
{
  Probe(IRECT(0, 0, 50, 50), 1, "a");
  Probe(IRECT(60, 0, 100, 50), 2, "b");
  gui->OnMouseWheel(70, 10, &mod, -2);
  gui->OnMouseDown(10, 10, &mod);
  gui->OnMouseWheel(70, 10, &mod, 4);
  const std::vector<std::string> expected = {"b:wheel -2", "a:down 10,10", "a:wheel 4"};
  EXPECT_EQ(log, expected);
  const std::vector<std::pair<char, int>> gestures = {{'B', 1}};
  EXPECT_EQ(plug.gestures, gestures);
}

TEST_F(Editor, KeysOverTheBackgroundGoToTheKeyCatcher)
{
  IColor grey = COLOR_GRAY;
  Probe(IRECT(0, 0, 50, 50), -1, "ctl");
  gui->AttachPanelBackground(&grey);
  EXPECT_FALSE(gui->OnKeyDown(150, 50, 3));
  gui->AttachKeyCatcher(new ProbeControl(&plug, IRECT(), -1, &log, "catcher"));
  EXPECT_TRUE(gui->OnKeyDown(150, 50, 3));
  EXPECT_TRUE(gui->OnKeyDown(5, 5, 4));
  const std::vector<std::string> expected = {"catcher:key 3", "ctl:key 4"};
  EXPECT_EQ(log, expected);
}

TEST_F(Editor, MouseOverOnlyWhenTracked)
{
  Probe(IRECT(0, 0, 50, 50), -1, "a");
  Probe(IRECT(60, 0, 100, 50), -1, "b");
  EXPECT_FALSE(gui->OnMouseOver(5, 5, &mod));
  EXPECT_TRUE(log.empty());
  gui->SetTrackMouseOver(true);
  EXPECT_TRUE(gui->OnMouseOver(5, 5, &mod));
  EXPECT_TRUE(gui->OnMouseOver(150, 5, &mod)); // over nothing: a keeps its state
  EXPECT_TRUE(gui->OnMouseOver(70, 5, &mod));
  gui->OnMouseOut();
  const std::vector<std::string> expected = {"a:over 5,5", "b:over 70,5", "a:out", "a:out",
                                             "b:out"};
  EXPECT_EQ(log, expected);
}

TEST_F(Editor, ResizeDeletesControlsAndAsksThePlugIn)
{
  Probe(IRECT(0, 0, 50, 50), -1, "a");
  gui->OnMouseDown(5, 5, &mod);
  gui->Resize(300, 150);
  EXPECT_EQ(gui->NControls(), 0);
  EXPECT_EQ(gui->Width(), 300);
  EXPECT_EQ(gui->GetMouseCapture(), -1);
  EXPECT_EQ(plug.resizedTo, std::make_pair(300, 150));
}
