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
const LICE_pixel kDecibelLine = LICE_RGBA(250, 220, 120, 255);
// The dB envelope spans a lane from 0 dB at the top to this at the bottom.
const double kDecibelFloor = -60.0;

struct Lane
{
  int top;
  const PlotSignal* signal;
  LICE_pixel color;
  std::string label;
  bool decibels; // with the dB envelope
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
      : mData(data), mSampleRate(data.sampleRate), mSeconds(data.seconds),
        mScale(std::max(1.0, data.fullScale))
  {
    const size_t nChannels = data.output.size();
    const char* names[2] = {nChannels == 1 ? "" : "LEFT ", "RIGHT "};
    for (size_t c = 0; c < nChannels; ++c)
    {
      mLanes.push_back({LaneTop(2 * c), &data.input[std::min(c, data.input.size() - 1)], kInputWave,
                        std::string(names[c]) + "IN", false});
      mLanes.push_back(
          {LaneTop(2 * c + 1), &data.output[c], kOutputWave, std::string(names[c]) + "OUT", true});
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

  int YForValue(const Lane& lane, double value) const
  {
    const double half = (kLaneHeight - 1) / 2.0;
    return lane.top + static_cast<int>(std::lround(half - value / mScale * half));
  }

  // 0 dB at the top of the lane, kDecibelFloor and below at the bottom.
  int YForDecibels(const Lane& lane, double magnitude) const
  {
    const double db = magnitude > 0.0 ? 20.0 * std::log10(magnitude) : kDecibelFloor;
    const double share = std::min(1.0, std::max(0.0, db / kDecibelFloor));
    return lane.top + static_cast<int>(std::lround(share * (kLaneHeight - 1)));
  }

  // The smallest and largest sample of frames [first, last): from the detail
  // window where it holds them, else from the envelope.
  static bool ColumnRange(const Lane& lane, size_t first, size_t last, float& lo, float& hi)
  {
    return lane.signal->detail.Range(first, last, lo, hi) ||
           lane.signal->whole.Range(first, last, lo, hi);
  }

  // One column per pixel, drawn from the smallest to the largest sample it
  // covers; on output lanes the peak of the column in dB as a line over it.
  void DrawLane(const Lane& lane, const View& view)
  {
    LICE_FillRect(&mBitmap, view.left, lane.top, view.width, kLaneHeight, kLaneBackground);
    LICE_FillRect(&mBitmap, view.left, YForValue(lane, 0.0), view.width, 1, kGrid);
    const double framesPerColumn = (view.end - view.start) * mSampleRate / view.width;
    const double firstFrame = view.start * mSampleRate;
    int previousDb = -1;
    for (int column = 0; column < view.width; ++column)
    {
      const size_t first = static_cast<size_t>(firstFrame + column * framesPerColumn);
      const size_t last = static_cast<size_t>(firstFrame + (column + 1) * framesPerColumn) + 1;
      float lo = 0.0f, hi = 0.0f;
      if (!ColumnRange(lane, first, last, lo, hi)) break;
      const int top = YForValue(lane, hi);
      const int bottom = YForValue(lane, lo);
      LICE_FillRect(&mBitmap, view.left + column, top, 1, bottom - top + 1, lane.color);
      if (!lane.decibels) continue;
      const int db = YForDecibels(lane, std::max(std::fabs(lo), std::fabs(hi)));
      const int from = previousDb < 0 ? db : std::min(db, previousDb);
      const int to = previousDb < 0 ? db : std::max(db, previousDb);
      LICE_FillRect(&mBitmap, view.left + column, from, 1, to - from + 1, kDecibelLine);
      previousDb = db;
    }
    if (lane.decibels && view.labelled)
      DrawPlotText(&mBitmap, view.left + 4, lane.top + kLaneHeight - PlotTextHeight(1) - 4,
                   "DB ENVELOPE 0 TO -60", kDecibelLine, 1);
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
    for (size_t c = 0; c < mData.output.size(); ++c)
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

void DetailSpan(double sampleRate, long hitFrame, const std::vector<double>& echoSeconds,
                size_t& first, size_t& count)
{
  first = count = 0;
  if (hitFrame < 0) return;
  double longest = 0.0;
  for (double echo : echoSeconds)
    longest = std::max(longest, echo);
  const double hit = hitFrame / sampleRate;
  const double start = std::max(0.0, hit - 0.05);
  const double end = hit + (longest > 0.0 ? longest * 1.3 + 0.1 : 1.0);
  // Past a few seconds the detail view draws from the envelope instead.
  const double kMaxDetailSeconds = 5.0;
  first = static_cast<size_t>(start * sampleRate);
  count = static_cast<size_t>(std::min(end - start, kMaxDetailSeconds) * sampleRate) + 2;
}

void PrepareDetail(PlotData& data)
{
  size_t first = 0, count = 0;
  DetailSpan(data.sampleRate, data.hitFrame, data.echoSeconds, first, count);
  for (auto* signals : {&data.input, &data.output})
    for (PlotSignal& signal : *signals)
    {
      signal.detail = SampleWindow();
      signal.detail.first = first;
      signal.detail.capacity = count;
    }
}

PlotData PlotDataFromAudio(const AudioData& input, const AudioData& output, long hitFrame,
                           const std::vector<double>& echoSeconds, const std::string& title)
{
  PlotData data;
  data.sampleRate = output.sampleRate;
  data.hitFrame = hitFrame;
  data.echoSeconds = echoSeconds;
  data.title = title;
  data.seconds = std::max(output.Seconds(), input.Seconds());
  data.input.resize(input.channels.empty() ? 0 : output.channels.size());
  data.output.resize(output.channels.size());
  PrepareDetail(data);
  for (size_t c = 0; c < data.input.size(); ++c)
  {
    const auto& samples = input.channels[std::min(c, input.channels.size() - 1)];
    data.input[c].Add(0, samples.data(), samples.size());
    data.fullScale = std::max(data.fullScale, MeasureChannel(samples).peak);
  }
  for (size_t c = 0; c < data.output.size(); ++c)
  {
    data.output[c].Add(0, output.channels[c].data(), output.channels[c].size());
    data.fullScale = std::max(data.fullScale, MeasureChannel(output.channels[c]).peak);
  }
  return data;
}

bool WritePlot(const std::string& path, const PlotData& data, std::string& error)
{
  if (data.output.empty() || data.input.empty() || data.output[0].whole.Frames() == 0 ||
      data.seconds <= 0.0)
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
