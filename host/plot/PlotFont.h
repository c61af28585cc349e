#pragma once

// Labels of the waveform plot, drawn in a monospace face through the text
// path the editor uses. Program thread only.

#include "lice/lice.h"

#include <string>

// Top-left corner at (x, y); scale 1 is a small caption, 2 a label.
void DrawPlotText(LICE_IBitmap* bitmap, int x, int y, const std::string& text, LICE_pixel color,
                  int scale);
int PlotTextWidth(const std::string& text, int scale);
int PlotTextHeight(int scale); // the line height
// Builds the faces of both scales now (finding and loading a font takes a
// while), for example on another thread before the plot is drawn; drawing
// must wait until this returns.
void PreparePlotText();
