#pragma once

// What a plot needs of a long signal in little memory: the smallest and
// largest sample of each stretch of frames. The stretches double in length
// whenever their number would pass the limit, so a signal of any length keeps
// at least maxBins / 2 of them. One thread at a time.

#include <cstddef>
#include <vector>

class Envelope
{
public:
  explicit Envelope(size_t maxBins = 8192) : mMaxBins(maxBins < 2 ? 2 : maxBins) {}

  // The next n samples of the signal.
  void Add(const float* samples, size_t n);
  size_t Frames() const { return mFrames; }
  size_t FramesPerBin() const { return mFramesPerBin; }
  // The smallest and largest sample of the stretches that cover frames
  // [first, last); false when none does.
  bool Range(size_t first, size_t last, float& lo, float& hi) const;

private:
  void Coarsen();

  size_t mMaxBins;
  size_t mFramesPerBin = 1;
  size_t mFrames = 0;
  std::vector<float> mMin, mMax;
};

// Consecutive samples of a signal from a given frame on: the part a detail
// view shows. Frames outside [first, first + capacity) are not kept.
struct SampleWindow
{
  size_t first = 0;
  size_t capacity = 0;
  std::vector<float> samples;

  // Keeps those of the n samples starting at frame `at` that fall in the window.
  void Offer(size_t at, const float* data, size_t n);
  bool Range(size_t from, size_t to, float& lo, float& hi) const;
};
