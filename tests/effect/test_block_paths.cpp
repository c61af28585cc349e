// The block forms of the engines and of the effect's processing give the
// same bits as the sample-by-sample path: two instances, one per path, take
// the same settings between blocks and must agree on every output sample and
// on the state that carries over.

#include "effect/DSP_DelayLoop.h"
#include "effect/DSP_StereoDelay.h"
#include "effect/IPlug_include_in_plug_src.h"
#include "effect/TolvaneDelay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace
{
const int kBlockSizes[] = {1, 17, 512, 4096};
const float kRates[] = {44100.0f, 48000.0f, 96000.0f, 192000.0f};

std::uint32_t Bits(float v)
{
  std::uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// Bursts of tone and clicks, so the loops carry signal and fall silent in turn.
float Signal(int i)
{
  const float burst = (i % 7000) < 900 ? 0.9f * std::sin(i * 0.047f) : 0.0f;
  return burst + (i % 3001 == 0 ? 0.7f : 0.0f);
}

// Runs 'length' samples in blocks; before each block, 'automate' sets both
// engines the same way (block number, engine). Fails at the first sample
// whose bits differ.
template <class Engine>
void ExpectSameBits(Engine& perSample, Engine& block, int blockSize, int length,
                    const std::function<void(int, Engine&)>& automate, const char* what,
                    float (*signal)(int) = Signal)
{
  std::vector<float> in(blockSize), left(blockSize), right(blockSize);
  for (int start = 0, b = 0; start < length; start += blockSize, ++b)
  {
    automate(b, perSample);
    automate(b, block);
    const int n = std::min(blockSize, length - start);
    for (int i = 0; i < n; ++i)
      in[i] = signal(start + i);
    block.processBlock(in.data(), left.data(), right.data(), n);
    for (int i = 0; i < n; ++i)
    {
      const float* pair = perSample.process(in[i]);
      ASSERT_EQ(Bits(pair[0]), Bits(left[i])) << what << ", sample " << start + i;
      ASSERT_EQ(Bits(pair[1]), Bits(right[i])) << what << ", sample " << start + i;
    }
  }
}

void ConfigureStereo(StereoDelay& engine, float rate)
{
  engine.setLP1Cutoff(0.9f);
  engine.setLP2Cutoff(1.0f);
  engine.setHP1Cutoff(0.3861f);
  engine.setHP2Cutoff(0.0f);
  engine.setPan1(0.2f);
  engine.setPan2(0.9f);
  engine.setFeedback1(0.75f);
  engine.setFeedback2(0.6f);
  engine.setLevel1(0.47f);
  engine.setLevel2(0.8f);
  engine.setDelayMS1(37.5f);
  engine.setDelayMS2(62.5f);
  engine.reset(rate);
}

// Every few blocks a setting moves: delays (short, long, beyond the ring),
// filters on and off, feedback, pan and level.
void AutomateStereo(int b, StereoDelay& engine)
{
  switch (b % 6)
  {
  case 1:
    engine.setDelayMS1(b % 4 ? 0.01f : 1e6f);
    engine.setLP2Cutoff(0.5f);
    break;
  case 2:
    engine.setHP2Cutoff(0.2f);
    engine.setFeedback2(0.95f);
    break;
  case 3:
    engine.setDelayMS1(21.3f);
    engine.setDelayMS2(0.0f);
    engine.setLP1Cutoff(1.0f);
    break;
  case 4:
    engine.setPan1(0.7f);
    engine.setLevel2(0.3f);
    engine.setHP1Cutoff(0.0f);
    break;
  case 5:
    engine.setDelayMS2(90.0f);
    engine.setLP2Cutoff(1.0f);
    engine.setHP2Cutoff(0.0f);
    break;
  default:
    break;
  }
}

void ConfigureLoop(DelayLoop& engine, bool pong, float rate)
{
  engine.mPong = pong;
  engine.setLPCutoff(0.7f);
  engine.setHPCutoff(0.2168f);
  engine.setFeedback(static_cast<float>(0.6 * 1.6));
  engine.setSmooth(0.99f);
  engine.setLfoIntensity(0.4f);
  engine.setLfoRate(9.0f);
  engine.setFltIntensity(0.3f);
  engine.setFltRate(44.0f);
  engine.setDelayMS(20.0f);
  engine.reset(rate);
}

// Delays of zero (the reads reach this block's writes, so sample order holds),
// long ones (reads first) and ones beyond the ring; modulation and the pong
// flag change too.
void AutomateLoop(int b, DelayLoop& engine)
{
  switch (b % 7)
  {
  case 1:
    engine.setDelayMS(0.0f);
    engine.setLfoIntensity(1.0f);
    break;
  case 2:
    engine.setDelayMS(b % 3 ? 55.0f : 1e6f);
    engine.setFltRate(50.0f);
    break;
  case 3:
    engine.setFltIntensity(0.0f);
    engine.setLfoRate(20.0f);
    engine.setSmooth(0.9995f);
    break;
  case 4:
    engine.mPong = !engine.mPong;
    engine.setFeedback(1.6f);
    engine.setLPCutoff(0.2f);
    break;
  case 5:
    engine.setDelayMS(0.3f);
    engine.setHPCutoff(0.0f);
    break;
  case 6:
    engine.setFltIntensity(1.0f);
    engine.setLfoIntensity(0.0f);
    engine.setSmooth(0.99f);
    break;
  default:
    break;
  }
}
} // namespace

TEST(BlockPaths, StereoEngineAtEveryRateAndBlockSize)
{
  for (float rate : kRates)
    for (int blockSize : kBlockSizes)
    {
      StereoDelay a(44100.0f), b(44100.0f);
      ConfigureStereo(a, rate);
      ConfigureStereo(b, rate);
      const int length = blockSize == 1 ? 6000 : 3 * static_cast<int>(rate) / 4;
      ExpectSameBits<StereoDelay>(a, b, blockSize, length, AutomateStereo, "stereo");
      EXPECT_EQ(Bits(a.getSmoothedDelayMS1()), Bits(b.getSmoothedDelayMS1()));
      EXPECT_EQ(Bits(a.getSmoothedDelayMS2()), Bits(b.getSmoothedDelayMS2()));
    }
}

// Both sines: the inline one where it gives the library's bits, and calls to
// the library's as on processors without FMA.
TEST(BlockPaths, LoopEngineBothModesAtEveryRateAndBlockSize)
{
  for (bool inlineSine : {true, false})
    for (bool pong : {false, true})
      for (float rate : kRates)
        for (int blockSize : kBlockSizes)
        {
          DelayLoop a(44100.0f), b(44100.0f);
          b.useInlineSine(inlineSine);
          ConfigureLoop(a, pong, rate);
          ConfigureLoop(b, pong, rate);
          const int length = blockSize == 1 ? 6000 : 3 * static_cast<int>(rate) / 4;
          ExpectSameBits<DelayLoop>(a, b, blockSize, length, AutomateLoop,
                                    pong ? "pong" : "single");
          EXPECT_EQ(Bits(a.getSmoothedDelayMS()), Bits(b.getSmoothedDelayMS()));
          EXPECT_EQ(Bits(a.getSmoothedLfoIntensity()), Bits(b.getSmoothedLfoIntensity()));
        }
}

// Held long enough, a glide settles where a step gives the same bits, and the
// block path stops stepping it; a new target starts it again.
TEST(BlockPaths, StereoGlidesSettleAndStartAgain)
{
  StereoDelay a(44100.0f), b(44100.0f);
  ConfigureStereo(a, 44100.0f);
  ConfigureStereo(b, 44100.0f);
  auto hold = [](int block, StereoDelay& engine)
  {
    if (block == 0)
    {
      engine.setDelayMS1(-0.0f); // settles on a signed zero
      engine.setDelayMS2(1e6f);  // and beyond the ring
    }
    if (block == 150) engine.setDelayMS1(80.0f);
    if (block == 200) engine.setDelayMS2(1e-3f);
  };
  ExpectSameBits<StereoDelay>(a, b, 512, 150 * 512, hold, "held");
  Glide glide(0.9995f);
  glide.setRate(44100.0f);
  EXPECT_TRUE(glide.settled(-0.0f, b.getSmoothedDelayMS1()));
  EXPECT_TRUE(glide.settled(1e6f, b.getSmoothedDelayMS2()));
  ExpectSameBits<StereoDelay>(
      a, b, 512, 100 * 512, [&](int block, StereoDelay& engine) { hold(block + 150, engine); },
      "moving again");
  EXPECT_EQ(Bits(a.getSmoothedDelayMS1()), Bits(b.getSmoothedDelayMS1()));
  EXPECT_EQ(Bits(a.getSmoothedDelayMS2()), Bits(b.getSmoothedDelayMS2()));
}

// Delays held until their glides settle, each tap at its own: the reads then
// move on one slot per sample, and every way that can end is crossed: the
// read position passing a power of two, the counters and the reads wrapping
// at the end of the ring, reads close enough to reach the samples being
// written, delays at the longest, filters of every kind (high-pass alone,
// low-pass alone, both, none, switched apart between the taps, and cutoffs
// whose feedback coefficient is negative).
TEST(BlockPaths, StereoSettledDelaysAcrossTheWholeRing)
{
  struct Setting
  {
    float rate, ms1, ms2, lp1, lp2, hp1, hp2;
  };
  const Setting settings[] = {
      {1000.0f, 1000.37f, 5000.9f, 0.9f, 0.8f, 0.3861f, 0.2f},
      {1000.0f, 63.5f, 64.3f, 1.0f, 1.0f, 0.3f, 0.5f},
      {1000.0f, 0.25f, 8191.6f, 0.97f, 0.99f, 0.0f, 0.0f},
      {1000.0f, 15999.9f, 2047.5f, 1.0f, 1.0f, 0.0f, 0.0f},
      {1000.0f, 7.0f, 4096.0f, 0.6f, 1.0f, 0.7f, 0.0f},
      {1000.0f, 900.5f, 3000.25f, 1.0f, 1.0f, 0.4f, 0.0f},
      {1000.0f, 3000.25f, 900.5f, 0.7f, 1.0f, 0.0f, 0.0f},
      {1000.0f, 2500.0f, 1500.3f, 0.5f, 1.0f, 0.0f, 0.6f},
      {44100.0f, 375.0f, 625.0f, 1.0f, 1.0f, 0.3861f, 0.3861f},
  };
  for (const Setting& s : settings)
    for (int blockSize : {17, 512, 4096})
    {
      auto configure = [&](StereoDelay& engine)
      {
        ConfigureStereo(engine, s.rate);
        engine.setLP1Cutoff(s.lp1);
        engine.setLP2Cutoff(s.lp2);
        engine.setHP1Cutoff(s.hp1);
        engine.setHP2Cutoff(s.hp2);
        engine.setDelayMS1(s.ms1);
        engine.setDelayMS2(s.ms2);
        engine.setFeedback1(0.9f);
      };
      StereoDelay a(44100.0f), b(44100.0f);
      configure(a);
      configure(b);
      // Past the end of the ring and back round once more.
      const int length = static_cast<int>(s.rate) * 16 * 2 + 5000;
      if (s.rate > 1000.0f && blockSize != 512) continue;
      ExpectSameBits<StereoDelay>(
          a, b, blockSize, length, [](int, StereoDelay&) {}, "held");
    }
}

// Echoes that die away reach the filters' denormal guard, which must zero the
// same samples on both paths, with delays held or moving and the taps' filters
// switched alike or apart. Inputs of -0 and cutoffs whose feedback coefficient
// is negative make zero sums of either sign.
TEST(BlockPaths, StereoEchoesDecayIntoTheGuard)
{
  auto clickThenZeros = [](int i) { return i % 10000 == 0 ? 1.0f : i % 2 ? -0.0f : 0.0f; };
  // Low-pass and high-pass values of tap 1, then tap 2: alike, and apart.
  const float filters[][4] = {{0.5f, 0.3861f, 0.5f, 0.3861f},   {0.5f, 0.95f, 0.5f, 0.95f},
                              {0.99f, 0.3861f, 0.99f, 0.3861f}, {0.99f, 0.95f, 0.99f, 0.95f},
                              {1.0f, 0.3861f, 1.0f, 0.0f},      {0.5f, 0.0f, 1.0f, 0.0f},
                              {0.99f, 0.0f, 1.0f, 0.95f},       {1.0f, 0.0f, 0.5f, 0.3861f}};
  for (bool moving : {false, true})
    for (int k = 0; k < 8; ++k)
    {
      auto configure = [&](StereoDelay& engine)
      {
        ConfigureStereo(engine, 1000.0f);
        engine.setLP1Cutoff(filters[k][0]);
        engine.setHP1Cutoff(filters[k][1]);
        engine.setLP2Cutoff(filters[k][2]);
        engine.setHP2Cutoff(filters[k][3]);
        engine.setFeedback1(0.3f);
        engine.setFeedback2(0.1f);
        engine.setDelayMS1(150.0f);
        engine.setDelayMS2(230.0f);
      };
      StereoDelay a(44100.0f), b(44100.0f);
      configure(a);
      configure(b);
      // Half way tap 2's low-pass comes on (or moves): one that was off must
      // have kept its history.
      auto automate = [moving](int block, StereoDelay& engine)
      {
        if (moving) engine.setDelayMS1(150.0f + block % 3);
        if (block == 165) engine.setLP2Cutoff(0.6f);
      };
      ExpectSameBits<StereoDelay>(a, b, 64, 30000, automate, "decaying", clickThenZeros);
      // The echoes of the first settings were guarded down to zero.
      if (k < 4)
      {
        EXPECT_EQ(Bits(b.process(0.0f)[0]), 0u);
      }
    }
}

// A low rate makes the ring short: the counters wrap many times, reads
// straddle its end and delays sit at its longest.
TEST(BlockPaths, ShortRingWrapsAndLongestDelays)
{
  const float rate = 250.0f; // a ring of 4000 samples
  StereoDelay a(44100.0f), b(44100.0f);
  ConfigureStereo(a, rate);
  ConfigureStereo(b, rate);
  auto longest = [](int block, StereoDelay& engine)
  {
    engine.setDelayMS1(block % 2 ? 1e9f : 15999.9f);
    engine.setDelayMS2(15999.5f - block);
  };
  ExpectSameBits<StereoDelay>(a, b, 17, 30000, longest, "stereo, short ring");
  for (bool pong : {false, true})
  {
    DelayLoop c(44100.0f), d(44100.0f);
    ConfigureLoop(c, pong, rate);
    ConfigureLoop(d, pong, rate);
    auto loopLongest = [](int block, DelayLoop& engine)
    { engine.setDelayMS(block % 3 ? 15990.0f : 1e9f); };
    ExpectSameBits<DelayLoop>(c, d, 100, 30000, loopLongest, "loop, short ring");
  }
}

namespace
{
// Two effects, one per path, set and rendered alike.
struct EffectPair
{
  std::unique_ptr<TolvaneDelay> perSample{static_cast<TolvaneDelay*>(MakePlug())};
  std::unique_ptr<TolvaneDelay> block{static_cast<TolvaneDelay*>(MakePlug())};

  void Start(double rate)
  {
    for (TolvaneDelay* plug : {perSample.get(), block.get()})
    {
      plug->SetSampleRate(rate);
      plug->Reset();
    }
  }
  void Set(int param, double value)
  {
    for (TolvaneDelay* plug : {perSample.get(), block.get()})
    {
      plug->GetParam(param)->Set(value);
      plug->OnParamChange(param);
    }
  }
  // One block of the given input through both paths; the outputs must match.
  void Render(std::vector<double> left, std::vector<double> right, const char* what)
  {
    const size_t n = left.size();
    std::vector<double> outA[2] = {std::vector<double>(n), std::vector<double>(n)};
    std::vector<double> outB[2] = {std::vector<double>(n), std::vector<double>(n)};
    double* in[2] = {left.data(), right.data()};
    double* a[2] = {outA[0].data(), outA[1].data()};
    double* b[2] = {outB[0].data(), outB[1].data()};
    perSample->ProcessPerSample(in, a, static_cast<int>(n));
    block->ProcessDoubleReplacing(in, b, static_cast<int>(n));
    for (int c = 0; c < 2; ++c)
      for (size_t i = 0; i < n; ++i)
        ASSERT_EQ(std::memcmp(&outA[c][i], &outB[c][i], sizeof(double)), 0)
            << what << ", channel " << c << ", sample " << i;
  }
};
} // namespace

TEST(BlockPaths, EffectWithAutomationAndBrokenInput)
{
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double rate : {44100.0, 192000.0})
    for (int blockSize : kBlockSizes)
    {
      EffectPair pair;
      pair.Start(rate);
      int t = 0;
      for (int b = 0; b < 24 && t < 40000; ++b)
      {
        // Engine, gains, pong, tempo-synced delays and modulation move between blocks.
        pair.Set(kSwitch, b % 8 < 4 ? 100.0 : 20.0);
        pair.Set(b % 2 ? kWetDry1 : kMix, 10.0 * (b % 11));
        pair.Set(kPong, b % 3 ? 100.0 : 0.0);
        pair.Set(kNote, 30.0 + 5 * (b % 9));
        pair.Set(kFltIntensity, 7.0 * (b % 15));
        pair.Set(kDelay1, 6.0 * (b % 16));
        std::vector<double> left(blockSize), right(blockSize);
        for (int i = 0; i < blockSize; ++i, ++t)
        {
          left[i] = Signal(t);
          right[i] = 0.5 * Signal(t + 11);
        }
        if (b == 5) left[blockSize / 2] = nan;
        if (b == 6) right[0] = inf;
        if (b == 7) left[blockSize - 1] = -inf;
        pair.Render(left, right, blockSize == 1 ? "block size 1" : "block");
      }
    }
}

