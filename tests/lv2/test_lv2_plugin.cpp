// The LV2 edition against the component: same bits from the same input and
// settings, tempo from the port and from time positions, a mono host, and the
// parameter chunk moving between the editions.

#include "effect/TolvaneDelayParams.h"
#include "tests/lv2/LV2Host.h"
#include "tests/lv2/LV2TestSignals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace
{
const ParamSettings kSettings = {{kFeedback1, 30.0f}, {kLP1, 60.0f}, {kPan2, 80.0f}};

ChannelData RenderLV2(const ChannelData& in, float tempo, const ParamSettings& settings,
                      uint32_t blockSize)
{
  LV2Host host;
  if (!host.Ok()) return {};
  host.LoadDefaults();
  host.Tempo() = tempo;
  for (const auto& setting : settings)
    host.Control(setting.first) = setting.second;
  host.Activate();
  return host.Process(in, blockSize);
}

std::vector<unsigned char> RandomChunk(unsigned seed)
{
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> value(0.0, 100.0);
  std::vector<double> values(kLV2NParams);
  for (double& v : values)
    v = value(random);
  std::vector<unsigned char> bytes(values.size() * sizeof(double));
  std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}
} // namespace

TEST(LV2Edition, RendersTheComponentsBitsAtAnyBlockSize)
{
  const ChannelData in = Clicks(2, 3 * 44100, 4410, 30000);
  for (float tempo : {120.0f, 75.0f})
  {
    const ChannelData expected = RenderComponent(in, tempo, kSettings);
    ASSERT_EQ(2u, expected.size());
    // 1 and 13 frames as sample-by-sample hosts do; 12000 is sliced inside run().
    for (uint32_t block : {1u, 13u, 512u, 12000u})
      EXPECT_EQ(expected, RenderLV2(in, tempo, kSettings, block)) << tempo << " bpm, " << block;
  }
}

TEST(LV2Edition, TimePositionTempoOverridesThePort)
{
  const ChannelData in = Clicks(2, 2 * 44100, 100, 50000);
  LV2Host host;
  ASSERT_TRUE(host.Ok());
  host.LoadDefaults();
  host.Tempo() = 120.0f;
  host.Activate();
  host.SendTempo(90.0);
  // The position's tempo holds after its block, until another position comes.
  EXPECT_EQ(RenderComponent(in, 90.0, {}), host.Process(in, 512));
}

TEST(LV2Edition, MonoHostLeavesTheRightInputUnconnected)
{
  const ChannelData stereo = Clicks(2, 44100, 100, 20000);
  const ChannelData mono(stereo.begin(), stereo.begin() + 1);
  const ChannelData expected = RenderComponent(mono, 120.0, {});
  ASSERT_EQ(1u, expected.size());
  LV2Host host;
  ASSERT_TRUE(host.Ok());
  host.LoadDefaults();
  host.Connect(1, nullptr);
  host.Activate();
  EXPECT_EQ(expected[0], host.Process(mono, 512)[0]);
}

TEST(LV2Edition, ActivateClearsTheDelayLines)
{
  LV2Host host;
  ASSERT_TRUE(host.Ok());
  host.LoadDefaults();
  host.Activate();
  host.Process(Clicks(2, 8000, 0, 1000), 512);
  host.Activate();
  const ChannelData out = host.Process(Clicks(2, 44100, 44100, 1), 512);
  for (const auto& channel : out)
    for (float s : channel)
      ASSERT_EQ(0.0f, s);
}

// ---- State ------------------------------------------------------------------

TEST(LV2State, SavesTheComponentsDataChunk)
{
  LV2Host host;
  ASSERT_TRUE(host.Ok());
  host.LoadDefaults();
  for (const auto& setting : kSettings)
    host.Control(setting.first) = setting.second;
  host.Run(0);
  const std::vector<unsigned char> expected = ComponentPresetData(kSettings);
  ASSERT_EQ(kLV2NParams * sizeof(double), expected.size());
  EXPECT_EQ(expected, host.SavedChunk());
}

TEST(LV2State, LoadsTheComponentsDataAndRendersAlike)
{
  const ParamSettings settings = {{kDelay1, 40.0f}, {kFeedback2, 20.0f}, {kWetDry1, 80.0f}};
  const std::vector<unsigned char> data = ComponentPresetData(settings);
  LV2Host host;
  ASSERT_TRUE(host.Ok());
  host.LoadDefaults();
  host.Activate();
  host.Run(64);
  ASSERT_EQ(LV2_STATE_SUCCESS, host.RestoreChunk(data));
  // Ports the host did not touch since do not override the restored values.
  host.Activate();
  const ChannelData in = Clicks(2, 2 * 44100, 10, 40000);
  EXPECT_EQ(RenderComponent(in, 120.0, settings), host.Process(in, 256));
  EXPECT_EQ(data, host.SavedChunk());
}

TEST(LV2State, BadChunksChangeNothing)
{
  LV2Host host;
  ASSERT_TRUE(host.Ok());
  const std::vector<unsigned char> before = host.SavedChunk();
  std::vector<unsigned char> shortChunk = RandomChunk(1);
  shortChunk.pop_back();
  EXPECT_NE(LV2_STATE_SUCCESS, host.RestoreChunk(shortChunk));
  EXPECT_EQ(LV2_STATE_ERR_BAD_TYPE,
            host.RestoreChunk(RandomChunk(2), host.URIs().Id("urn:other:type")));
  std::map<LV2_URID, LV2Host::Stored> empty;
  EXPECT_EQ(LV2_STATE_ERR_NO_PROPERTY, host.Restore(&empty));
  EXPECT_EQ(before, host.SavedChunk());
}

TEST(LV2State, WithoutAURIMapThePlugInRunsAndReportsTheMissingFeature)
{
  LV2Host host(48000.0, false);
  ASSERT_TRUE(host.Ok());
  host.Activate();
  host.Run(256);
  std::map<LV2_URID, LV2Host::Stored> store;
  EXPECT_EQ(LV2_STATE_ERR_NO_FEATURE, host.Save(&store));
  EXPECT_EQ(LV2_STATE_ERR_NO_FEATURE, host.Restore(&store));
}

TEST(LV2State, HostPortValuesAtFloatPrecisionKeepTheRestoredDoubles)
{
  const std::vector<unsigned char> chunk = RandomChunk(7);
  LV2Host host;
  ASSERT_TRUE(host.Ok());
  host.LoadDefaults();
  host.Run(0);
  ASSERT_EQ(LV2_STATE_SUCCESS, host.RestoreChunk(chunk));
  // A host that restores port values along with the state sets each port to
  // the float of the restored value.
  host.LoadDefaults();
  host.Run(16);
  EXPECT_EQ(chunk, host.SavedChunk());
  // A real change still goes through.
  host.Control(kLevel1) = 12.5f;
  host.Run(16);
  EXPECT_EQ(12.5, host.SavedValues()[kLevel1]);
}
