#pragma once

// The texts of the editor's value displays. The numbers are labels of the
// editor: several are not the engine's real unit (the host shows the plain
// 0 ... 100 "%" value).

// Room for a display text: 30 characters and the terminator.
constexpr int kValueDisplayTextSize = 31;

// Whether the parameter has a value display (all but "2msDelay1", "2pong",
// "2Smooth" and "switch").
bool HasValueDisplay(int paramIdx);

// Writes the display text of parameter paramIdx at value v (plain value / 100)
// into text, which holds kValueDisplayTextSize bytes. Returns false, writing
// nothing, for a parameter without a display.
bool FormatValueDisplay(int paramIdx, float v, char* text);
