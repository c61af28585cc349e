// Saved state: the class-info dictionary in which hosts save and restore the
// plug-in, the dictionary readers and writers it uses, and the factory preset
// records handed to the host.

#include "IPlug/IPlugAU_State.h"

#include "IPlug/IPlugAU.h"
#include "IPlug/IPlugAU_Strings.h"

#include <climits>

// The class-info dictionary in which hosts save and restore the plug-in.

namespace
{
// Preset names in saved states are read into a buffer of this size.
constexpr int kStateNameSize = 64;

bool SameComponent(const ComponentDescription& cd, SInt32 type, SInt32 subtype, SInt32 mfr)
{
  return type == static_cast<SInt32>(cd.componentType) &&
         subtype == static_cast<SInt32>(cd.componentSubType) &&
         mfr == static_cast<SInt32>(cd.componentManufacturer);
}
} // namespace

ComponentResult IPlugAU::ReadComponentDescription(ComponentDescription* cd)
{
  return GetComponentInfo(reinterpret_cast<Component>(mCI), cd, nullptr, nullptr, nullptr);
}

ComponentResult IPlugAU::GetState(CFPropertyListRef* ppPropList)
{
  ComponentDescription cd;
  const ComponentResult err = ReadComponentDescription(&cd);
  if (err != noErr) return err;

  CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
      kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  if (!dict) return coreFoundationUnknownErr;
  const SInt32 version = GetEffectVersion(false);
  const SInt32 type = static_cast<SInt32>(cd.componentType);
  const SInt32 subtype = static_cast<SInt32>(cd.componentSubType);
  const SInt32 mfr = static_cast<SInt32>(cd.componentManufacturer);
  PutNumberInDict(dict, kAUPresetVersionKey, &version, kCFNumberSInt32Type);
  PutNumberInDict(dict, kAUPresetTypeKey, &type, kCFNumberSInt32Type);
  PutNumberInDict(dict, kAUPresetSubtypeKey, &subtype, kCFNumberSInt32Type);
  PutNumberInDict(dict, kAUPresetManufacturerKey, &mfr, kCFNumberSInt32Type);
  PutStrInDict(dict, kAUPresetNameKey, GetPresetName(GetCurrentPresetIdx()));

  ByteChunk chunk;
  if (DoesStateChunks())
  {
    if (SerializeState(&chunk)) PutDataInDict(dict, kAUPresetDataKey, &chunk);
  }
  else
  {
    SerializeParams(&chunk);
    PutDataInDict(dict, kAUPresetDataKey, &chunk);
  }
  *ppPropList = dict;
  return noErr;
}

// Every value is checked for its type before anything changes; only a missing
// "data" is found after the named preset has been selected.
ComponentResult IPlugAU::SetState(CFPropertyListRef pPropList)
{
  ComponentDescription cd;
  const ComponentResult err = ReadComponentDescription(&cd);
  if (err != noErr) return err;
  if (!pPropList || CFGetTypeID(pPropList) != CFDictionaryGetTypeID())
    return kAudioUnitErr_InvalidPropertyValue;
  auto dict = static_cast<CFDictionaryRef>(pPropList);

  SInt32 version = 0, type = 0, subtype = 0, mfr = 0;
  char name[kStateNameSize];
  const bool complete =
      GetNumberFromDict(dict, kAUPresetVersionKey, &version, kCFNumberSInt32Type) &&
      GetNumberFromDict(dict, kAUPresetTypeKey, &type, kCFNumberSInt32Type) &&
      GetNumberFromDict(dict, kAUPresetSubtypeKey, &subtype, kCFNumberSInt32Type) &&
      GetNumberFromDict(dict, kAUPresetManufacturerKey, &mfr, kCFNumberSInt32Type) &&
      GetStrFromDict(dict, kAUPresetNameKey, name, kStateNameSize);
  if (!complete || !SameComponent(cd, type, subtype, mfr) ||
      DictHasForeignValue(dict, kAUPresetDataKey, CFDataGetTypeID()))
    return kAudioUnitErr_InvalidPropertyValue;

  RestorePreset(name);
  ByteChunk chunk;
  if (!GetDataFromDict(dict, kAUPresetDataKey, &chunk)) return kAudioUnitErr_InvalidPropertyValue;
  const int pos = DoesStateChunks() ? UnserializeState(&chunk, 0) : UnserializeParams(&chunk, 0);
  if (pos == 0) return kAudioUnitErr_InvalidPropertyValue;
  RedrawParamControls();
  return noErr;
}

namespace
{
// The value under key if it has the expected type, else null.
CFTypeRef GetTypedValue(CFDictionaryRef dict, const char* key, CFTypeID expectedType)
{
  CFStrLocal cfKey(key);
  CFTypeRef value = CFDictionaryGetValue(dict, cfKey.Get());
  return value && CFGetTypeID(value) == expectedType ? value : nullptr;
}

void PutValue(CFMutableDictionaryRef dict, const char* key, CFTypeRef value)
{
  if (!value) return;
  CFStrLocal cfKey(key);
  CFDictionarySetValue(dict, cfKey.Get(), value);
  CFRelease(value);
}
} // namespace

bool GetNumberFromDict(CFDictionaryRef dict, const char* key, void* out, CFNumberType type)
{
  auto number = static_cast<CFNumberRef>(GetTypedValue(dict, key, CFNumberGetTypeID()));
  if (!number) return false;
  CFNumberGetValue(number, type, out);
  return true;
}

bool GetStrFromDict(CFDictionaryRef dict, const char* key, char* out, int outSize)
{
  if (outSize <= 0) return false;
  out[0] = '\0';
  auto str = static_cast<CFStringRef>(GetTypedValue(dict, key, CFStringGetTypeID()));
  if (!str) return false;
  CStrLocal text(str);
  strncpy(out, text.Get(), static_cast<size_t>(outSize));
  out[outSize - 1] = '\0';
  CutUTF8(out, outSize - 1);
  return true;
}

bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk)
{
  auto data = static_cast<CFDataRef>(GetTypedValue(dict, key, CFDataGetTypeID()));
  if (!data) return false;
  const CFIndex length = CFDataGetLength(data);
  if (length > INT_MAX) return false;
  chunk->Resize(static_cast<int>(length));
  if (length > 0) memcpy(chunk->GetBytes(), CFDataGetBytePtr(data), static_cast<size_t>(length));
  return true;
}

bool DictHasForeignValue(CFDictionaryRef dict, const char* key, CFTypeID expectedType)
{
  CFStrLocal cfKey(key);
  CFTypeRef value = CFDictionaryGetValue(dict, cfKey.Get());
  return value && CFGetTypeID(value) != expectedType;
}

void PutNumberInDict(CFMutableDictionaryRef dict, const char* key, const void* value,
                     CFNumberType type)
{
  PutValue(dict, key, CFNumberCreate(kCFAllocatorDefault, type, value));
}

void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* value)
{
  PutValue(dict, key, MakeCFString(value));
}

void PutDataInDict(CFMutableDictionaryRef dict, const char* key, const ByteChunk* chunk)
{
  PutValue(dict, key, CFDataCreate(kCFAllocatorDefault, chunk->GetBytes(), chunk->Size()));
}

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
