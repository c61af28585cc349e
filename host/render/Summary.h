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
  int inputChannels = 0;            // 0: as many as the output
  std::vector<ChannelStats> levels; // per output channel
  std::vector<double> echoSeconds;  // the probe's echo times per output channel; negative: none
  double realTimeFactor = 0.0;      // seconds of audio per second of work
  size_t overFullScale = 0;         // samples beyond full scale
  size_t clipped = 0;               // of those, clipped by an integer format
  std::string sampleFormat;         // "float", "16-bit", ...
  bool tailCut = false;             // the tail ended while still audible
  bool tailFixed = false;           // its length came from --tail
  double tailCutSeconds = 0.0;
  double tailEndLevel = 0.0;
  size_t nonFiniteInput = 0;  // NaN or infinite input samples, rendered as silence
  size_t nonFiniteOutput = 0; // NaN or infinite samples the effect put out
};

// e.g. "out.wav: 10.50 s (8.00 s + 2.50 s tail), stereo, 44100 Hz | peak L -1.0 dBFS,
// R -2.0 dBFS | RMS ... | effect echo times (probe) L 375 ms, R 625 ms | 1500x real time",
// then the tail, full-scale and non-finite notes where they apply.
std::string FormatSummary(const RenderSummary& summary);
