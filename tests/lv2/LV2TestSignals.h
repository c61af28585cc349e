#pragma once

// Signals and component renders the LV2 tests compare against.

#include "tests/effect/EffectHost.h"

#include <CoreFoundation/CoreFoundation.h>

#include <utility>
#include <vector>

using ParamSettings = std::vector<std::pair<int, float>>;

// A click on every channel at each multiple of 'every' frames, from frame 'first'.
inline Channels Clicks(size_t nChannels, size_t length, size_t first, size_t every)
{
  Channels in(nChannels, std::vector<float>(length, 0.0f));
  for (auto& channel : in)
    for (size_t i = first; i < length; i += every)
      channel[i] = 0.5f;
  return in;
}

// The component's render of in with these settings at this tempo.
inline Channels RenderComponent(const Channels& in, double tempo, const ParamSettings& settings,
                                UInt32 blockSize = 512)
{
  EffectHost host;
  Channels out;
  if (!host.Unit() || host.Start(44100.0, static_cast<UInt32>(in.size()), 4096) != noErr)
    return out;
  host.SetTempo(tempo);
  for (const auto& setting : settings)
    host.SetParameter(setting.first, setting.second);
  host.Process(in, &out, blockSize);
  return out;
}

// The component's "data" chunk with these settings.
inline std::vector<unsigned char> ComponentData(const ParamSettings& settings)
{
  EffectHost host;
  std::vector<unsigned char> bytes;
  if (!host.Unit()) return bytes;
  for (const auto& setting : settings)
    host.SetParameter(setting.first, setting.second);
  CFPropertyListRef state = nullptr;
  UInt32 size = sizeof(state);
  if (AudioUnitGetProperty(host.Unit(), kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0,
                           &state, &size) != noErr)
    return bytes;
  auto data = static_cast<CFDataRef>(
      CFDictionaryGetValue(static_cast<CFDictionaryRef>(state), CFSTR(kAUPresetDataKey)));
  if (data) bytes.assign(CFDataGetBytePtr(data), CFDataGetBytePtr(data) + CFDataGetLength(data));
  CFRelease(state);
  return bytes;
}