// The factory preset held for seconds: its delays settle, and most of the
// effect's samples take the steady runs, at any block size.
TEST(BlockPaths, EffectFactoryPresetHeld)
{
  for (double rate : {44100.0, 96000.0})
    for (int blockSize : {1, 17, 4096})
    {
      EffectPair pair;
      pair.Start(rate);
      const int length = static_cast<int>(rate) * 3;
      for (int start = 0; start < length; start += blockSize)
      {
        std::vector<double> left(blockSize), right(blockSize);
        for (int i = 0; i < blockSize; ++i)
        {
          left[i] = Signal(start + i);
          right[i] = -0.5 * Signal(start + i + 7);
        }
        pair.Render(left, right, "factory preset");
        if (HasFatalFailure()) return;
      }
    }
}

// The outputs may be the inputs' own buffers, as hosts that process in place
// hand them.
TEST(BlockPaths, EffectInPlace)
{
  EffectPair pair;
  pair.Start(48000.0);
  for (int b = 0; b < 40; ++b)
  {
    std::vector<double> a[2], c[2];
    for (int ch = 0; ch < 2; ++ch)
      for (int i = 0; i < 300; ++i)
        a[ch].push_back(Signal(b * 300 + i + ch * 5));
    c[0] = a[0];
    c[1] = a[1];
    double* inA[2] = {a[0].data(), a[1].data()};
    double* inC[2] = {c[0].data(), c[1].data()};
    pair.perSample->ProcessPerSample(inA, inA, 300);
    pair.block->ProcessDoubleReplacing(inC, inC, 300);
    for (int ch = 0; ch < 2; ++ch)
      ASSERT_EQ(std::memcmp(a[ch].data(), c[ch].data(), 300 * sizeof(double)), 0) << b;
  }
}

