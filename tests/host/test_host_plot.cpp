// The waveform plot: its size follows the channel count, the waveforms and
// the first-echo marks land where the times say.

#include "HostTestSupport.h"

#include "host/plot/Plot.h"

#include "lice/lice_png.h"

#include <gtest/gtest.h>

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
  PlotData data;
  data.input = &input;
  data.output = &output;
  data.hitFrame = 1000;
  data.echoSeconds = {0.4, 0.8};
  data.title = "TEST";
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
  data.input = &monoIn;
  data.output = &monoOut;
  data.hitFrame = -1;
  const auto mono = Draw(data, dir);
  ASSERT_TRUE(mono);
  EXPECT_LT(mono->getHeight(), stereo->getHeight());
  EXPECT_TRUE(MarkColumns(mono.get(), 44 + 162 + 140).empty());
}

TEST(HostPlot, NothingToPlotIsAnError)
{
  TempDir dir;
  const AudioData empty = ClickAt(0, 0, 0, 0.0f);
  PlotData data;
  data.input = &empty;
  data.output = &empty;
  std::string error;
  EXPECT_FALSE(WritePlot(dir.Path("p.png"), data, error));
  EXPECT_EQ(error, "nothing to plot");
  EXPECT_FALSE(FileExists(dir.Path("p.png")));
}
