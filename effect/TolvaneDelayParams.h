#pragma once

// The effect's 28 parameters. Indices 0 to 12 drive the loop engine (their
// names begin with "2"), 14 to 27 the stereo engine; "switch" chooses between
// them. Every parameter runs from 0 to 100 "%".

enum EParams
{
  kHiCut = 0,
  kLowCut,
  kMsDelay1, // declared for saved states; drives nothing
  kFeedback,
  kPong,
  kNote,
  kFine,
  kLfoIntensity,
  kLfoRate,
  kFltIntensity,
  kFltRate,
  kSmooth,
  kMix,
  kSwitch,
  kUnits,
  kWetDry1,
  kLP1,
  kHP1,
  kPan1,
  kDelay1,
  kFeedback1,
  kLevel1,
  kLP2,
  kHP2,
  kPan2,
  kDelay2,
  kFeedback2,
  kLevel2,
  kNumParams
};

// Names shown to the host, in index order.
extern const char* const kParamNames[kNumParams];