namespace
{
// The effect's float path through the processing frame, as a host's float
// buffers reach it, against its sample-by-sample path on the same samples.
struct FloatFramePair : EffectPair
{
  void Start(double rate, int blockSize, int nConnected)
  {
    EffectPair::Start(rate);
    block->SetBlockSize(blockSize);
    block->SetInputChannelConnections(0, 2, false);
    block->SetInputChannelConnections(0, nConnected, true);
    block->SetOutputChannelConnections(0, 2, true);
  }
  // One block; the float outputs go to 'out' (which may be the input
  // buffers), the inputs of unconnected channels count as silence.
  void Render(float** in, float** out, int n, int nConnected, const char* what)
  {
    std::vector<double> wide[2], expected[2];
    double* inD[2];
    double* outD[2];
    for (int c = 0; c < 2; ++c)
    {
      wide[c].assign(n, 0.0);
      if (c < nConnected) wide[c].assign(in[c], in[c] + n);
      expected[c].resize(n);
      inD[c] = wide[c].data();
      outD[c] = expected[c].data();
    }
    perSample->ProcessPerSample(inD, outD, n);
    block->AttachInputBuffers(0, 2, in, n);
    block->AttachOutputBuffers(0, 2, out);
    block->ProcessBuffers(0.0f, n);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < n; ++i)
        ASSERT_EQ(Bits(static_cast<float>(expected[c][i])), Bits(out[c][i]))
            << what << ", channel " << c << ", sample " << i;
  }
};
} // namespace

