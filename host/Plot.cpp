#include "host/Plot.h"

#include "host/PlotFont.h"
#include "host/SignalStats.h"

#include "lice/lice.h"
#include "lice/lice_png.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
const int kWidth = 1200;
const int kLaneHeight = 150;
const int kLaneGap = 12;
const int kLeft = 110;
const int kRight = 20;
const int kTop = 44;
const int kAxisHeight = 40;
const int kTextScale = 2;

const LICE_pixel kBackground = LICE_RGBA(24, 26, 32, 255);
const LICE_pixel kLaneBackground = LICE_RGBA(34, 37, 46, 255);
const LICE_pixel kGrid = LICE_RGBA(58, 62, 74, 255);
const LICE_pixel kText = LICE_RGBA(210, 214, 222, 255);
const LICE_pixel kInputWave = LICE_RGBA(110, 170, 230, 255);
const LICE_pixel kOutputWave = LICE_RGBA(240, 160, 70, 255);
const LICE_pixel kHitMark = LICE_RGBA(200, 200, 200, 255);
const LICE_pixel kEchoMark = LICE_RGBA(150, 230, 90, 255);

struct Lane
{
  int top;
  const std::vector<float>* samples;
  LICE_pixel color;
  std::string label;
};

class PlotCanvas
{
public:
  PlotCanvas(const PlotData& data)
      : mData(data), mSampleRate(data.output->sampleRate),
        mSeconds(std::max(data.output->Seconds(), data.input->Seconds())),
        mPlotWidth(kWidth - kLeft - kRight), mScale(FullScale(data))
  {
    const size_t nChannels = data.output->channels.size();
    const char* names[2] = {nChannels == 1 ? "" : "LEFT ", "RIGHT "};
    for (size_t c = 0; c < nChannels; ++c)
    {
      mLanes.push_back(
          {LaneTop(2 * c), &data.input->channels[c], kInputWave, std::string(names[c]) + "IN"});
      mLanes.push_back({LaneTop(2 * c + 1), &data.output->channels[c], kOutputWave,
                        std::string(names[c]) + "OUT"});
    }
    mBitmap.resize(kWidth, LaneTop(mLanes.size()) + kAxisHeight);
  }

  LICE_MemBitmap& Draw()
  {
    LICE_Clear(&mBitmap, kBackground);
    DrawPlotText(&mBitmap, kLeft, 12, mData.title, kText, kTextScale);
    for (const Lane& lane : mLanes)
      DrawLane(lane);
    DrawTimeAxis();
    DrawMarks();
    return mBitmap;
  }

private:
  static int LaneTop(size_t index)
  {
    return kTop + static_cast<int>(index) * (kLaneHeight + kLaneGap);
  }

  // Full scale, or the loudest sample when that is louder, fills a lane.
  static double FullScale(const PlotData& data)
  {
    double peak = 1.0;
    for (const AudioData* audio : {data.input, data.output})
      for (const auto& channel : audio->channels)
        peak = std::max(peak, MeasureChannel(channel).peak);
    return peak;
  }

  int XForSeconds(double seconds) const
  {
    return kLeft + static_cast<int>(std::lround(seconds / mSeconds * (mPlotWidth - 1)));
  }

  int YForValue(const Lane& lane, double value) const
  {
    const double half = (kLaneHeight - 1) / 2.0;
    return lane.top + static_cast<int>(std::lround(half - value / mScale * half));
  }

