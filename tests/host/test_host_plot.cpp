// The waveform plot: its size follows the channel count, the waveforms and
// the first-echo marks land where the times say.

#include "HostTestSupport.h"

#include "host/plot/Plot.h"

#include "lice/lice_png.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace
{
const LICE_pixel kEchoMark = LICE_RGBA(150, 230, 90, 255);

AudioData ClickAt(size_t frames, size_t at, size_t nChannels, float level)
{
  AudioData audio;
  audio.sampleRate = 1000.0;
  audio.Allocate(nChannels, frames);
  for (auto& channel : audio.channels)
    channel[at] = level;
  return audio;
}

std::unique_ptr<LICE_IBitmap> Draw(const PlotData& data, const TempDir& dir)
{
  std::string error;
  EXPECT_TRUE(WritePlot(dir.Path("p.png"), data, error)) << error;
  return std::unique_ptr<LICE_IBitmap>(LICE_LoadPNG(dir.Path("p.png").c_str()));
}

// Columns of a row that carry the echo mark's colour.
std::vector<int> MarkColumns(LICE_IBitmap* bitmap, int y)
{
  std::vector<int> columns;
  for (int x = 0; x < bitmap->getWidth(); ++x)
    if (LICE_GetPixel(bitmap, x, y) == kEchoMark) columns.push_back(x);
  return columns;
}
} // namespace

TEST(HostPlot, LanesPerChannelAndMarksAtTheEchoes)
{
  TempDir dir;
  // 10 s at 1 kHz: a hit at 1 s, echoes after 0.4 s (left) and 0.8 s (right).
  const AudioData input = ClickAt(10000, 1000, 2, 1.0f);
  const AudioData output = ClickAt(12000, 1000, 2, 1.0f);
  PlotData data = PlotDataFromAudio(input, output, 1000, {0.4, 0.8}, "TEST");
  const auto stereo = Draw(data, dir);
  ASSERT_TRUE(stereo);
  EXPECT_EQ(stereo->getWidth(), 1500);

  // The detail view spans 0.95 s to 1 + 0.8 * 1.3 + 0.1 s over its 440 columns at the right.
  const double start = 0.95, end = 1.0 + 0.8 * 1.3 + 0.1;
  const auto column = [&](double seconds)
  { return 1500 - 20 - 440 + int(std::lround((seconds - start) / (end - start) * 439)); };
  // A row inside the left output lane (the second lane) and one in the right output lane.
  const int leftOut = 44 + 162 + 140, rightOut = 44 + 3 * 162 + 140;
  const std::vector<int> left = MarkColumns(stereo.get(), leftOut);
  const std::vector<int> right = MarkColumns(stereo.get(), rightOut);
  ASSERT_FALSE(left.empty());
  ASSERT_FALSE(right.empty());
  EXPECT_NEAR(left.back(), column(1.4) + 1, 1);
  EXPECT_NEAR(right.back(), column(1.8) + 1, 1);

  // Mono has half the lanes; no hit means no marks and no detail view.
  const AudioData monoIn = ClickAt(10000, 1000, 1, 1.0f), monoOut = ClickAt(10000, 1000, 1, 1.0f);
  data = PlotDataFromAudio(monoIn, monoOut, -1, {0.4, 0.8}, "TEST");
  const auto mono = Draw(data, dir);
  ASSERT_TRUE(mono);
  EXPECT_LT(mono->getHeight(), stereo->getHeight());
  EXPECT_TRUE(MarkColumns(mono.get(), 44 + 162 + 140).empty());
}

TEST(HostPlot, NothingToPlotIsAnError)
{
  TempDir dir;
  const AudioData empty = ClickAt(0, 0, 0, 0.0f);
  const PlotData data = PlotDataFromAudio(empty, empty, -1, {}, "");
  std::string error;
  EXPECT_FALSE(WritePlot(dir.Path("p.png"), data, error));
  EXPECT_EQ(error, "nothing to plot");
  EXPECT_FALSE(FileExists(dir.Path("p.png")));
}

