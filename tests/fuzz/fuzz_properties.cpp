// Property, parameter and render calls with random IDs, scopes, elements,
// sizes and data on a fresh instance per input. Fields that carry pointers get
// null or valid pointers (a host passing garbage pointers is not a finding);
// every object a call hands out is released.
#include "tests/effect/EffectUnit.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace
{
const AudioUnitPropertyID kKnownIDs[] = {
    kAudioUnitProperty_ClassInfo,
    kAudioUnitProperty_MakeConnection,
    kAudioUnitProperty_SampleRate,
    kAudioUnitProperty_ParameterList,
    kAudioUnitProperty_ParameterInfo,
    kAudioUnitProperty_FastDispatch,
    kAudioUnitProperty_StreamFormat,
    kAudioUnitProperty_ElementCount,
    kAudioUnitProperty_Latency,
    kAudioUnitProperty_SupportedNumChannels,
    kAudioUnitProperty_MaximumFramesPerSlice,
    kAudioUnitProperty_ParameterValueStrings,
    kAudioUnitProperty_GetUIComponentList,
    kAudioUnitProperty_TailTime,
    kAudioUnitProperty_BypassEffect,
    kAudioUnitProperty_LastRenderError,
    kAudioUnitProperty_SetRenderCallback,
    kAudioUnitProperty_FactoryPresets,
    kAudioUnitProperty_HostCallbacks,
    kAudioUnitProperty_CurrentPreset,
    kAudioUnitProperty_ElementName,
    kAudioUnitProperty_CocoaUI,
    kAudioUnitProperty_ParameterStringFromValue,
    kAudioUnitProperty_ParameterIDName,
    kAudioUnitProperty_PresentPreset,
    kAudioUnitProperty_ParameterValueFromString,
    kAudioUnitProperty_AUHostIdentifier,
};

constexpr UInt32 kMaxData = 256;

struct Call
{
  AudioUnitPropertyID id;
  AudioUnitScope scope;
  AudioUnitElement element;
  UInt32 size;
  alignas(16) std::uint8_t data[kMaxData];
};

Call MakeCall(FuzzedDataProvider& in)
{
  Call call{};
  call.id = in.ConsumeBool() ? in.PickValueInArray(kKnownIDs) : in.ConsumeIntegral<UInt32>();
  call.scope = in.ConsumeBool() ? in.ConsumeIntegralInRange<UInt32>(0, 4)
                                : in.ConsumeIntegral<UInt32>();
  call.element = in.ConsumeBool() ? in.ConsumeIntegralInRange<UInt32>(0, 2)
                                  : in.ConsumeIntegral<UInt32>();
  call.size = in.ConsumeIntegralInRange<UInt32>(0, kMaxData);
  return call;
}

// Zeroes the pointer fields of the records that carry them.
void ClearPointers(Call& call)
{
  switch (call.id)
  {
  case kAudioUnitProperty_ClassInfo:
  case kAudioUnitProperty_MakeConnection:
  case kAudioUnitProperty_SetRenderCallback:
  case kAudioUnitProperty_HostCallbacks:
  case kAudioUnitProperty_AUHostIdentifier:
  case kAudioUnitProperty_ParameterIDName:
  case kAudioUnitProperty_ParameterInfo:
  case kAudioUnitProperty_ElementName:
  case kAudioUnitProperty_CocoaUI:
  case kAudioUnitProperty_FactoryPresets:
  case kAudioUnitProperty_ParameterValueStrings:
    std::memset(call.data, 0, sizeof call.data);
    break;
  case kAudioUnitProperty_CurrentPreset:
  case kAudioUnitProperty_PresentPreset:
    reinterpret_cast<AUPreset*>(call.data)->presetName = nullptr;
    break;
  case kAudioUnitProperty_ParameterStringFromValue:
  {
    auto* c = reinterpret_cast<AudioUnitParameterStringFromValue*>(call.data);
    static AudioUnitParameterValue value;
    std::memcpy(&value, call.data + 100, sizeof value);
    c->inValue = (call.data[99] & 1) ? &value : nullptr;
    c->outString = nullptr;
    break;
  }
  case kAudioUnitProperty_ParameterValueFromString:
    reinterpret_cast<AudioUnitParameterValueFromString*>(call.data)->inString = nullptr;
    break;
  default:
    break;
  }
}

// A text for the conversion from string, from the call's own bytes.
CFStringRef TextFor(Call& call)
{
  if (call.id != kAudioUnitProperty_ParameterValueFromString || !(call.data[99] & 1)) return nullptr;
  CFStringRef text = CFStringCreateWithBytes(nullptr, call.data + 100, call.data[98] % 32,
                                             kCFStringEncodingUTF8, false);
  reinterpret_cast<AudioUnitParameterValueFromString*>(call.data)->inString = text;
  return text;
}

void Release(CFTypeRef object)
{
  if (object) CFRelease(object);
}

// Releases what a successful get handed out.
void ReleaseOutputs(const Call& call)
{
  const void* d = call.data;
  switch (call.id)
  {
  case kAudioUnitProperty_ClassInfo:
  case kAudioUnitProperty_FactoryPresets:
  case kAudioUnitProperty_ParameterValueStrings:
  case kAudioUnitProperty_ElementName:
    Release(*static_cast<const CFTypeRef*>(d));
    break;
  case kAudioUnitProperty_CurrentPreset:
  case kAudioUnitProperty_PresentPreset:
    Release(static_cast<const AUPreset*>(d)->presetName);
    break;
  case kAudioUnitProperty_CocoaUI:
    Release(static_cast<const AudioUnitCocoaViewInfo*>(d)->mCocoaAUViewBundleLocation);
    Release(static_cast<const AudioUnitCocoaViewInfo*>(d)->mCocoaAUViewClass[0]);
    break;
  case kAudioUnitProperty_ParameterStringFromValue:
    Release(static_cast<const AudioUnitParameterStringFromValue*>(d)->outString);
    break;
  case kAudioUnitProperty_ParameterIDName:
    Release(static_cast<const AudioUnitParameterIDName*>(d)->outName);
    break;
  case kAudioUnitProperty_ParameterInfo:
  {
    const auto* info = static_cast<const AudioUnitParameterInfo*>(d);
    if (info->flags & kAudioUnitParameterFlag_CFNameRelease)
    {
      Release(info->cfNameString);
      if (info->unit == kAudioUnitParameterUnit_CustomUnit) Release(info->unitName);
    }
    break;
  }
  default:
    break;
  }
}

void PropertyCall(AudioUnit unit, FuzzedDataProvider& in, int kind)
{
  Call call = MakeCall(in);
  if (kind == 0)
  {
    UInt32 size = 0;
    Boolean writable = false;
    AudioUnitGetPropertyInfo(unit, call.id, call.scope, call.element, &size, &writable);
    return;
  }
  const std::vector<std::uint8_t> bytes = in.ConsumeBytes<std::uint8_t>(call.size);
  if (!bytes.empty()) std::memcpy(call.data, bytes.data(), bytes.size());
  ClearPointers(call);
  CFStringRef text = TextFor(call);
  if (kind == 1)
  {
    UInt32 size = call.size;
    if (AudioUnitGetProperty(unit, call.id, call.scope, call.element, call.data, &size) == noErr)
      ReleaseOutputs(call);
  }
  else
  {
    // The unit reads a class-info dictionary through the pointer: give it none.
    AudioUnitSetProperty(unit, call.id, call.scope, call.element, call.data, call.size);
  }
  Release(text);
}

void Render(AudioUnit unit, FuzzedDataProvider& in, double* sampleTime)
{
  static float buffers[2][4096];
  const UInt32 nFrames = in.ConsumeIntegralInRange<UInt32>(0, 4096);
  struct
  {
    UInt32 mNumberBuffers;
    AudioBuffer mBuffers[2];
  } list;
  list.mNumberBuffers = in.ConsumeIntegralInRange<UInt32>(0, 2);
  for (UInt32 b = 0; b < 2; ++b)
    list.mBuffers[b] = {1, nFrames * 4, in.ConsumeBool() ? buffers[b] : nullptr};
  AudioTimeStamp stamp = {};
  stamp.mFlags = in.ConsumeBool() ? kAudioTimeStampSampleTimeValid : 0;
  stamp.mSampleTime = *sampleTime;
  *sampleTime += nFrames;
  AudioUnitRenderActionFlags flags = 0;
  AudioUnitRender(unit, &flags, &stamp, in.ConsumeIntegralInRange<UInt32>(0, 2), nFrames,
                  reinterpret_cast<AudioBufferList*>(&list));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  FuzzedDataProvider in(data, size);
  HostedUnit host;
  if (!OpenEffect(host)) std::abort();
  AudioUnit unit = host.Unit();
  double sampleTime = 0.0;
  for (int calls = 0; calls < 64 && in.remaining_bytes() > 0; ++calls)
  {
    const int kind = in.ConsumeIntegralInRange<int>(0, 7);
    switch (kind)
    {
    case 0:
    case 1:
    case 2:
      PropertyCall(unit, in, kind);
      break;
    case 3:
      AudioUnitSetParameter(unit, in.ConsumeIntegral<UInt32>() % 40, in.ConsumeIntegral<UInt32>() % 5,
                            in.ConsumeIntegral<UInt32>() % 3, in.ConsumeFloatingPoint<float>(), 0);
      break;
    case 4:
    {
      AudioUnitParameterValue value = 0.0f;
      AudioUnitGetParameter(unit, in.ConsumeIntegral<UInt32>(), in.ConsumeIntegral<UInt32>() % 5,
                            in.ConsumeIntegral<UInt32>() % 3, &value);
      break;
    }
    case 5:
      Render(unit, in, &sampleTime);
      break;
    case 6:
      AudioUnitInitialize(unit);
      break;
    default:
      AudioUnitReset(unit, kAudioUnitScope_Global, 0);
      break;
    }
  }
  return 0;
}
