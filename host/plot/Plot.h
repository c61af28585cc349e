#pragma once

// The waveform plot of a render: input and output of each channel over time,
// with the hit that starts the input and the first echo of each output
// channel marked.

#include "host/render/AudioFile.h"

#include <string>
#include <vector>

struct PlotData
{
  const AudioData* input = nullptr;
  const AudioData* output = nullptr;
  long hitFrame = -1;              // the first hit of the input; -1: none
  std::vector<double> echoSeconds; // per output channel, after the hit; negative: none
  std::string title;
};

// Draws the plot and writes it to the PNG file.
bool WritePlot(const std::string& path, const PlotData& data, std::string& error);
