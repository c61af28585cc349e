// Cost of redrawing the effect's editor in the view a host obtains: the whole
// editor with every control dirty, and one knob with its value display after
// a host parameter change. Each iteration is one timer tick and the repaint
// it asks for. Allocations made while drawing (after the first frame) are
// counted and reported per iteration; the target is none.

#include "tests/effect/EditorHost.h"

#include "IPlug/IGraphics.h"
#include "effect/TolvaneDelayParams.h"

#include <benchmark/benchmark.h>

#include "bench/support/AllocationCounter.h"


namespace
{
void OpenOrSkip(benchmark::State& state, EditorHost& host)
{
  if (!host.Open()) state.SkipWithError(host.Failure().c_str());
  host.Tick(); // the first frame
  host.Tick();
}

void BM_EditorFullRedraw(benchmark::State& state)
{
  EditorHost host;
  OpenOrSkip(state, host);
  IGraphics* gui = host.Graphics();
  if (!gui) return;
  long allocations = 0;
  for (auto _ : state)
  {
    gui->SetAllControlsDirty();
    const long before = AllocationCount();
    host.Tick();
    allocations += AllocationCount() - before;
  }
  state.counters["allocs/iter"] =
      benchmark::Counter(static_cast<double>(allocations) / state.iterations());
  // The editor's own part of a tick (scan and draw), without the window system's.
  gui->SetAllControlsDirty();
  IRECT dirty;
  const long before = AllocationCount();
  if (gui->IsDirty(&dirty)) gui->Draw(&dirty);
  state.counters["editor allocs"] = benchmark::Counter(double(AllocationCount() - before));
}
BENCHMARK(BM_EditorFullRedraw)->Unit(benchmark::kMicrosecond);

void BM_EditorOneKnobAndDisplay(benchmark::State& state)
{
  EditorHost host;
  OpenOrSkip(state, host);
  long allocations = 0;
  bool high = false;
  for (auto _ : state)
  {
    high = !high;
    host.SetParameter(kLP1, high ? 80.0f : 60.0f);
    const long before = AllocationCount();
    host.Tick();
    allocations += AllocationCount() - before;
  }
  state.counters["allocs/iter"] =
      benchmark::Counter(static_cast<double>(allocations) / state.iterations());
}
BENCHMARK(BM_EditorOneKnobAndDisplay)->Unit(benchmark::kMicrosecond);
} // namespace
