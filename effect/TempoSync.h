#pragma once

// The musical delay settings of the effect turned into milliseconds at the
// host's tempo. Arithmetic precision is part of the result: each function
// computes in the precision its comment names.

// Width of one step of the note-division selector.
constexpr float kNoteStep = 0.2f;

// Note division 1, 2, 4, 8 or 16 (whole to sixteenth note) for a note value
// 0 ... 1, one division per step of noteStep; bounds tested in single precision.
int NoteDivision(float noteValue, float noteStep);

// The fine factor (0 ... 1.5) with its snap windows, compared in double
// precision: 0.6 ... 0.7 becomes the triplet factor 2/3, 0.95 ... 1.05 straight 1.
float SnapFineFactor(float fineFactor);

// A value 0 ... 1 as a whole count 1 ... 16 (trunc(value * 15) + 1), held as a float.
float StepCount(float value);

// The loop engine follows the tempo for divisions above 2 or tempos above 60.
bool LoopFollowsTempo(int noteDivision, double tempo);
// The stereo engine follows tempos above 50.
bool StereoFollowsTempo(double tempo);

// (1 / division) * 240000 * fine / tempo, in double precision.
float LoopDelayMS(int noteDivision, float fineFactor, double tempo);

// A tap delay of 'steps' parts of a beat divided into 'units' equal parts:
// the beat subdivision in single precision, the division by the tempo in double.
float StereoDelayMS(float units, float steps, double tempo);

// The longest delay in milliseconds that the delay lines hold at this rate;
// 0 for a rate that is not positive.
float LongestDelayMS(float sampleRate);
