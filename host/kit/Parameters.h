#pragma once

// The plug-in's parameters as a host learns them (parameter list and info
// records) and the host's way of setting them by name.
//
// The host's thread, never while the unit renders on another.

#include <AudioUnit/AudioUnit.h>

#include <string>
#include <vector>

struct ParameterDesc
{
  AudioUnitParameterID id = 0;
  std::string name;
  std::string unitName; // the custom unit's label, e.g. "%"
  AudioUnitParameterUnit unit = kAudioUnitParameterUnit_Generic;
  float minValue = 0.0f;
  float maxValue = 0.0f;
  float defaultValue = 0.0f;
  AudioUnitParameterOptions flags = 0;
  bool hasCFName = false; // the record carried a name string
};

// A value given by the user for the parameter with that host name: a plain
// number within the parameter's range, or the text the effect shows for it.
struct ParameterSetting
{
  std::string name;
  std::string value;
};

// The global parameter list, one ID per parameter.
bool ReadParameterList(AudioUnit unit, std::vector<AudioUnitParameterID>& ids, std::string& error);
// One info record; the strings the unit hands out are released here.
ComponentResult ReadParameterInfo(AudioUnit unit, AudioUnitParameterID id, ParameterDesc& desc);
// The list and the info of every parameter on it.
bool ReadParameters(AudioUnit unit, std::vector<ParameterDesc>& params, std::string& error);

// The parameter of that name, without regard to case; null when none.
const ParameterDesc* FindParameter(const std::vector<ParameterDesc>& params,
                                   const std::string& name);
// Up to `count` names nearest to `name` (fewest edits, without regard to case).
std::vector<std::string> ClosestParameterNames(const std::vector<ParameterDesc>& params,
                                               const std::string& name, size_t count = 3);
// The text the component shows for the parameter at a value (its string-from-value
// conversion); "" when it shows none.
std::string ParameterValueText(AudioUnit unit, AudioUnitParameterID id,
                               AudioUnitParameterValue value);
// The value whose shown text is `text` (the component's value-from-string
// conversion); false when it knows no single one.
bool ParameterValueFromText(AudioUnit unit, AudioUnitParameterID id, const std::string& text,
                            AudioUnitParameterValue& value);
// How many distinct texts the component shows across the range, when that is
// a small number (a stepped parameter); 0 otherwise.
int ParameterSteps(AudioUnit unit, const ParameterDesc& desc);

// Where a parameter of the effect acts: the effect names its loop engine's
// parameters with a leading "2"; "switch" chooses between the engines.
enum class EffectPanel
{
  StereoEngine,
  LoopEngine,
  Both
};
EffectPanel PanelOf(const std::string& name);
const char* PanelName(EffectPanel panel);
// The panel whose engine "switch" selects (above 50: the stereo engine).
EffectPanel SelectedPanel(AudioUnit unit, const std::vector<ParameterDesc>& params);
// One warning for each setting of a parameter whose engine is not selected.
std::vector<std::string> UnselectedEngineWarnings(AudioUnit unit,
                                                  const std::vector<ParameterSetting>& settings);
// What a host shows as the parameter's unit: its label, or the unit's kind.
std::string UnitLabel(const ParameterDesc& desc);
// A value as the user typed it: up to six significant digits, no trailing zeros.
std::string ValueText(double value);

// A setting's value for the parameter: a number within its range, else the
// value whose shown text it is; false with a message for neither.
bool ResolveSettingValue(AudioUnit unit, const ParameterDesc& desc, const std::string& text,
                         AudioUnitParameterValue& value, std::string& error);
// Sets each value in order; refuses unknown names and values outside the range.
bool ApplyParameterSettings(AudioUnit unit, const std::vector<ParameterSetting>& settings,
                            std::string& error);
