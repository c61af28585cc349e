// Parameter chunks: a valid class-info dictionary whose "data" is the input.
#include "tests/fuzz/FuzzEffect.h"

#include <cstddef>
#include <cstdint>

namespace
{
CFDictionaryRef ValidClassInfo(HostedUnit& host)
{
  CFPropertyListRef saved = nullptr;
  UInt32 size = sizeof saved;
  AudioUnitGetProperty(host.Unit(), kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0,
                       &saved, &size);
  if (!saved) std::abort();
  return static_cast<CFDictionaryRef>(saved);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  HostedUnit& host = FuzzEffect();
  static CFDictionaryRef valid = ValidClassInfo(host);
  CFMutableDictionaryRef dict = CFDictionaryCreateMutableCopy(nullptr, 0, valid);
  CFDataRef chunk = CFDataCreate(nullptr, data, static_cast<CFIndex>(size));
  CFDictionarySetValue(dict, CFSTR("data"), chunk);
  RestoreClassInfo(host, dict);
  CFRelease(chunk);
  CFRelease(dict);
  return 0;
}
