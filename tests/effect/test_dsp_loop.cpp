#include "effect/DSP_DelayLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace
{
struct Stereo
{
  std::vector<float> left, right;
};

Stereo run(DelayLoop& engine, int length, float first = 0.0f)
{
  Stereo out;
  for (int i = 0; i < length; ++i)
  {
    const float* pair = engine.process(i == 0 ? first : 0.0f);
    out.left.push_back(pair[0]);
    out.right.push_back(pair[1]);
  }
  return out;
}

// No modulation, low-pass fully open, high-pass at 20 Hz, delay settled at 100 ms.
std::unique_ptr<DelayLoop> plainLoop(bool pong, float feedback)
{
  auto engine = std::make_unique<DelayLoop>(44100.0f);
  engine->mPong = pong;
  engine->setLPCutoff(1.0f);
  engine->setHPCutoff(0.0f);
  engine->setFeedback(feedback);
  engine->setLfoIntensity(0.0f);
  engine->setFltIntensity(0.0f);
  engine->setLfoRate(4.0f);
  engine->setFltRate(40.0f);
  engine->setDelayMS(100.0f);
  engine->reset(44100.0f);
  run(*engine, 200000);
  return engine;
}

int peakIndex(const std::vector<float>& v, int from, int to)
{
  const auto begin = v.begin() + from;
  return from + static_cast<int>(std::max_element(begin, v.begin() + to,
                                                  [](float a, float b)
                                                  { return std::fabs(a) < std::fabs(b); }) -
                                 begin);
}
} // namespace

TEST(DelayLoop, FeedbackZeroIsSilent)
{
  for (bool pong : {false, true})
  {
    auto engine = plainLoop(pong, 0.0f);
    for (int i = 0; i < 10000; ++i)
    {
      const float* pair = engine->process(std::sin(i * 0.05f));
      ASSERT_EQ(pair[0], 0.0f);
      ASSERT_EQ(pair[1], 0.0f);
    }
  }
}

TEST(DelayLoop, SingleLineEchoesOnBothChannels)
{
  auto engine = plainLoop(false, 0.5f);
  const Stereo out = run(*engine, 4410 + 2 * 4411 + 10, 1.0f);
  EXPECT_EQ(out.left, out.right);
  for (int i = 0; i < 4410; ++i)
    ASSERT_EQ(out.left[i], 0.0f) << "sample " << i;

  // The first echo is the sine of the filtered loop signal.
  OnePoleLP lp;
  OnePoleHP hp;
  lp.reset(44100.0f);
  hp.reset(44100.0f);
  lp.setCutoff(20000.0f);
  hp.setCutoff(DelayLoop::getExpo(0.0f) * 20000);
  EXPECT_EQ(out.left[4410], std::sin(hp.process(lp.process(0.5f))));
  // Each repeat sets in one delay plus one sample after the previous one.
  for (int onset : {4410 + 4411, 4410 + 2 * 4411})
  {
    EXPECT_LT(std::fabs(out.left[onset - 1] - out.left[onset - 2]), 0.002f) << onset;
    EXPECT_GT(out.left[onset] - out.left[onset - 1], 0.02f) << onset;
  }
}

TEST(DelayLoop, PongAlternatesLeftAndRight)
{
  auto engine = plainLoop(true, 0.5f);
  const int d = 4410;
  const Stereo out = run(*engine, 4 * d + 100, 1.0f);

  // Line 1 reaches the left unfiltered; the right stays silent until line 2
  // has delayed it once more.
  EXPECT_EQ(out.left[d], std::sin(static_cast<float>(0.5 * 0.95)));
  for (int i = 0; i < 2 * d; ++i)
  {
    ASSERT_EQ(out.right[i], 0.0f) << "sample " << i;
    if (i != d)
    {
      ASSERT_EQ(out.left[i], 0.0f) << "sample " << i;
    }
  }
  EXPECT_GT(out.right[2 * d], 0.25f);
  // The right signal feeds back: left again after 3 delays, right after 4.
  EXPECT_EQ(peakIndex(out.left, d + 1, 4 * d), 3 * d + 1);
  EXPECT_LT(std::fabs(out.right[4 * d]), 0.005f);
  EXPECT_GT(out.right[4 * d + 1], 0.05f);
  EXPECT_LT(out.left[3 * d + 1], out.left[d]);
}

