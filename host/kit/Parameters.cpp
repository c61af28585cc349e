#include "host/kit/Parameters.h"

#include "host/kit/CFRef.h"
#include "host/kit/StatusText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <set>

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

namespace
{
std::string Lower(std::string text)
{
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

size_t EditDistance(const std::string& a, const std::string& b)
{
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j)
    row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i)
  {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j)
    {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// Stepped parameters show at most this many texts.
const int kMaxSteps = 16;
// The range is sampled at this many points to count them.
const int kStepProbes = 2001;
} // namespace

const ParameterDesc* FindParameter(const std::vector<ParameterDesc>& params,
                                   const std::string& name)
{
  for (const ParameterDesc& desc : params)
    if (desc.name == name) return &desc;
  const std::string wanted = Lower(name);
  for (const ParameterDesc& desc : params)
    if (Lower(desc.name) == wanted) return &desc;
  return nullptr;
}

std::vector<std::string> ClosestParameterNames(const std::vector<ParameterDesc>& params,
                                               const std::string& name, size_t count)
{
  std::vector<std::pair<size_t, std::string>> ranked;
  for (const ParameterDesc& desc : params)
    ranked.emplace_back(EditDistance(Lower(name), Lower(desc.name)), desc.name);
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> names;
  for (size_t i = 0; i < ranked.size() && i < count; ++i)
    names.push_back(ranked[i].second);
  return names;
}

std::string ParameterValueText(AudioUnit unit, AudioUnitParameterID id,
                               AudioUnitParameterValue value)
{
  AudioUnitParameterStringFromValue conversion = {id, &value, nullptr};
  UInt32 size = sizeof(conversion);
  if (AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterStringFromValue,
                           kAudioUnitScope_Global, 0, &conversion, &size) != noErr ||
      !conversion.outString)
    return std::string();
  const CFRef<CFStringRef> text(conversion.outString);
  return CFStringText(text.Get());
}

bool ParameterValueFromText(AudioUnit unit, AudioUnitParameterID id, const std::string& text,
                            AudioUnitParameterValue& value)
{
  const CFRef<CFStringRef> string = OwnedCFString(text.c_str());
  AudioUnitParameterValueFromString conversion = {};
  conversion.inParamID = id;
  conversion.inString = string.Get();
  conversion.outValue = std::numeric_limits<AudioUnitParameterValue>::quiet_NaN();
  UInt32 size = sizeof(conversion);
  if (AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterValueFromString,
                           kAudioUnitScope_Global, 0, &conversion, &size) != noErr ||
      std::isnan(conversion.outValue))
    return false;
  value = conversion.outValue;
  return true;
}

int ParameterSteps(AudioUnit unit, const ParameterDesc& desc)
{
  std::set<std::string> texts;
  for (int i = 0; i < kStepProbes; ++i)
  {
    const double v = desc.minValue + (desc.maxValue - desc.minValue) * i / (kStepProbes - 1);
    const std::string text =
        ParameterValueText(unit, desc.id, static_cast<AudioUnitParameterValue>(v));
    if (text.empty()) return 0;
    texts.insert(text);
    if (texts.size() > static_cast<size_t>(kMaxSteps)) return 0;
  }
  return texts.size() > 1 ? static_cast<int>(texts.size()) : 0;
}

EffectPanel PanelOf(const std::string& name)
{
  if (Lower(name) == "switch") return EffectPanel::Both;
  return !name.empty() && name[0] == '2' ? EffectPanel::LoopEngine : EffectPanel::StereoEngine;
}

const char* PanelName(EffectPanel panel)
{
  switch (panel)
  {
  case EffectPanel::StereoEngine:
    return "stereo engine";
  case EffectPanel::LoopEngine:
    return "loop engine";
  default:
    return "both";
  }
}

EffectPanel SelectedPanel(AudioUnit unit, const std::vector<ParameterDesc>& params)
{
  const ParameterDesc* selector = FindParameter(params, "switch");
  AudioUnitParameterValue value = 0.0f;
  if (!selector || AudioUnitGetParameter(unit, selector->id, kAudioUnitScope_Global, 0, &value))
    return EffectPanel::Both;
  return value > 50.0f ? EffectPanel::StereoEngine : EffectPanel::LoopEngine;
}

std::vector<std::string> UnselectedEngineWarnings(AudioUnit unit,
                                                  const std::vector<ParameterSetting>& settings)
{
  std::vector<std::string> warnings;
  std::vector<ParameterDesc> params;
  std::string error;
  if (settings.empty() || !ReadParameters(unit, params, error)) return warnings;
  const EffectPanel selected = SelectedPanel(unit, params);
  if (selected == EffectPanel::Both) return warnings;
  for (const ParameterSetting& setting : settings)
  {
    const ParameterDesc* desc = FindParameter(params, setting.name);
    if (!desc) continue;
    const EffectPanel panel = PanelOf(desc->name);
    if (panel == EffectPanel::Both || panel == selected) continue;
    warnings.push_back(desc->name + " acts in the " + PanelName(panel) +
                       ", but \"switch\" selects the " + PanelName(selected) +
                       ": the setting has no audible effect");
  }
  return warnings;
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

bool ResolveSettingValue(AudioUnit unit, const ParameterDesc& desc, const std::string& text,
                         AudioUnitParameterValue& value, std::string& error)
{
  char* end = nullptr;
  const double number = std::strtod(text.c_str(), &end);
  const bool isNumber = !text.empty() && *end == '\0' && std::isfinite(number);
  if (isNumber && number >= desc.minValue && number <= desc.maxValue)
  {
    value = static_cast<AudioUnitParameterValue>(number);
    return true;
  }
  // Not a value of the range: perhaps the text the effect shows.
  if (ParameterValueFromText(unit, desc.id, text, value)) return true;
  error = "'" + text + "' for parameter '" + desc.name + "' is neither a value from " +
          ValueText(desc.minValue) + " to " + ValueText(desc.maxValue) +
          " nor a text it shows for one";
  return false;
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
      std::string closest;
      for (const std::string& name : ClosestParameterNames(params, setting.name))
        closest += (closest.empty() ? "" : ", ") + name;
      error = "unknown parameter '" + setting.name + "' (closest: " + closest +
              "; tolvane info lists them all)";
      return false;
    }
    AudioUnitParameterValue value = 0.0f;
    if (!ResolveSettingValue(unit, *desc, setting.value, value, error)) return false;
    const ComponentResult status =
        AudioUnitSetParameter(unit, desc->id, kAudioUnitScope_Global, 0, value, 0);
    if (status != noErr)
    {
      error =
          "the component refuses parameter '" + setting.name + "': status " + StatusText(status);
      return false;
    }
  }
  return true;
}
