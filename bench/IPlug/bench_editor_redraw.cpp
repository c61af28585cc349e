// Redraw cost of an editor the size of the effect's, built from synthetic
// pictures: every control dirty (a full redraw), and one knob with its value
// display. Reports the allocations made while drawing after the first frame.

#include <benchmark/benchmark.h>

#include "bench/support/AllocationCounter.h"

#include <cstdio>

#include "IPlug/IControl.h"
#include "IPlug/IGraphics.h"
#include "tests/IPlug/TestPlug.h"

namespace
{
class HeadlessGraphics : public IGraphics
{
public:
  using IGraphics::IGraphics;
  bool DrawScreen(IRECT*) override { return true; }
  void ForceEndUserEdit() override {}
  IPopupMenu* CreateIPopupMenu(IPopupMenu*, IRECT*) override { return nullptr; }
  void CreateTextEntry(IControl*, IText*, IRECT*, const char*, IParam*) override {}
  void HostPath(WDL_String*) override {}
  void PluginPath(WDL_String*) override {}
  void PromptForFile(WDL_String*, EFileAction, WDL_String*, char*) override {}
  bool PromptForColor(IColor*, char*) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  // Pictures made up on the spot: a shaded background and 60-frame strips.
  LICE_IBitmap* OSLoadBitmap(int, const char* name) override
  {
    int w = 40, h = 40 * 60;
    if (!std::strcmp(name, "bg")) w = 595, h = 433;
    auto* bm = new LICE_MemBitmap(w, h);
    for (int y = 0; y < h; ++y)
      LICE_FillRect(bm, 0, y, w, 1, LICE_RGBA(y % 256, 80, 120, 255));
    return bm;
  }
};

struct Editor
{
  TestPlug plug{28};
  HeadlessGraphics* gui = new HeadlessGraphics(&plug, 595, 433, 0);
  std::vector<ITextControl*> displays;

  Editor()
  {
    for (int i = 0; i < 28; ++i)
      plug.GetParam(i)->InitDouble("p", 50.0, 0.0, 100.0, 0.01);
    gui->AttachBackground(1, "bg");
    IBitmap knob = gui->LoadIBitmap(2, "knob", 60);
    IText style(11, &COLOR_WHITE);
    // The background and 28 knobs with their value displays: 57 controls.
    for (int i = 0; i < 28; ++i)
    {
      const int x = 10 + (i % 7) * 80, y = 10 + (i / 7) * 100;
      gui->AttachControl(new IKnobMultiControl(&plug, x, y, i, &knob, kVertical, 4.0));
      auto* d = new ITextControl(&plug, IRECT(x, y + 45, x + 40, y + 58), &style, "50.00");
      displays.push_back(d);
      gui->AttachControl(d);
    }
    plug.AttachGraphics(gui);
    IRECT all(0, 0, 595, 433);
    gui->Draw(&all); // the first frame builds fonts and glyphs
  }

  // One timer tick: the dirty scan and the redraw; returns the allocations
  // the redraw made.
  long Redraw()
  {
    IRECT dirty;
    gui->IsDirty(&dirty);
    const long before = AllocationCount();
    gui->Draw(&dirty);
    return AllocationCount() - before;
  }
};

void BM_FullRedraw(benchmark::State& state)
{
  Editor e;
  long allocations = 0;
  for (auto _ : state)
  {
    e.gui->SetAllControlsDirty();
    allocations += e.Redraw();
  }
  state.counters["allocs/frame"] = double(allocations) / double(state.iterations());
  state.counters["controls"] = e.gui->NControls();
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

void BM_KnobWithDisplay(benchmark::State& state)
{
  Editor e;
  long allocations = 0;
  int step = 0;
  for (auto _ : state)
  {
    const double value = double(step++ % 100);
    char text[16];
    std::snprintf(text, sizeof(text), "%.2f", value);
    e.gui->SetParameterFromPlug(3, value, false);
    e.displays[3]->SetTextFromPlug(text);
    allocations += e.Redraw();
  }
  state.counters["allocs/frame"] = double(allocations) / double(state.iterations());
}
BENCHMARK(BM_KnobWithDisplay)->Unit(benchmark::kMicrosecond);
} // namespace
