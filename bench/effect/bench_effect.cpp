// Render cost per sample of the effect's factory preset (512-frame stereo
// blocks at 44.1 kHz): the whole path through the component (AudioUnitRender,
// input callback, conversion to and from double) against the effect's own
// processing called directly on the same data. Both run the loaded module.

#include "IPlug/IPlugBase.h"
#include "host/kit/HostedUnit.h"
#include "tests/effect/EffectUnit.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace
{
constexpr UInt32 kFrames = 512;

// The same deterministic noise for both paths, at about -12 dB.
std::vector<float> Noise(std::uint32_t seed)
{
  std::vector<float> x(kFrames);
  for (float& v : x)
  {
    seed = seed * 1664525u + 1013904223u;
    v = (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f) * 0.5f;
  }
  return x;
}

void SetUpOrSkip(benchmark::State& state, HostedUnit& host)
{
  StreamSetup setup;
  setup.maxFrames = kFrames;
  std::string error;
  if (!host.OpenFound("", error) || !host.Start(setup, error)) state.SkipWithError(error.c_str());
}

void BM_RenderThroughComponent(benchmark::State& state)
{
  HostedUnit host;
  SetUpOrSkip(state, host);
  const std::vector<float> left = Noise(1), right = Noise(2);
  std::vector<float> outLeft(kFrames), outRight(kFrames);
  const float* in[2] = {left.data(), right.data()};
  float* out[2] = {outLeft.data(), outRight.data()};
  for (auto _ : state)
  {
    if (host.Render(in, out, kFrames) != noErr) state.SkipWithError("render failed");
    benchmark::DoNotOptimize(outLeft.data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
}

void BM_ProcessDoubleReplacingDirectly(benchmark::State& state)
{
  HostedUnit host;
  SetUpOrSkip(state, host);
  auto* plug = reinterpret_cast<IPlugBase*>(GetComponentInstanceStorage(host.Unit()));
  const std::vector<float> left = Noise(1), right = Noise(2);
  std::vector<double> inLeft(left.begin(), left.end()), inRight(right.begin(), right.end());
  std::vector<double> outLeft(kFrames), outRight(kFrames);
  double* in[2] = {inLeft.data(), inRight.data()};
  double* out[2] = {outLeft.data(), outRight.data()};
  for (auto _ : state)
  {
    plug->ProcessDoubleReplacing(in, out, kFrames);
    benchmark::DoNotOptimize(outLeft.data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
}
// How long a bypass switch takes on the host's thread (it resets, which
// clears the delay lines) after the given number of 64-frame blocks at 192 kHz
// were rendered since the last clear. Only the switch is timed, clearing
// included; the clearing runs after the mutex is released (bench_reset_hold
// times what is held).
void BM_BypassAfterRendering(benchmark::State& state)
{
  constexpr UInt32 kBlock = 64;
  HostedUnit host;
  if (!StartEffect(host, EffectSetup(192000.0, kBlock)))
    state.SkipWithError("the TolvaneDelay component does not open");
  const std::vector<float> left = Noise(1), right = Noise(2);
  std::vector<float> outLeft(kFrames), outRight(kFrames);
  const float* in[2] = {left.data(), right.data()};
  float* out[2] = {outLeft.data(), outRight.data()};
  bool bypassed = false;
  for (auto _ : state)
  {
    state.PauseTiming();
    if (bypassed && SetBypass(host.Unit(), false) != noErr) state.SkipWithError("bypass failed");
    bypassed = false;
    for (int64_t b = 0; b < state.range(0); ++b)
      host.Render(in, out, kBlock);
    state.ResumeTiming();
    if (SetBypass(host.Unit(), true) != noErr) state.SkipWithError("bypass failed");
    bypassed = true;
  }
}
} // namespace

BENCHMARK(BM_RenderThroughComponent);
BENCHMARK(BM_ProcessDoubleReplacingDirectly);
// 0, one block, 0.1 s, 1 s and 16 s (a whole ring) since the last clear.
BENCHMARK(BM_BypassAfterRendering)
    ->ArgName("blocks")
    ->Arg(0)
    ->Arg(1)
    ->Arg(300)
    ->Arg(3000)
    ->Arg(48000)
    ->Iterations(20)
    ->Unit(benchmark::kMicrosecond);
