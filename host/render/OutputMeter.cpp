#include "host/render/OutputMeter.h"

#include <algorithm>
#include <cmath>

namespace
{
// -60 dBFS: the floor of the plot's dB envelope.
const double kFloorLevel = 0.001;

size_t CountNonFinite(const float* x, size_t n)
{
  size_t count = 0;
  for (size_t i = 0; i < n; ++i)
    count += x[i] - x[i] != 0.0f ? 1 : 0;
  return count;
}

double SumOfSquares(const float* x, size_t n)
{
  double sums[4] = {0.0, 0.0, 0.0, 0.0};
  size_t i = 0;
  for (; i + 4 <= n; i += 4)
    for (size_t k = 0; k < 4; ++k)
      sums[k] += static_cast<double>(x[i + k]) * x[i + k];
  for (; i < n; ++i)
    sums[0] += static_cast<double>(x[i]) * x[i];
  return (sums[0] + sums[1]) + (sums[2] + sums[3]);
}

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

// The frames [0, n) of each channel, with any NaN or infinite sample as
// silence (copied aside then: the block itself is what gets written).
void OutputMeter::Gather(const float* const* channels, size_t n)
{
  mChannels.resize(mPeaks.size());
  for (size_t c = 0; c < mPeaks.size(); ++c)
  {
    const float* samples = channels[c];
    const size_t bad = CountNonFinite(samples, n);
    mChannels[c] = samples;
    if (bad == 0) continue;
    mNonFinite += bad;
    mScratch.resize(mPeaks.size());
    mScratch[c].assign(samples, samples + n);
    for (float& x : mScratch[c])
      x = x - x == 0.0f ? x : 0.0f;
    mChannels[c] = mScratch[c].data();
  }
}

void OutputMeter::Add(const float* const* channels, size_t n)
{
  Gather(channels, n);
  for (size_t c = 0; c < mPeaks.size(); ++c)
    mSumsOfSquares[c] += SumOfSquares(mChannels[c], n);
  const auto frameReaches = [this](size_t i, double level)
  {
    for (const float* channel : mChannels)
      if (std::fabs(static_cast<double>(channel[i])) >= level) return true;
    return false;
  };
  for (size_t i = n; i-- > 0;)
    if (frameReaches(i, kSilenceLevel))
    {
      mLastAudible = static_cast<long>(mFrames + i);
      break;
    }
  for (size_t i = n; i-- > 0;)
    if (frameReaches(i, kFloorLevel))
    {
      mLastAboveFloor = static_cast<long>(mFrames + i);
      break;
    }
  // The loudest sample of each quarter second, and of each channel, in one
  // pass with the samples beyond full scale.
  for (size_t i = 0; i < n;)
  {
    const size_t run = std::min(n - i, mBucketFrames - mInBucket);
    for (size_t c = 0; c < mChannels.size(); ++c)
    {
      const double peak = PeakCountingOver(mChannels[c] + i, run, mOver);
      mPeaks[c] = std::max(mPeaks[c], peak);
      mBucketPeak = std::max(mBucketPeak, peak);
    }
    mInBucket += run;
    i += run;
    if (mInBucket == mBucketFrames)
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
