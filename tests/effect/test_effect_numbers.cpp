// Broken numbers from the host: samples that are not finite, signals that
// overflow, and a host that initialises without ever resetting.

#include "tests/effect/EffectHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
constexpr AudioUnitParameterID kHiCutID = 0, kSwitchID = 13, kFeedback1ID = 20,
                               kFeedback2ID = 26;
constexpr UInt32 kBlock = 512;
constexpr double kRate = 44100.0;

// Stereo input of `seconds` with one sample `value` at 0.1 s and an impulse at `impulse` s.
Channels Input(double seconds, float value, double impulse = -1.0)
{
  Channels in(2, std::vector<float>(static_cast<size_t>(seconds * kRate), 0.0f));
  for (auto& channel : in)
  {
    channel[static_cast<size_t>(0.1 * kRate)] = value;
    if (impulse >= 0.0) channel[static_cast<size_t>(impulse * kRate)] = 1.0f;
  }
  return in;
}

// Samples of out that are not finite, from `from` on.
size_t NonFinite(const Channels& out, size_t from = 0)
{
  size_t n = 0;
  for (const auto& channel : out)
    for (size_t i = from; i < channel.size(); ++i)
      n += !std::isfinite(channel[i]);
  return n;
}

float Peak(const Channels& out, size_t from)
{
  float peak = 0.0f;
  for (const auto& channel : out)
    for (size_t i = from; i < channel.size(); ++i)
      peak = std::max(peak, std::fabs(channel[i]));
  return peak;
}

struct EngineCase
{
  const char* name;
  float switchValue;
};
const EngineCase kEngines[] = {{"stereo", 100.0f}, {"loop", 0.0f}};
} // namespace

TEST(EffectNumbers, NonFiniteInputEntersTheEnginesAsSilence)
{
  for (const EngineCase& engine : kEngines)
    for (float bad : {std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()})
    {
      EffectHost host;
      ASSERT_EQ(host.Start(kRate, 2, kBlock), noErr);
      host.SetParameter(kSwitchID, engine.switchValue);
      Channels out;
      const Channels in = Input(2.0, bad, 1.0);
      ASSERT_EQ(host.Process(in, &out, kBlock), noErr);
      // Only the dry copy of the bad sample itself is not finite.
      const size_t at = static_cast<size_t>(0.1 * kRate);
      EXPECT_EQ(NonFinite(out), 2u) << engine.name << " " << bad;
      EXPECT_FALSE(std::isfinite(out[0][at]));
      // The echoes of the later impulse are there.
      EXPECT_GT(Peak(out, static_cast<size_t>(1.01 * kRate)), 0.01f) << engine.name;
    }
}

TEST(EffectNumbers, ResetClearsStateThatOverflowed)
{
  for (const EngineCase& engine : kEngines)
  {
    EffectHost host;
    ASSERT_EQ(host.Start(kRate, 2, kBlock), noErr);
    host.SetParameter(kSwitchID, engine.switchValue);
    host.SetParameter(kFeedback1ID, 100.0f);
    host.SetParameter(kFeedback2ID, 100.0f);
    // Finite input so loud that the echoes overflow.
    Channels loud(2, std::vector<float>(static_cast<size_t>(2.0 * kRate), 3e38f)), out;
    ASSERT_EQ(host.Process(loud, &out, kBlock), noErr);
    if (engine.switchValue > 50.0f)
    {
      ASSERT_GT(NonFinite(out), 0u) << "the state must overflow";
    }

    ASSERT_EQ(host.Reset(), noErr);
    ASSERT_EQ(host.Process(Input(2.0, 0.0f, 0.5), &out, kBlock), noErr);
    EXPECT_EQ(NonFinite(out), 0u) << engine.name;
    EXPECT_GT(Peak(out, static_cast<size_t>(0.51 * kRate)), 0.01f) << engine.name;
  }
}

TEST(EffectNumbers, FiniteStateSurvivesResetAndBypassUnchanged)
{
  // Two hosts render the same; one is reset and bypassed in between, the
  // other reset only: bypass clears no more than reset does.
  EffectHost a, b;
  Channels outA, outB;
  for (EffectHost* host : {&a, &b})
  {
    ASSERT_EQ(host->Start(kRate, 2, kBlock), noErr);
    ASSERT_EQ(host->Process(Input(1.0, 0.5f), host == &a ? &outA : &outB, kBlock), noErr);
  }
  ASSERT_EQ(a.SetBypass(true), noErr);
  ASSERT_EQ(a.SetBypass(false), noErr);
  ASSERT_EQ(b.Reset(), noErr);
  ASSERT_EQ(a.Process(Input(1.0, 0.5f), &outA, kBlock), noErr);
  ASSERT_EQ(b.Process(Input(1.0, 0.5f), &outB, kBlock), noErr);
  EXPECT_EQ(outA, outB);
  EXPECT_GT(Peak(outA, 0), 0.1f);
}

TEST(EffectNumbers, InitialiseTunesTheEffectWhenTheHostNeverReset)
{
  // "2hicut" at 0 makes the loop's low-pass silent, not a source of NaN.
  {
    EffectHost host;
    host.SetParameter(kSwitchID, 0.0f);
    host.SetParameter(kHiCutID, 0.0f);
    ASSERT_EQ(host.StartWithoutReset(48000.0, 2), noErr);
    Channels out;
    ASSERT_EQ(host.Process(Input(1.0, 0.5f), &out, kBlock), noErr);
    EXPECT_EQ(NonFinite(out), 0u);
  }
  // The factory settings sound as in a unit the host reset.
  EffectHost never, reset;
  ASSERT_EQ(never.StartWithoutReset(kRate, 2), noErr);
  ASSERT_EQ(reset.StartWithoutReset(kRate, 2), noErr);
  ASSERT_EQ(reset.Reset(), noErr);
  Channels outNever, outReset;
  ASSERT_EQ(never.Process(Input(1.0, 0.0f, 0.1), &outNever, kBlock), noErr);
  ASSERT_EQ(reset.Process(Input(1.0, 0.0f, 0.1), &outReset, kBlock), noErr);
  EXPECT_EQ(outNever, outReset);
  EXPECT_GT(Peak(outNever, static_cast<size_t>(0.2 * kRate)), 0.1f);
}
