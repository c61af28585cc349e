#include "effect/DSP_DelayLoop.h"
#include "effect/DSP_Expo.h"
#include "effect/DSP_OnePoleHP.h"
#include "effect/DSP_OnePoleLP.h"
#include "effect/DSP_Sinosc.h"
#include "effect/DSP_StereoDelay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(OnePoleFilters, UntunedFiltersAreSilent)
{
  OnePoleLP lp;
  OnePoleHP hp;
  for (float x : {1.0f, -0.5f, 3.0f})
  {
    EXPECT_EQ(lp.process(x), 0.0f);
    EXPECT_EQ(hp.process(x), 0.0f);
  }
  // A rate alone gives no coefficients either.
  lp.reset(44100.0f);
  hp.reset(44100.0f);
  EXPECT_EQ(lp.process(1.0f), 0.0f);
  EXPECT_EQ(hp.process(1.0f), 0.0f);
}

TEST(OnePoleFilters, CutoffZeroHoldsOrFollows)
{
  // Low-pass at 0 Hz: b0 = b1 = 0, a1 = 1, the output holds its last value.
  OnePoleLP lp;
  lp.reset(44100.0f);
  lp.setCutoff(1000.0f);
  lp.process(1.0f);
  const float held = lp.process(1.0f);
  ASSERT_GT(held, 0.0f);
  lp.setCutoff(0.0f);
  for (float x : {0.0f, 5.0f, -2.0f})
    EXPECT_EQ(lp.process(x), held);

  // High-pass at 0 Hz: b0 = 1, b1 = -1, a1 = 1, the output follows the
  // input's changes and keeps its offset.
  OnePoleHP hp;
  hp.reset(44100.0f);
  hp.setCutoff(0.0f);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(hp.process(0.5f), 0.5f);
  EXPECT_EQ(hp.process(0.75f), 0.75f);
  EXPECT_EQ(hp.process(0.75f), 0.75f);
}

TEST(OnePoleFilters, CoefficientPrecision)
{
  // Low-pass: w = fc * 6.28f in single precision; high-pass: w formed in double.
  const float fc = 440.0f, k = 2.0f * 44100.0f;
  const float wSingle = fc * 6.28f;
  const float wDouble = static_cast<float>(static_cast<double>(fc) * 6.28);
  ASSERT_NE(wSingle, wDouble);

  OnePoleLP lp;
  lp.reset(44100.0f);
  lp.setCutoff(fc);
  EXPECT_EQ(lp.process(1.0f), wSingle * (1.0f / (wSingle + k)));

  OnePoleHP hp;
  hp.reset(44100.0f);
  hp.setCutoff(fc);
  EXPECT_EQ(hp.process(1.0f), k * (1.0f / (wDouble + k)));
}

TEST(OnePoleFilters, DcResponse)
{
  OnePoleLP lp;
  OnePoleHP hp;
  lp.reset(48000.0f);
  hp.reset(48000.0f);
  lp.setCutoff(500.0f);
  hp.setCutoff(500.0f);
  float low = 0.0f, high = 0.0f;
  for (int i = 0; i < 48000; ++i)
  {
    low = lp.process(1.0f);
    high = hp.process(1.0f);
  }
  EXPECT_NEAR(low, 1.0f, 1e-5f);
  EXPECT_EQ(high, 0.0f); // decays into the denormal band and is flushed
}

TEST(DenormalGuards, FlushOnlyInsideTheBand)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (void (*guard)(float&) :
       {&OnePoleLP::killDenormal, &OnePoleHP::killDenormal, &StereoDelay::killDenormal})
  {
    for (float v : {5e-31f, -5e-31f, 0.0f})
    {
      guard(v);
      EXPECT_EQ(v, 0.0f);
    }
    for (float v : {1e-30f, -1e-30f, 2e-30f, 1.0f})
    {
      const float before = v;
      guard(v);
      EXPECT_EQ(v, before);
    }
    float n = nan;
    guard(n);
    EXPECT_TRUE(std::isnan(n));
  }

  for (double v : {5e-31, -5e-31, 9.99e-31})
  {
    DelayLoop::killDenormal(v);
    EXPECT_EQ(v, 0.0);
  }
  for (double v : {1e-30, -1e-30, 2e-30})
  {
    const double before = v;
    DelayLoop::killDenormal(v);
    EXPECT_EQ(v, before);
  }
}

