// `tolvane preset save FILE.aupreset` writes the plug-in's class-info
// dictionary after the chosen preset and values; `tolvane preset show
// FILE.aupreset` prints a file's dictionary and the parameter values the
// component reads from it.

#include "host/commands/Commands.h"
#include "host/commands/Options.h"

#include "host/kit/CFRef.h"
#include "host/kit/FactoryPresets.h"
#include "host/kit/Component.h"
#include "host/kit/ComponentInfo.h"
#include "host/kit/Parameters.h"
#include "host/kit/PresetFile.h"
#include "host/kit/StatusText.h"
#include "host/commands/UnitState.h"

#include <cstdio>

namespace
{
// The keys a host writes, in the order a reader expects them.
const char* const kClassInfoKeys[] = {"version", "type", "subtype", "manufacturer", "name", "data"};

bool IsFourCCKey(const std::string& key)
{
  return key == "type" || key == "subtype" || key == "manufacturer";
}

std::string ValueDescription(const std::string& key, CFTypeRef value)
{
  const CFTypeID type = CFGetTypeID(value);
  if (type == CFStringGetTypeID())
    return "\"" + CFStringText(static_cast<CFStringRef>(value)) + "\"";
  if (type == CFDataGetTypeID())
    return std::to_string(CFDataGetLength(static_cast<CFDataRef>(value))) + " bytes";
  if (type == CFNumberGetTypeID())
  {
    SInt64 number = 0;
    CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt64Type, &number);
    std::string text = std::to_string(number);
    if (IsFourCCKey(key)) text = "'" + FourCCText(static_cast<UInt32>(number)) + "' (" + text + ")";
    if (key == "version") text += " (" + VersionText(static_cast<long>(number)) + ")";
    return text;
  }
  const CFRef<CFStringRef> description(CFCopyDescription(value));
  return CFStringText(description.Get());
}

void PrintDictionary(const std::string& path, CFDictionaryRef dict)
{
  std::printf("%s\n", path.c_str());
  for (const char* key : kClassInfoKeys)
  {
    const CFRef<CFStringRef> cfKey = OwnedCFString(key);
    const CFTypeRef value = CFDictionaryGetValue(dict, cfKey.Get());
    std::printf("  %-13s %s\n", key, value ? ValueDescription(key, value).c_str() : "(missing)");
  }
  const CFIndex count = CFDictionaryGetCount(dict);
  std::vector<const void*> keys(static_cast<size_t>(count)), values(static_cast<size_t>(count));
  CFDictionaryGetKeysAndValues(dict, keys.data(), values.data());
  for (CFIndex i = 0; i < count; ++i)
  {
    const CFTypeRef key = keys[static_cast<size_t>(i)];
    if (CFGetTypeID(key) != CFStringGetTypeID()) continue;
    const std::string name = CFStringText(static_cast<CFStringRef>(key));
    bool known = false;
    for (const char* knownKey : kClassInfoKeys)
      known = known || name == knownKey;
    if (!known)
      std::printf("  %-13s %s\n", name.c_str(),
                  ValueDescription(name, values[static_cast<size_t>(i)]).c_str());
  }
}

// The values as the component reads them, with the text it shows; '*' marks a
// value that differs from the same parameter in `factory`.
bool PrintParameterValues(AudioUnit unit, AudioUnit factory, std::string& error)
{
  std::vector<ParameterDesc> params;
  if (!ReadParameters(unit, params, error)) return false;
  std::printf("parameters as the component reads them (* differs from the factory preset):\n");
  for (const ParameterDesc& desc : params)
  {
    AudioUnitParameterValue value = 0.0f, original = 0.0f;
    AudioUnitGetParameter(unit, desc.id, kAudioUnitScope_Global, 0, &value);
    AudioUnitGetParameter(factory, desc.id, kAudioUnitScope_Global, 0, &original);
    const std::string shown = ParameterValueText(unit, desc.id, value);
    const bool differs = value != original;
    std::string line = std::string(differs ? "* " : "  ") + ValueText(value);
    if (!shown.empty()) line += " (shows " + shown + ")";
    if (differs)
      line +=
          "   factory " + ValueText(original) +
          (shown.empty() ? "" : " (shows " + ParameterValueText(factory, desc.id, original) + ")");
    std::printf("  %5u  %-16s %s\n", desc.id, desc.name.c_str(), line.c_str());
  }
  return true;
}

