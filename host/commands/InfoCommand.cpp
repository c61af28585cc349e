// `tolvane info`: the component's description, version, channel
// configurations, latency and tail, its editor view, parameters and factory
// presets.

#include "host/commands/Commands.h"
#include "host/commands/Options.h"

#include "host/kit/AUProperty.h"
#include "host/kit/Component.h"
#include "host/kit/ComponentInfo.h"
#include "host/kit/EditorView.h"
#include "host/kit/FactoryPresets.h"
#include "host/kit/Parameters.h"
#include "host/kit/StatusText.h"

#include <cstdio>

namespace
{
std::string ChannelText(SInt16 count)
{
  return count < 0 ? std::string("any") : std::to_string(count);
}

void PrintUnitFacts(AudioUnit unit)
{
  std::string configurations;
  for (const AUChannelInfo& info : ReadChannelConfigurations(unit))
    configurations += (configurations.empty() ? "" : ", ") + ChannelText(info.inChannels) + " in " +
                      ChannelText(info.outChannels) + " out";
  std::printf("  channels      %s\n",
              configurations.empty() ? "(not stated)" : configurations.c_str());

  Float64 latency = 0.0, tail = 0.0, sampleRate = 0.0;
  UInt32 maxFrames = 0;
  GetGlobalProperty(unit, kAudioUnitProperty_Latency, latency);
  GetGlobalProperty(unit, kAudioUnitProperty_TailTime, tail);
  GetGlobalProperty(unit, kAudioUnitProperty_SampleRate, sampleRate);
  GetGlobalProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, maxFrames);
  std::printf("  latency       %g s\n", latency);
  std::printf("  tail          %g s\n", tail);
  std::printf("  sample rate   %g Hz, at most %u frames per slice (until the host sets them)\n",
              sampleRate, maxFrames);
}

bool PrintParameters(AudioUnit unit, std::string& error)
{
  std::vector<ParameterDesc> params;
  if (!ReadParameters(unit, params, error)) return false;
  const EffectPanel selected = SelectedPanel(unit, params);
  std::printf("parameters (%zu; \"switch\" selects the %s):\n", params.size(), PanelName(selected));
  std::printf("  %5s  %-16s %-14s %-5s %-10s %-8s %-10s %s\n", "index", "name", "panel", "unit",
              "range", "value", "shows", "steps");
  for (const ParameterDesc& desc : params)
  {
    AudioUnitParameterValue value = 0.0f;
    const ComponentResult status =
        AudioUnitGetParameter(unit, desc.id, kAudioUnitScope_Global, 0, &value);
    const std::string range = ValueText(desc.minValue) + "-" + ValueText(desc.maxValue);
    const std::string valueText =
        status == noErr ? ValueText(value) : "unreadable: " + StatusText(status);
    const std::string shown = status == noErr ? ParameterValueText(unit, desc.id, value) : "";
    const int steps = ParameterSteps(unit, desc);
    std::printf("  %5u  %-16s %-14s %-5s %-10s %-8s %-10s %s\n", desc.id, desc.name.c_str(),
                PanelName(PanelOf(desc.name)), UnitLabel(desc).c_str(), range.c_str(),
                valueText.c_str(), shown.empty() ? "-" : shown.c_str(),
                steps > 0 ? std::to_string(steps).c_str() : "-");
  }
  return true;
}

bool PrintPresets(AudioUnit unit, std::string& error)
{
  std::vector<FactoryPreset> presets;
  if (!ReadFactoryPresets(unit, presets, error)) return false;
  std::printf("factory presets (%zu):\n", presets.size());
  for (const FactoryPreset& preset : presets)
    std::printf("  %5d  %s\n", preset.number, preset.name.c_str());
  return true;
}

// Whether the unit offers a view, opened the way a host opens it, and its size.
void PrintEditor(AudioUnit unit)
{
  EditorView view;
  std::string why;
  if (view.Open(unit, why))
    std::printf("  editor        Cocoa view from %s, %d x %d\n", view.FactoryClassName().c_str(),
                view.Width(), view.Height());
  else
    std::printf("  editor        none (%s)\n", why.c_str());
}

bool PrintInfo(const ComponentOptions& options, std::string& error)
{
  std::string bundlePath;
  Component component = nullptr;
  ComponentIdentity identity;
  UnitInstance unit;
  if (!FindComponentBundle(options.componentPath, bundlePath, error) ||
      !LoadComponent(bundlePath, component, error) ||
      !ReadComponentIdentity(component, identity, error) || !OpenUnit(component, unit, error))
    return false;

  const ComponentDescription& d = identity.description;
  const long version = CallComponentVersion(unit.Get());
  std::printf("%s\n", bundlePath.c_str());
  std::printf("  name          %s\n", identity.name.c_str());
  std::printf("  component     type '%s', subtype '%s', manufacturer '%s'\n",
              FourCCText(d.componentType).c_str(), FourCCText(d.componentSubType).c_str(),
              FourCCText(d.componentManufacturer).c_str());
  std::printf("  version       %s (0x%08lx)\n", VersionText(version).c_str(), version);
  PrintUnitFacts(unit.Get());
  PrintEditor(unit.Get());
  return PrintParameters(unit.Get(), error) && PrintPresets(unit.Get(), error);
}

int Run(const std::vector<std::string>& args)
{
  ComponentOptions options;
  std::string error;
  if (!ParseComponentOptions(args, options, error)) return UsageError(kInfoCommand, error);
  if (options.help) return ShowUsage(kInfoCommand, ComponentOptionSpecs(options));
  if (PrintInfo(options, error)) return 0;
  std::fprintf(stderr, "tolvane: %s\n", error.c_str());
  return 1;
}
} // namespace

const Command kInfoCommand = {"info", "[options]", "what the component tells a host", Run};