  void DrawLane(const Lane& lane)
  {
    LICE_FillRect(&mBitmap, kLeft, lane.top, mPlotWidth, kLaneHeight, kLaneBackground);
    LICE_FillRect(&mBitmap, kLeft, YForValue(lane, 0.0), mPlotWidth, 1, kGrid);
    const int labelY = lane.top + (kLaneHeight - PlotTextHeight(kTextScale)) / 2;
    DrawPlotText(&mBitmap, 10, labelY, lane.label, kText, kTextScale);

    const std::vector<float>& samples = *lane.samples;
    const double framesPerColumn = mSeconds * mSampleRate / mPlotWidth;
    for (int column = 0; column < mPlotWidth; ++column)
    {
      const size_t first = static_cast<size_t>(column * framesPerColumn);
      const size_t last =
          std::min(samples.size(), static_cast<size_t>((column + 1) * framesPerColumn) + 1);
      if (first >= last) break;
      const auto range = std::minmax_element(samples.begin() + first, samples.begin() + last);
      const int top = YForValue(lane, *range.second);
      const int bottom = YForValue(lane, *range.first);
      LICE_FillRect(&mBitmap, kLeft + column, top, 1, bottom - top + 1, lane.color);
    }
  }

  // Ticks every 1, 2, 5, 10 ... seconds, whichever gives at most 16.
  void DrawTimeAxis()
  {
    double step = 0.1;
    for (const double candidate :
         {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 30.0, 60.0, 120.0, 300.0})
    {
      step = candidate;
      if (mSeconds / candidate <= 16.0) break;
    }
    const int axisTop = LaneTop(mLanes.size()) - kLaneGap;
    for (int i = 0; i * step <= mSeconds + 1e-9; ++i)
    {
      const int x = XForSeconds(i * step);
      LICE_FillRect(&mBitmap, x, axisTop, 1, 6, kText);
      char label[32];
      std::snprintf(label, sizeof label, step < 1.0 ? "%.1f" : "%.0f", i * step);
      DrawPlotText(&mBitmap, x - PlotTextWidth(label, kTextScale) / 2, axisTop + 10, label, kText,
                   kTextScale);
    }
    DrawPlotText(&mBitmap, 10, axisTop + 10, "TIME S", kText, kTextScale);
  }

  void DrawDashedLine(int x, int top, int height, LICE_pixel color)
  {
    for (int y = top; y < top + height; y += 8)
      LICE_FillRect(&mBitmap, x, y, 2, std::min(5, top + height - y), color);
  }

  void DrawMarks()
  {
    if (mData.hitFrame < 0) return;
    const double hitSeconds = mData.hitFrame / mSampleRate;
    for (size_t c = 0; c < mData.output->channels.size(); ++c)
    {
      const Lane& in = mLanes[2 * c];
      const Lane& out = mLanes[2 * c + 1];
      const int hitX = XForSeconds(hitSeconds);
      DrawDashedLine(hitX, in.top, kLaneHeight, kHitMark);
      DrawPlotText(&mBitmap, hitX + 6, in.top + 6, "HIT", kHitMark, kTextScale);
      if (c >= mData.echoSeconds.size() || mData.echoSeconds[c] < 0.0) continue;

      const int echoX = XForSeconds(hitSeconds + mData.echoSeconds[c]);
      DrawDashedLine(hitX, out.top, kLaneHeight, kHitMark);
      DrawDashedLine(echoX, out.top, kLaneHeight, kEchoMark);
      char label[48];
      std::snprintf(label, sizeof label, "FIRST ECHO %.0f MS", mData.echoSeconds[c] * 1000.0);
      const int width = PlotTextWidth(label, kTextScale);
      const int labelX = echoX + 6 + width <= kWidth - kRight ? echoX + 6 : echoX - 6 - width;
      DrawPlotText(&mBitmap, labelX, out.top + 6, label, kEchoMark, kTextScale);
    }
  }

  const PlotData& mData;
  double mSampleRate;
  double mSeconds;
  int mPlotWidth;
  double mScale;
  std::vector<Lane> mLanes;
  LICE_MemBitmap mBitmap;
};
} // namespace

bool WritePlot(const std::string& path, const PlotData& data, std::string& error)
{
  if (!data.input || !data.output || data.output->Frames() == 0)
  {
    error = "nothing to plot";
    return false;
  }
  PlotCanvas canvas(data);
  if (!LICE_WritePNG(path.c_str(), &canvas.Draw()))
  {
    error = "cannot write the plot " + path;
    return false;
  }
  return true;
}
