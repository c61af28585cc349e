// The effect's processing per stereo frame, the block path against the
// sample-by-sample path it replaced, side by side in one run: the factory
// preset (stereo engine) and the loop engine in both modes, 512-frame blocks
// at 44.1 kHz, 120 beats per minute.

#include "effect/IPlug_include_in_plug_src.h"
#include "effect/TolvaneDelay.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace
{
constexpr int kFrames = 512;

enum Setup
{
  kFactoryPreset,
  kLoopSingle,
  kLoopPong
};

struct Bench
{
  std::unique_ptr<TolvaneDelay> plug{static_cast<TolvaneDelay*>(MakePlug())};
  std::vector<double> in[2], out[2];
  double* inputs[2];
  double* outputs[2];

  explicit Bench(int setup)
  {
    std::uint32_t seed = 1;
    for (int c = 0; c < 2; ++c)
    {
      for (int i = 0; i < kFrames; ++i)
      {
        seed = seed * 1664525u + 1013904223u;
        in[c].push_back((static_cast<float>(seed >> 8) / 16777216.0f - 0.5f) * 0.5f);
      }
      out[c].resize(kFrames);
      inputs[c] = in[c].data();
      outputs[c] = out[c].data();
    }
    if (setup != kFactoryPreset)
    {
      Set(kSwitch, 0.0);
      Set(kPong, setup == kLoopPong ? 100.0 : 0.0);
      Set(kFltIntensity, 40.0);
      Set(kLfoIntensity, 40.0);
    }
    plug->SetSampleRate(44100.0);
    plug->Reset();
  }
  void Set(int param, double value)
  {
    plug->GetParam(param)->Set(value);
    plug->OnParamChange(param);
  }
};

void BM_EffectPerSample(benchmark::State& state)
{
  Bench bench(static_cast<int>(state.range(0)));
  for (auto _ : state)
  {
    bench.plug->ProcessPerSample(bench.inputs, bench.outputs, kFrames);
    benchmark::DoNotOptimize(bench.out[0].data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
}

void BM_EffectBlock(benchmark::State& state)
{
  Bench bench(static_cast<int>(state.range(0)));
  for (auto _ : state)
  {
    bench.plug->ProcessDoubleReplacing(bench.inputs, bench.outputs, kFrames);
    benchmark::DoNotOptimize(bench.out[0].data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
}
} // namespace

// setup 0: factory preset (stereo engine); 1: loop engine, one line; 2: pong.
BENCHMARK(BM_EffectPerSample)->ArgName("setup")->Arg(kFactoryPreset)->Arg(kLoopSingle)->Arg(kLoopPong);
BENCHMARK(BM_EffectBlock)->ArgName("setup")->Arg(kFactoryPreset)->Arg(kLoopSingle)->Arg(kLoopPong);
