// Properties: reading and writing, parameter information and text conversions,
// factory presets.

#include "IPlug/IPlugAU.h"

#include "IPlug/IGraphicsMac.h"

#include "IPlug/IPlugAU_PropertyReply.h"
#include "IPlug/IPlugAU_Strings.h"
#include "IPlug/Log.h"
#include "IPlug/IPlugAU_State.h"

#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <strings.h>

// The host's property requests: reading (which also answers size-only
// requests) and writing.

namespace
{
// Larger slices are refused: the scratch buffers they would need are far beyond
// any host's block.
constexpr UInt32 kMaxFramesPerSlice = 1 << 20;

bool InputOrGlobal(AudioUnitScope scope)
{
  return scope == kAudioUnitScope_Input || scope == kAudioUnitScope_Global;
}

bool IsSampleRate(Float64 rate)
{
  return rate > 0.0 && std::isfinite(rate);
}

// The Cocoa view is offered only on systems whose version (as the editor's
// window binding reports it) is above 0x104F.
bool SystemOffersCocoaViews()
{
  return IGraphicsMac::GetUserOSVersion() > 0x104F;
}
} // namespace

ComponentResult IPlugAU::GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                     AudioUnitElement element, UInt32* pDataSize,
                                     Boolean* pWriteable, void* pData)
{
  Trace(__func__, __LINE__, "%s(%d:%s):(%d:%s):%d", pData ? "" : "info:", propID,
        AUPropertyStr(propID), scope, AUScopeStr(scope), element);
  PropertyReply reply(pDataSize, pWriteable, pData);
  const bool global = scope == kAudioUnitScope_Global;

  switch (propID)
  {
  case kAudioUnitProperty_ClassInfo:
    if (!reply.Accept(sizeof(CFPropertyListRef), true)) return reply.Result();
    return GetState(reply.Data<CFPropertyListRef>());
  case kAudioUnitProperty_MakeConnection:
    if (!InputOrGlobal(scope)) return kAudioUnitErr_InvalidProperty;
    reply.Accept(sizeof(AudioUnitConnection), true);
    return reply.Result();
  case kAudioUnitProperty_SampleRate:
    return reply.Answer<Float64>(GetSampleRate(), true);
  case kAudioUnitProperty_ParameterList:
  {
    const int n = global ? NParams() : 0;
    if (!reply.Accept(n * sizeof(AudioUnitParameterID), false)) return reply.Result();
    for (int i = 0; i < n; ++i)
      reply.Data<AudioUnitParameterID>()[i] = i;
    return noErr;
  }
  case kAudioUnitProperty_ParameterInfo:
  case kAudioUnitProperty_ParameterValueStrings:
  case kAudioUnitProperty_ParameterStringFromValue:
  case kAudioUnitProperty_ParameterIDName:
  case kAudioUnitProperty_ParameterValueFromString:
    return GetParameterProperty(propID, scope, element, reply);
  case kAudioUnitProperty_FastDispatch:
    return GetProc(element, pDataSize, pData);
  case kAudioUnitProperty_StreamFormat:
  {
    const BusChannels* bus = GetBus(scope, element);
    if (!bus) return kAudioUnitErr_InvalidProperty;
    if (!reply.Accept(sizeof(AudioStreamBasicDescription), true)) return reply.Result();
    const int nChannels = bus->mNHostChannels < 0 ? bus->mNPlugChannels : bus->mNHostChannels;
    MakeDefaultASBD(reply.Data<AudioStreamBasicDescription>(), GetSampleRate(), nChannels, false);
    return noErr;
  }
  case kAudioUnitProperty_ElementCount:
    return reply.Answer<UInt32>(ElementCount(scope));
  case kAudioUnitProperty_Latency:
    if (!global) return kAudioUnitErr_InvalidProperty;
    return reply.Answer<Float64>(GetLatency() / GetSampleRate());
  case kAudioUnitProperty_TailTime:
    if (!global) return kAudioUnitErr_InvalidProperty;
    return reply.Answer<Float64>(GetTailSeconds());
  case kAudioUnitProperty_SupportedNumChannels:
    if (!global) return kAudioUnitErr_InvalidProperty;
    if (!reply.Accept(NChannelIO() * sizeof(AUChannelInfo), false)) return reply.Result();
    GetSupportedChannels(reply.Data<AUChannelInfo>());
    return noErr;
  case kAudioUnitProperty_MaximumFramesPerSlice:
    if (!global) return kAudioUnitErr_InvalidProperty;
    return reply.Answer<UInt32>(GetBlockSize(), true);
  case kAudioUnitProperty_GetUIComponentList:
    if (!GetGUI()) return kAudioUnitErr_InvalidProperty;
    return reply.Answer<ComponentDescription>({kAudioUnitCarbonViewComponentType,
                                               static_cast<OSType>(GetUniqueID()),
                                               static_cast<OSType>(GetMfrID()), 0, 0});
  case kAudioUnitProperty_BypassEffect:
    if (!global) return kAudioUnitErr_InvalidProperty;
    return reply.Answer<UInt32>(mBypassed ? 1 : 0, true);
  case kAudioUnitProperty_LastRenderError:
    if (!global) return kAudioUnitErr_InvalidProperty;
    return reply.Answer<OSStatus>(noErr);
  case kAudioUnitProperty_SetRenderCallback:
    if (!InputOrGlobal(scope) || element >= static_cast<UInt32>(mInBuses.GetSize()))
      return kAudioUnitErr_InvalidProperty;
    reply.Accept(sizeof(AURenderCallbackStruct), true);
    return reply.Result();
  case kAudioUnitProperty_FactoryPresets:
    if (!reply.Accept(sizeof(CFArrayRef), false)) return reply.Result();
    return GetFactoryPresets(reply.Data<CFArrayRef>());
  case kAudioUnitProperty_HostCallbacks:
    if (!global) return kAudioUnitErr_InvalidProperty;
    reply.Accept(sizeof(HostCallbackInfo), true);
    return reply.Result();
  case kAudioUnitProperty_CurrentPreset:
  case kAudioUnitProperty_PresentPreset:
    if (!reply.Accept(sizeof(AUPreset), true)) return reply.Result();
    GetPresentPreset(reply.Data<AUPreset>());
    return noErr;
  case kAudioUnitProperty_CocoaUI:
    return GetCocoaViewInfo(reply);
  case kMusicDeviceProperty_InstrumentCount:
    if (!global || !IsInst()) return kAudioUnitErr_InvalidProperty;
    return reply.Answer<UInt32>(1);
  default:
    return kAudioUnitErr_InvalidProperty;
  }
}

