#pragma once

// The built-in demo: four bars at 120 beats per minute of a percussive pattern
// (kick, snare, off-beat hats) with a short melodic phrase, stereo, 44.1 kHz.
// The kick on the first beat is the first sound.

#include "host/render/AudioFile.h"

const double kDemoTempo = 120.0;
const double kDemoSampleRate = 44100.0;
const int kDemoBars = 4;

AudioData MakeDemoSignal();