TEST(BlockPaths, EffectThroughTheFloatFrame)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (int nConnected : {1, 2})
    for (bool inPlace : {false, true})
      for (int blockSize : {17, 512})
      {
        FloatFramePair pair;
        pair.Start(96000.0, blockSize, nConnected);
        std::vector<float> in[2], out[2];
        for (int b = 0, t = 0; b < 16; ++b)
        {
          pair.Set(kSwitch, b % 8 < 4 ? 100.0 : 20.0);
          pair.Set(kPong, b % 3 ? 100.0 : 0.0);
          pair.Set(kMix, 7.0 * b);
          for (int c = 0; c < 2; ++c)
          {
            in[c].resize(blockSize);
            out[c].assign(blockSize, -1.0f);
            for (int i = 0; i < blockSize; ++i)
              in[c][i] = Signal(t + i + 13 * c);
          }
          t += blockSize;
          if (b == 3) in[0][blockSize / 2] = nan;
          float* inputs[2] = {in[0].data(), in[1].data()};
          float* outputs[2] = {out[0].data(), out[1].data()};
          pair.Render(inputs, inPlace ? inputs : outputs, blockSize, nConnected,
                      inPlace ? "in place" : "separate buffers");
        }
      }
}

// The first run of each block is worked out beside the last run of the block
// before; it must be dropped whenever anything it depends on moved in between:
// oscillator rates (to 0 Hz and back), intensities, the delay target, the
// glide, a reset, the pong flag, a per-sample call, or a block of another size.
TEST(BlockPaths, LoopEngineBlocksAfterChangesBetweenThem)
{
  const int sizes[] = {64, 64, 64, 17, 16, 1, 64, 5, 64, 200, 64};
  for (bool inlineSine : {true, false})
    for (bool pong : {false, true})
    {
      DelayLoop a(44100.0f), b(44100.0f);
      b.useInlineSine(inlineSine);
      ConfigureLoop(a, pong, 48000.0f);
      ConfigureLoop(b, pong, 48000.0f);
      auto change = [](int block, DelayLoop& engine)
      {
        switch (block % 13)
        {
        case 2:
          engine.setLfoRate(0.0f);
          break;
        case 3:
          engine.setFltRate(0.0f);
          break;
        case 4:
          engine.setLfoRate(7.5f);
          engine.setFltRate(31.0f);
          break;
        case 5:
          engine.setLfoIntensity(0.9f);
          break;
        case 6:
          engine.setDelayMS(block % 2 ? 3.0f : 41.0f);
          break;
        case 7:
          engine.setSmooth(0.995f);
          break;
        case 8:
          engine.reset(block % 2 ? 48000.0f : 44100.0f);
          break;
        case 9:
          engine.mPong = !engine.mPong;
          break;
        case 10:
          engine.setFltIntensity(0.6f);
          break;
        case 11:
          engine.process(0.25f);
          break;
        default:
          break; // nothing moves: the worked-out run holds
        }
      };
      std::vector<float> in(256), left(256), right(256);
      for (int block = 0, start = 0; block < 400; ++block)
      {
        change(block, a);
        change(block, b);
        const int n = sizes[block % (sizeof sizes / sizeof sizes[0])];
        for (int i = 0; i < n; ++i)
          in[i] = Signal(start + i);
        b.processBlock(in.data(), left.data(), right.data(), n);
        for (int i = 0; i < n; ++i)
        {
          const float* pair = a.process(in[i]);
          ASSERT_EQ(Bits(pair[0]), Bits(left[i])) << "block " << block << ", sample " << i;
          ASSERT_EQ(Bits(pair[1]), Bits(right[i])) << "block " << block << ", sample " << i;
        }
        start += n;
      }
      EXPECT_EQ(Bits(a.getSmoothedDelayMS()), Bits(b.getSmoothedDelayMS()));
      EXPECT_EQ(Bits(a.getSmoothedLfoIntensity()), Bits(b.getSmoothedLfoIntensity()));
    }
}