UInt32 IPlugAU::ElementCount(AudioUnitScope scope) const
{
  switch (scope)
  {
  case kAudioUnitScope_Input:
    return static_cast<UInt32>(mInBuses.GetSize());
  case kAudioUnitScope_Output:
    return static_cast<UInt32>(mOutBuses.GetSize());
  case kAudioUnitScope_Global:
    return 1;
  default:
    return 0;
  }
}

void IPlugAU::GetSupportedChannels(AUChannelInfo* channels) const
{
  for (int i = 0; i < NChannelIO(); ++i)
  {
    const ChannelIO* io = GetChannelIO(i);
    Trace(__func__, __LINE__, "IO:%d:%d", io->mIn, io->mOut);
    channels[i].inChannels = static_cast<SInt16>(io->mIn);
    channels[i].outChannels = static_cast<SInt16>(io->mOut);
  }
}

ComponentResult IPlugAU::GetCocoaViewInfo(PropertyReply& reply)
{
  if (!GetGUI() || !SystemOffersCocoaViews()) return kAudioUnitErr_InvalidProperty;
  CFStrLocal bundleID(mBundleID.Get());
  CFBundleRef bundle = CFBundleGetBundleWithIdentifier(bundleID.Get());
  if (!bundle) return kAudioUnitErr_InvalidProperty;
  if (!reply.Accept(sizeof(AudioUnitCocoaViewInfo), false)) return reply.Result();
  AudioUnitCocoaViewInfo* info = reply.Data<AudioUnitCocoaViewInfo>();
  info->mCocoaAUViewBundleLocation = CFBundleCopyBundleURL(bundle);
  info->mCocoaAUViewClass[0] = MakeCFString(mCocoaViewFactoryClassName.Get());
  return noErr;
}

