#include "IPlug/IPlugAU_CFAUPreset.h"

CFAUPreset* CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber, CFStringRef name)
{
  auto preset = static_cast<CFAUPreset*>(CFAllocatorAllocate(allocator, sizeof(CFAUPreset), 0));
  if (!preset) return nullptr;
  preset->auPreset.presetNumber = presetNumber;
  preset->auPreset.presetName = name ? CFStringCreateCopy(allocator, name) : nullptr;
  preset->reserved = 0;
  preset->allocator = allocator;
  preset->retainCount = 1;
  return preset;
}

CFAUPreset* CFAUPresetRetain(CFAUPreset* preset)
{
  if (!preset) return nullptr;
  if (preset->auPreset.presetName) CFRetain(preset->auPreset.presetName);
  ++preset->retainCount;
  return preset;
}

void CFAUPresetRelease(CFAUPreset* preset)
{
  if (!preset || preset->retainCount <= 0) return;
  if (preset->auPreset.presetName) CFRelease(preset->auPreset.presetName);
  if (--preset->retainCount > 0) return;
  preset->auPreset.presetName = nullptr;
  preset->auPreset.presetNumber = 0;
  CFAllocatorDeallocate(preset->allocator, preset);
}

namespace
{
CFAUPreset* AsPreset(const void* value)
{
  return static_cast<CFAUPreset*>(const_cast<void*>(value));
}

const void* RetainPreset(CFAllocatorRef, const void* value)
{
  return CFAUPresetRetain(AsPreset(value));
}

void ReleasePreset(CFAllocatorRef, const void* value)
{
  CFAUPresetRelease(AsPreset(value));
}

CFStringRef CopyPresetDescription(const void* value)
{
  const AUPreset& preset = AsPreset(value)->auPreset;
  return CFStringCreateWithFormat(kCFAllocatorDefault, nullptr,
                                  CFSTR("AUPreset:\npreset number = %d\npreset name = %@"),
                                  static_cast<int>(preset.presetNumber), preset.presetName);
}

bool NamesEqual(CFStringRef a, CFStringRef b)
{
  if (!a || !b) return a == b;
  return CFStringCompare(a, b, 0) == kCFCompareEqualTo;
}

Boolean PresetsEqual(const void* value1, const void* value2)
{
  const AUPreset& a = AsPreset(value1)->auPreset;
  const AUPreset& b = AsPreset(value2)->auPreset;
  return a.presetNumber == b.presetNumber && NamesEqual(a.presetName, b.presetName);
}
} // namespace

const CFArrayCallBacks kCFAUPresetArrayCallBacks = {0, RetainPreset, ReleasePreset,
                                                    CopyPresetDescription, PresetsEqual};
