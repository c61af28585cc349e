// Host automation from another thread while the editor draws: the host's
// thread pushes values, texts and hidden states into the controls under the
// plug-in lock, the drawing thread scans and redraws without one. Run under
// the thread sanitizer (label tsan).

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "IPlug/IBitmapMonoText.h"
#include "tests/IPlug/editor/EditorTestSupport.h"

namespace
{
// Shows each parameter's value as text and hides a blocker by parameter 0,
// the way an effect's parameter hook does.
class DisplayPlug : public GesturePlug
{
public:
  static constexpr int kParams = 6;
  DisplayPlug() : GesturePlug(kParams) {}

  void OnParamChange(int idx) override
  {
    IMutexLock lock(this);
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", GetParam(idx)->Value());
    if (displays[idx]) displays[idx]->SetTextFromPlug(text);
    if (bitmapDisplays[idx]) bitmapDisplays[idx]->SetTextFromPlug(text);
    if (idx == 0 && blocker) blocker->Hide(GetParam(0)->Value() < 50.0);
  }

  ITextControl* displays[kParams] = {};
  IBitmapTextControl* bitmapDisplays[kParams] = {};
  IControl* blocker = nullptr;
};

class Blocker : public IControl
{
public:
  Blocker(IPlugBase* plug, IRECT r) : IControl(plug, r) {}
  bool Draw(IGraphics* g) override
  {
    IColor grey(160, 155, 155, 155);
    return g->FillIRect(&grey, &mRECT);
  }
};
} // namespace

TEST(EditorThreads, HostAutomationWhileTheEditorDraws)
{
  DisplayPlug plug;
  for (int i = 0; i < DisplayPlug::kParams; ++i)
    plug.GetParam(i)->InitDouble("p", 0.0, 0.0, 100.0, 0.01);
  auto* gui = new TestGraphics(&plug, 300, 120);
  gui->resources["strip.png"] = MakeStrip(20, 20, 60);
  gui->resources["font.png"] = MakeStrip(6, 10, 96);
  IBitmap strip = gui->LoadIBitmap(2001, "strip.png", 60);
  IBitmap font = gui->LoadIBitmap(2002, "font.png", 96);
  IColor panel(255, 30, 30, 40);
  gui->AttachPanelBackground(&panel);
  IText style(11, &COLOR_WHITE);
  for (int i = 0; i < DisplayPlug::kParams; ++i)
  {
    gui->AttachControl(new IKnobMultiControl(&plug, 10 + 45 * i, 10, i, &strip, kVertical, 4.0));
    plug.displays[i] = new ITextControl(&plug, IRECT(5 + 45 * i, 35, 45 + 45 * i, 50), &style);
    gui->AttachControl(plug.displays[i]);
    plug.bitmapDisplays[i] = new IBitmapTextControl(&plug, IRECT(5 + 45 * i, 60, 50 + 45 * i, 72),
                                                    &font, "", &style, 6, 10);
    gui->AttachControl(plug.bitmapDisplays[i]);
  }
  plug.blocker = new Blocker(&plug, IRECT(0, 0, 150, 80));
  gui->AttachControl(plug.blocker);
  plug.AttachGraphics(gui);

  std::atomic<bool> stop{false};
  std::thread host(
      [&]
      {
        for (int step = 0; step < 3000; ++step)
        {
          const int idx = step % DisplayPlug::kParams;
          IPlugBase::IMutexLock lock(&plug);
          const double value = double((step * 37) % 101);
          plug.GetParam(idx)->Set(value);
          gui->SetParameterFromPlug(idx, value, false); // the wrapper's setter path
          plug.OnParamChange(idx);
        }
        stop = true;
      });

  int frames = 0;
  IMouseMod left(true);
  while (!stop || frames < 5)
  {
    IRECT dirty;
    if (gui->IsDirty(&dirty)) gui->Draw(&dirty);
    // The user turns a knob at the same time.
    gui->OnMouseDown(15 + 45 * 2, 15, &left);
    gui->OnMouseDrag(15 + 45 * 2, 10 - frames % 7, &left);
    gui->OnMouseUp(15 + 45 * 2, 10, &left);
    ++frames;
  }
  host.join();

  // Once quiet, two redraws show the last values everywhere.
  IRECT all(0, 0, 300, 120);
  gui->Draw(&all);
  gui->Draw(&all);
  IRECT dirty;
  EXPECT_FALSE(gui->IsDirty(&dirty));
  for (int i = 0; i < DisplayPlug::kParams; ++i)
  {
    if (i == 2) continue; // also turned by the user
    WDL_String shown;
    plug.displays[i]->GetTextCopy(&shown);
    char want[32];
    std::snprintf(want, sizeof(want), "%.2f", plug.GetParam(i)->Value());
    EXPECT_STREQ(shown.Get(), want) << i;
  }
  EXPECT_GT(frames, 0);
}
