#include "host/render/SignalStats.h"

#include <algorithm>
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
  // Eight running maxima and counts, so that the loop runs on whole vectors
  // of samples (the order of a maximum does not change it).
  float lanes[8] = {};
  unsigned counts[8] = {};
  size_t i = 0;
  for (; i + 8 <= n; i += 8)
    for (size_t k = 0; k < 8; ++k)
    {
      const float magnitude = std::fabs(x[i + k]);
      lanes[k] = lanes[k] < magnitude ? magnitude : lanes[k];
      counts[k] += magnitude > 1.0f ? 1u : 0u;
    }
  for (; i < n; ++i)
  {
    const float magnitude = std::fabs(x[i]);
    lanes[0] = std::max(lanes[0], magnitude);
    counts[0] += magnitude > 1.0f ? 1u : 0u;
  }
  for (unsigned count : counts)
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
