#pragma once

// The one-line summary printed at the end of a render.

#include "host/render/SignalStats.h"

#include <string>
#include <vector>

struct RenderSummary
{
  std::string outputPath;
  double sampleRate = 0.0;
  double inputSeconds = 0.0;
  double tailSeconds = 0.0;
  std::vector<ChannelStats> levels; // per output channel
  std::vector<double> echoSeconds;  // per output channel; negative: none
  double realTimeFactor = 0.0;      // seconds of audio per second of work
};

// e.g. "out.wav: 10.50 s (8.00 s + 2.50 s tail), stereo, 44100 Hz | peak L -1.0 dBFS,
// R -2.0 dBFS | RMS ... | first echo L 375.0 ms, R 625.0 ms | 1500x real time"
std::string FormatSummary(const RenderSummary& summary);
