// The control kinds' value arithmetic, drawing choices and mouse rules.

#include <gtest/gtest.h>

#include "IPlug/IBitmapMonoText.h"
#include "tests/IPlug/editor/EditorTestSupport.h"

namespace
{
struct Controls : ::testing::Test
{
  GesturePlug plug{4};
  TestGraphics* gui = new TestGraphics(&plug);
  IMouseMod left{true}, right{false, true}, fine{true, false, true};

  void SetUp() override
  {
    plug.InitDoubles({0, 0, 0, 0});
    plug.AttachGraphics(gui);
  }
  template <class T> T* Attach(T* control)
  {
    gui->AttachControl(control);
    return control;
  }
  double Param(int i) { return plug.GetParam(i)->GetNormalized(); }
};

IBitmap Strip(int w, int frameH, int n)
{
  return IBitmap(nullptr, w, frameH * n, n);
}
} // namespace

TEST_F(Controls, SwitchStepsThroughItsFramesAndWraps)
{
  IBitmap two = Strip(10, 10, 2), four = Strip(10, 10, 4);
  auto* a = Attach(new ISwitchControl(&plug, 0, 0, 0, &two));
  for (double want : {1.0, 0.0, 1.0})
  {
    a->OnMouseDown(1, 1, &left);
    EXPECT_DOUBLE_EQ(a->GetValue(), want);
    EXPECT_DOUBLE_EQ(Param(0), want);
  }
  auto* b = Attach(new ISwitchControl(&plug, 20, 0, 1, &four));
  for (double want : {1.0 / 3, 2.0 / 3, 1.0, 0.0})
  {
    b->OnMouseDown(21, 1, &left);
    EXPECT_NEAR(b->GetValue(), want, 1e-12);
  }
  // A double-click is one more step.
  b->OnMouseDblClick(21, 1, &left);
  EXPECT_NEAR(b->GetValue(), 1.0 / 3, 1e-12);
  // A right-click (prompting disabled) does not step but still sends the value.
  plug.informed.clear();
  b->OnMouseDown(21, 1, &right);
  EXPECT_NEAR(b->GetValue(), 1.0 / 3, 1e-12);
  EXPECT_EQ(plug.informed.size(), 1u);
}

TEST_F(Controls, FrameForValue)
{
  EXPECT_EQ(IBitmapControl::FrameForValue(0.5, 61), 31);
  EXPECT_EQ(IBitmapControl::FrameForValue(0.0, 61), 1);
  EXPECT_EQ(IBitmapControl::FrameForValue(1.0, 61), 61);
  EXPECT_EQ(IBitmapControl::FrameForValue(0.24, 3), 1);
  EXPECT_EQ(IBitmapControl::FrameForValue(0.25, 3), 2);
  EXPECT_EQ(IBitmapControl::FrameForValue(0.75, 3), 3);
  EXPECT_EQ(IBitmapControl::FrameForValue(7.0, 3), 3);
  EXPECT_EQ(IBitmapControl::FrameForValue(-3.0, 3), 1);
  EXPECT_EQ(IBitmapControl::FrameForValue(0.5, 0), 1);
}

TEST_F(Controls, KnobDragFollowsGearingDirectionAndClamps)
{
  IBitmap strip = Strip(40, 50, 61);
  auto* knob = Attach(new IKnobMultiControl(&plug, 0, 0, 0, &strip, kVertical, 1.0));
  knob->SetValueFromPlug(0.2);
  gui->OnMouseDown(10, 40, &left);
  gui->OnMouseDrag(10, 15, &left); // up 25 px of a 50 px knob
  EXPECT_NEAR(knob->GetValue(), 0.7, 1e-12);
  gui->OnMouseDrag(10, -10, &fine); // fine: a tenth
  EXPECT_NEAR(knob->GetValue(), 0.75, 1e-12);
  gui->OnMouseDrag(10, -500, &left);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);
  gui->OnMouseUp(10, -500, &left);
  EXPECT_DOUBLE_EQ(Param(0), 1.0);

  IBitmap wide = Strip(40, 20, 2);
  auto* h = Attach(new IKnobMultiControl(&plug, 100, 0, 1, &wide, kHorizontal, 1.0));
  gui->OnMouseDown(110, 5, &left);
  gui->OnMouseDrag(120, 5, &left);
  EXPECT_NEAR(h->GetValue(), 0.25, 1e-12);
  gui->OnMouseDrag(20, 5, &left);
  EXPECT_DOUBLE_EQ(h->GetValue(), 0.0);
}

TEST_F(Controls, WheelDoubleClickAndDefault)
{
  IBitmap strip = Strip(40, 50, 61);
  auto* knob = Attach(new IKnobMultiControl(&plug, 0, 0, 0, &strip));
  // Never received a value: the double-click does nothing.
  knob->OnMouseDblClick(1, 1, &left);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.0);
  knob->SetValueFromPlug(0.4);
  knob->OnMouseWheel(1, 1, &left, 3);
  EXPECT_NEAR(knob->GetValue(), 0.43, 1e-12);
  knob->OnMouseWheel(1, 1, &fine, -5);
  EXPECT_NEAR(knob->GetValue(), 0.425, 1e-12);
  EXPECT_NEAR(Param(0), 0.425, 1e-12);
  knob->OnMouseDblClick(1, 1, &left);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.4);
  EXPECT_DOUBLE_EQ(knob->GetDefaultValue(), 0.4);
}

