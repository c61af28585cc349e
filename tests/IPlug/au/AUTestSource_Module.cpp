// A hand-written upstream unit, not built on the wrapper: it offers no fast
// render procedure, so a unit connected to it pulls through AudioUnitRender.

#include "tests/IPlug/au/AUTestSource.h"

#include <StandInExtensions.h>
#include <AudioUnit/AudioUnit.h>

#include <cstring>
#include <vector>

namespace
{
struct Source
{
  ComponentInstance ci = nullptr;
  UInt32 renders = 0;
  OSStatus failWith = noErr;
  UInt32 channels = 2;
  std::vector<float> samples = std::vector<float>(4 * 4096);
};

long Arg(ComponentParameters* params, int i, int count)
{
  return params->params[count - 1 - i];
}

ComponentResult GetProperty(Source* source, ComponentParameters* params)
{
  const UInt32 id = static_cast<UInt32>(Arg(params, 0, 5));
  const UInt32 scope = static_cast<UInt32>(Arg(params, 1, 5));
  void* data = reinterpret_cast<void*>(Arg(params, 3, 5));
  UInt32* size = reinterpret_cast<UInt32*>(Arg(params, 4, 5));
  if (id != kAudioUnitProperty_StreamFormat || scope != kAudioUnitScope_Output)
    return kAudioUnitErr_InvalidProperty;
  if (!data || !size || *size < sizeof(AudioStreamBasicDescription))
    return kAudioUnitErr_InvalidPropertyValue;
  AudioStreamBasicDescription format = {};
  format.mSampleRate = 48000.0;
  format.mFormatID = kAudioFormatLinearPCM;
  format.mFormatFlags = kAudioFormatFlagsAudioUnitCanonical;
  format.mBytesPerPacket = format.mBytesPerFrame = 4;
  format.mFramesPerPacket = 1;
  format.mChannelsPerFrame = source->channels;
  format.mBitsPerChannel = 32;
  std::memcpy(data, &format, sizeof(format));
  *size = sizeof(format);
  return noErr;
}

ComponentResult Render(Source* source, ComponentParameters* params)
{
  const auto* timeStamp = reinterpret_cast<const AudioTimeStamp*>(Arg(params, 1, 5));
  const UInt32 nFrames = static_cast<UInt32>(Arg(params, 3, 5));
  auto* list = reinterpret_cast<AudioBufferList*>(Arg(params, 4, 5));
  ++source->renders;
  if (source->failWith != noErr) return source->failWith;
  for (UInt32 c = 0; c < list->mNumberBuffers && c < 4; ++c)
  {
    AudioBuffer& buffer = list->mBuffers[c];
    float* out = buffer.mData ? static_cast<float*>(buffer.mData) : &source->samples[c * 4096];
    for (UInt32 i = 0; i < nFrames; ++i)
      out[i] = kSourceBase * (c + 1) + static_cast<float>(timeStamp->mSampleTime) + i;
    buffer.mData = out;
    buffer.mDataByteSize = nFrames * sizeof(float);
  }
  return noErr;
}

ComponentResult Parameter(Source* source, ComponentParameters* params, bool set)
{
  const UInt32 id = static_cast<UInt32>(Arg(params, 0, set ? 5 : 4));
  if (set)
  {
    const Float32 value = ComponentParamFloat32(Arg(params, 3, 5));
    if (id == kSourceFailWith) source->failWith = static_cast<OSStatus>(value);
    if (id == kSourceChannels) source->channels = static_cast<UInt32>(value);
    return noErr;
  }
  auto* out = reinterpret_cast<Float32*>(Arg(params, 3, 4));
  *out = id == kSourceRenders ? static_cast<Float32>(source->renders) : 0.0f;
  return noErr;
}
} // namespace

extern "C" ComponentResult AUTestSource_Entry(ComponentParameters* params, void* storage)
{
  auto* source = static_cast<Source*>(storage);
  switch (params->what)
  {
  case kComponentOpenSelect:
  {
    auto* ci = reinterpret_cast<ComponentInstance>(params->params[0]);
    source = new Source;
    source->ci = ci;
    SetComponentInstanceStorage(ci, reinterpret_cast<Handle>(source));
    return noErr;
  }
  case kComponentCloseSelect:
    delete source;
    return noErr;
  case kAudioUnitInitializeSelect:
  case kAudioUnitUninitializeSelect:
    return noErr;
  case kAudioUnitGetPropertySelect:
    return GetProperty(source, params);
  case kAudioUnitGetParameterSelect:
    return Parameter(source, params, false);
  case kAudioUnitSetParameterSelect:
    return Parameter(source, params, true);
  case kAudioUnitRenderSelect:
    return Render(source, params);
  default:
    return badComponentSelector;
  }
}
