#include "effect/TolvaneDelayParams.h"

const char* const kParamNames[kNumParams] = {
    "2hicut",         "2lowcut",   "2msDelay1", "2feedback", "2pong",   "2note",     "2fine",
    "2LFO intensity", "2LFO rate", "2Flt Int",  "2Flt Rate", "2Smooth", "2mix",      "switch",
    "units",          "wetdry1",   "LP1",       "HP1",       "Pan1",    "Delay1",    "Feedback1",
    "Level1",         "LP2",       "HP2",       "Pan2",      "Delay2",  "Feedback2", "Level2"};