TEST_F(Controls, AttachingPushesValuesThatBecomeDefaults)
{
  GesturePlug p(2);
  p.InitDoubles({45.0, 100.0}); // -10 ... 100
  auto* g = new TestGraphics(&p);
  IBitmap strip = Strip(10, 10, 3);
  auto* knob = new IKnobMultiControl(&p, 0, 0, 0, &strip);
  g->AttachControl(knob);
  p.AttachGraphics(g);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(knob->GetDefaultValue(), 0.5);
  ASSERT_NE(g->GetDrawBitmap(), nullptr);
  EXPECT_EQ(g->GetDrawBitmap()->getWidth(), 200);
  // The host's setter path: a plain value, normalised by the parameter.
  g->SetParameterFromPlug(0, -10.0, false);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.0);
  p.GetParam(0)->Set(100.0);
  p.RedrawParamControls();
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);
  g->SetControlFromPlug(0, 0.25);
  g->SetControlFromPlug(7, 0.75); // outside the list: ignored
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.25);
}

TEST_F(Controls, ClampHideAndGrayByParameter)
{
  IBitmap strip = Strip(10, 10, 3);
  auto* knob = Attach(new IKnobMultiControl(&plug, 0, 0, 2, &strip));
  gui->ClampControl(2, 0.2, 0.6, true);
  knob->OnMouseWheel(0, 0, &left, 100);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.6);
  knob->OnMouseWheel(0, 0, &left, -100);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.2);
  gui->GrayOutControl(2, true);
  EXPECT_TRUE(knob->IsGrayed());
  EXPECT_FLOAT_EQ(knob->GetBlend()->mWeight, 0.25f);
  EXPECT_EQ(gui->GetMouseControlIdx(1, 1), -1);
  gui->GrayOutControl(2, false);
  EXPECT_FLOAT_EQ(knob->GetBlend()->mWeight, 1.0f);
  gui->HideControl(2, true);
  EXPECT_TRUE(knob->IsHidden());
  // From the editor side: every bound control takes the value and sets the parameter.
  gui->SetParameterFromGUI(2, 0.5);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(Param(2), 0.5);
}

TEST_F(Controls, FaderSnapsItsHandleCentreToThePointer)
{
  IBitmap handle(nullptr, 12, 20, 1);
  auto* fader = Attach(new IFaderControl(&plug, 30, 10, 200, 1, &handle, kVertical));
  EXPECT_EQ(*fader->GetRECT(), IRECT(30, 10, 42, 210));
  EXPECT_EQ(fader->GetHandleSize(), 20);
  fader->OnMouseDown(35, 10 + 10, &left);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 1.0);
  fader->OnMouseDrag(35, 10 + 100, 0, 0, &left);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.5);
  fader->OnMouseDrag(35, 10 + 190, 0, 0, &left);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.0);
  fader->OnMouseDrag(35, 500, 0, 0, &left);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.0);
  EXPECT_EQ(fader->GetHandleRECT(1.0), IRECT(30, 10, 42, 30));
  EXPECT_EQ(fader->GetHandleRECT(0.0), IRECT(30, 190, 42, 210));
  EXPECT_EQ(fader->GetHandleRECT(0.5), IRECT(30, 100, 42, 120));

  IBitmap flat(nullptr, 10, 8, 1);
  auto* h = Attach(new IFaderControl(&plug, 0, 0, 110, 0, &flat, kHorizontal));
  EXPECT_EQ(*h->GetRECT(), IRECT(0, 0, 110, 8));
  h->OnMouseDown(55, 2, &left);
  EXPECT_DOUBLE_EQ(h->GetValue(), 0.5);
  EXPECT_EQ(h->GetHandleRECT(), IRECT(50, 0, 60, 8));
}

TEST_F(Controls, InvisibleContactAndOverlaySwitches)
{
  auto* inv = Attach(new IInvisibleSwitchControl(&plug, IRECT(0, 0, 10, 10), 0));
  inv->OnMouseDown(1, 1, &left);
  EXPECT_DOUBLE_EQ(inv->GetValue(), 1.0);
  inv->OnMouseDown(1, 1, &left);
  EXPECT_DOUBLE_EQ(inv->GetValue(), 0.0);

  IBitmap two = Strip(10, 10, 2);
  auto* contact = Attach(new IContactControl(&plug, 20, 0, 1, &two));
  contact->OnMouseDown(21, 1, &left);
  EXPECT_DOUBLE_EQ(Param(1), 1.0);
  contact->OnMouseUp(21, 1, &left);
  EXPECT_DOUBLE_EQ(contact->GetValue(), 0.0);
  EXPECT_DOUBLE_EQ(Param(1), 0.0);

  IBitmap big = Strip(100, 80, 2);
  auto* overlay = Attach(new IBitmapOverlayControl(&plug, 0, 0, 2, &big, IRECT(90, 90, 95, 95)));
  EXPECT_TRUE(overlay->IsHit(91, 91));
  EXPECT_FALSE(overlay->IsHit(50, 50));
  overlay->OnMouseDown(91, 91, &left);
  overlay->Draw(gui);
  EXPECT_TRUE(overlay->IsHit(50, 50)); // open: the whole overlay takes clicks
  overlay->OnMouseDown(50, 50, &left);
  overlay->Draw(gui);
  EXPECT_FALSE(overlay->IsHit(50, 50));
}

