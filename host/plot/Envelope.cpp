#include "host/plot/Envelope.h"

#include <immintrin.h>

#include <algorithm>

namespace
{
// Widens [lo, hi] to take in x[0..n), NaN samples left out, eight samples at
// a time (minps and maxps keep their second operand when the first is NaN).
void MinMax(const float* x, size_t n, float& lo, float& hi)
{
  __m128 lo0 = _mm_set1_ps(lo), lo1 = lo0, hi0 = _mm_set1_ps(hi), hi1 = hi0;
  size_t i = 0;
  for (; i + 8 <= n; i += 8)
  {
    const __m128 a = _mm_loadu_ps(x + i), b = _mm_loadu_ps(x + i + 4);
    lo0 = _mm_min_ps(a, lo0);
    lo1 = _mm_min_ps(b, lo1);
    hi0 = _mm_max_ps(a, hi0);
    hi1 = _mm_max_ps(b, hi1);
  }
  float los[8], his[8];
  _mm_storeu_ps(los, lo0);
  _mm_storeu_ps(los + 4, lo1);
  _mm_storeu_ps(his, hi0);
  _mm_storeu_ps(his + 4, hi1);
  for (; i < n; ++i)
  {
    los[0] = x[i] < los[0] ? x[i] : los[0];
    his[0] = his[0] < x[i] ? x[i] : his[0];
  }
  for (size_t k = 0; k < 8; ++k)
  {
    lo = std::min(lo, los[k]);
    hi = std::max(hi, his[k]);
  }
}
} // namespace

void Envelope::Add(const float* samples, size_t n)
{
  // A run of samples at a time: those that fall into the same stretch.
  for (size_t i = 0; i < n;)
  {
    size_t bin = mFrames / mFramesPerBin;
    if (bin == mMin.size())
    {
      if (mMin.size() == mMaxBins)
      {
        Coarsen();
        bin = mFrames / mFramesPerBin;
      }
      if (bin == mMin.size())
      {
        mMin.push_back(samples[i]);
        mMax.push_back(samples[i]);
      }
    }
    const size_t run = std::min(n - i, (bin + 1) * mFramesPerBin - mFrames);
    MinMax(samples + i, run, mMin[bin], mMax[bin]);
    mFrames += run;
    i += run;
  }
}

void Envelope::Coarsen()
{
  const size_t n = (mMin.size() + 1) / 2;
  for (size_t i = 0; i < n; ++i)
  {
    const size_t a = 2 * i, b = std::min(2 * i + 1, mMin.size() - 1);
    mMin[i] = std::min(mMin[a], mMin[b]);
    mMax[i] = std::max(mMax[a], mMax[b]);
  }
  mMin.resize(n);
  mMax.resize(n);
  mFramesPerBin *= 2;
}

bool Envelope::Range(size_t first, size_t last, float& lo, float& hi) const
{
  last = std::min(last, mFrames);
  if (first >= last) return false;
  const size_t from = first / mFramesPerBin, to = (last - 1) / mFramesPerBin + 1;
  lo = *std::min_element(mMin.begin() + static_cast<long>(from),
                         mMin.begin() + static_cast<long>(to));
  hi = *std::max_element(mMax.begin() + static_cast<long>(from),
                         mMax.begin() + static_cast<long>(to));
  return true;
}

void SampleWindow::Offer(size_t at, const float* data, size_t n)
{
  const size_t end = first + capacity;
  const size_t from = std::max(at, first), to = std::min(at + n, end);
  if (from >= to) return;
  // Frames arrive in order: anything before the window's current end is already kept.
  const size_t kept = first + samples.size();
  if (std::max(from, kept) >= to) return;
  samples.reserve(capacity); // one allocation for the whole window
  samples.insert(samples.end(), data + (std::max(from, kept) - at), data + (to - at));
}

bool SampleWindow::Range(size_t from, size_t to, float& lo, float& hi) const
{
  const size_t end = first + samples.size();
  if (from < first || to > end || from >= to) return false;
  const auto range = std::minmax_element(samples.begin() + static_cast<long>(from - first),
                                         samples.begin() + static_cast<long>(to - first));
  lo = *range.first;
  hi = *range.second;
  return true;
}
