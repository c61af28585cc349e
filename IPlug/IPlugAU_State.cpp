// The class-info dictionary in which hosts save and restore the plug-in.

#include "IPlug/IPlugAU.h"

#include "IPlug/IPlugAU_Dict.h"

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