// Held long enough, the delay glide and the LFO intensity settle where a step
// gives the same bits, and the block path stops stepping them; a new target
// or intensity starts them again.
TEST(BlockPaths, LoopGlidesSettleAndStartAgain)
{
  for (bool pong : {false, true})
  {
    DelayLoop a(44100.0f), b(44100.0f);
    ConfigureLoop(a, pong, 44100.0f);
    ConfigureLoop(b, pong, 44100.0f);
    auto hold = [](int block, DelayLoop& engine)
    {
      if (block == 120) engine.setDelayMS(33.0f);
      if (block == 125) engine.setLfoIntensity(0.7f);
      if (block == 130) engine.setSmooth(0.9995f);
    };
    ExpectSameBits<DelayLoop>(a, b, 512, 120 * 512, hold, "held");
    Glide glide(0.99f);
    glide.setRate(44100.0f);
    EXPECT_TRUE(glide.settled(20.0f, b.getSmoothedDelayMS()));
    const float intensity = b.getSmoothedLfoIntensity();
    EXPECT_EQ(Bits(0.4f * (1.0f - 0.9995f) + intensity * 0.9995f), Bits(intensity));
    ExpectSameBits<DelayLoop>(
        a, b, 512, 40 * 512, [&](int block, DelayLoop& engine) { hold(block + 120, engine); },
        "moving again");
    EXPECT_EQ(Bits(a.getSmoothedDelayMS()), Bits(b.getSmoothedDelayMS()));
    EXPECT_EQ(Bits(a.getSmoothedLfoIntensity()), Bits(b.getSmoothedLfoIntensity()));
  }
}
