#pragma once

// The factory presets a unit offers and the host's way of choosing one.
//
// The host's thread, never while the unit renders on another.

#include <AudioUnit/AudioUnit.h>

#include <string>
#include <vector>

struct FactoryPreset
{
  SInt32 number = 0;
  std::string name;
};

// An empty list when the unit offers no factory presets.
bool ReadFactoryPresets(AudioUnit unit, std::vector<FactoryPreset>& presets, std::string& error);
// Makes the preset the present one.
ComponentResult SelectPreset(AudioUnit unit, const FactoryPreset& preset);
// Looks the name up among the factory presets and selects it.
bool SelectFactoryPresetByName(AudioUnit unit, const std::string& name, std::string& error);
// The unit's present preset (number and name).
ComponentResult ReadPresentPreset(AudioUnit unit, FactoryPreset& preset);
