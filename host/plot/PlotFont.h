#pragma once

// A 5 by 7 pixel font for the labels of the waveform plot: capitals, digits
// and a little punctuation (small letters are drawn as capitals, anything
// else as a question mark).

#include "lice/lice.h"

#include <string>

// Top-left corner at (x, y); each font pixel becomes scale by scale pixels.
void DrawPlotText(LICE_IBitmap* bitmap, int x, int y, const std::string& text, LICE_pixel color,
                  int scale);
int PlotTextWidth(const std::string& text, int scale);
int PlotTextHeight(int scale);