TEST(DelayLoop, SaturationBoundsTheLoop)
{
  for (bool pong : {false, true})
  {
    auto engine = plainLoop(pong, 1.6f);
    engine->setDelayMS(3.0f);
    for (int i = 0; i < 50000; ++i)
    {
      const float* pair = engine->process(i % 1000 < 500 ? 10.0f : -10.0f);
      ASSERT_LE(std::fabs(pair[0]), 1.0f);
      ASSERT_LE(std::fabs(pair[1]), 1.0f);
    }
  }
  // A large echo wraps around the sine rather than clipping.
  auto engine = plainLoop(false, 1.0f);
  const Stereo out = run(*engine, 4411, 10.0f);
  EXPECT_LT(out.left[4410], 0.0f);
  EXPECT_GT(out.left[4410], -1.0f);
}

TEST(DelayLoop, GlideTimeConstants)
{
  // The delay's glide follows the smoothing base at 44,100 Hz: 0.99 gives
  // about 2.26 ms, 0.9995 about 45.3 ms.
  for (float base : {0.99f, 0.9995f})
  {
    const double tau = -1.0 / (44100.0 * std::log(static_cast<double>(base)));
    for (float rate : {44100.0f, 96000.0f})
    {
      DelayLoop engine(44100.0f);
      engine.setSmooth(base);
      engine.setDelayMS(200.0f);
      engine.reset(rate);
      run(engine, static_cast<int>(std::lround(tau * rate)));
      EXPECT_NEAR(engine.getSmoothedDelayMS(), 200.0f * (1.0f - std::exp(-1.0f)), 0.5f)
          << "base " << base << " rate " << rate;
    }
  }

  // The LFO intensity follows a fixed per-sample one-pole: 63 % after 2000
  // samples at any rate.
  for (float rate : {44100.0f, 96000.0f})
  {
    DelayLoop engine(44100.0f);
    engine.reset(rate);
    engine.setLfoIntensity(1.0f);
    run(engine, 2000);
    EXPECT_NEAR(engine.getSmoothedLfoIntensity(), 1.0f - std::exp(-1.0f), 0.002f);
  }
}

TEST(DelayLoop, ResetRetunesAndClears)
{
  auto engine = plainLoop(false, 0.9f);
  run(*engine, 3000, 0.8f);
  const float smoothed = engine->getSmoothedDelayMS();
  engine->reset(48000.0f);
  EXPECT_EQ(engine->getRateExponent(), 1.0f / (48000.0f / 44100.0f));
  EXPECT_EQ(engine->getSamplesPerMS(), 48.0f);
  EXPECT_EQ(engine->getSmoothedDelayMS(), smoothed);
  const Stereo out = run(*engine, 20000);
  EXPECT_EQ(out.left, std::vector<float>(20000, 0.0f));
}

TEST(DelayLoop, ModulationOnlyLengthensTheDelay)
{
  auto engine = plainLoop(false, 0.5f);
  engine->setLfoIntensity(1.0f);
  engine->setFltIntensity(1.0f);
  engine->setLfoRate(20.0f);
  engine->setFltRate(50.0f);
  run(*engine, 20000);
  const Stereo out = run(*engine, 4410 + 80, 1.0f);
  for (int i = 0; i < 4410; ++i)
    ASSERT_EQ(out.left[i], 0.0f) << "sample " << i;
  EXPECT_NE(peakIndex(out.left, 0, 4410 + 80), 4410);
}

TEST(DelayLoop, HugeDelaysAndModulationStayInsideTheRing)
{
  // 192 kHz, a target far beyond 16 s and full modulation: every read stays
  // inside the ring (the sanitizer build checks the indices).
  for (bool pong : {false, true})
  {
    DelayLoop engine(44100.0f);
    engine.mPong = pong;
    engine.setFeedback(1.6f);
    engine.setLPCutoff(1.0f);
    engine.setLfoIntensity(1.0f);
    engine.setFltIntensity(1.0f);
    engine.setLfoRate(20.0f);
    engine.setFltRate(50.0f);
    engine.setDelayMS(1e7f);
    engine.reset(192000.0f);
    for (int i = 0; i < 30000; ++i)
    {
      const float* pair = engine.process(i % 64 == 0 ? 1.0f : 0.0f);
      ASSERT_TRUE(std::isfinite(pair[0]) && std::isfinite(pair[1]));
    }
    engine.setDelayMS(-1e7f);
    for (int i = 0; i < 30000; ++i)
      engine.process(0.5f);
  }
}
