#include "host/render/SignalStats.h"

#include <immintrin.h>

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <limits>

ChannelStats MeasureChannel(const std::vector<float>& samples)
{
  ChannelStats stats;
  double sumOfSquares = 0.0;
  for (float sample : samples)
  {
    const double value = sample;
    stats.peak = std::max(stats.peak, std::fabs(value));
    sumOfSquares += value * value;
  }
  if (!samples.empty()) stats.rms = std::sqrt(sumOfSquares / static_cast<double>(samples.size()));
  return stats;
}

float PeakCountingOver(const float* x, size_t n, size_t& over)
{
  // Eight samples at a time (the order of a maximum does not change it).
  const __m128 sign = _mm_set1_ps(-0.0f), one = _mm_set1_ps(1.0f);
  __m128 peak0 = _mm_setzero_ps(), peak1 = peak0;
  __m128i count0 = _mm_setzero_si128(), count1 = count0;
  size_t i = 0;
  for (; i + 8 <= n; i += 8)
  {
    const __m128 a = _mm_andnot_ps(sign, _mm_loadu_ps(x + i));
    const __m128 b = _mm_andnot_ps(sign, _mm_loadu_ps(x + i + 4));
    peak0 = _mm_max_ps(a, peak0);
    peak1 = _mm_max_ps(b, peak1);
    count0 = _mm_sub_epi32(count0, _mm_castps_si128(_mm_cmpgt_ps(a, one)));
    count1 = _mm_sub_epi32(count1, _mm_castps_si128(_mm_cmpgt_ps(b, one)));
  }
  float lanes[8];
  _mm_storeu_ps(lanes, peak0);
  _mm_storeu_ps(lanes + 4, peak1);
  std::uint32_t counts[8];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(counts), count0);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(counts + 4), count1);
  for (; i < n; ++i)
  {
    const float magnitude = std::fabs(x[i]);
    lanes[0] = std::max(lanes[0], magnitude);
    counts[0] += magnitude > 1.0f ? 1u : 0u;
  }
  for (std::uint32_t count : counts)
    over += count;
  return *std::max_element(lanes, lanes + 8);
}

float PeakOf(const float* x, size_t n)
{
  size_t over = 0;
  return PeakCountingOver(x, n, over);
}

size_t SilenceNonFinite(float* samples, size_t n)
{
  size_t replaced = 0;
  for (size_t i = 0; i < n; ++i)
  {
    const bool finite = samples[i] - samples[i] == 0.0f; // false for NaN and both infinities
    replaced += finite ? 0 : 1;
    samples[i] = finite ? samples[i] : 0.0f;
  }
  return replaced;
}

double ToDBFS(double amplitude)
{
  if (amplitude <= 0.0) return -std::numeric_limits<double>::infinity();
  return 20.0 * std::log10(amplitude);
}

long FirstOnset(const AudioData& audio, double fraction)
{
  double loudest = 0.0;
  for (const auto& channel : audio.channels)
    loudest = std::max(loudest, MeasureChannel(channel).peak);
  if (loudest <= 0.0) return -1;
  const double threshold = loudest * fraction;
  for (size_t i = 0; i < audio.Frames(); ++i)
    for (const auto& channel : audio.channels)
      if (std::fabs(channel[i]) >= threshold) return static_cast<long>(i);
  return -1;
}
