// Validation: the properties a host relies on, with their sizes, scopes,
// writable flags and first values, and the fast-dispatch procedures.

#include "host/kit/AUProperty.h"
#include "host/kit/ComponentInfo.h"
#include "host/kit/StatusText.h"
#include "host/validate/ValidateSupport.h"

#include <cmath>

namespace
{
struct PropertyShape
{
  AudioUnitPropertyID id;
  AudioUnitScope scope;
  AudioUnitElement element;
  UInt32 size;
  bool writable;
  const char* name;
};

std::vector<PropertyShape> RequiredShapes(UInt32 nParameters)
{
  const AudioUnitScope global = kAudioUnitScope_Global, in = kAudioUnitScope_Input,
                       out = kAudioUnitScope_Output;
  return {
      {kAudioUnitProperty_ClassInfo, global, 0, sizeof(CFPropertyListRef), true, "class info"},
      {kAudioUnitProperty_MakeConnection, in, 0, sizeof(AudioUnitConnection), true,
       "make connection"},
      {kAudioUnitProperty_SampleRate, global, 0, sizeof(Float64), true, "sample rate"},
      {kAudioUnitProperty_SampleRate, in, 0, sizeof(Float64), true, "input sample rate"},
      {kAudioUnitProperty_SampleRate, out, 0, sizeof(Float64), true, "output sample rate"},
      {kAudioUnitProperty_ParameterList, global, 0,
       nParameters * UInt32(sizeof(AudioUnitParameterID)), false, "parameter list"},
      {kAudioUnitProperty_ParameterList, in, 0, 0, false, "input parameter list"},
      {kAudioUnitProperty_ParameterInfo, global, 0, sizeof(AudioUnitParameterInfo), false,
       "parameter info"},
      {kAudioUnitProperty_FastDispatch, global, kAudioUnitRenderSelect, sizeof(AudioUnitRenderProc),
       false, "fast dispatch"},
      {kAudioUnitProperty_StreamFormat, in, 0, sizeof(AudioStreamBasicDescription), true,
       "input stream format"},
      {kAudioUnitProperty_StreamFormat, out, 0, sizeof(AudioStreamBasicDescription), true,
       "output stream format"},
      {kAudioUnitProperty_ElementCount, in, 0, sizeof(UInt32), false, "input element count"},
      {kAudioUnitProperty_ElementCount, out, 0, sizeof(UInt32), false, "output element count"},
      {kAudioUnitProperty_Latency, global, 0, sizeof(Float64), false, "latency"},
      {kAudioUnitProperty_MaximumFramesPerSlice, global, 0, sizeof(UInt32), true, "maximum frames"},
      {kAudioUnitProperty_TailTime, global, 0, sizeof(Float64), false, "tail time"},
      {kAudioUnitProperty_BypassEffect, global, 0, sizeof(UInt32), true, "bypass"},
      {kAudioUnitProperty_LastRenderError, global, 0, sizeof(OSStatus), false, "last render error"},
      {kAudioUnitProperty_SetRenderCallback, in, 0, sizeof(AURenderCallbackStruct), true,
       "render callback"},
      {kAudioUnitProperty_FactoryPresets, global, 0, sizeof(CFArrayRef), false, "factory presets"},
      {kAudioUnitProperty_HostCallbacks, global, 0, sizeof(HostCallbackInfo), true,
       "host callbacks"},
      {kAudioUnitProperty_CurrentPreset, global, 0, sizeof(AUPreset), true, "current preset"},
      {kAudioUnitProperty_PresentPreset, global, 0, sizeof(AUPreset), true, "present preset"},
      {kAudioUnitProperty_ParameterStringFromValue, global, 0,
       sizeof(AudioUnitParameterStringFromValue), false, "parameter string from value"},
      {kAudioUnitProperty_ParameterIDName, global, 0, sizeof(AudioUnitParameterIDName), false,
       "parameter name"},
      {kAudioUnitProperty_ParameterValueFromString, global, 0,
       sizeof(AudioUnitParameterValueFromString), false, "parameter value from string"},
  };
}

CheckResult RequiredProperties(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Findings findings;
  const auto shapes = RequiredShapes(static_cast<UInt32>(context.Parameters().size()));
  for (const PropertyShape& shape : shapes)
  {
    UInt32 size = 0xdeadbeef;
    Boolean writable = 2;
    const ComponentResult status = AudioUnitGetPropertyInfo(unit.Get(), shape.id, shape.scope,
                                                            shape.element, &size, &writable);
    const std::string name = shape.name;
    findings.RequireNoErr(status, name + " info");
    if (status != noErr) continue;
    findings.Require(size == shape.size, name + " has size " + std::to_string(size) + ", not " +
                                             std::to_string(shape.size));
    findings.Require((writable != 0) == shape.writable,
                     name + (shape.writable ? " is not writable" : " is writable"));
  }
  const std::vector<AUChannelInfo> configurations = ReadChannelConfigurations(unit.Get());
  findings.Require(!configurations.empty(), "no supported channel configurations");
  return findings.Result(std::to_string(shapes.size()) + " properties, " +
                         std::to_string(configurations.size()) + " channel configurations");
}

void CheckStreamFormat(Findings& findings, AudioUnit unit, AudioUnitScope scope, Float64 rate)
{
  const std::string name = scope == kAudioUnitScope_Input ? "input format" : "output format";
  AudioStreamBasicDescription format = {};
  const ComponentResult status =
      GetAUProperty(unit, kAudioUnitProperty_StreamFormat, scope, 0, format);
  findings.RequireNoErr(status, name);
  if (status != noErr) return;
  findings.Require(format.mFormatID == kAudioFormatLinearPCM, name + " is not linear PCM");
  findings.Require((format.mFormatFlags & kAudioFormatFlagIsFloat) &&
                       (format.mFormatFlags & kAudioFormatFlagIsNonInterleaved),
                   name + " is not non-interleaved float");
  findings.Require(format.mBitsPerChannel == 32 && format.mBytesPerFrame == 4,
                   name + " is not 32-bit");
  findings.Require(format.mChannelsPerFrame >= 1, name + " has no channels");
  findings.Require(format.mSampleRate == rate, name + " rate differs from the sample rate");
}

CheckResult InitialValues(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  const AudioUnit u = unit.Get();
  Findings findings;
  Float64 rate = 0.0, latency = -1.0, tail = -1.0;
  UInt32 maxFrames = 0, bypass = 7, inputs = 0, outputs = 0;
  OSStatus lastError = -1;
  findings.RequireNoErr(GetGlobalProperty(u, kAudioUnitProperty_SampleRate, rate), "sample rate");
  findings.RequireNoErr(GetGlobalProperty(u, kAudioUnitProperty_Latency, latency), "latency");
  findings.RequireNoErr(GetGlobalProperty(u, kAudioUnitProperty_TailTime, tail), "tail time");
  findings.RequireNoErr(GetGlobalProperty(u, kAudioUnitProperty_MaximumFramesPerSlice, maxFrames),
                        "maximum frames");
  findings.RequireNoErr(GetGlobalProperty(u, kAudioUnitProperty_BypassEffect, bypass), "bypass");
  findings.RequireNoErr(GetGlobalProperty(u, kAudioUnitProperty_LastRenderError, lastError),
                        "last render error");
  GetAUProperty(u, kAudioUnitProperty_ElementCount, kAudioUnitScope_Input, 0, inputs);
  GetAUProperty(u, kAudioUnitProperty_ElementCount, kAudioUnitScope_Output, 0, outputs);
  findings.Require(rate > 0.0 && std::isfinite(rate), "the sample rate is not positive");
  findings.Require(latency >= 0.0 && std::isfinite(latency), "the latency is not a duration");
  findings.Require(tail >= 0.0 && std::isfinite(tail), "the tail is not a duration");
  findings.Require(maxFrames >= 1, "no frames per slice");
  findings.Require(bypass == 0, "the effect starts bypassed");
  findings.Require(lastError == noErr, "a render error before any render");
  findings.Require(inputs >= 1 && outputs >= 1, "an effect without input or output bus");
  CheckStreamFormat(findings, u, kAudioUnitScope_Input, rate);
  CheckStreamFormat(findings, u, kAudioUnitScope_Output, rate);
  return findings.Result();
}

CheckResult WritableProperties(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  const AudioUnit u = unit.Get();
  Findings findings;
  const auto keeps = [&findings, u](AudioUnitPropertyID id, auto value, const char* name)
  {
    decltype(value) back = {};
    findings.RequireNoErr(SetGlobalProperty(u, id, value), std::string("setting ") + name);
    findings.RequireNoErr(GetGlobalProperty(u, id, back), std::string("reading ") + name);
    findings.Require(back == value, std::string(name) + " does not read back");
  };
  keeps(kAudioUnitProperty_MaximumFramesPerSlice, UInt32(4096), "maximum frames");
  keeps(kAudioUnitProperty_SampleRate, Float64(48000.0), "sample rate");
  keeps(kAudioUnitProperty_BypassEffect, UInt32(1), "bypass on");
  keeps(kAudioUnitProperty_BypassEffect, UInt32(0), "bypass off");
  AudioStreamBasicDescription format = {};
  GetAUProperty(u, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, format);
  findings.Require(format.mSampleRate == 48000.0,
                   "the output format does not follow the sample rate");
  return findings.Result();
}

template <class Proc>
Proc FastProc(AudioUnit unit, AudioUnitElement selector, ComponentResult& status)
{
  Proc proc = nullptr;
  status =
      GetAUProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, selector, proc);
  return proc;
}

