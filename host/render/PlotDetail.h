#pragma once

// The parts of a render's plot that need the whole render first: where the
// input's first hit is (relative to its loudest sample), and the samples of
// the detail view around it, read back from the input and from the written
// output. Both reads stop at the end of what they look for, so a long render
// is not read again in full. Program thread only.

#include "host/plot/Plot.h"
#include "host/render/InputSource.h"

#include <string>
#include <vector>

// The first frame where some channel reaches `threshold`, reading from the
// source's start; -1 for none. The source is rewound before and after.
bool FindFirstHit(InputSource& source, double threshold, long& frame, std::string& error);
// Fills the detail window of each signal (set up by PrepareDetail) from the
// source; signals beyond the source's channels repeat its last one.
bool ReadInputDetail(InputSource& source, std::vector<PlotSignal>& signals, std::string& error);
// The same from an audio file: the render's output as written.
bool ReadOutputDetail(const std::string& path, std::vector<PlotSignal>& signals,
                      std::string& error);
