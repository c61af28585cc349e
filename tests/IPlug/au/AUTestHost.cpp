#include "tests/IPlug/au/AUTestHost.h"

#include <StandInExtensions.h>
#include <cstring>
#include <string>

namespace
{
Component Register(const char* name)
{
  const std::string path = std::string(TEST_COMPONENTS_DIR) + "/" + name + ".component";
  Component component = nullptr;
  const OSErr err = RegisterComponentBundle(path.c_str(), &component);
  EXPECT_EQ(noErr, err) << path << ": " << GetComponentRegistrationMessage();
  return component;
}
} // namespace

Component TestPlugComponent()
{
  static Component component = Register("AUTestPlug");
  return component;
}

Component TestSynthComponent()
{
  static Component component = Register("AUTestSynth");
  return component;
}

Component TestSourceComponent()
{
  static Component component = Register("AUTestSource");
  return component;
}

Unit::Unit(Component component)
{
  EXPECT_EQ(noErr, OpenAComponent(component, &mUnit));
}

Unit::~Unit()
{
  if (mUnit) CloseComponent(mUnit);
}

float Unit::Param(AudioUnitParameterID id) const
{
  AudioUnitParameterValue value = -12345.0f;
  EXPECT_EQ(noErr, AudioUnitGetParameter(mUnit, id, kAudioUnitScope_Global, 0, &value));
  return value;
}

void Unit::SetParam(AudioUnitParameterID id, float value) const
{
  EXPECT_EQ(noErr, AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, 0));
}

OSStatus Unit::SetFormat(AudioUnitScope scope, UInt32 bus, UInt32 nChannels,
                         double sampleRate) const
{
  const AudioStreamBasicDescription format = CanonicalFormat(sampleRate, nChannels);
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, scope, bus, &format,
                              sizeof(format));
}

OSStatus Unit::SetMaxFrames(UInt32 frames) const
{
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_MaximumFramesPerSlice,
                              kAudioUnitScope_Global, 0, &frames, sizeof(frames));
}

OSStatus Unit::SetInputCallback(AURenderCallback proc, void* refCon, UInt32 bus) const
{
  const AURenderCallbackStruct callback = {proc, refCon};
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input,
                              bus, &callback, sizeof(callback));
}

OSStatus Unit::SetBypass(bool bypass) const
{
  const UInt32 value = bypass ? 1 : 0;
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0,
                              &value, sizeof(value));
}

UInt32 Unit::UInt32Property(AudioUnitPropertyID id, AudioUnitScope scope, UInt32 element) const
{
  UInt32 value = 0xDEADBEEF, size = sizeof(value);
  EXPECT_EQ(noErr, AudioUnitGetProperty(mUnit, id, scope, element, &value, &size));
  EXPECT_EQ(sizeof(value), size);
  return value;
}

Float64 Unit::Float64Property(AudioUnitPropertyID id, AudioUnitScope scope, UInt32 element) const
{
  Float64 value = -1.0;
  UInt32 size = sizeof(value);
  EXPECT_EQ(noErr, AudioUnitGetProperty(mUnit, id, scope, element, &value, &size));
  EXPECT_EQ(sizeof(value), size);
  return value;
}

AudioStreamBasicDescription Unit::Format(AudioUnitScope scope, UInt32 bus) const
{
  AudioStreamBasicDescription format = {};
  UInt32 size = sizeof(format);
  EXPECT_EQ(noErr, AudioUnitGetProperty(mUnit, kAudioUnitProperty_StreamFormat, scope, bus, &format,
                                        &size));
  return format;
}

BufferSet::BufferSet(UInt32 nBuffers, UInt32 nFrames, bool withMemory, float fill)
    : mMemory(nBuffers, std::vector<float>(nFrames, fill)),
      mList(offsetof(AudioBufferList, mBuffers) + (nBuffers + 1) * sizeof(AudioBuffer))
{
  AudioBufferList* list = List();
  list->mNumberBuffers = nBuffers;
  for (UInt32 b = 0; b < nBuffers; ++b)
    list->mBuffers[b] = {1, static_cast<UInt32>(nFrames * sizeof(float)),
                         withMemory ? mMemory[b].data() : nullptr};
}

OSStatus RenderUnit(AudioUnit unit, double sampleTime, UInt32 nFrames, AudioBufferList* list,
                    UInt32 bus)
{
  AudioUnitRenderActionFlags flags = 0;
  const AudioTimeStamp timeStamp = SampleTimeStamp(sampleTime);
  return AudioUnitRender(unit, &flags, &timeStamp, bus, nFrames, list);
}

float HostInput::Value(UInt32 channel, double sampleTime, UInt32 frame)
{
  return static_cast<float>((channel + 1) * 0.125 + (sampleTime + frame) / 65536.0);
}

OSStatus HostInput::Render(void* refCon, AudioUnitRenderActionFlags*,
                           const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 nFrames,
                           AudioBufferList* list)
{
  auto* input = static_cast<HostInput*>(refCon);
  ++input->calls;
  input->lastBus = bus;
  input->lastBuffers = list->mNumberBuffers;
  for (UInt32 c = 0; c < list->mNumberBuffers; ++c)
  {
    auto* samples = static_cast<float*>(list->mBuffers[c].mData);
    for (UInt32 i = 0; i < nFrames; ++i)
      samples[i] = Value(c, timeStamp->mSampleTime, i);
  }
  return noErr;
}
