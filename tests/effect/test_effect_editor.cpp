// The effect's editor as a host sees it: the view obtained through the
// component's Cocoa view property and factory, driven with mouse events and
// timer ticks, with the parameters read back through the host API.

#include "tests/effect/EditorHost.h"

#include "IPlug/IControl.h"
#include "IPlug/IGraphics.h"
#include "effect/TolvaneDelayParams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// One frame of each picture in resources/img/.
constexpr int kBottomBigW = 40, kBottomBigH = 40;
constexpr int kBottomSmallW = 28, kBottomSmallH = 28;
constexpr int kTopBigW = 38, kTopBigH = 38;
constexpr int kTopSmallW = 21, kTopSmallH = 21;
constexpr int kPongW = 72, kPongH = 24;
constexpr int kSwitcherW = 44, kSwitcherH = 48;
constexpr int kSliderKnobW = 16, kSliderKnobH = 12;

// One frame of each picture the controls are placed with.
struct Size
{
  int w, h;
};
constexpr Size kBottomKnob = {kBottomBigW, kBottomBigH};
constexpr Size kBottomSmallKnob = {kBottomSmallW, kBottomSmallH};
constexpr Size kTopBigKnob = {kTopBigW, kTopBigH};
constexpr Size kTopSmallKnob = {kTopSmallW, kTopSmallH};
constexpr Size kPongButton = {kPongW, kPongH};
constexpr Size kSwitcher = {kSwitcherW, kSwitcherH};

struct Expected
{
  IRECT rect;
  int param;
};

Expected At(int x, int y, Size s, int param)
{
  return {IRECT(x, y, x + s.w, y + s.h), param};
}
Expected Fader(int x, int y, int param)
{
  return {IRECT(x, y, x + kSliderKnobW, y + 123), param};
}
Expected Box(int l, int t, int r, int b)
{
  return {IRECT(l, t, r, b), -1};
}

// The background, then the 57 controls in the order they are attached.
std::vector<Expected> ExpectedControls()
{
  return {
      Box(0, 0, 595, 433),
      At(14, 289, kBottomKnob, kFine),
      Box(65, 304, 100, 317),
      At(135, 289, kBottomKnob, kFeedback),
      Box(184, 303, 219, 316),
      At(14, 353, kBottomKnob, kNote),
      Box(65, 366, 100, 379),
      At(136, 353, kBottomKnob, kMix),
      Box(184, 366, 219, 379),
      At(379, 287, kBottomKnob, kFltRate),
      Box(423, 301, 460, 314),
      At(379, 353, kBottomKnob, kFltIntensity),
      Box(425, 366, 460, 379),
      At(489, 287, kBottomKnob, kLfoRate),
      Box(535, 300, 570, 313),
      At(489, 353, kBottomKnob, kLfoIntensity),
      Box(535, 366, 570, 379),
      At(283, 260, kBottomKnob, kHiCut),
      Box(284, 305, 319, 318),
      At(283, 350, kBottomKnob, kLowCut),
      Box(283, 395, 318, 408),
      At(113, 401, kBottomSmallKnob, kSmooth),
      At(43, 70, kTopBigKnob, kUnits),
      Box(44, 117, 79, 130),
      At(123, 70, kTopBigKnob, kWetDry1),
      Box(124, 117, 159, 130),
      At(218, 30, kTopSmallKnob, kLP1),
      Box(209, 57, 244, 70),
      At(218, 91, kTopSmallKnob, kHP1),
      Box(208, 120, 244, 133),
      At(218, 154, kTopSmallKnob, kPan1),
      Box(208, 183, 245, 196),
      At(392, 30, kTopSmallKnob, kLP2),
      Box(383, 57, 418, 70),
      At(392, 91, kTopSmallKnob, kHP2),
      Box(383, 120, 418, 133),
      At(392, 154, kTopSmallKnob, kPan2),
      Box(383, 183, 418, 196),
      Fader(268, 52, kDelay1),
      Box(265, 183, 286, 196),
      Fader(301, 52, kFeedback1),
      Box(299, 183, 320, 196),
      Fader(335, 52, kLevel1),
      Box(333, 183, 354, 196),
      Fader(442, 52, kDelay2),
      Box(439, 183, 460, 196),
      Fader(475, 52, kFeedback2),
      Box(473, 183, 494, 196),
      Fader(509, 52, kLevel2),
      Box(507, 183, 528, 196),
      At(390, 402, kPongButton, kPong),
      At(543, 83, kSwitcher, kSwitch),
      Box(12, 46, 193, 138),
      Box(201, 14, 362, 202),
      Box(375, 14, 536, 202),
      Box(7, 265, 237, 396),
      Box(241, 234, 363, 418),
      Box(367, 267, 590, 396),
  };
}

