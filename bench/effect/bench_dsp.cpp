#include "effect/DSP_DelayA.h"
#include "effect/DSP_DelayLoop.h"
#include "effect/DSP_StereoDelay.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

// Per-sample benchmarks take one sample per iteration; block benchmarks take
// 512 samples per iteration and report items (samples) per second, so both
// read as a cost per sample. The input is a looped mix of tones and clicks, so
// the loops carry signal and the filters never settle into silence.
namespace
{
const std::vector<float>& testInput()
{
  static const std::vector<float> input = []
  {
    std::vector<float> v(1 << 16);
    for (size_t i = 0; i < v.size(); ++i)
      v[i] = 0.5f * std::sin(i * 0.013f) + 0.3f * std::sin(i * 0.17f) + (i % 5000 == 0);
    return v;
  }();
  return input;
}

template <class Engine> void runPerSample(benchmark::State& state, Engine& engine)
{
  const std::vector<float>& input = testInput();
  const size_t mask = input.size() - 1;
  size_t i = 0;
  for (auto _ : state)
  {
    benchmark::DoNotOptimize(engine.process(input[i]));
    i = (i + 1) & mask;
  }
  state.SetItemsProcessed(state.iterations());
}

template <class Engine> void runBlocks(benchmark::State& state, Engine& engine)
{
  constexpr int kBlock = 512;
  const std::vector<float>& input = testInput();
  std::vector<float> left(kBlock), right(kBlock);
  size_t pos = 0;
  for (auto _ : state)
  {
    engine.processBlock(input.data() + pos, left.data(), right.data(), kBlock);
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
    pos = (pos + kBlock) % input.size();
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}

void configure(StereoDelay& engine)
{
  engine.setLP1Cutoff(0.8f);
  engine.setLP2Cutoff(0.9f);
  engine.setHP1Cutoff(0.3861f);
  engine.setHP2Cutoff(0.3861f);
  engine.setPan1(0.0f);
  engine.setPan2(1.0f);
  engine.setFeedback1(0.75f);
  engine.setFeedback2(0.75f);
  engine.setLevel1(0.47f);
  engine.setLevel2(0.47f);
  engine.setDelayMS1(375.0f);
  engine.setDelayMS2(625.0f);
  engine.reset(44100.0f);
}

void configure(DelayLoop& engine, bool pong)
{
  engine.mPong = pong;
  engine.setLPCutoff(1.0f);
  engine.setHPCutoff(0.2168f);
  engine.setFeedback(0.24f);
  engine.setSmooth(0.99375f);
  engine.setLfoIntensity(0.5f);
  engine.setLfoRate(8.0f);
  engine.setFltIntensity(0.5f);
  engine.setFltRate(45.0f);
  engine.setDelayMS(375.0f);
  engine.reset(44100.0f);
}
} // namespace

static void BM_StereoDelayProcess(benchmark::State& state)
{
  StereoDelay engine(44100.0f);
  configure(engine);
  runPerSample(state, engine);
}
BENCHMARK(BM_StereoDelayProcess);

static void BM_StereoDelayProcessBlock(benchmark::State& state)
{
  StereoDelay engine(44100.0f);
  configure(engine);
  runBlocks(state, engine);
}
BENCHMARK(BM_StereoDelayProcessBlock);

// Two cases off the fastest path: 0, the taps' filters switched apart (tap 2
// without its low-pass); 1, delay 1 gliding all the time (a new target every
// block).
static void BM_StereoDelayProcessBlockCase(benchmark::State& state)
{
  constexpr int kBlock = 512;
  StereoDelay engine(44100.0f);
  configure(engine);
  const bool gliding = state.range(0) == 1;
  if (!gliding) engine.setLP2Cutoff(1.0f);
  const std::vector<float>& input = testInput();
  std::vector<float> left(kBlock), right(kBlock);
  size_t pos = 0;
  bool longer = false;
  for (auto _ : state)
  {
    if (gliding) engine.setDelayMS1((longer = !longer) ? 380.0f : 375.0f);
    engine.processBlock(input.data() + pos, left.data(), right.data(), kBlock);
    benchmark::DoNotOptimize(left.data());
    benchmark::DoNotOptimize(right.data());
    pos = (pos + kBlock) % input.size();
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_StereoDelayProcessBlockCase)->ArgName("case")->Arg(0)->Arg(1);

static void BM_DelayLoopProcess(benchmark::State& state)
{
  DelayLoop engine(44100.0f);
  configure(engine, state.range(0) != 0);
  runPerSample(state, engine);
}
BENCHMARK(BM_DelayLoopProcess)->ArgName("pong")->Arg(0)->Arg(1);

static void BM_DelayLoopProcessBlock(benchmark::State& state)
{
  DelayLoop engine(44100.0f);
  configure(engine, state.range(0) != 0);
  runBlocks(state, engine);
}
BENCHMARK(BM_DelayLoopProcessBlock)->ArgName("pong")->Arg(0)->Arg(1);

// The delay line alone, through the same per-sample loop as the engines.
struct LineAlone
{
  TapDelay line{44100.0f, 10.0f};
  float process(float x) { return line.Process(x); }
};

static void BM_TapDelayProcess(benchmark::State& state)
{
  LineAlone alone;
  alone.line.reset(44100, 4410.5f);
  runPerSample(state, alone);
}
BENCHMARK(BM_TapDelayProcess);

static void BM_StereoDelayReset(benchmark::State& state)
{
  StereoDelay engine(44100.0f);
  configure(engine);
  for (auto _ : state)
  {
    engine.reset(44100.0f);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StereoDelayReset)->Unit(benchmark::kMillisecond);

static void BM_DelayLoopReset(benchmark::State& state)
{
  DelayLoop engine(44100.0f);
  configure(engine, true);
  for (auto _ : state)
  {
    engine.reset(44100.0f);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DelayLoopReset)->Unit(benchmark::kMillisecond);