ComponentResult IPlugAU::SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                     AudioUnitElement element, UInt32* pDataSize, const void* pData)
{
  Trace(__func__, __LINE__, "(%d:%s):(%d:%s):%d", propID, AUPropertyStr(propID), scope,
        AUScopeStr(scope), element);
  InformListeners(propID, scope);
  const PropertyInput input(pDataSize, pData);

  switch (propID)
  {
  case kAudioUnitProperty_ClassInfo:
  {
    const auto* pPropList = input.Get<CFPropertyListRef>();
    return pPropList ? SetState(*pPropList) : kAudioUnitErr_InvalidPropertyValue;
  }
  case kAudioUnitProperty_MakeConnection:
  {
    if (!InputOrGlobal(scope)) return kAudioUnitErr_InvalidProperty;
    const auto* connection = input.Get<AudioUnitConnection>();
    return connection ? MakeConnection(connection) : kAudioUnitErr_InvalidPropertyValue;
  }
  case kAudioUnitProperty_SampleRate:
  {
    const auto* rate = input.Get<Float64>();
    if (!rate || !IsSampleRate(*rate)) return kAudioUnitErr_InvalidPropertyValue;
    SetSampleRate(*rate);
    Reset();
    return noErr;
  }
  case kAudioUnitProperty_StreamFormat:
  {
    if (!GetBus(scope, element)) return kAudioUnitErr_InvalidProperty;
    const auto* format = input.Get<AudioStreamBasicDescription>();
    return format ? SetStreamFormat(scope, element, format) : kAudioUnitErr_InvalidPropertyValue;
  }
  case kAudioUnitProperty_MaximumFramesPerSlice:
  {
    const auto* frames = input.Get<UInt32>();
    if (!frames || *frames > kMaxFramesPerSlice) return kAudioUnitErr_InvalidPropertyValue;
    SetBlockSize(static_cast<int>(*frames));
    Reset();
    return noErr;
  }
  case kAudioUnitProperty_BypassEffect:
  {
    const auto* bypass = input.Get<UInt32>();
    if (!bypass) return kAudioUnitErr_InvalidPropertyValue;
    mBypassed = *bypass != 0;
    Reset();
    return noErr;
  }
  case kAudioUnitProperty_SetRenderCallback:
  {
    if (scope != kAudioUnitScope_Input || element >= static_cast<UInt32>(mInBuses.GetSize()))
      return kAudioUnitErr_InvalidProperty;
    const auto* callback = input.Get<AURenderCallbackStruct>();
    return callback ? SetRenderCallback(scope, element, callback)
                    : kAudioUnitErr_InvalidPropertyValue;
  }
  case kAudioUnitProperty_HostCallbacks:
  {
    if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
    const auto* callbacks = input.Get<HostCallbackInfo>();
    if (!callbacks) return kAudioUnitErr_InvalidPropertyValue;
    mHostCallbacks.hostUserData = callbacks->hostUserData;
    mHostCallbacks.beatAndTempoProc = callbacks->beatAndTempoProc;
    mHostCallbacks.musicalTimeLocationProc = callbacks->musicalTimeLocationProc;
    mHostCallbacks.transportStateProc = callbacks->transportStateProc;
    return noErr;
  }
  case kAudioUnitProperty_CurrentPreset:
  case kAudioUnitProperty_PresentPreset:
  {
    const auto* preset = input.Get<AUPreset>();
    if (!preset) return kAudioUnitErr_InvalidPropertyValue;
    RestorePreset(static_cast<int>(preset->presetNumber));
    return noErr;
  }
  case kAudioUnitProperty_AUHostIdentifier:
  {
    const auto* identifier = input.Get<AUHostIdentifier>();
    if (!identifier) return kAudioUnitErr_InvalidPropertyValue;
    CStrLocal name(identifier->hostName);
    const AUNumVersion& version = identifier->hostVersion;
    SetHost(name.Get(), (version.majorRev << 16) + (version.minorAndBugRev << 8));
    return noErr;
  }
  default:
    return kAudioUnitErr_InvalidProperty;
  }
}

// What the host learns about each parameter: its information record, its
// value strings, and conversions between values, names and text.

namespace
{
void FillParameterInfo(const IParam* param, AudioUnitParameterInfo* info)
{
  std::memset(info, 0, sizeof(AudioUnitParameterInfo));
  info->flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable |
                kAudioUnitParameterFlag_HasCFNameString | kAudioUnitParameterFlag_CFNameRelease;
  const char* name = param->GetNameForHost();
  info->cfNameString = MakeCFString(name);
  std::strncpy(info->name, name, sizeof(info->name) - 1);

  switch (param->Type())
  {
  case IParam::kTypeInt:
  case IParam::kTypeEnum:
    info->unit = kAudioUnitParameterUnit_Indexed;
    break;
  case IParam::kTypeBool:
    info->unit = kAudioUnitParameterUnit_Boolean;
    break;
  default:
    if (param->GetLabelForHost()[0])
    {
      info->unit = kAudioUnitParameterUnit_CustomUnit;
      info->unitName = MakeCFString(param->GetLabelForHost());
    }
    else
    {
      info->unit = kAudioUnitParameterUnit_Generic;
    }
    break;
  }

  double lo, hi;
  param->GetBounds(&lo, &hi);
  info->minValue = static_cast<AudioUnitParameterValue>(lo);
  info->maxValue = static_cast<AudioUnitParameterValue>(hi);
  info->defaultValue = static_cast<AudioUnitParameterValue>(param->Value());
}

CFArrayRef MakeValueStrings(const IParam* param)
{
  const int n = param->GetNDisplayTexts();
  CFMutableArrayRef strings = CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFTypeArrayCallBacks);
  for (int i = 0; i < n; ++i)
  {
    CFStrLocal text(param->GetDisplayTextAtIdx(i));
    CFArrayAppendValue(strings, text.Get());
  }
  return strings;
}
} // namespace

