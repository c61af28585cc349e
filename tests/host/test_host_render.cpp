// tolvane render: the built-in demo, echo positions and levels of the factory
// preset in mono and stereo at 44.1 and 96 kHz, bypass, tails and slicing.

#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sndfile.h>

namespace
{
const int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
// The factory preset's taps at 120 bpm.
const double kLeftEcho = 0.375, kRightEcho = 0.625;
// The first echo of a full-scale hit: feedback 0.75 x level 0.47 x wet 0.94.
const float kEchoLevel = 0.33f;

double Seconds(long frames, int rate)
{
  return static_cast<double>(frames) / rate;
}

// Renders a click at 1 s through the factory preset and returns the output.
Sound RenderClick(TempDir& dir, int rate, int nChannels, const std::vector<std::string>& extra = {})
{
  EXPECT_TRUE(WriteSound(dir.Path("click.wav"), MakeClick(rate, nChannels, 2.0, 1.0), kFloatWav));
  std::vector<std::string> args = {"render", dir.Path("click.wav"), dir.Path("out.wav"), "--tail",
                                   "1"};
  args.insert(args.end(), extra.begin(), extra.end());
  const RunResult run = RunTolvane(args);
  EXPECT_EQ(run.status, 0) << run.err;
  Sound out;
  EXPECT_TRUE(ReadSound(dir.Path("out.wav"), out));
  return out;
}

void ExpectEcho(const std::vector<float>& channel, int rate, double expectedSeconds, float level)
{
  const size_t click = static_cast<size_t>(rate);
  const long echo = FirstFrameAbove(channel, click + 1, 0.01f);
  ASSERT_GE(echo, 0);
  // The delay glides toward its target in single precision and settles a few
  // samples short of it.
  EXPECT_NEAR(Seconds(echo - long(click), rate), expectedSeconds, 0.0005);
  EXPECT_NEAR(PeakBetween(channel, size_t(echo), size_t(echo) + 4), level, 0.01f);
}
} // namespace

