#pragma once

// Level measurements of rendered audio.

#include "host/render/AudioFile.h"

#include <vector>

struct ChannelStats
{
  double peak = 0.0; // largest magnitude
  double rms = 0.0;
};

ChannelStats MeasureChannel(const std::vector<float>& samples);
// Decibels relative to full scale; -infinity for 0.
double ToDBFS(double amplitude);
// The level -90 dBFS, below which echoes count as gone.
const double kSilenceLevel = 3.1622776601683795e-5;
// The largest magnitude of x[0..n), which holds only finite samples.
float PeakOf(const float* x, size_t n);
// The same, adding to `over` the number of samples beyond full scale.
float PeakCountingOver(const float* x, size_t n, size_t& over);
// Replaces every NaN or infinite sample with silence; the number replaced.
size_t SilenceNonFinite(float* samples, size_t n);
// The first frame where some channel reaches `fraction` of the loudest sample
// of the whole signal; -1 for a silent signal.
long FirstOnset(const AudioData& audio, double fraction);
