#include "effect/ValueDisplay.h"

#include "effect/DSP_Expo.h"
#include "effect/TempoSync.h"
#include "effect/TolvaneDelayParams.h"

#include <cstdio>

namespace
{
struct DisplayNumber
{
  const char* format;
  double number;
};

// The format and number a parameter's display shows; a null format for none.
DisplayNumber DisplayNumberFor(int paramIdx, float v)
{
  switch (paramIdx)
  {
  case kHiCut:
  case kLowCut:
    return {"%4.2f", v * 20};
  case kFeedback:
    return {"%4.2f", v * 100};
  case kNote:
    return {"%4.1f", static_cast<double>(NoteDivision(v, kNoteStep))};
  case kFine:
    return {"%4.2f", v * 0.75f};
  case kLfoIntensity:
  case kLfoRate:
  case kFltIntensity:
  case kFltRate:
  case kMix:
  case kWetDry1:
  case kFeedback1:
  case kLevel1:
  case kFeedback2:
  case kLevel2:
    return {"%4.2f", v};
  case kUnits:
  case kDelay1:
  case kDelay2:
    return {"%4.1f", StepCount(v)};
  case kLP1:
  case kLP2:
    return {"%4.0f", v * 20000};
  case kHP1:
  case kHP2:
    return {"%4.0f", getExpo(v)};
  case kPan1:
  case kPan2:
    return {"%4.1f", v * 2 - 1};
  default:
    return {nullptr, 0.0};
  }
}
} // namespace

bool HasValueDisplay(int paramIdx)
{
  return DisplayNumberFor(paramIdx, 0.0f).format != nullptr;
}

bool FormatValueDisplay(int paramIdx, float v, char* text)
{
  const DisplayNumber display = DisplayNumberFor(paramIdx, v);
  if (!display.format) return false;
  std::snprintf(text, kValueDisplayTextSize, display.format, display.number);
  return true;
}
