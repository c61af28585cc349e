#pragma once

// Parameters of the test instrument: a level, then what it was last given.

enum EAUTestSynthParams
{
  kSynthLevel = 0,
  kSynthMidi,
  kSynthMidiOffset,
  kSynthTempo,
  kSynthPPQ,
  kSynthLastBar,
  kSynthSamplePos,
  kSynthCycleStart,
  kSynthCycleEnd,
  kSynthTransport, // running + 2 * loop enabled
  kSynthTimeSig,   // numerator * 100 + denominator
  kNumSynthParams
};
