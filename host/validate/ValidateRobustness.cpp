// Validation: bad input from a host gets a clear refusal and touches nothing:
// unknown properties, wrong scopes and elements, short buffers, bad sample
// rates and more output buffers than the bus has channels.

#include "host/kit/AUProperty.h"
#include "host/kit/BufferList.h"
#include "host/commands/Options.h"
#include "host/validate/ValidateSupport.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace
{
const unsigned char kCanary = 0xA5;
const size_t kCanaryBytes = 16;

struct PropertyPlace
{
  AudioUnitPropertyID id;
  AudioUnitScope scope;
  AudioUnitElement element;
  const char* name;
};

CheckResult UnknownProperties(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Findings findings;
  for (const AudioUnitPropertyID id :
       {AudioUnitPropertyID(51), AudioUnitPropertyID(999), AudioUnitPropertyID(0x7fffffff)})
  {
    const std::string what = "property " + std::to_string(id);
    UInt32 size = 0;
    Boolean writable = false;
    findings.RequireRefused(
        AudioUnitGetPropertyInfo(unit.Get(), id, kAudioUnitScope_Global, 0, &size, &writable),
        what + " info");
    std::vector<unsigned char> buffer(64, kCanary);
    size = 64;
    findings.RequireRefused(
        AudioUnitGetProperty(unit.Get(), id, kAudioUnitScope_Global, 0, buffer.data(), &size),
        "reading " + what);
    findings.Require(buffer == std::vector<unsigned char>(64, kCanary),
                     "reading " + what + " wrote data");
    findings.RequireRefused(
        AudioUnitSetProperty(unit.Get(), id, kAudioUnitScope_Global, 0, buffer.data(), 64),
        "setting " + what);
  }
  return findings.Result();
}

CheckResult WrongScopesAndElements(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  const AudioUnit u = unit.Get();
  Findings findings;
  const PropertyPlace reads[] = {
      {kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Input, 0,
       "parameter info in the input scope"},
      {kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Input, 0,
       "maximum frames in the input scope"},
      {kAudioUnitProperty_Latency, kAudioUnitScope_Output, 0, "latency in the output scope"},
      {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 1,
       "input stream format of element 1"},
      {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 1,
       "output stream format of element 1"},
      {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0x7fffffff,
       "input stream format of a huge element"}};
  for (const PropertyPlace& place : reads)
  {
    std::vector<unsigned char> buffer(256, kCanary);
    UInt32 size = 256;
    findings.RequireRefused(
        AudioUnitGetProperty(u, place.id, place.scope, place.element, buffer.data(), &size),
        std::string("reading ") + place.name);
  }
  const AudioStreamBasicDescription format = CanonicalFormat(44100.0, 2);
  findings.RequireRefused(
      SetAUProperty(u, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 1, format),
      "setting the input stream format of element 1");
  const AURenderCallbackStruct callback = {nullptr, nullptr};
  findings.RequireRefused(
      SetAUProperty(u, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 1, callback),
      "a render callback for input element 1");
  const HostCallbackInfo callbacks = {};
  findings.RequireRefused(
      SetAUProperty(u, kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Input, 0, callbacks),
      "host callbacks in the input scope");
  return findings.Result();
}

struct SizedProperty
{
  PropertyPlace place;
  UInt32 size;
};

std::vector<SizedProperty> SizedProperties(UInt32 nParameters)
{
  const AudioUnitScope global = kAudioUnitScope_Global;
  return {{{kAudioUnitProperty_SampleRate, global, 0, "sample rate"}, sizeof(Float64)},
          {{kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, "stream format"},
           sizeof(AudioStreamBasicDescription)},
          {{kAudioUnitProperty_ParameterInfo, global, 0, "parameter info"},
           sizeof(AudioUnitParameterInfo)},
          {{kAudioUnitProperty_ParameterList, global, 0, "parameter list"},
           nParameters * UInt32(sizeof(AudioUnitParameterID))},
          {{kAudioUnitProperty_MaximumFramesPerSlice, global, 0, "maximum frames"}, sizeof(UInt32)},
          {{kAudioUnitProperty_Latency, global, 0, "latency"}, sizeof(Float64)},
          {{kAudioUnitProperty_PresentPreset, global, 0, "present preset"}, sizeof(AUPreset)},
          {{kAudioUnitProperty_ClassInfo, global, 0, "class info"}, sizeof(CFPropertyListRef)}};
}

CheckResult ShortReads(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Findings findings;
  for (const SizedProperty& property : SizedProperties(UInt32(context.Parameters().size())))
  {
    const PropertyPlace& place = property.place;
    UInt32 size = property.size / 2;
    std::vector<unsigned char> buffer(property.size + kCanaryBytes, kCanary);
    const ComponentResult status = AudioUnitGetProperty(unit.Get(), place.id, place.scope,
                                                        place.element, buffer.data(), &size);
    bool spared = true;
    for (size_t i = property.size / 2; i < buffer.size(); ++i)
      spared = spared && buffer[i] == kCanary;
    // Either refused, or nothing written past the room the host gave.
    findings.Require(status != noErr || spared, std::string("reading ") + place.name + " into " +
                                                    std::to_string(property.size / 2) +
                                                    " bytes overruns them");
  }
  return findings.Result();
}

CheckResult ShortWrites(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Findings findings;
  std::vector<SizedProperty> properties = SizedProperties(0);
  properties.push_back(
      {{kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, "bypass"}, sizeof(UInt32)});
  properties.push_back(
      {{kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, "host callbacks"},
       sizeof(HostCallbackInfo)});
  properties.push_back(
      {{kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, "render callback"},
       sizeof(AURenderCallbackStruct)});
  for (const SizedProperty& property : properties)
  {
    const PropertyPlace& place = property.place;
    if (place.id == kAudioUnitProperty_ParameterInfo ||
        place.id == kAudioUnitProperty_ParameterList || place.id == kAudioUnitProperty_Latency)
      continue; // not writable
    // Exactly the short room on the heap, so that reading past it is caught.
    const UInt32 size = property.size / 2;
    std::unique_ptr<unsigned char[]> data(new unsigned char[size]);
    std::memset(data.get(), 0x11, size);
    findings.RequireRefused(
        AudioUnitSetProperty(unit.Get(), place.id, place.scope, place.element, data.get(), size),
        std::string("setting ") + place.name + " from " + std::to_string(size) + " bytes");
    findings.RequireRefused(
        AudioUnitSetProperty(unit.Get(), place.id, place.scope, place.element, nullptr, 0),
        std::string("setting ") + place.name + " without data");
  }
  UInt32 bypass = 9;
  GetGlobalProperty(unit.Get(), kAudioUnitProperty_BypassEffect, bypass);
  findings.Require(bypass == 0, "a refused bypass changed the bypass");
  return findings.Result();
}

CheckResult BadSampleRates(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Float64 before = 0.0;
  GetGlobalProperty(unit.Get(), kAudioUnitProperty_SampleRate, before);
  Findings findings;
  for (const Float64 rate : {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity()})
  {
    findings.RequireRefused(SetGlobalProperty(unit.Get(), kAudioUnitProperty_SampleRate, rate),
                            "a sample rate of " + ValueText(rate));
    Float64 now = 0.0;
    GetGlobalProperty(unit.Get(), kAudioUnitProperty_SampleRate, now);
    findings.Require(now == before, "a refused sample rate changed the rate to " + ValueText(now));
  }
  return findings.Result();
}

OSStatus SilentInput(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                     UInt32 frames, AudioBufferList* data)
{
  static float silence[kMaxBlockFrames] = {};
  if (!data || frames > kMaxBlockFrames) return kAudioUnitErr_TooManyFramesToProcess;
  for (UInt32 b = 0; b < data->mNumberBuffers; ++b)
  {
    AudioBuffer& buffer = data->mBuffers[b];
    if (buffer.mData)
      std::memset(buffer.mData, 0, std::min<size_t>(buffer.mDataByteSize, frames * sizeof(float)));
    else
      buffer.mData = silence;
  }
  return noErr;
}

CheckResult ExtraOutputBuffers(ValidationContext& context)
{
  const StreamSetup setup = StereoSetup();
  PlayingUnit unit;
  std::string error;
  if (!unit.Start(context, setup, error)) return Fail(error);
  const AURenderCallbackStruct input = {SilentInput, nullptr};
  SetAUProperty(unit.Unit(), kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, input);

  const UInt32 frames = 256;
  std::vector<std::vector<float>> channels(3, std::vector<float>(frames, 0.25f));
  BufferList buffers(3);
  for (UInt32 b = 0; b < 3; ++b)
    buffers.Set(b, channels[b].data(), frames);
  AudioTimeStamp timeStamp = {};
  timeStamp.mFlags = kAudioTimeStampSampleTimeValid;
  AudioUnitRenderActionFlags flags = 0;
  AudioUnitRender(unit.Unit(), &flags, &timeStamp, 0, frames, buffers.Get());
  Findings findings;
  findings.Require(buffers.Data(2) == channels[2].data() &&
                       channels[2] == std::vector<float>(frames, 0.25f),
                   "the buffer beyond the bus's channels was touched");
  return findings.Result();
}
} // namespace

CheckGroup RobustnessChecks()
{
  return {"bad input",
          {{"unknown properties are refused", UnknownProperties},
           {"wrong scopes and elements are refused", WrongScopesAndElements},
           {"short buffers are refused or left alone", ShortReads},
           {"short and missing data are refused", ShortWrites},
           {"sample rates that are not positive and finite are refused", BadSampleRates},
           {"output buffers beyond the bus's channels are left alone", ExtraOutputBuffers}}};
}