// The value display of each parameter: its index in the control list.
int DisplayIndexOf(int param)
{
  static const int kDisplays[][2] = {
      {kFine, 2},          {kFeedback, 4}, {kNote, 6},          {kMix, 8},     {kFltRate, 10},
      {kFltIntensity, 12}, {kLfoRate, 14}, {kLfoIntensity, 16}, {kHiCut, 18},  {kLowCut, 20},
      {kUnits, 23},        {kWetDry1, 25}, {kLP1, 27},          {kHP1, 29},    {kPan1, 31},
      {kLP2, 33},          {kHP2, 35},     {kPan2, 37},         {kDelay1, 39}, {kFeedback1, 41},
      {kLevel1, 43},       {kDelay2, 45},  {kFeedback2, 47},    {kLevel2, 49},
  };
  for (const auto& d : kDisplays)
    if (d[0] == param) return d[1];
  return -1;
}

constexpr int kFirstBlocker = 52;

class EffectEditor : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(host.Open()) << host.Failure();
    gui = host.Graphics();
    ASSERT_NE(gui, nullptr);
  }

  std::string DisplayText(int param)
  {
    WDL_String text;
    auto* display = static_cast<ITextControl*>(gui->GetControl(DisplayIndexOf(param)));
    display->GetTextCopy(&text);
    return text.Get();
  }

  bool BlockerShown(int i) { return !gui->GetControl(kFirstBlocker + i)->IsHidden(); }

  // The centre of a control, in editor coordinates.
  static void Centre(IControl* c, int* x, int* y)
  {
    *x = (c->GetRECT()->L + c->GetRECT()->R) / 2;
    *y = (c->GetRECT()->T + c->GetRECT()->B) / 2;
  }

  void DragUp(int controlIdx, int pixels)
  {
    int x, y;
    Centre(gui->GetControl(controlIdx), &x, &y);
    host.Drag(x, y, x, y - pixels);
  }

  EditorHost host;
  IGraphics* gui = nullptr;
};
} // namespace

TEST_F(EffectEditor, ControlsComeInOrderWithTheirRectanglesAndParameters)
{
  const std::vector<Expected> expected = ExpectedControls();
  ASSERT_EQ(gui->NControls(), 58);
  ASSERT_EQ(expected.size(), 58u);
  for (int i = 0; i < 58; ++i)
  {
    IControl* c = gui->GetControl(i);
    const IRECT& r = *c->GetRECT();
    const IRECT& e = expected[static_cast<size_t>(i)].rect;
    EXPECT_EQ(r, e) << "control " << i << ": " << r.L << "," << r.T << "," << r.R << "," << r.B;
    EXPECT_EQ(c->ParamIdx(), expected[static_cast<size_t>(i)].param) << "control " << i;
  }
  EXPECT_EQ(gui->Width(), 595);
  EXPECT_EQ(gui->Height(), 433);
  EXPECT_EQ(gui->FPS(), 25);
}

TEST_F(EffectEditor, NoKnobOrFaderCoversItsValueDisplay)
{
  for (int param = 0; param < kNumParams; ++param)
  {
    const int d = DisplayIndexOf(param);
    if (d < 0) continue;
    IRECT shown = *gui->GetControl(d)->GetRECT();
    IRECT control = *gui->GetControl(d - 1)->GetRECT();
    EXPECT_EQ(gui->GetControl(d - 1)->ParamIdx(), param);
    const IRECT overlap(std::max(shown.L, control.L), std::max(shown.T, control.T),
                        std::min(shown.R, control.R), std::min(shown.B, control.B));
    EXPECT_TRUE(overlap.W() <= 0 || overlap.H() <= 0) << "parameter " << param;
  }
}

TEST_F(EffectEditor, ValueDisplaysShowTheFactoryPresetWhenTheViewOpens)
{
  EXPECT_EQ(DisplayText(kPan1), "-1.0");
  EXPECT_EQ(DisplayText(kPan2), " 1.0");
  EXPECT_EQ(DisplayText(kUnits), " 4.0");
  EXPECT_EQ(DisplayText(kNote), " 8.0");
  EXPECT_EQ(DisplayText(kLP1), "20000");
  for (int param = 0; param < kNumParams; ++param)
    if (DisplayIndexOf(param) >= 0)
      EXPECT_NE(DisplayText(param), " aaaa ") << "parameter " << param;
  // The stereo engine is selected: its panel is open, the loop panel blocked.
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_FALSE(BlockerShown(i));
    EXPECT_TRUE(BlockerShown(3 + i));
  }
}

