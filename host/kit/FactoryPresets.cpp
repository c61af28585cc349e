#include "host/kit/FactoryPresets.h"

#include "host/kit/AUProperty.h"
#include "host/kit/CFRef.h"
#include "host/kit/StatusText.h"

bool ReadFactoryPresets(AudioUnit unit, std::vector<FactoryPreset>& presets, std::string& error)
{
  presets.clear();
  CFRef<CFArrayRef> array;
  const ComponentResult status =
      GetGlobalProperty(unit, kAudioUnitProperty_FactoryPresets, *array.Receive());
  // No such property, or no list handed out: a unit without factory presets.
  if (status == kAudioUnitErr_InvalidProperty || (status == noErr && !array)) return true;
  if (status != noErr)
  {
    error = "the factory presets cannot be read: status " + StatusText(status);
    return false;
  }
  const CFIndex count = CFArrayGetCount(array.Get());
  for (CFIndex i = 0; i < count; ++i)
  {
    const auto* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(array.Get(), i));
    if (preset) presets.push_back({preset->presetNumber, CFStringText(preset->presetName)});
  }
  return true;
}

ComponentResult SelectPreset(AudioUnit unit, const FactoryPreset& preset)
{
  const CFRef<CFStringRef> name = OwnedCFString(preset.name.c_str());
  const AUPreset record = {preset.number, name.Get()};
  return SetGlobalProperty(unit, kAudioUnitProperty_PresentPreset, record);
}

bool SelectFactoryPresetByName(AudioUnit unit, const std::string& name, std::string& error)
{
  std::vector<FactoryPreset> presets;
  if (!ReadFactoryPresets(unit, presets, error)) return false;
  std::string known;
  for (const FactoryPreset& preset : presets)
  {
    if (preset.name == name)
    {
      const ComponentResult status = SelectPreset(unit, preset);
      if (status != noErr)
        error = "the component refuses preset '" + name + "': status " + StatusText(status);
      return status == noErr;
    }
    known += (known.empty() ? "\"" : ", \"") + preset.name + "\"";
  }
  error = "unknown preset '" + name +
          "' (factory presets: " + (known.empty() ? std::string("none") : known) + ")";
  return false;
}

ComponentResult ReadPresentPreset(AudioUnit unit, FactoryPreset& preset)
{
  AUPreset record = {};
  const ComponentResult status = GetGlobalProperty(unit, kAudioUnitProperty_PresentPreset, record);
  if (status != noErr) return status;
  const CFRef<CFStringRef> name(record.presetName);
  preset.number = record.presetNumber;
  preset.name = CFStringText(name.Get());
  return noErr;
}
