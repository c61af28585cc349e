// Cost per sample of rendering a plug-in through its component (host callback
// input, AudioUnitRender, float conversion in the processing frame) against
// calling its ProcessDoubleReplacing directly on the same data: 512-frame
// blocks, stereo, 44.1 kHz, the plug-in as its constructor leaves it (for an
// effect, its factory preset). On a busy machine, compare medians of runs with
// --benchmark_repetitions=12 --benchmark_enable_random_interleaving=true, so
// that both sides see the same load.

#include "IPlug/IPlugAU.h"
#include "host/kit/HostedUnit.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <memory>
#include <vector>

namespace
{
constexpr int kFrames = 512;
constexpr int kChannels = 2;
constexpr double kSampleRate = 44100.0;

// A few seconds of a decaying, detuned tone pair: something for a delay to work on.
struct TestSignal
{
  std::vector<std::vector<float>> floats;
  std::vector<std::vector<double>> doubles;
  TestSignal() : floats(kChannels, std::vector<float>(kFrames)), doubles(kChannels)
  {
    for (int c = 0; c < kChannels; ++c)
    {
      for (int i = 0; i < kFrames; ++i)
        floats[c][i] =
            static_cast<float>(0.5 * std::sin(0.03 * (c + 1) * i) * std::exp(-i / 300.0));
      doubles[c].assign(floats[c].begin(), floats[c].end());
    }
  }
};

const TestSignal& Signal()
{
  static const TestSignal signal;
  return signal;
}

// The unit opened and set up as a host does; the input callback hands it the
// prepared samples without copying.
bool StartUnit(HostedUnit& host, std::string& error)
{
  Component component = nullptr;
  StreamSetup setup;
  setup.sampleRate = kSampleRate;
  setup.inputChannels = setup.outputChannels = kChannels;
  setup.maxFrames = kFrames;
  if (!LoadComponent(BENCH_COMPONENT_BUNDLE, component, error) || !host.Open(component, error) ||
      !host.Start(setup, error))
    return false;
  host.Renderer()->SetInputDelivery(UnitRenderer::InputDelivery::PointAtHostBuffers);
  return true;
}

void PerSample(benchmark::State& state)
{
  state.counters["per_sample"] = benchmark::Counter(
      kFrames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_RenderThroughComponent(benchmark::State& state)
{
  HostedUnit host;
  std::string error;
  if (!StartUnit(host, error))
  {
    state.SkipWithError(error.c_str());
    return;
  }
  std::vector<std::vector<float>> out(kChannels, std::vector<float>(kFrames));
  const float* in[kChannels] = {Signal().floats[0].data(), Signal().floats[1].data()};
  float* outPtrs[kChannels] = {out[0].data(), out[1].data()};
  for (auto _ : state)
  {
    if (host.Render(in, outPtrs, kFrames) != noErr)
    {
      state.SkipWithError("render failed");
      break;
    }
    benchmark::DoNotOptimize(out[1][kFrames - 1]);
  }
  PerSample(state);
}

void BM_ProcessDirectly(benchmark::State& state)
{
  std::unique_ptr<IPlugAU> plug(MakePlug());
  plug->SetSampleRate(kSampleRate);
  plug->SetBlockSize(kFrames);
  plug->Reset();
  std::vector<std::vector<double>> in = Signal().doubles;
  std::vector<std::vector<double>> out(kChannels, std::vector<double>(kFrames));
  double* inputs[kChannels] = {in[0].data(), in[1].data()};
  double* outputs[kChannels] = {out[0].data(), out[1].data()};
  for (auto _ : state)
  {
    plug->ProcessDoubleReplacing(inputs, outputs, kFrames);
    benchmark::DoNotOptimize(out[1][kFrames - 1]);
  }
  PerSample(state);
}
} // namespace

BENCHMARK(BM_RenderThroughComponent);
BENCHMARK(BM_ProcessDirectly);
