#include "host/kit/Parameters.h"

#include "host/kit/CFRef.h"
#include "host/kit/StatusText.h"

#include <cstdio>

bool ReadParameterList(AudioUnit unit, std::vector<AudioUnitParameterID>& ids, std::string& error)
{
  UInt32 size = 0;
  Boolean writable = false;
  ComponentResult status = AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_ParameterList,
                                                    kAudioUnitScope_Global, 0, &size, &writable);
  if (status == noErr)
  {
    ids.assign(size / sizeof(AudioUnitParameterID), 0);
    if (!ids.empty())
      status = AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global,
                                    0, ids.data(), &size);
  }
  if (status != noErr) error = "the parameter list cannot be read: status " + StatusText(status);
  return status == noErr;
}

ComponentResult ReadParameterInfo(AudioUnit unit, AudioUnitParameterID id, ParameterDesc& desc)
{
  AudioUnitParameterInfo info = {};
  UInt32 size = sizeof(info);
  const ComponentResult status = AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterInfo,
                                                      kAudioUnitScope_Global, id, &info, &size);
  if (status != noErr) return status;

  const bool release = (info.flags & kAudioUnitParameterFlag_CFNameRelease) != 0;
  desc.id = id;
  desc.hasCFName = (info.flags & kAudioUnitParameterFlag_HasCFNameString) && info.cfNameString;
  info.name[sizeof(info.name) - 1] = '\0';
  desc.name = desc.hasCFName ? CFStringText(info.cfNameString) : std::string(info.name);
  desc.unit = info.unit;
  desc.unitName =
      info.unit == kAudioUnitParameterUnit_CustomUnit ? CFStringText(info.unitName) : std::string();
  desc.minValue = info.minValue;
  desc.maxValue = info.maxValue;
  desc.defaultValue = info.defaultValue;
  desc.flags = info.flags;
  if (release && desc.hasCFName) CFRelease(info.cfNameString);
  if (release && info.unit == kAudioUnitParameterUnit_CustomUnit && info.unitName)
    CFRelease(info.unitName);
  return noErr;
}

bool ReadParameters(AudioUnit unit, std::vector<ParameterDesc>& params, std::string& error)
{
  std::vector<AudioUnitParameterID> ids;
  if (!ReadParameterList(unit, ids, error)) return false;
  params.assign(ids.size(), ParameterDesc());
  for (size_t i = 0; i < ids.size(); ++i)
  {
    const ComponentResult status = ReadParameterInfo(unit, ids[i], params[i]);
    if (status != noErr)
    {
      error = "the info of parameter " + std::to_string(ids[i]) + " cannot be read: status " +
              StatusText(status);
      return false;
    }
  }
  return true;
}

const ParameterDesc* FindParameter(const std::vector<ParameterDesc>& params,
                                   const std::string& name)
{
  for (const ParameterDesc& desc : params)
    if (desc.name == name) return &desc;
  return nullptr;
}

std::string UnitLabel(const ParameterDesc& desc)
{
  switch (desc.unit)
  {
  case kAudioUnitParameterUnit_CustomUnit:
    return desc.unitName;
  case kAudioUnitParameterUnit_Indexed:
    return "indexed";
  case kAudioUnitParameterUnit_Boolean:
    return "on/off";
  case kAudioUnitParameterUnit_Percent:
    return "%";
  case kAudioUnitParameterUnit_Generic:
    return "";
  default:
    return "unit " + std::to_string(desc.unit);
  }
}

std::string ValueText(double value)
{
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

bool ApplyParameterSettings(AudioUnit unit, const std::vector<ParameterSetting>& settings,
                            std::string& error)
{
  if (settings.empty()) return true;
  std::vector<ParameterDesc> params;
  if (!ReadParameters(unit, params, error)) return false;
  for (const ParameterSetting& setting : settings)
  {
    const ParameterDesc* desc = FindParameter(params, setting.name);
    if (!desc)
    {
      error = "unknown parameter '" + setting.name + "' (tolvane info lists them)";
      return false;
    }
    if (!(setting.value >= desc->minValue && setting.value <= desc->maxValue))
    {
      error = "value " + ValueText(setting.value) + " for parameter '" + setting.name +
              "' is outside " + ValueText(desc->minValue) + " to " + ValueText(desc->maxValue);
      return false;
    }
    const ComponentResult status =
        AudioUnitSetParameter(unit, desc->id, kAudioUnitScope_Global, 0,
                              static_cast<AudioUnitParameterValue>(setting.value), 0);
    if (status != noErr)
    {
      error =
          "the component refuses parameter '" + setting.name + "': status " + StatusText(status);
      return false;
    }
  }
  return true;
}