CheckResult FastDispatch(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  if (context.Parameters().empty()) return Fail("no parameters to try the procedures on");
  const AudioUnit u = unit.Get();
  Findings findings;
  ComponentResult status = noErr;
  const auto render = FastProc<AudioUnitRenderProc>(u, kAudioUnitRenderSelect, status);
  findings.Require(status == noErr && render, "no fast render procedure");
  const auto get = FastProc<AudioUnitGetParameterProc>(u, kAudioUnitGetParameterSelect, status);
  findings.Require(status == noErr && get, "no fast get-parameter procedure");
  const auto set = FastProc<AudioUnitSetParameterProc>(u, kAudioUnitSetParameterSelect, status);
  findings.Require(status == noErr && set, "no fast set-parameter procedure");
  FastProc<AudioUnitRenderProc>(u, kAudioUnitInitializeSelect, status);
  findings.Require(status != noErr, "a fast procedure for the initialise selector");
  if (findings.Any() || !get || !set) return findings.Result();

  void* storage = GetComponentInstanceStorage(u);
  const ParameterDesc& desc = context.Parameters()[0];
  const AudioUnitParameterValue middle = (desc.minValue + desc.maxValue) / 2.0f;
  AudioUnitParameterValue value = NAN;
  findings.RequireNoErr(set(storage, desc.id, kAudioUnitScope_Global, 0, middle, 0), "fast set");
  findings.RequireNoErr(AudioUnitGetParameter(u, desc.id, kAudioUnitScope_Global, 0, &value),
                        "get");
  findings.Require(value == middle, "the fast set does not reach the parameter");
  findings.RequireNoErr(
      AudioUnitSetParameter(u, desc.id, kAudioUnitScope_Global, 0, desc.minValue, 0), "set");
  findings.RequireNoErr(get(storage, desc.id, kAudioUnitScope_Global, 0, &value), "fast get");
  findings.Require(value == desc.minValue, "the fast get does not read the parameter");
  return findings.Result();
}
} // namespace

CheckGroup PropertyChecks()
{
  return {"properties",
          {{"required properties have their sizes, scopes and writable flags", RequiredProperties},
           {"first values are sane", InitialValues},
           {"writable properties keep what the host sets", WritableProperties},
           {"fast-dispatch procedures", FastDispatch}}};
}
