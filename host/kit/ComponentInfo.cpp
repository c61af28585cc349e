#include "host/kit/ComponentInfo.h"

#include "host/kit/StatusText.h"

#include <algorithm>

bool ReadComponentIdentity(Component component, ComponentIdentity& identity, std::string& error)
{
  Handle name = NewHandle(0);
  const OSErr status = GetComponentInfo(component, &identity.description, name, nullptr, nullptr);
  if (status == noErr && name && GetHandleSize(name) > 0)
  {
    // A Pascal string: the length byte, then the text.
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(*name);
    const size_t length = std::min<size_t>(bytes[0], static_cast<size_t>(GetHandleSize(name) - 1));
    identity.name.assign(reinterpret_cast<const char*>(bytes + 1), length);
  }
  DisposeHandle(name);
  if (status != noErr)
    error = "the component's description cannot be read: status " + StatusText(status);
  return status == noErr;
}

std::string VersionText(long version)
{
  return std::to_string((version >> 16) & 0xffff) + "." + std::to_string((version >> 8) & 0xff) +
         "." + std::to_string(version & 0xff);
}

std::vector<AUChannelInfo> ReadChannelConfigurations(AudioUnit unit)
{
  UInt32 size = 0;
  Boolean writable = false;
  std::vector<AUChannelInfo> configurations;
  if (AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_SupportedNumChannels,
                               kAudioUnitScope_Global, 0, &size, &writable) != noErr)
    return configurations;
  configurations.resize(size / sizeof(AUChannelInfo));
  if (configurations.empty() ||
      AudioUnitGetProperty(unit, kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0,
                           configurations.data(), &size) != noErr)
    configurations.clear();
  return configurations;
}
