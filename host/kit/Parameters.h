#pragma once

// The plug-in's parameters as a host learns them (parameter list and info
// records) and the host's way of setting them by name.

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

// A value given by the user for the parameter with that host name.
struct ParameterSetting
{
  std::string name;
  double value = 0.0;
};

// The global parameter list, one ID per parameter.
bool ReadParameterList(AudioUnit unit, std::vector<AudioUnitParameterID>& ids, std::string& error);
// One info record; the strings the unit hands out are released here.
ComponentResult ReadParameterInfo(AudioUnit unit, AudioUnitParameterID id, ParameterDesc& desc);
// The list and the info of every parameter on it.
bool ReadParameters(AudioUnit unit, std::vector<ParameterDesc>& params, std::string& error);

const ParameterDesc* FindParameter(const std::vector<ParameterDesc>& params,
                                   const std::string& name);
// What a host shows as the parameter's unit: its label, or the unit's kind.
std::string UnitLabel(const ParameterDesc& desc);
// A value as the user typed it: up to six significant digits, no trailing zeros.
std::string ValueText(double value);

// Sets each value in order; refuses unknown names and values outside the range.
bool ApplyParameterSettings(AudioUnit unit, const std::vector<ParameterSetting>& settings,
                            std::string& error);