TEST_F(EffectEditor, HostAutomationReachesTheDisplays)
{
  ASSERT_EQ(host.SetParameter(kPan1, 75.0f), noErr);
  EXPECT_EQ(DisplayText(kPan1), " 0.5");
  ASSERT_EQ(host.SetParameter(kFeedback, 100.0f), noErr);
  EXPECT_EQ(DisplayText(kFeedback), "100.00");
}

TEST_F(EffectEditor, HostSwitchSwapsTheBlockedPanel)
{
  ASSERT_EQ(host.SetParameter(kSwitch, 0.0f), noErr);
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_TRUE(BlockerShown(i));
    EXPECT_FALSE(BlockerShown(3 + i));
  }
  // The next tick repaints both panels: the stereo panel dims.
  const IColor before = host.ViewPixel(100, 100);
  host.Tick();
  const IColor after = host.ViewPixel(100, 100);
  EXPECT_NE(before, after);
  ASSERT_EQ(host.SetParameter(kSwitch, 50.0f), noErr); // one half is the stereo layout
  EXPECT_FALSE(BlockerShown(0));
  EXPECT_TRUE(BlockerShown(3));
}

TEST_F(EffectEditor, ClicksInsideAVisibleBlockerChangeNothing)
{
  // The loop panel is blocked in the factory state.
  const float feedback = host.GetParameter(kFeedback);
  DragUp(3, 30); // the "2feedback" knob
  EXPECT_EQ(host.GetParameter(kFeedback), feedback);
  const float hiCut = host.GetParameter(kHiCut);
  DragUp(17, 30);
  EXPECT_EQ(host.GetParameter(kHiCut), hiCut);
  // Once the host selects the loop engine the same knob works.
  ASSERT_EQ(host.SetParameter(kSwitch, 0.0f), noErr);
  host.Tick();
  DragUp(3, 10);
  EXPECT_GT(host.GetParameter(kFeedback), feedback);
  // and the stereo panel is locked instead.
  const float units = host.GetParameter(kUnits);
  DragUp(22, 10);
  EXPECT_EQ(host.GetParameter(kUnits), units);
}

TEST_F(EffectEditor, SmoothAndPongWorkWithEitherEngine)
{
  for (float engine : {0.0f, 100.0f})
  {
    ASSERT_EQ(host.SetParameter(kSwitch, engine), noErr);
    host.Tick();
    const float smooth = host.GetParameter(kSmooth);
    DragUp(21, 5);
    EXPECT_GT(host.GetParameter(kSmooth), smooth) << "switch " << engine;
    const float pong = host.GetParameter(kPong);
    int x, y;
    Centre(gui->GetControl(50), &x, &y);
    host.Click(x, y);
    EXPECT_EQ(host.GetParameter(kPong), pong >= 50.0f ? 0.0f : 100.0f) << "switch " << engine;
  }
}

TEST_F(EffectEditor, KnobDragSetsTheParameterTheHostReadsBack)
{
  // "units" starts at 24.29; its knob is kTopBigH pixels high, with gearing 4.
  const float before = host.GetParameter(kUnits);
  DragUp(22, 20);
  const double expected = before + 100.0 * 20.0 / kTopBigH / 4.0;
  EXPECT_NEAR(host.GetParameter(kUnits), expected, 0.01);
  // The display follows at once: the whole number of sixteenths 1 ... 16.
  const int units = static_cast<int>(host.GetParameter(kUnits) / 100.0f * 15) + 1;
  EXPECT_EQ(DisplayText(kUnits), " " + std::to_string(units) + ".0");
}

TEST_F(EffectEditor, FaderFollowsThePointerAndTheHostSeesTheGesture)
{
  // Pressing at the top of the "Delay1" track puts the handle's centre there.
  IControl* fader = gui->GetControl(38);
  const int x = (fader->GetRECT()->L + fader->GetRECT()->R) / 2;
  host.Click(x, fader->GetRECT()->T + kSliderKnobH / 2);
  EXPECT_EQ(host.GetParameter(kDelay1), 100.0f);
  host.Click(x, fader->GetRECT()->B - kSliderKnobH / 2);
  EXPECT_EQ(host.GetParameter(kDelay1), 0.0f);
  EXPECT_EQ(host.GestureBegins(kDelay1), 2);
  EXPECT_EQ(host.GestureEnds(kDelay1), 2);
}

TEST_F(EffectEditor, SwitchButtonSelectsTheEngineAndSwapsThePanels)
{
  int x, y;
  Centre(gui->GetControl(51), &x, &y);
  host.Click(x, y);
  EXPECT_EQ(host.GetParameter(kSwitch), 0.0f);
  EXPECT_TRUE(BlockerShown(0));
  EXPECT_FALSE(BlockerShown(3));
}