TEST_F(Controls, RadioButtonsLayoutAndClicks)
{
  IBitmap two(nullptr, 10, 16, 2); // 10 x 8 per button
  auto* v = Attach(new IRadioButtonsControl(&plug, IRECT(0, 0, 10, 40), 0, 3, &two, kVertical));
  // gap = (40 - 3 * 8) / 2 = 8
  EXPECT_EQ(*v->GetButtonRECT(0), IRECT(0, 0, 10, 8));
  EXPECT_EQ(*v->GetButtonRECT(1), IRECT(0, 16, 10, 24));
  EXPECT_EQ(*v->GetButtonRECT(2), IRECT(0, 32, 10, 40));
  v->OnMouseDown(5, 20, &left);
  EXPECT_DOUBLE_EQ(v->GetValue(), 0.5);
  plug.informed.clear();
  v->OnMouseDown(5, 12, &left); // between buttons: value kept, still sent
  EXPECT_DOUBLE_EQ(v->GetValue(), 0.5);
  EXPECT_EQ(plug.informed.size(), 1u);
  auto* h = Attach(new IRadioButtonsControl(&plug, IRECT(50, 0, 101, 8), 1, 4, &two, kHorizontal));
  // gap = (51 - 40) / 3 = 3
  EXPECT_EQ(*h->GetButtonRECT(3), IRECT(89, 0, 99, 8));
  h->OnMouseDown(90, 1, &left);
  EXPECT_DOUBLE_EQ(h->GetValue(), 1.0);
}

TEST_F(Controls, TextControlDirtiesOnlyOnChange)
{
  IText style(11);
  auto* text = Attach(new ITextControl(&plug, IRECT(0, 0, 40, 12), &style, " aaaa "));
  text->SetClean();
  text->SetTextFromPlug(" aaaa ");
  EXPECT_FALSE(text->IsDirty());
  text->SetTextFromPlug("12.5");
  EXPECT_TRUE(text->IsDirty());
  WDL_String copy;
  text->GetTextCopy(&copy);
  EXPECT_STREQ(copy.Get(), "12.5");
  EXPECT_EQ(text->ParamIdx(), -1);
  EXPECT_EQ(text->GetText()->mSize, 11);
}

TEST_F(Controls, UrlFallsBackWhenTheFirstFails)
{
  auto* url = Attach(new IURLControl(&plug, IRECT(0, 0, 10, 10), "http://a", "http://b", "oops"));
  url->OnMouseDown(1, 1, &left);
  EXPECT_EQ(gui->urls, std::vector<std::string>{"http://a"});
  gui->urlResult = false;
  url->OnMouseDown(1, 1, &left);
  const std::vector<std::string> both = {"http://a", "http://a", "http://b"};
  EXPECT_EQ(gui->urls, both);
}

TEST_F(Controls, FileSelectorStepsItsValueAndReportsOnce)
{
  IBitmap bm(nullptr, 10, 10, 1);
  auto* fs = Attach(new IFileSelectorControl(&plug, IRECT(0, 0, 10, 10), 0, &bm, kFileOpen));
  gui->fileAnswer = "/tmp/x.fxp";
  fs->OnMouseDown(1, 1, &left);
  EXPECT_DOUBLE_EQ(fs->GetValue(), 1.0);
  WDL_String file;
  fs->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/tmp/x.fxp");
  fs->SetClean();
  EXPECT_TRUE(fs->IsDirty()); // once for the finished selection
  EXPECT_FALSE(fs->IsDirty());
  fs->OnMouseDown(1, 1, &left);
  EXPECT_DOUBLE_EQ(fs->GetValue(), 0.0);
}

TEST_F(Controls, KnobLineOuterRadiusDefaultsToHalfTheWidth)
{
  IColor white = COLOR_WHITE;
  auto* line = Attach(new IKnobLineControl(&plug, IRECT(0, 0, 40, 40), 0, &white, 0.0, 0.0, 0.0,
                                           3.141592653589793));
  EXPECT_EQ(line->GetBlend()->mMethod, IChannelBlend::kBlendClobber);
  IRECT all(0, 0, 200, 100);
  gui->SetDrawRECT(all);
  line->Draw(gui); // value 0: straight up, 20 px long
  EXPECT_GT(gui->GetPoint(20, 1).R, 0);
  EXPECT_EQ(gui->GetPoint(20, 30), COLOR_TRANSPARENT);
}
