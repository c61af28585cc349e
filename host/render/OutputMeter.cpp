#include "host/render/OutputMeter.h"

#include <algorithm>
#include <cmath>

namespace
{
// -60 dBFS: the floor of the plot's dB envelope.
const double kFloorLevel = 0.001;
} // namespace

void OutputMeter::Reset(size_t channels, double sampleRate, bool clipping)
{
  mPeaks.assign(channels, 0.0);
  mSumsOfSquares.assign(channels, 0.0);
  mFrames = 0;
  mLastAudible = mLastAboveFloor = -1;
  mOver = mNonFinite = 0;
  mClipping = clipping;
  mBucketFrames = std::max<size_t>(1, static_cast<size_t>(sampleRate / 4));
  mInBucket = 0;
  mBucketPeak = mPreviousBucketPeak = 0.0;
}

void OutputMeter::Add(const std::vector<std::vector<float>>& block, size_t offset, size_t n)
{
  for (size_t i = 0; i < n; ++i)
  {
    double framePeak = 0.0;
    for (size_t c = 0; c < mPeaks.size(); ++c)
    {
      double value = block[c][offset + i];
      if (value - value != 0.0)
      {
        ++mNonFinite;
        value = 0.0;
      }
      const double magnitude = std::fabs(value);
      mPeaks[c] = std::max(mPeaks[c], magnitude);
      mSumsOfSquares[c] += value * value;
      framePeak = std::max(framePeak, magnitude);
      if (magnitude > 1.0) ++mOver;
    }
    const long frame = static_cast<long>(mFrames + i);
    if (framePeak >= kSilenceLevel) mLastAudible = frame;
    if (framePeak >= kFloorLevel) mLastAboveFloor = frame;
    mBucketPeak = std::max(mBucketPeak, framePeak);
    if (++mInBucket == mBucketFrames)
    {
      mPreviousBucketPeak = mBucketPeak;
      mBucketPeak = 0.0;
      mInBucket = 0;
    }
  }
  mFrames += n;
}

std::vector<ChannelStats> OutputMeter::Levels() const
{
  std::vector<ChannelStats> levels(mPeaks.size());
  for (size_t c = 0; c < levels.size(); ++c)
  {
    levels[c].peak = mPeaks[c];
    if (mFrames > 0) levels[c].rms = std::sqrt(mSumsOfSquares[c] / static_cast<double>(mFrames));
  }
  return levels;
}

double OutputMeter::Peak() const
{
  return mPeaks.empty() ? 0.0 : *std::max_element(mPeaks.begin(), mPeaks.end());
}

double OutputMeter::EndLevel() const
{
  return std::max(mBucketPeak, mPreviousBucketPeak);
}