TEST(HostRender, DemoShowsTheFactoryTapsInSummaryFileAndPlot)
{
  TempDir dir;
  const RunResult wet =
      RunTolvane({"render", "--demo", "--plot", "out/demo.png", "out/demo.wav"}, dir.Path(""));
  // The folder must exist: nothing is created behind the user's back.
  EXPECT_NE(wet.status, 0);
  std::filesystem::create_directory(dir.Path("out"));
  const RunResult run =
      RunTolvane({"render", "--demo", "--plot", "out/demo.png", "out/demo.wav"}, dir.Path(""));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("effect echo times (probe) L 375 ms, R 625 ms"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("stereo, 44100 Hz"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("x real time"), std::string::npos) << run.out;
  EXPECT_EQ(ReadText(dir.Path("out/demo.png")).compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);

  // The bypassed demo is the dry input; what the effect adds starts 375 ms
  // (left) and 625 ms (right) after the first kick at 0.
  ASSERT_EQ(RunTolvane({"render", "--demo", "--bypass", dir.Path("dry.wav")}).status, 0);
  Sound out, dry;
  ASSERT_TRUE(ReadSound(dir.Path("out/demo.wav"), out));
  ASSERT_TRUE(ReadSound(dir.Path("dry.wav"), dry));
  ASSERT_EQ(dry.Frames(), size_t(8 * 44100));
  EXPECT_GT(out.Frames(), dry.Frames());
  for (size_t c = 0; c < 2; ++c)
  {
    std::vector<float> added(dry.Frames());
    for (size_t i = 0; i < added.size(); ++i)
      added[i] = out.channels[c][i] - dry.channels[c][i];
    const long first = FirstFrameAbove(added, 1, 0.01f);
    EXPECT_NEAR(Seconds(first, 44100), c == 0 ? kLeftEcho : kRightEcho, 0.005) << "channel " << c;
  }
}

TEST(HostRender, StereoEchoesAt44100And96000Hz)
{
  for (const int rate : {44100, 96000})
  {
    TempDir dir;
    const Sound out = RenderClick(dir, rate, 2);
    ASSERT_EQ(out.channels.size(), 2u);
    EXPECT_EQ(out.sampleRate, rate);
    EXPECT_EQ(out.Frames(), size_t(3 * rate));
    EXPECT_FLOAT_EQ(out.channels[0][size_t(rate)], 1.0f); // the dry click
    ExpectEcho(out.channels[0], rate, kLeftEcho, kEchoLevel);
    ExpectEcho(out.channels[1], rate, kRightEcho, kEchoLevel);
    // Each tap is panned hard to its side.
    const size_t beforeRightEcho = size_t(rate * (1 + kRightEcho - 0.002));
    EXPECT_LT(PeakBetween(out.channels[1], size_t(rate) + 1, beforeRightEcho), 1e-6f);
  }
}

TEST(HostRender, MonoInputGivesStereoOutputWithBothTaps)
{
  TempDir dir;
  // The mono signal plays into both inputs: a stereo file with both taps at full level.
  const Sound out = RenderClick(dir, 44100, 1);
  ASSERT_EQ(out.channels.size(), 2u);
  ExpectEcho(out.channels[0], 44100, kLeftEcho, kEchoLevel);
  ExpectEcho(out.channels[1], 44100, kRightEcho, kEchoLevel);

  // --mono keeps the mono configuration: one channel, the left tap, the click at half level.
  const Sound mono = RenderClick(dir, 44100, 1, {"--mono"});
  ASSERT_EQ(mono.channels.size(), 1u);
  ExpectEcho(mono.channels[0], 44100, kLeftEcho, kEchoLevel / 2);
}

TEST(HostRender, BypassGivesTheInputBackBitForBit)
{
  for (const int nChannels : {1, 2})
  {
    TempDir dir;
    const Sound in = MakeTestNoise(48000, nChannels, 1.5, 0.9f);
    ASSERT_TRUE(WriteSound(dir.Path("in.wav"), in, kFloatWav));
    std::vector<std::string> args = {"render", dir.Path("in.wav"), dir.Path("out.wav"), "--bypass"};
    if (nChannels == 1) args.push_back("--mono");
    const RunResult run = RunTolvane(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(nChannels == 1 ? "effect echo times (probe) none"
                                          : "effect echo times (probe) L none, R none"),
              std::string::npos)
        << run.out;
    Sound out;
    ASSERT_TRUE(ReadSound(dir.Path("out.wav"), out));
    EXPECT_EQ(out.sampleRate, 48000);
    EXPECT_EQ(out.channels, in.channels);
  }
}

TEST(HostRender, DefaultTailLastsUntilTheEchoesFallBelowMinus90dBFS)
{
  TempDir dir;
  ASSERT_TRUE(WriteSound(dir.Path("in.wav"), MakeClick(44100, 2, 0.5, 0.1), kFloatWav));
  const RunResult run = RunTolvane({"render", dir.Path("in.wav"), dir.Path("out.wav")});
  ASSERT_EQ(run.status, 0) << run.err;
  Sound out;
  ASSERT_TRUE(ReadSound(dir.Path("out.wav"), out));
  // Feedback 0.75 needs many repeats to reach -90 dBFS, but no more than 30 s.
  EXPECT_GT(out.Frames(), size_t(5 * 44100));
  EXPECT_LE(out.Frames(), size_t((0.5 + 30) * 44100));
  const size_t last = out.Frames() - 1;
  const float end = std::max(std::fabs(out.channels[0][last]), std::fabs(out.channels[1][last]));
  EXPECT_GE(end, 3.16e-5f) << "the tail ends on its last audible sample";
  for (const auto& channel : out.channels)
    EXPECT_LT(PeakBetween(channel, last - 44100, last + 1), 1e-3f)
        << "the last second has died away";
}

TEST(HostRender, FixedTailAndSliceSizesKeepTheResult)
{
  TempDir dir;
  ASSERT_TRUE(WriteSound(dir.Path("in.wav"), MakeTestNoise(44100, 2, 1.0, 0.5f), kFloatWav));
  const auto render = [&dir](const std::string& block)
  {
    const RunResult run =
        RunTolvane({"render", dir.Path("in.wav"), dir.Path("out" + block + ".wav"), "--tail",
                    "0.25", "--block", block});
    EXPECT_EQ(run.status, 0) << run.err;
    Sound out;
    EXPECT_TRUE(ReadSound(dir.Path("out" + block + ".wav"), out));
    return out;
  };
  const Sound steady = render("512");
  const Sound odd = render("37");
  EXPECT_EQ(steady.Frames(), size_t(1.25 * 44100));
  EXPECT_EQ(odd.channels, steady.channels);
}

TEST(HostRender, AShortTailCutWhileRingingIsReported)
{
  TempDir dir;
  ASSERT_TRUE(WriteSound(dir.Path("in.wav"), MakeClick(44100, 2, 0.5, 0.1), kFloatWav));
  const RunResult run =
      RunTolvane({"render", dir.Path("in.wav"), dir.Path("out.wav"), "--tail", "0.5"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("tail cut at 0.5 s, still -"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("use a longer --tail"), std::string::npos) << run.out;
}

TEST(HostRender, SamplesOverFullScaleAreCountedAndClippedInIntegerFiles)
{
  TempDir dir;
  Sound hot = MakeClick(44100, 2, 0.5, 0.1);
  hot.channels[0][4410] = hot.channels[1][4410] = 1.5f;
  ASSERT_TRUE(WriteSound(dir.Path("hot.wav"), hot, kFloatWav));
  RunResult run = RunTolvane({"render", dir.Path("hot.wav"), dir.Path("out.wav"), "--tail", "0"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("2 samples over full scale (kept in the float file)"), std::string::npos)
      << run.out;
  run = RunTolvane(
      {"render", dir.Path("hot.wav"), dir.Path("out.flac"), "--tail", "0", "--format", "16"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("2 samples over full scale, 2 clipped in the 16-bit file"),
            std::string::npos)
      << run.out;
}

TEST(HostRender, AtSlowTemposTheEchoComesFromTheTempo)
{
  // At 40 bpm the stereo engine stops following the tempo, but a fresh
  // instance still takes its first target from it: 3/4 and 5/4 of a 1.5 s beat.
  TempDir dir;
  const Sound out = RenderClick(dir, 44100, 2, {"--tempo", "40", "--tail", "2"});
  ExpectEcho(out.channels[0], 44100, 1.125, kEchoLevel);
  ExpectEcho(out.channels[1], 44100, 1.875, kEchoLevel);
}

TEST(HostRender, OutputFormatsAndInputContainers)
{
  TempDir dir;
  const Sound click = MakeClick(44100, 2, 1.5, 1.0);
  ASSERT_TRUE(WriteSound(dir.Path("in.aiff"), click, SF_FORMAT_AIFF | SF_FORMAT_PCM_24));
  ASSERT_TRUE(WriteSound(dir.Path("in.flac"), click, SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
  struct Case
  {
    const char* input;
    const char* format;
    int expected;
    const char* output;
  } cases[] = {{"in.aiff", nullptr, SF_FORMAT_WAV | SF_FORMAT_FLOAT, "out.wav"},
               {"in.flac", "16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "out.WAV"},
               {"in.aiff", nullptr, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "out.flac"},
               {"in.aiff", "16", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "out.flac"},
               {"in.flac", nullptr, SF_FORMAT_AIFF | SF_FORMAT_FLOAT, "out.aiff"},
               {"in.flac", "24", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, "out.aif"}};
  for (const Case& c : cases)
  {
    std::vector<std::string> args = {"render", dir.Path(c.input), dir.Path(c.output), "--tail",
                                     "0.5"};
    if (c.format) args.insert(args.end(), {"--format", c.format});
    const RunResult run = RunTolvane(args);
    ASSERT_EQ(run.status, 0) << run.err;
    Sound out;
    int format = 0;
    ASSERT_TRUE(ReadSound(dir.Path(c.output), out, &format));
    EXPECT_EQ(format & (SF_FORMAT_TYPEMASK | SF_FORMAT_SUBMASK), c.expected) << c.output;
    // The echo of the click survives every format.
    EXPECT_NEAR(PeakBetween(out.channels[0], 44100 + 16000, 44100 + 17000), kEchoLevel, 0.01f);
  }
}

TEST(HostRender, NonFiniteInputIsRenderedAsSilenceAndReported)
{
  TempDir dir;
  Sound broken = MakeClick(44100, 2, 1.5, 0.5);
  broken.channels[0][100] = std::nanf("");
  broken.channels[1][200] = INFINITY;
  broken.channels[0][300] = -INFINITY;
  broken.channels[1][30000] = std::nanf("");
  ASSERT_TRUE(WriteSound(dir.Path("broken.wav"), broken, kFloatWav));
  const RunResult run = RunTolvane({"render", dir.Path("broken.wav"), dir.Path("out.wav")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("warning: 4 input samples were NaN or infinite and rendered as silence"),
            std::string::npos)
      << run.out;
  // Levels and tail as for the clean click: full-scale dry hit, echoes ringing out.
  EXPECT_NE(run.out.find("peak L 0.0 dBFS, R 0.0 dBFS"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("nan"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("tail cut"), std::string::npos) << run.out;

  Sound out, clean;
  ASSERT_TRUE(ReadSound(dir.Path("out.wav"), out));
  ASSERT_TRUE(WriteSound(dir.Path("clean.wav"), MakeClick(44100, 2, 1.5, 0.5), kFloatWav));
  ASSERT_EQ(RunTolvane({"render", dir.Path("clean.wav"), dir.Path("clean_out.wav")}).status, 0);
  ASSERT_TRUE(ReadSound(dir.Path("clean_out.wav"), clean));
  EXPECT_GT(out.Frames(), size_t(3 * 44100)) << "the echoes ring out after the input";
  EXPECT_EQ(out.channels, clean.channels) << "the file holds silence where the input was broken";
}
