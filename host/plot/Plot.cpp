#include "host/plot/Plot.h"

#include "host/plot/PlotFont.h"
#include "host/render/SignalStats.h"

#include "lice/lice.h"
#include "lice/lice_png.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
const int kWidth = 1500;
const int kLaneHeight = 150;
const int kLaneGap = 12;
const int kLabelWidth = 130;
const int kViewGap = 30;
const int kDetailWidth = 440;
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

// A stretch of time drawn into a column range of the bitmap.
struct View
{
  int left;
  int width;
  double start; // seconds
  double end;
  bool labelled; // marks carry their text

  int X(double seconds) const
  {
    return left + static_cast<int>(std::lround((seconds - start) / (end - start) * (width - 1)));
  }
};

class PlotCanvas
{
public:
  PlotCanvas(const PlotData& data)
      : mData(data), mSampleRate(data.output->sampleRate),
        mSeconds(std::max(data.output->Seconds(), data.input->Seconds())), mScale(FullScale(data))
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
    MakeViews();
    mBitmap.resize(kWidth, LaneTop(mLanes.size()) + kAxisHeight);
  }

  LICE_MemBitmap& Draw()
  {
    LICE_Clear(&mBitmap, kBackground);
    DrawPlotText(&mBitmap, kLabelWidth, 12, mData.title, kText, kTextScale);
    if (mViews.size() > 1)
      DrawPlotText(&mBitmap, mViews[1].left, 12, "AROUND THE FIRST HIT", kText, kTextScale);
    for (const Lane& lane : mLanes)
      DrawPlotText(&mBitmap, 10, lane.top + (kLaneHeight - PlotTextHeight(kTextScale)) / 2,
                   lane.label, kText, kTextScale);
    for (const View& view : mViews)
    {
      for (const Lane& lane : mLanes)
        DrawLane(lane, view);
      DrawTimeAxis(view);
      DrawMarks(view);
    }
    return mBitmap;
  }

private:
  static int LaneTop(size_t index)
  {
    return kTop + static_cast<int>(index) * (kLaneHeight + kLaneGap);
  }

  // The whole render, and beside it the first hit with its echoes.
  void MakeViews()
  {
    const int plotRight = kWidth - kRight;
    if (mData.hitFrame < 0)
    {
      mViews.push_back({kLabelWidth, plotRight - kLabelWidth, 0.0, mSeconds, true});
      return;
    }
    const double hit = mData.hitFrame / mSampleRate;
    double longest = 0.0;
    for (double echo : mData.echoSeconds)
      longest = std::max(longest, echo);
    const double end = std::min(mSeconds, hit + (longest > 0.0 ? longest * 1.3 + 0.1 : 1.0));
    const double start = std::max(0.0, hit - 0.05);
    const int detailLeft = plotRight - kDetailWidth;
    mViews.push_back({kLabelWidth, detailLeft - kViewGap - kLabelWidth, 0.0, mSeconds, false});
    if (end > start) mViews.push_back({detailLeft, kDetailWidth, start, end, true});
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

  int YForValue(const Lane& lane, double value) const
  {
    const double half = (kLaneHeight - 1) / 2.0;
    return lane.top + static_cast<int>(std::lround(half - value / mScale * half));
  }

  // One column per pixel, drawn from the smallest to the largest sample it covers.
  void DrawLane(const Lane& lane, const View& view)
  {
    LICE_FillRect(&mBitmap, view.left, lane.top, view.width, kLaneHeight, kLaneBackground);
    LICE_FillRect(&mBitmap, view.left, YForValue(lane, 0.0), view.width, 1, kGrid);
    const std::vector<float>& samples = *lane.samples;
    const double framesPerColumn = (view.end - view.start) * mSampleRate / view.width;
    const double firstFrame = view.start * mSampleRate;
    for (int column = 0; column < view.width; ++column)
    {
      const size_t first = static_cast<size_t>(firstFrame + column * framesPerColumn);
      const size_t last = std::min(
          samples.size(), static_cast<size_t>(firstFrame + (column + 1) * framesPerColumn) + 1);
      if (first >= last) break;
      const auto range = std::minmax_element(samples.begin() + first, samples.begin() + last);
      const int top = YForValue(lane, *range.second);
      const int bottom = YForValue(lane, *range.first);
      LICE_FillRect(&mBitmap, view.left + column, top, 1, bottom - top + 1, lane.color);
    }
  }

  // Ticks every 0.05, 0.1, 0.2, 0.5, 1, 2, 5 ... seconds, whichever leaves room for the labels.
  void DrawTimeAxis(const View& view)
  {
    const double span = view.end - view.start;
    double step = 0.05;
    for (const double candidate :
         {0.05, 0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 30.0, 60.0, 120.0, 300.0, 600.0})
    {
      step = candidate;
      if (span / candidate <= view.width / 80.0) break;
    }
    const int axisTop = LaneTop(mLanes.size()) - kLaneGap;
    for (double t = std::ceil(view.start / step - 1e-9) * step; t <= view.end + 1e-9; t += step)
    {
      if (std::fabs(t) < 1e-9) t = 0.0; // no "-0"
      const int x = view.X(t);
      LICE_FillRect(&mBitmap, x, axisTop, 1, 6, kText);
      char label[32];
      std::snprintf(label, sizeof label, step < 0.1 ? "%.2f" : step < 1.0 ? "%.1f" : "%.0f", t);
      const int width = PlotTextWidth(label, kTextScale);
      const int labelX = std::min(x - width / 2, view.left + view.width - width);
      DrawPlotText(&mBitmap, labelX, axisTop + 10, label, kText, kTextScale);
    }
    DrawPlotText(&mBitmap, 10, axisTop + 10, "TIME S", kText, kTextScale);
  }

  void DrawDashedLine(int x, int top, int height, LICE_pixel color)
  {
    for (int y = top; y < top + height; y += 8)
      LICE_FillRect(&mBitmap, x, y, 2, std::min(5, top + height - y), color);
  }

  void DrawLabel(const View& view, int x, int y, const char* text, LICE_pixel color)
  {
    if (!view.labelled) return;
    const int width = PlotTextWidth(text, kTextScale);
    const int labelX = x + 6 + width <= view.left + view.width ? x + 6 : x - 6 - width;
    DrawPlotText(&mBitmap, labelX, y, text, color, kTextScale);
  }

  void DrawMarks(const View& view)
  {
    if (mData.hitFrame < 0) return;
    const double hitSeconds = mData.hitFrame / mSampleRate;
    const int hitX = view.X(hitSeconds);
    for (size_t c = 0; c < mData.output->channels.size(); ++c)
    {
      const Lane& in = mLanes[2 * c];
      const Lane& out = mLanes[2 * c + 1];
      DrawDashedLine(hitX, in.top, kLaneHeight, kHitMark);
      DrawLabel(view, hitX, in.top + 6, "HIT", kHitMark);
      if (c >= mData.echoSeconds.size() || mData.echoSeconds[c] < 0.0) continue;

      const int echoX = view.X(hitSeconds + mData.echoSeconds[c]);
      DrawDashedLine(hitX, out.top, kLaneHeight, kHitMark);
      DrawDashedLine(echoX, out.top, kLaneHeight, kEchoMark);
      char label[48];
      std::snprintf(label, sizeof label, "FIRST ECHO %.0f MS", mData.echoSeconds[c] * 1000.0);
      DrawLabel(view, echoX, out.top + 6, label, kEchoMark);
    }
  }

  const PlotData& mData;
  double mSampleRate;
  double mSeconds;
  double mScale;
  std::vector<Lane> mLanes;
  std::vector<View> mViews;
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
