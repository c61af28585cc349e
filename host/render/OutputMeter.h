#pragma once

// Measures a render's output as it is written: levels per channel, samples
// over full scale, where it was last audible and how loud its end is. NaN and
// infinite samples are counted and otherwise taken as silence. One thread at a
// time.

#include "host/render/SignalStats.h"

#include <vector>

class OutputMeter
{
public:
  // clipping: the output format is an integer one, which clips at full scale.
  void Reset(size_t channels, double sampleRate, bool clipping);
  // frames [0, n) of each channel, the next ones of the output.
  void Add(const float* const* channels, size_t n);
  // frames [offset, offset + n) of each channel.
  void Add(const std::vector<std::vector<float>>& block, size_t offset, size_t n)
  {
    std::vector<const float*> channels;
    for (const auto& channel : block)
      channels.push_back(channel.data() + offset);
    Add(channels.data(), n);
  }

  std::vector<ChannelStats> Levels() const;
  double Peak() const;
  // The last frame where some channel reaches -90 dBFS (kSilenceLevel); -1 for none.
  long LastAudible() const { return mLastAudible; }
  // The last frame where some channel reaches -60 dBFS; -1 for none.
  long LastAboveFloor() const { return mLastAboveFloor; }
  // Samples beyond full scale, and of those the ones an integer format clipped.
  size_t OverFullScale() const { return mOver; }
  size_t Clipped() const { return mClipping ? mOver : 0; }
  size_t NonFinite() const { return mNonFinite; }
  // The loudest sample of the last quarter to half second.
  double EndLevel() const;

private:
  void Gather(const float* const* channels, size_t n);

  std::vector<const float*> mChannels;
  std::vector<std::vector<float>> mScratch;
  std::vector<double> mPeaks, mSumsOfSquares;
  size_t mFrames = 0;
  long mLastAudible = -1, mLastAboveFloor = -1;
  size_t mOver = 0, mNonFinite = 0;
  bool mClipping = false;
  size_t mBucketFrames = 1, mInBucket = 0;
  double mBucketPeak = 0.0, mPreviousBucketPeak = 0.0;
};
