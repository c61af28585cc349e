#pragma once

// Signals, and the component's renders and saved states that the LV2 tests
// compare against, made through the host kit.

#include "host/kit/HostedUnit.h"
#include "host/kit/PresetFile.h"

#include <CoreFoundation/CoreFoundation.h>

#include <unistd.h>

#include <cstdio>
#include <utility>
#include <vector>

using ParamSettings = std::vector<std::pair<int, float>>;

// A click on every channel at each multiple of 'every' frames, from frame 'first'.
inline ChannelData Clicks(size_t nChannels, size_t length, size_t first, size_t every)
{
  ChannelData in(nChannels, std::vector<float>(length, 0.0f));
  for (auto& channel : in)
    for (size_t i = first; i < length; i += every)
      channel[i] = 0.5f;
  return in;
}

// The component's render of in with these settings at this tempo, in slices of sliceFrames.
inline ChannelData RenderComponent(const ChannelData& in, double tempo,
                                   const ParamSettings& settings, UInt32 sliceFrames = 512)
{
  HostedUnit host;
  StreamSetup setup;
  setup.inputChannels = setup.outputChannels = static_cast<UInt32>(in.size());
  setup.maxFrames = sliceFrames;
  setup.tempo = tempo;
  std::string error;
  ChannelData out;
  if (!host.OpenFound("", error) || !host.Start(setup, error)) return out;
  for (const auto& setting : settings)
    host.SetParameter(setting.first, setting.second);
  host.RenderChannels(in, out);
  return out;
}

// The "data" chunk of the component's state with these settings, as saved in
// an .aupreset file and read back from it.
inline std::vector<unsigned char> ComponentPresetData(const ParamSettings& settings)
{
  std::vector<unsigned char> bytes;
  HostedUnit host;
  std::string error;
  if (!host.OpenFound("", error)) return bytes;
  for (const auto& setting : settings)
    host.SetParameter(setting.first, setting.second);
  CFRef<CFPropertyListRef> saved, read;
  char path[] = "/tmp/tolvane-lv2-XXXXXX.aupreset";
  const int fd = mkstemps(path, 9);
  if (fd < 0) return bytes;
  close(fd);
  const bool ok = CopyClassInfo(host.Unit(), saved, error) &&
                  WritePresetFile(path, saved.Get(), error) && ReadPresetFile(path, read, error);
  std::remove(path);
  if (!ok) return bytes;
  auto data = static_cast<CFDataRef>(
      CFDictionaryGetValue(static_cast<CFDictionaryRef>(read.Get()), CFSTR(kAUPresetDataKey)));
  if (data && CFGetTypeID(data) == CFDataGetTypeID())
    bytes.assign(CFDataGetBytePtr(data), CFDataGetBytePtr(data) + CFDataGetLength(data));
  return bytes;
}
