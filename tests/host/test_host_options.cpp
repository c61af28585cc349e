// tolvane render options that change what the plug-in does: the host tempo,
// single parameters by name, factory presets and their order.

#include "HostTestSupport.h"

#include <gtest/gtest.h>
#include <sndfile.h>

namespace
{
const int kRate = 44100;

struct Rendered
{
  RunResult run;
  Sound out;
};

// A stereo click at 1 s through the plug-in with the given options.
Rendered RenderClick(const std::vector<std::string>& options, bool expectSuccess = true)
{
  TempDir dir;
  EXPECT_TRUE(WriteSound(dir.Path("click.wav"), MakeClick(kRate, 2, 2.0, 1.0),
                         SF_FORMAT_WAV | SF_FORMAT_FLOAT));
  std::vector<std::string> args = {"render", dir.Path("click.wav"), dir.Path("out.wav"), "--tail",
                                   "0.5"};
  args.insert(args.end(), options.begin(), options.end());
  Rendered result;
  result.run = RunTolvane(args);
  if (!expectSuccess) return result;
  EXPECT_EQ(result.run.status, 0) << result.run.err;
  EXPECT_TRUE(ReadSound(dir.Path("out.wav"), result.out));
  return result;
}

// Seconds from the click to the first sample above -40 dBFS; negative if none.
double EchoSeconds(const Sound& out, size_t channel)
{
  const long echo = FirstFrameAbove(out.channels[channel], kRate + 1, 0.01f);
  return echo < 0 ? -1.0 : static_cast<double>(echo - kRate) / kRate;
}
} // namespace

TEST(HostOptions, TempoReachesThePlugInThroughTheHostCallbacks)
{
  const Rendered r = RenderClick({"--tempo", "100"});
  // 3 and 5 of four steps per beat at 100 bpm.
  EXPECT_NEAR(EchoSeconds(r.out, 0), 0.450, 0.0002);
  EXPECT_NEAR(EchoSeconds(r.out, 1), 0.750, 0.0002);
  EXPECT_NE(r.run.out.find("effect echo times (probe) L 450 ms, R 750 ms"), std::string::npos)
      << r.run.out;
}

TEST(HostOptions, SetChangesParametersByTheirHostNames)
{
  // One step instead of three: 125 ms.
  Rendered r = RenderClick({"--set", "Delay1=0"});
  EXPECT_NEAR(EchoSeconds(r.out, 0), 0.125, 0.0002);
  EXPECT_NEAR(EchoSeconds(r.out, 1), 0.625, 0.0002);

  // Without its level the left tap is silent; the right one is untouched.
  r = RenderClick({"--set", "Level1=0"});
  EXPECT_LT(EchoSeconds(r.out, 0), 0.0);
  EXPECT_NE(r.run.out.find("effect echo times (probe) L none, R 625 ms"), std::string::npos)
      << r.run.out;

  // Fully dry: the output is the input, exactly.
  r = RenderClick({"--set", "wetdry1=0"});
  const Sound in = MakeClick(kRate, 2, 2.0, 1.0);
  for (size_t c = 0; c < 2; ++c)
    EXPECT_TRUE(
        std::equal(in.channels[c].begin(), in.channels[c].end(), r.out.channels[c].begin()));

  // Names with spaces, several values at once: the loop engine, an eighth note in ping-pong.
  r = RenderClick({"--set", "switch=0", "--set", "2LFO intensity=0"});
  EXPECT_NEAR(EchoSeconds(r.out, 0), 0.250, 0.0002);
  EXPECT_NEAR(EchoSeconds(r.out, 1), 0.500, 0.0002);
}

TEST(HostOptions, SetValuesApplyOnTopOfThePresetWhateverTheOrder)
{
  const Rendered before = RenderClick({"--set", "Delay1=0", "--preset", "Tolvane Delay"});
  const Rendered after = RenderClick({"--preset", "Tolvane Delay", "--set", "Delay1=0"});
  EXPECT_NEAR(EchoSeconds(before.out, 0), 0.125, 0.0002);
  EXPECT_EQ(before.out.channels, after.out.channels);
}

TEST(HostOptions, FactoryPresetRestoresItsValuesOverAChangedState)
{
  TempDir dir;
  ASSERT_EQ(RunTolvane({"preset", "save", dir.Path("short.aupreset"), "--set", "Delay1=0"}).status,
            0);
  const Rendered changed = RenderClick({"--state", dir.Path("short.aupreset")});
  EXPECT_NEAR(EchoSeconds(changed.out, 0), 0.125, 0.0002);
  const Rendered factory = RenderClick({"--preset", "Tolvane Delay"});
  EXPECT_NEAR(EchoSeconds(factory.out, 0), 0.375, 0.0002);
}

TEST(HostOptions, SetTakesNamesInAnyCase)
{
  // "delay1" is Delay1: one step instead of three, 125 ms.
  const Rendered r = RenderClick({"--set", "delay1=0", "--set", "LEVEL2=47"});
  EXPECT_NEAR(EchoSeconds(r.out, 0), 0.125, 0.0002);
  EXPECT_NEAR(EchoSeconds(r.out, 1), 0.625, 0.0002);
}

TEST(HostOptions, SettingTheUnselectedEngineIsWarnedAbout)
{
  // The factory preset selects the stereo engine: the loop engine's feedback does nothing.
  const Rendered r = RenderClick({"--set", "2feedback=80"});
  EXPECT_NE(r.run.err.find("warning: 2feedback acts in the loop engine, but \"switch\" selects "
                           "the stereo engine"),
            std::string::npos)
      << r.run.err;
}