// The loop engine guards its float saturator outputs with the float test:
// on every float about the band's edge it must agree with the double guard.
TEST(DenormalGuards, FloatBandIsTheDoubleBandOnFloats)
{
  for (float sign : {1.0f, -1.0f})
  {
    float v = 1e-30f * 0.999f * sign;
    for (int i = 0; i < 20000; ++i, v = std::nextafter(v, sign * 1.0f))
    {
      float asFloat = v;
      flushDenormal(asFloat);
      double asDouble = v;
      flushDenormal(asDouble);
      ASSERT_EQ(asFloat, static_cast<float>(asDouble)) << v;
      ASSERT_EQ(std::signbit(asFloat), std::signbit(static_cast<float>(asDouble))) << v;
    }
  }
}

TEST(DenormalGuards, FilterHistoryIsFlushed)
{
  OnePoleLP lp;
  lp.reset(44100.0f);
  lp.setCutoff(20000.0f);
  EXPECT_EQ(lp.process(1e-35f), 0.0f);
  EXPECT_EQ(lp.process(0.0f), 0.0f); // the tiny input was not kept as history
}

TEST(Sinosc, StartValuesAndPhase)
{
  Sinosc still(44100.0f, 0.0f);
  for (int i = 0; i < 100; ++i)
    EXPECT_EQ(still.getSample(), 2.0f);

  Sinosc osc(44100.0f, 440.0f);
  EXPECT_EQ(osc.getSample(), 2.0f);
  float lowest = 2.0f, highest = 0.0f;
  for (int i = 0; i < 44100; ++i)
  {
    const float v = osc.getSample();
    lowest = std::min(lowest, v);
    highest = std::max(highest, v);
  }
  EXPECT_NEAR(lowest, 0.0f, 0.01f); // unipolar: a sine around +1
  EXPECT_NEAR(highest, 2.0f, 0.01f);

  // reset restarts at the peak; setFrequency keeps the phase.
  osc.reset(48000.0f);
  EXPECT_EQ(osc.getSample(), 2.0f);
  Sinosc twin(48000.0f, 440.0f);
  twin.getSample();
  for (int i = 0; i < 50; ++i)
    ASSERT_EQ(osc.getSample(), twin.getSample());
  osc.setFrequency(440.0f);
  for (int i = 0; i < 50; ++i)
    ASSERT_EQ(osc.getSample(), twin.getSample());
}

TEST(Sinosc, TunedWithTheLiteral314)
{
  // The rotation uses 3.14 instead of pi, so 441 Hz runs at 441 * 3.14 / pi,
  // about 440.77 cycles per second: about 4407.7 cycles in ten seconds.
  Sinosc osc(44100.0f, 441.0f);
  int upwardCrossings = 0;
  float previous = osc.getSample() - 1.0f;
  for (int i = 0; i < 441000; ++i)
  {
    const float v = osc.getSample() - 1.0f;
    if (previous < 0.0f && v >= 0.0f) ++upwardCrossings;
    previous = v;
  }
  EXPECT_GE(upwardCrossings, 4407);
  EXPECT_LE(upwardCrossings, 4408);
}

TEST(Curves, EndPointsAndShape)
{
  EXPECT_EQ(getExpo(0.0f), 20.0f);
  EXPECT_EQ(getExpo(1.0f), 20000.0f);
  EXPECT_FLOAT_EQ(getExpo(0.5f), std::sqrt(20.0f * 20000.0f));
  EXPECT_EQ(DelayLoop::getExpo(0.0f), 0.001f);
  EXPECT_EQ(DelayLoop::getExpo(1.0f), 1.0f);
  EXPECT_EQ(StereoDelay::getExpo(0.0f), 0.00005f);
  EXPECT_EQ(StereoDelay::getExpo(1.0f), 1.0f);
  // 22050 * 20000^(v - 1): about 1.1 Hz at 0.
  EXPECT_NEAR(StereoDelay::getExpo(0.0f) * 22050, 1.1025f, 1e-4f);
  float previous = 0.0f;
  for (int i = 0; i <= 100; ++i)
  {
    const float v = getExpo(i / 100.0f);
    EXPECT_GT(v, previous);
    previous = v;
  }
}

TEST(Saturate, IsTheSineOfItsInput)
{
  EXPECT_EQ(DelayLoop::Saturate(0.95f), std::sin(0.95f));
  EXPECT_EQ(DelayLoop::Saturate(0.0f), 0.0f);
  // Large inputs wrap around the sine instead of clipping.
  EXPECT_EQ(DelayLoop::Saturate(10.0f), std::sin(10.0f));
  EXPECT_LT(DelayLoop::Saturate(10.0f), -0.5f);
}
