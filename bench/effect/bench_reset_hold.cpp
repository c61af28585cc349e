// How long a bypass switch and a reset hold the plug-in mutex at 192 kHz after
// every delay line was written all the way round (about 25 MB), which is the
// most a reset can find to clear. Each call is made as the component entry
// makes it: a reset scope, then the mutex around the property or reset; only
// the time under the mutex is counted, the scope's clearing afterwards is
// not. One call per repetition; read the median.
//
// "in place" makes the same call with the spares left unclean, so the reset
// clears the lines itself under the mutex: what every reset cost before the
// spares.

#include "effect/IPlug_include_in_plug_src.h"
#include "effect/TolvaneDelay.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

namespace
{
constexpr double kRate = 192000.0;
constexpr int kBlock = 512;

struct Effect
{
  std::unique_ptr<TolvaneDelay> plug{static_cast<TolvaneDelay*>(MakePlug())};
  std::vector<double> in = std::vector<double>(kBlock), left = in, right = in;

  Effect()
  {
    std::uint32_t seed = 1;
    for (double& x : in)
    {
      seed = seed * 1664525u + 1013904223u;
      x = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.5;
    }
    plug->SetSampleRate(kRate);
    const IPlugBase::IResetScope scope(plug.get());
    plug->Reset();
  }
  void Set(int param, double value)
  {
    plug->GetParam(param)->Set(value);
    plug->OnParamChange(param);
  }
  // Both engines' lines written all the way round (pong mode runs both of
  // the loop engine's lines).
  void FillEveryLine()
  {
    double* inputs[2] = {in.data(), in.data()};
    double* outputs[2] = {left.data(), right.data()};
    for (double engine : {100.0, 0.0})
    {
      Set(kSwitch, engine);
      Set(kPong, 100.0);
      for (int n = 0; n <= kRingCapacity; n += kBlock)
        plug->ProcessDoubleReplacing(inputs, outputs, kBlock);
    }
  }
};

enum Call
{
  kBypass,
  kReset
};

void CallUnderMutex(TolvaneDelay* plug, Call call)
{
  IPlugBase::IMutexLock lock(plug);
  if (call == kReset)
  {
    plug->Reset();
    return;
  }
  UInt32 on = 1, size = sizeof on;
  plug->SetProperty(kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, &size, &on);
}

void BM_MutexHoldAfterFullRing(benchmark::State& state)
{
  const auto call = static_cast<Call>(state.range(0));
  const bool inPlace = state.range(1) != 0;
  Effect effect;
  TolvaneDelay* plug = effect.plug.get();
  if (inPlace)
  {
    // A reset without a scope trades once and leaves the spares unclean.
    effect.FillEveryLine();
    plug->Reset();
  }
  for (auto _ : state)
  {
    effect.FillEveryLine();
    const IPlugBase::IResetScope scope(inPlace ? nullptr : plug);
    const auto start = std::chrono::steady_clock::now();
    CallUnderMutex(plug, call);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  state.counters["MB_cleared_under_mutex"] = static_cast<double>(plug->GetBytesClearedByResets()) /
                                             1e6 / static_cast<double>(state.iterations());
}
} // namespace

BENCHMARK(BM_MutexHoldAfterFullRing)
    ->ArgNames({"call", "in_place"})
    ->Args({kBypass, 0})
    ->Args({kReset, 0})
    ->Args({kBypass, 1})
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