TEST(HostPlot, EnvelopesKeepEveryPeakInBoundedMemory)
{
  // An hour at 1 kHz in blocks, with single spikes: the envelope coarsens but
  // never loses an extreme.
  Envelope envelope(64);
  std::vector<float> block(1000, 0.0f);
  for (size_t second = 0; second < 3600; ++second)
  {
    block[0] = second == 1234 ? 0.9f : 0.0f;
    block[500] = second == 3000 ? -0.7f : 0.0f;
    envelope.Add(block.data(), block.size());
  }
  EXPECT_EQ(envelope.Frames(), 3600000u);
  EXPECT_LE(envelope.FramesPerBin() * 64, 2 * 3600000u);
  float lo = 0.0f, hi = 0.0f;
  ASSERT_TRUE(envelope.Range(0, envelope.Frames(), lo, hi));
  EXPECT_EQ(hi, 0.9f);
  EXPECT_EQ(lo, -0.7f);
  ASSERT_TRUE(envelope.Range(1234000, 1234001, lo, hi));
  EXPECT_EQ(hi, 0.9f);
  ASSERT_TRUE(envelope.Range(0, 1000000, lo, hi));
  EXPECT_EQ(hi, 0.0f) << "a stretch without the spike stays flat";
  EXPECT_FALSE(envelope.Range(3600000, 3600001, lo, hi));

  // A detail window keeps exactly its frames, whatever the blocks.
  SampleWindow window;
  window.first = 1500;
  window.capacity = 10;
  for (size_t at = 0; at < 4000; at += 700)
  {
    std::vector<float> ramp(700);
    for (size_t i = 0; i < ramp.size(); ++i)
      ramp[i] = static_cast<float>(at + i);
    window.Offer(at, ramp.data(), ramp.size());
  }
  ASSERT_EQ(window.samples.size(), 10u);
  EXPECT_EQ(window.samples.front(), 1500.0f);
  EXPECT_EQ(window.samples.back(), 1509.0f);
}

// Each stretch holds exactly the smallest and largest sample it covers,
// wherever those fall in the blocks the signal came in.
TEST(HostPlot, EnvelopeStretchesHoldTheirExactExtremes)
{
  std::vector<float> signal(6000);
  for (size_t i = 0; i < signal.size(); ++i)
    signal[i] = std::sin(0.37f * float(i)) * float(i % 97) / 97.0f;
  signal[2001] = -3.0f;
  signal[5999] = 2.5f;
  Envelope envelope(64);
  for (size_t at = 0, n = 1; at < signal.size(); at += n, n = n * 5 % 301 + 1)
  {
    n = std::min(n, signal.size() - at);
    envelope.Add(signal.data() + at, n);
  }
  const size_t bin = envelope.FramesPerBin();
  ASSERT_GE(bin, 64u);
  for (size_t first = 0; first < signal.size(); first += bin)
  {
    float lo = 0.0f, hi = 0.0f;
    ASSERT_TRUE(envelope.Range(first, first + bin, lo, hi));
    const size_t last = std::min(first + bin, signal.size());
    const auto want = std::minmax_element(signal.begin() + long(first), signal.begin() + long(last));
    EXPECT_EQ(lo, *want.first) << first;
    EXPECT_EQ(hi, *want.second) << first;
  }
}

TEST(HostPlot, TheOutputCarriesItsEnvelopeInDecibels)
{
  TempDir dir;
  // A click whose echoes decay by 20 dB each: -40 dB is invisible on the
  // waveform but plain on the dB envelope.
  AudioData input = ClickAt(4000, 100, 1, 1.0f), output = ClickAt(4000, 100, 1, 1.0f);
  for (size_t k = 1; k <= 3; ++k)
    output.channels[0][100 + 1000 * k] = static_cast<float>(std::pow(0.1, double(k)));
  const auto bitmap = Draw(PlotDataFromAudio(input, output, -1, {}, "DB"), dir);
  ASSERT_TRUE(bitmap);
  const LICE_pixel kDecibelLine = LICE_RGBA(250, 220, 120, 255);
  // In the output lane (second lane), the -40 dB echo lifts the line two
  // thirds of the way down the lane.
  const int laneTop = 44 + 162;
  int highest = 1 << 30;
  const int column = 130 + int(std::lround(2.1 / 4.0 * (1500 - 20 - 130 - 1)));
  for (int x = column - 3; x <= column + 3; ++x)
    for (int y = laneTop; y < laneTop + 150; ++y)
      if (LICE_GetPixel(bitmap.get(), x, y) == kDecibelLine)
        highest = std::min(highest, y - laneTop);
  EXPECT_NEAR(highest, 149 * 40 / 60, 3);
}
