#include "host/commands/UnitState.h"

#include "host/kit/FactoryPresets.h"
#include "host/kit/PresetFile.h"

bool ApplyStateOptions(AudioUnit unit, const StateOptions& state, std::string& error)
{
  if (!state.presetName.empty() && !SelectFactoryPresetByName(unit, state.presetName, error))
    return false;
  if (!state.stateFile.empty() && !LoadPresetFile(unit, state.stateFile, error)) return false;
  return ApplyParameterSettings(unit, state.settings, error);
}