bool ShowPreset(const PresetOptions& options, std::string& error)
{
  CFRef<CFPropertyListRef> plist;
  if (!ReadPresetFile(options.path, plist, error)) return false;
  PrintDictionary(options.path, static_cast<CFDictionaryRef>(plist.Get()));

  Component component = nullptr;
  UnitInstance unit, factory;
  std::vector<FactoryPreset> presets;
  if (!FindAndLoadComponent(options.componentPath, component, error) ||
      !OpenUnit(component, unit, error) || !OpenUnit(component, factory, error) ||
      !ReadFactoryPresets(factory.Get(), presets, error))
    return false;
  if (!presets.empty()) SelectPreset(factory.Get(), presets[0]);
  const ComponentResult status = RestoreClassInfo(unit.Get(), plist.Get());
  if (status != noErr)
  {
    error = "the component refuses the state in " + options.path + ": status " + StatusText(status);
    return false;
  }
  return PrintParameterValues(unit.Get(), factory.Get(), error);
}

// The name inside the file; an empty name keeps the one the component gave.
bool NamePreset(CFRef<CFPropertyListRef>& plist, const std::string& name, std::string& error)
{
  if (name.empty()) return true;
  CFRef<CFPropertyListRef> named(
      CFDictionaryCreateMutableCopy(nullptr, 0, static_cast<CFDictionaryRef>(plist.Get())));
  if (!named.Get())
  {
    error = "out of memory naming the preset";
    return false;
  }
  const CFRef<CFStringRef> key = OwnedCFString("name");
  const CFRef<CFStringRef> value = OwnedCFString(name.c_str());
  CFDictionarySetValue(static_cast<CFMutableDictionaryRef>(const_cast<void*>(named.Get())),
                       key.Get(), value.Get());
  plist = std::move(named);
  return true;
}

bool SavePreset(const PresetOptions& options, std::string& error)
{
  Component component = nullptr;
  UnitInstance unit;
  CFRef<CFPropertyListRef> plist;
  if (!FindAndLoadComponent(options.componentPath, component, error) ||
      !OpenUnit(component, unit, error) || !ApplyStateOptions(unit.Get(), options.state, error) ||
      !CopyClassInfo(unit.Get(), plist, error) || !NamePreset(plist, options.presetName, error) ||
      !WritePresetFile(options.path, plist.Get(), error))
    return false;
  std::printf("wrote %s\n", options.path.c_str());
  return true;
}

int Run(const std::vector<std::string>& args)
{
  PresetOptions options;
  std::string error;
  if (!ParsePresetOptions(args, options, error)) return UsageError(kPresetCommand, error);
  if (options.help) return ShowUsage(kPresetCommand, PresetOptionSpecs(options));
  const bool ok =
      options.action == "save" ? SavePreset(options, error) : ShowPreset(options, error);
  if (ok) return 0;
  std::fprintf(stderr, "tolvane: %s\n", error.c_str());
  return 1;
}
} // namespace

const Command kPresetCommand = {
    "preset", "save FILE.aupreset [--name NAME] [options]  |  preset show FILE.aupreset",
    "save: write the state as an .aupreset file (--preset, --state, --set);\n"
    "      show: show an .aupreset file",
    Run};

std::vector<OptionSpec> PresetOptionSpecs(PresetOptions& options)
{
  std::vector<OptionSpec> specs = {{"name", "NAME", "save: the preset's name inside the file",
                                    [&options](const std::string& value, std::string&)
                                    {
                                      options.presetName = value;
                                      return true;
                                    }}};
  AddStateOptions(specs, options.state);
  specs.push_back(ComponentOption(options.componentPath));
  specs.push_back(HelpOption(options.help));
  return specs;
}

bool ParsePresetOptions(const std::vector<std::string>& args, PresetOptions& options,
                        std::string& error)
{
  std::vector<std::string> positional;
  if (!ParseArguments(args, PresetOptionSpecs(options), positional, error)) return false;
  if (options.help) return true;
  if (positional.size() < 2 || (positional[0] != "save" && positional[0] != "show"))
  {
    error = "preset needs save FILE.aupreset or show FILE.aupreset";
    return false;
  }
  if (TooManyArguments(positional, 2, error)) return false;
  options.action = positional[0];
  options.path = positional[1];
  const StateOptions& state = options.state;
  if (options.action == "show" && (!state.presetName.empty() || !state.stateFile.empty() ||
                                   !state.settings.empty() || !options.presetName.empty()))
  {
    error = "preset show takes no --preset, --state, --set or --name";
    return false;
  }
  return true;
}
