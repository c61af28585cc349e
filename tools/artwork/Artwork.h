// The editor's pictures, drawn by our own hand: each function returns a new
// bitmap the caller owns.
#pragma once

#include "lice/lice.h"
#include "tools/artwork/Layout.h"

namespace artwork
{
// Accent colours of the two panels (the value displays' text colours).
int accentOf(Panel panel);

// One knob of the given size and value (0 ... 1) at (x, y).
void drawKnob(LICE_IBitmap* bm, int x, int y, int size, Panel panel, double value);
// A strip of kKnobFrames knob frames stacked from value 0 (top) to 1.
LICE_IBitmap* makeKnobStrip(int size, Panel panel);
LICE_IBitmap* makeSliderHandle();
// The fader's track, kHandleW x kFaderLen; the background carries it too.
void drawFaderTrack(LICE_IBitmap* bm, int x, int y, int steps);
LICE_IBitmap* makeSliderBody();
// Two states stacked: the loop engine (value 0) above the stereo engine.
LICE_IBitmap* makeEngineButton();
// Two states stacked: off above on.
LICE_IBitmap* makePongButton();
LICE_IBitmap* makeBackground();
} // namespace artwork