ComponentResult IPlugAU::GetParameterProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                              AudioUnitElement element, PropertyReply& reply)
{
  const bool global = scope == kAudioUnitScope_Global;
  switch (propID)
  {
  case kAudioUnitProperty_ParameterInfo:
  {
    if (!global) return kAudioUnitErr_InvalidProperty;
    const IParam* param = GetParam(static_cast<int>(element));
    if (!param) return kAudioUnitErr_InvalidParameter;
    if (!reply.Accept(sizeof(AudioUnitParameterInfo), false)) return reply.Result();
    FillParameterInfo(param, reply.Data<AudioUnitParameterInfo>());
    return noErr;
  }
  case kAudioUnitProperty_ParameterValueStrings:
  {
    if (!global) return kAudioUnitErr_InvalidProperty;
    const IParam* param = GetParam(static_cast<int>(element));
    if (!param) return kAudioUnitErr_InvalidParameter;
    if (param->GetNDisplayTexts() == 0)
    {
      *reply.Size() = 0;
      return kAudioUnitErr_InvalidProperty;
    }
    if (!reply.Accept(sizeof(CFArrayRef), false)) return reply.Result();
    CFArrayRef strings = MakeValueStrings(param);
    if (!strings) return coreFoundationUnknownErr;
    *reply.Data<CFArrayRef>() = strings;
    return noErr;
  }
  case kAudioUnitProperty_ParameterStringFromValue:
    if (!reply.Accept(sizeof(AudioUnitParameterStringFromValue), false) || !global)
      return reply.Result();
    return ParamStringFromValue(reply.Data<AudioUnitParameterStringFromValue>());
  case kAudioUnitProperty_ParameterIDName:
    if (!reply.Accept(sizeof(AudioUnitParameterIDName), false) || !global) return reply.Result();
    return ParamIDName(reply.Data<AudioUnitParameterIDName>());
  case kAudioUnitProperty_ParameterValueFromString:
    if (!reply.Accept(sizeof(AudioUnitParameterValueFromString), false) || !global)
      return reply.Result();
    return ParamValueFromString(reply.Data<AudioUnitParameterValueFromString>());
  default:
    return kAudioUnitErr_InvalidProperty;
  }
}

namespace
{
// Room for a plug-in's value text.
constexpr int kValueTextSize = 64;
// Value texts are searched at this spacing of plain values.
constexpr double kValueTextStep = 0.01;

const char* TrimmedText(char* text)
{
  while (*text == ' ')
    ++text;
  size_t n = std::strlen(text);
  while (n > 0 && text[n - 1] == ' ')
    text[--n] = '\0';
  return text;
}

// Texts that are numbers match by value ("3" and " 3.0"), others by their
// letters without regard to case.
bool SameValueText(const char* shown, const char* wanted)
{
  char* shownEnd = nullptr;
  char* wantedEnd = nullptr;
  const double a = std::strtod(shown, &shownEnd);
  const double b = std::strtod(wanted, &wantedEnd);
  const bool numbers = shownEnd != shown && *shownEnd == '\0' && wantedEnd != wanted &&
                       (*wantedEnd == '\0' || *wantedEnd == ' ');
  if (numbers) return a == b;
  return strcasecmp(shown, wanted) == 0;
}
bool IsValueInRange(const IParam* param, const char* text)
{
  char* end = nullptr;
  const double number = std::strtod(text, &end);
  if (end == text || *end != '\0') return false;
  double lo, hi;
  param->GetBounds(&lo, &hi);
  return number >= lo && number <= hi;
}
} // namespace

