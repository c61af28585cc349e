// Broken numbers from the host: samples that are not finite, signals that
// overflow, and a host that initialises without ever resetting.

#include "tests/effect/EffectUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
constexpr AudioUnitParameterID kHiCutID = 0, kSwitchID = 13, kFeedback1ID = 20,
                               kFeedback2ID = 26;
constexpr UInt32 kBlock = 512;
constexpr double kRate = 44100.0;

using Channels = ChannelData;

bool Start(HostedUnit& host, double rate = kRate)
{
  return StartEffect(host, EffectSetup(rate, kBlock));
}

// As a host that sets the stream formats and initialises, and nothing else.
bool StartWithoutReset(HostedUnit& host, double rate)
{
  StreamSetup setup = EffectSetup(rate, kBlock);
  setup.setMaxFrames = false;
  setup.resetAfterInitialise = false;
  return StartEffect(host, setup);
}

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
      HostedUnit host;
      ASSERT_TRUE(Start(host));
      host.SetParameter(kSwitchID, engine.switchValue);
      Channels out;
      const Channels in = Input(2.0, bad, 1.0);
      ASSERT_EQ(host.RenderChannels(in, out), noErr);
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
    HostedUnit host;
    ASSERT_TRUE(Start(host));
    host.SetParameter(kSwitchID, engine.switchValue);
    host.SetParameter(kFeedback1ID, 100.0f);
    host.SetParameter(kFeedback2ID, 100.0f);
    // Finite input so loud that the echoes overflow.
    Channels loud(2, std::vector<float>(static_cast<size_t>(2.0 * kRate), 3e38f)), out;
    ASSERT_EQ(host.RenderChannels(loud, out), noErr);
    if (engine.switchValue > 50.0f)
    {
      ASSERT_GT(NonFinite(out), 0u) << "the state must overflow";
    }

    ASSERT_EQ(ResetUnit(host.Unit()), noErr);
    ASSERT_EQ(host.RenderChannels(Input(2.0, 0.0f, 0.5), out), noErr);
    EXPECT_EQ(NonFinite(out), 0u) << engine.name;
    EXPECT_GT(Peak(out, static_cast<size_t>(0.51 * kRate)), 0.01f) << engine.name;
  }
}

TEST(EffectNumbers, FiniteStateSurvivesResetAndBypassUnchanged)
{
  // Two hosts render the same; one is reset and bypassed in between, the
  // other reset only: bypass clears no more than reset does.
  HostedUnit a, b;
  Channels outA, outB;
  for (HostedUnit* host : {&a, &b})
  {
    ASSERT_TRUE(Start(*host));
    ASSERT_EQ(host->RenderChannels(Input(1.0, 0.5f), host == &a ? outA : outB), noErr);
  }
  ASSERT_EQ(SetBypass(a.Unit(), true), noErr);
  ASSERT_EQ(SetBypass(a.Unit(), false), noErr);
  ASSERT_EQ(ResetUnit(b.Unit()), noErr);
  ASSERT_EQ(a.RenderChannels(Input(1.0, 0.5f), outA), noErr);
  ASSERT_EQ(b.RenderChannels(Input(1.0, 0.5f), outB), noErr);
  EXPECT_EQ(outA, outB);
  EXPECT_GT(Peak(outA, 0), 0.1f);
}

TEST(EffectNumbers, InitialiseTunesTheEffectWhenTheHostNeverReset)
{
  // "2hicut" at 0 makes the loop's low-pass silent, not a source of NaN.
  {
    HostedUnit host;
    ASSERT_TRUE(OpenEffect(host));
    host.SetParameter(kSwitchID, 0.0f);
    host.SetParameter(kHiCutID, 0.0f);
    ASSERT_TRUE(StartWithoutReset(host, 48000.0));
    Channels out;
    ASSERT_EQ(host.RenderChannels(Input(1.0, 0.5f), out), noErr);
    EXPECT_EQ(NonFinite(out), 0u);
  }
  // The factory settings sound as in a unit the host reset.
  HostedUnit never, reset;
  ASSERT_TRUE(StartWithoutReset(never, kRate));
  ASSERT_TRUE(StartWithoutReset(reset, kRate));
  ASSERT_EQ(ResetUnit(reset.Unit()), noErr);
  Channels outNever, outReset;
  ASSERT_EQ(never.RenderChannels(Input(1.0, 0.0f, 0.1), outNever), noErr);
  ASSERT_EQ(reset.RenderChannels(Input(1.0, 0.0f, 0.1), outReset), noErr);
  EXPECT_EQ(outNever, outReset);
  EXPECT_GT(Peak(outNever, static_cast<size_t>(0.2 * kRate)), 0.1f);
}
