#pragma once

// The waveform plot of a render: input and output of each channel over time,
// with the hit that starts the input and the first echo of each output
// channel marked, and beside the linear waveform of each output an envelope
// in dB down to -60 dB, so that the later echoes show. The signals arrive as
// they are rendered (PlotSignal), so a render of any length plots in bounded
// memory.

#include "host/plot/Envelope.h"
#include "host/render/AudioFile.h"

#include <string>
#include <vector>

// One channel of input or output: a min/max envelope of the whole of it and the
// samples of the detail view around the first hit.
struct PlotSignal
{
  Envelope whole;
  SampleWindow detail;
  // The next n samples, starting at frame `at`.
  void Add(size_t at, const float* data, size_t n)
  {
    whole.Add(data, n);
    detail.Offer(at, data, n);
  }
};

struct PlotData
{
  double sampleRate = 44100.0;
  std::vector<PlotSignal> input, output; // one per lane pair, as many as output channels
  double seconds = 0.0;                  // the length of the whole view
  double fullScale = 1.0;                // the magnitude half a lane's height shows
  long hitFrame = -1;                    // the first hit of the input; -1: none
  std::vector<double> echoSeconds;       // per output channel, after the hit; negative: none
  std::string title;
};

// The frames a detail view around the hit shows: from 50 ms before it to 1.3
// times the longest echo and 0.1 s after it (1 s when there is no echo).
void DetailSpan(double sampleRate, long hitFrame, const std::vector<double>& echoSeconds,
                size_t& first, size_t& count);
// Sets up each signal's detail window for the data's hit and echoes.
void PrepareDetail(PlotData& data);
// A plot of whole signals (a short render, a test): input channels beyond the
// input's count repeat its last one.
PlotData PlotDataFromAudio(const AudioData& input, const AudioData& output, long hitFrame,
                           const std::vector<double>& echoSeconds, const std::string& title);

// Draws the plot and writes it to the PNG file.
bool WritePlot(const std::string& path, const PlotData& data, std::string& error);