bool IPlugAU::FindValueForText(int idx, const char* wanted, double* value)
{
  const IParam* param = GetParam(idx);
  double lo, hi;
  param->GetBounds(&lo, &hi);
  char buffer[kValueTextSize + 1];
  std::strncpy(buffer, wanted, kValueTextSize);
  buffer[kValueTextSize] = '\0';
  const char* target = TrimmedText(buffer);
  // The values that show the text must form one stretch: its middle is the answer.
  double first = 0.0, last = 0.0;
  bool found = false, ended = false;
  const int steps = static_cast<int>(std::lround((hi - lo) / kValueTextStep));
  for (int i = 0; i <= steps; ++i)
  {
    const double v = lo + i * kValueTextStep;
    char text[kValueTextSize];
    const bool match =
        GetParamValueText(idx, v, text, sizeof(text)) && SameValueText(TrimmedText(text), target);
    if (match && ended) return false; // a second stretch: ambiguous
    if (match && !found) first = v;
    if (match) last = v;
    if (!match && found) ended = true;
    found = found || match;
  }
  if (!found) return false;
  *value = std::round((first + last) / 2.0 / kValueTextStep) * kValueTextStep;
  return true;
}

ComponentResult IPlugAU::ParamStringFromValue(AudioUnitParameterStringFromValue* conversion)
{
  const int idx = static_cast<int>(conversion->inParamID);
  const IParam* param = GetParam(idx);
  if (!param) return kAudioUnitErr_InvalidParameter;
  char text[kValueTextSize];
  if (param->GetNDisplayTexts() == 0 &&
      GetParamValueText(idx, conversion->inValue ? *conversion->inValue : param->Value(), text,
                        sizeof(text)))
  {
    conversion->outString = MakeCFString(TrimmedText(text));
    return noErr;
  }
  const double value = conversion->inValue ? *conversion->inValue : param->Int();
  conversion->outString = MakeCFString(param->GetDisplayText(TruncToInt(value)));
  return noErr;
}

ComponentResult IPlugAU::ParamIDName(AudioUnitParameterIDName* idName)
{
  const IParam* param = GetParam(static_cast<int>(idName->inID));
  if (!param) return kAudioUnitErr_InvalidParameter;
  char name[IParam::kMaxNameLen + 1];
  std::strncpy(name, param->GetNameForHost(), sizeof(name) - 1);
  name[sizeof(name) - 1] = '\0';
  // Any negative length asks for the whole name.
  if (idName->inDesiredLength >= 0)
    CutUTF8(name, std::min<SInt32>(idName->inDesiredLength, IParam::kMaxNameLen));
  idName->outName = MakeCFString(name);
  return noErr;
}

ComponentResult IPlugAU::ParamValueFromString(AudioUnitParameterValueFromString* conversion)
{
  const IParam* param = GetParam(static_cast<int>(conversion->inParamID));
  if (!param) return kAudioUnitErr_InvalidParameter;
  CStrLocal text(conversion->inString);
  // A number within the range is the value itself; other texts are looked up
  // among those the plug-in shows.
  char shown[kValueTextSize];
  if (param->GetNDisplayTexts() == 0 && !IsValueInRange(param, text.Get()) &&
      GetParamValueText(static_cast<int>(conversion->inParamID), param->Value(), shown,
                        sizeof(shown)))
  {
    double value;
    if (!FindValueForText(static_cast<int>(conversion->inParamID), text.Get(), &value))
      return kAudioUnitErr_InvalidPropertyValue;
    conversion->outValue = static_cast<AudioUnitParameterValue>(value);
    return noErr;
  }
  if (param->GetNDisplayTexts() > 0)
  {
    int value;
    if (param->MapDisplayText(text.Get(), &value))
      conversion->outValue = static_cast<AudioUnitParameterValue>(value);
  }
  else
  {
    double value = std::atof(text.Get());
    if (param->DisplayIsNegated()) value = -value;
    conversion->outValue = static_cast<AudioUnitParameterValue>(value);
  }
  return noErr;
}

// Factory presets as the host lists them, and the present preset.

ComponentResult IPlugAU::GetFactoryPresets(CFArrayRef* pArray)
{
  const int n = NPresets();
  CFMutableArrayRef presets =
      CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFAUPresetArrayCallBacks);
  if (!presets) return coreFoundationUnknownErr;
  for (int i = 0; i < n; ++i)
  {
    CFStringRef name = MakeCFString(GetPresetName(i));
    CFAUPreset* preset = CFAUPresetCreate(kCFAllocatorDefault, i, name);
    if (preset)
    {
      CFArrayAppendValue(presets, preset);
      CFAUPresetRelease(preset);
    }
    CFRelease(name);
  }
  *pArray = presets;
  return noErr;
}

void IPlugAU::GetPresentPreset(AUPreset* preset)
{
  const int idx = GetCurrentPresetIdx();
  preset->presetNumber = idx;
  preset->presetName = MakeCFString(GetPresetName(idx));
}
