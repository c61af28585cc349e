#include "effect/DSP_StereoDelay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace
{
struct Stereo
{
  std::vector<float> left, right;
};

Stereo run(StereoDelay& engine, const std::vector<float>& input)
{
  Stereo out;
  for (float x : input)
  {
    const float* pair = engine.process(x);
    out.left.push_back(pair[0]);
    out.right.push_back(pair[1]);
  }
  return out;
}

std::vector<float> impulse(int length, float height = 1.0f)
{
  std::vector<float> v(length, 0.0f);
  v[0] = height;
  return v;
}

// Tap 1 alone on the left at unity level, filters off, delay settled at 100 ms.
std::unique_ptr<StereoDelay> echoOnTap1(float feedback)
{
  auto engine = std::make_unique<StereoDelay>(44100.0f);
  engine->setLP1Cutoff(1.0f);
  engine->setHP1Cutoff(0.0f);
  engine->setFeedback1(feedback);
  engine->setPan1(0.0f);
  engine->setLevel1(1.0f);
  engine->setFeedback2(0.0f);
  engine->setDelayMS1(100.0f);
  engine->reset(44100.0f);
  run(*engine, std::vector<float>(200000, 0.0f));
  return engine;
}
} // namespace

TEST(StereoDelay, FeedbackZeroSilencesBothTaps)
{
  StereoDelay engine(44100.0f);
  engine.setDelayMS1(10.0f);
  engine.setDelayMS2(20.0f);
  engine.reset(44100.0f);
  for (int i = 0; i < 5000; ++i)
  {
    const float* pair = engine.process(std::sin(i * 0.01f));
    ASSERT_EQ(pair[0], 0.0f);
    ASSERT_EQ(pair[1], 0.0f);
  }
}

TEST(StereoDelay, EchoesAreSpacedByDelayPlusOne)
{
  auto engine = echoOnTap1(0.5f);
  // The glide settles a hair below 100 ms; the read lands on 4410 samples.
  ASSERT_NEAR(engine->getSmoothedDelayMS1(), 100.0f, 0.01f);
  const Stereo out = run(*engine, impulse(4410 + 3 * 4411 + 10));
  std::vector<float> expected(out.left.size(), 0.0f);
  expected[4410] = 0.5f;
  expected[4410 + 4411] = 0.25f;
  expected[4410 + 2 * 4411] = 0.125f;
  expected[4410 + 3 * 4411] = 0.0625f;
  EXPECT_EQ(out.left, expected);
  EXPECT_EQ(out.right, std::vector<float>(out.right.size(), 0.0f));
}

TEST(StereoDelay, LinearPanAndLevel)
{
  auto engine = echoOnTap1(0.5f);
  engine->setPan1(0.5f);
  engine->setLevel1(0.5f);
  const Stereo out = run(*engine, impulse(4411));
  EXPECT_EQ(out.left[4410], 0.125f);
  EXPECT_EQ(out.right[4410], 0.125f);

  // Tap 2 starts on the right at level 0.5.
  StereoDelay two(44100.0f);
  two.setLP2Cutoff(1.0f);
  two.setFeedback2(1.0f);
  two.reset(44100.0f);
  const Stereo zeroDelay = run(two, {1.0f});
  EXPECT_EQ(zeroDelay.left[0], 0.0f);
  EXPECT_EQ(zeroDelay.right[0], 0.5f);
}

TEST(StereoDelay, FilterValuesSwitchTheFilters)
{
  auto echoAfter = [](float lowPass, float highPass)
  {
    auto engine = echoOnTap1(0.5f);
    engine->setLP1Cutoff(lowPass);
    engine->setHP1Cutoff(highPass);
    return run(*engine, impulse(4411)).left[4410];
  };
  EXPECT_EQ(echoAfter(1.0f, 0.0f), 0.5f);
  EXPECT_LT(echoAfter(0.999f, 0.0f), 0.5f);
  EXPECT_LT(echoAfter(0.0f, 0.0f), 0.001f); // about 1.1 Hz
  EXPECT_NE(echoAfter(1.0f, 0.001f), 0.5f);
  EXPECT_GT(echoAfter(1.0f, 0.001f), 0.49f);
}

TEST(StereoDelay, GlideTimeConstantIsRateIndependent)
{
  // -1 / (44100 ln 0.9995) is about 45.34 ms at every rate.
  for (float rate : {44100.0f, 48000.0f, 96000.0f})
  {
    StereoDelay engine(44100.0f);
    engine.setDelayMS2(100.0f);
    engine.reset(rate);
    const int samples = static_cast<int>(std::lround(0.045340 * rate));
    run(engine, std::vector<float>(samples, 0.0f));
    EXPECT_NEAR(engine.getSmoothedDelayMS2(), 100.0f * (1.0f - std::exp(-1.0f)), 0.05f)
        << "rate " << rate;
    EXPECT_EQ(engine.getSmoothedDelayMS1(), 0.0f);
  }
}

TEST(StereoDelay, ResetRetunesAndClearsButKeepsTheGlide)
{
  auto engine = echoOnTap1(0.9f);
  run(*engine, impulse(3000, 0.8f));
  const float smoothed = engine->getSmoothedDelayMS1();

  engine->reset(48000.0f);
  EXPECT_EQ(engine->getRateExponent(), 1.0f / (48000.0f / 44100.0f));
  EXPECT_NEAR(engine->getRateExponent(), 0.91875f, 1e-6f);
  EXPECT_EQ(engine->getSamplesPerMS(), 48.0f);
  EXPECT_EQ(engine->getSmoothedDelayMS1(), smoothed);
  // The circulating echo is gone: nothing comes back.
  const Stereo out = run(*engine, std::vector<float>(20000, 0.0f));
  EXPECT_EQ(out.left, std::vector<float>(20000, 0.0f));
}

TEST(StereoDelay, HugeOrInvalidDelaysStayInsideTheRing)
{
  StereoDelay engine(44100.0f);
  engine.setFeedback1(1.0f);
  engine.setFeedback2(1.0f);
  engine.setLP1Cutoff(1.0f);
  engine.setLP2Cutoff(1.0f);
  engine.setDelayMS1(1e6f);
  engine.setDelayMS2(-1e30f);
  engine.reset(192000.0f);
  for (int i = 0; i < 20000; ++i)
    engine.process(i % 100 == 0 ? 1.0f : 0.0f);

  // A target that is not a number is ignored rather than poisoning the glide.
  engine.setDelayMS1(10.0f);
  engine.setDelayMS1(std::numeric_limits<float>::quiet_NaN());
  engine.setDelayMS2(std::numeric_limits<float>::infinity());
  run(engine, std::vector<float>(300000, 0.0f));
  EXPECT_NEAR(engine.getSmoothedDelayMS1(), 10.0f, 0.01f);
  EXPECT_TRUE(std::isfinite(engine.getSmoothedDelayMS2()));
}
