// Level measurements, the summary line and the built-in demo signal.

#include "host/render/DemoSignal.h"
#include "host/render/OutputMeter.h"
#include "host/render/SignalStats.h"
#include "host/render/Summary.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(HostSignal, PeakRmsAndDecibels)
{
  const ChannelStats square = MeasureChannel({0.5f, -0.5f, 0.5f, -0.5f});
  EXPECT_DOUBLE_EQ(square.peak, 0.5);
  EXPECT_DOUBLE_EQ(square.rms, 0.5);
  const ChannelStats click = MeasureChannel({0.0f, -1.0f, 0.0f, 0.0f});
  EXPECT_DOUBLE_EQ(click.peak, 1.0);
  EXPECT_DOUBLE_EQ(click.rms, 0.5);
  EXPECT_EQ(MeasureChannel({}).rms, 0.0);

  EXPECT_DOUBLE_EQ(ToDBFS(1.0), 0.0);
  EXPECT_NEAR(ToDBFS(0.5), -6.0206, 1e-4);
  EXPECT_NEAR(ToDBFS(kSilenceLevel), -90.0, 1e-9);
  EXPECT_TRUE(std::isinf(ToDBFS(0.0)) && ToDBFS(0.0) < 0.0);
}

TEST(HostSignal, NonFiniteSamplesAreSilencedAndLeftOutOfTheLevels)
{
  std::vector<float> samples = {0.5f, NAN, INFINITY, -INFINITY, -0.25f, 3.4e38f};
  EXPECT_EQ(SilenceNonFinite(samples.data(), samples.size()), 3u);
  EXPECT_EQ(samples, (std::vector<float>{0.5f, 0.0f, 0.0f, 0.0f, -0.25f, 3.4e38f}));

  OutputMeter meter;
  meter.Reset(2, 4.0, false);
  meter.Add({{0.5f, NAN, 0.0f, 0.0f}, {0.0f, 0.0f, -INFINITY, 0.0f}}, 0, 4);
  EXPECT_EQ(meter.NonFinite(), 2u);
  EXPECT_DOUBLE_EQ(meter.Levels()[0].peak, 0.5);
  EXPECT_DOUBLE_EQ(meter.Levels()[0].rms, 0.25);
  EXPECT_DOUBLE_EQ(meter.Levels()[1].peak, 0.0);
  EXPECT_EQ(meter.OverFullScale(), 0u);
  EXPECT_EQ(meter.LastAudible(), 0) << "a NaN is no sign of a sound still ringing";
}

TEST(HostSignal, FirstOnsetIsRelativeToTheLoudestSample)
{
  AudioData audio;
  audio.channels = {{0.0f, 0.1f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, -0.8f, 0.0f}};
  EXPECT_EQ(FirstOnset(audio, 0.25), 3); // 0.1 is below a quarter of 0.8
  EXPECT_EQ(FirstOnset(audio, 0.1), 1);
  audio.channels = {{0.0f, 0.0f}};
  EXPECT_EQ(FirstOnset(audio, 0.25), -1);
}

TEST(HostSignal, SummaryLineForStereoAndMono)
{
  RenderSummary summary;
  summary.outputPath = "out/demo.wav";
  summary.sampleRate = 44100.0;
  summary.inputSeconds = 8.0;
  summary.tailSeconds = 2.5;
  summary.levels = {{1.0, 0.5}, {0.0, 0.0}};
  summary.echoSeconds = {0.37497, -1.0};
  summary.realTimeFactor = 1234.4;
  EXPECT_EQ(
      FormatSummary(summary),
      "out/demo.wav: 10.50 s (8.00 s + 2.50 s tail), stereo, 44100 Hz | peak L 0.0 dBFS, "
      "R -inf dBFS | RMS L -6.0 dBFS, R -inf dBFS | effect echo times (probe) L 375 ms, R none | "
      "1234x real time");

  summary.levels = {{0.5, 0.25}};
  summary.echoSeconds = {0.625};
  summary.tailSeconds = 0.0;
  EXPECT_EQ(FormatSummary(summary),
            "out/demo.wav: 8.00 s (8.00 s + 0.00 s tail), mono, 44100 Hz | peak -6.0 dBFS | RMS "
            "-12.0 dBFS | effect echo times (probe) 625 ms | 1234x real time");

  // A mono input rendered in stereo, samples over full scale, a tail cut while ringing.
  summary.levels = {{1.5, 0.25}, {0.5, 0.25}};
  summary.echoSeconds = {0.375, 0.625};
  summary.inputChannels = 1;
  summary.overFullScale = 3;
  summary.clipped = 3;
  summary.sampleFormat = "16-bit";
  summary.tailCut = true;
  summary.tailCutSeconds = 30.0;
  summary.tailEndLevel = 0.5;
  summary.nonFiniteInput = 1;
  summary.nonFiniteOutput = 7;
  const std::string text = FormatSummary(summary);
  EXPECT_NE(text.find("\nwarning: 1 input sample was NaN or infinite and rendered as silence"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nwarning: 7 output samples are NaN or infinite"), std::string::npos)
      << text;
  EXPECT_NE(text.find("stereo from mono, 44100 Hz"), std::string::npos) << text;
  EXPECT_NE(text.find("\n3 samples over full scale, 3 clipped in the 16-bit file"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\ntail cut at 30 s, still -6.0 dBFS: use --tail"), std::string::npos)
      << text;
}

TEST(HostSignal, DemoIsFourBarsOfHitsOnTheBeat)
{
  const AudioData demo = MakeDemoSignal();
  EXPECT_EQ(demo.sampleRate, 44100.0);
  ASSERT_EQ(demo.channels.size(), 2u);
  EXPECT_EQ(demo.Frames(), size_t(8 * 44100)); // 4 bars of 4 beats at 120 bpm
  const long onset = FirstOnset(demo, 0.25);
  EXPECT_GE(onset, 0);
  EXPECT_LT(onset, 44) << "the first kick starts the demo within its first millisecond";
  for (const auto& channel : demo.channels)
  {
    const ChannelStats stats = MeasureChannel(channel);
    EXPECT_LE(stats.peak, 1.0);
    EXPECT_GT(stats.peak, 0.5);
  }
  // Every beat starts with a hit: more energy just after it than just before.
  const auto energy = [&demo](size_t from, size_t to)
  {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
      sum += double(demo.channels[0][i]) * demo.channels[0][i];
    return sum;
  };
  for (int beat = 1; beat < 16; ++beat)
  {
    const size_t at = size_t(beat * 22050);
    EXPECT_GT(energy(at, at + 1000), 4.0 * energy(at - 1000, at)) << "beat " << beat;
  }
  // The same every time.
  EXPECT_EQ(MakeDemoSignal().channels, demo.channels);
}
