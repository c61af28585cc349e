#include "host/kit/UnitRenderer.h"

#include "host/kit/AUProperty.h"
#include "host/kit/StatusText.h"

#include <algorithm>
#include <cstring>

AudioStreamBasicDescription CanonicalFormat(double sampleRate, UInt32 channels)
{
  AudioStreamBasicDescription format = {};
  format.mSampleRate = sampleRate;
  format.mFormatID = kAudioFormatLinearPCM;
  format.mFormatFlags = kAudioFormatFlagsAudioUnitCanonical;
  format.mBytesPerPacket = sizeof(float);
  format.mFramesPerPacket = 1;
  format.mBytesPerFrame = sizeof(float);
  format.mChannelsPerFrame = channels;
  format.mBitsPerChannel = 32;
  return format;
}

AudioTimeStamp SampleTimeStamp(double sampleTime)
{
  AudioTimeStamp timeStamp = {};
  timeStamp.mSampleTime = sampleTime;
  timeStamp.mFlags = kAudioTimeStampSampleTimeValid;
  return timeStamp;
}

UnitRenderer::UnitRenderer(AudioUnit unit, const StreamSetup& setup)
    : mUnit(unit), mSetup(setup), mTransport(setup.tempo, setup.sampleRate),
      mOutput(setup.outputChannels)
{
}

bool UnitRenderer::Configure(std::string& error)
{
  const auto refused = [&error](const std::string& what, ComponentResult status)
  {
    error = "the component refuses " + what + ": status " + StatusText(status);
    return false;
  };
  ComponentResult status = mTransport.Install(mUnit);
  if (status != noErr) return refused("the host callbacks", status);

  const std::string rate = std::to_string(static_cast<long>(mSetup.sampleRate)) + " Hz";
  status = SetAUProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0,
                         CanonicalFormat(mSetup.sampleRate, mSetup.inputChannels));
  if (status != noErr)
    return refused(std::to_string(mSetup.inputChannels) + " input channels at " + rate, status);
  status = SetAUProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                         CanonicalFormat(mSetup.sampleRate, mSetup.outputChannels));
  if (status != noErr)
    return refused(std::to_string(mSetup.outputChannels) + " output channels at " + rate, status);

  status = SetGlobalProperty(mUnit, kAudioUnitProperty_MaximumFramesPerSlice, mSetup.maxFrames);
  if (status != noErr)
    return refused("a maximum of " + std::to_string(mSetup.maxFrames) + " frames per slice",
                   status);

  const AURenderCallbackStruct input = {SupplyInput, this};
  status =
      SetAUProperty(mUnit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, input);
  if (status != noErr) return refused("the input callback", status);
  return true;
}

bool UnitRenderer::Start(std::string& error)
{
  ComponentResult status = AudioUnitInitialize(mUnit);
  if (status != noErr)
  {
    error = "the component does not initialise with " + std::to_string(mSetup.inputChannels) +
            " in and " + std::to_string(mSetup.outputChannels) + " out: status " +
            StatusText(status);
    return false;
  }
  status = AudioUnitReset(mUnit, kAudioUnitScope_Global, 0);
  if (status != noErr)
  {
    error = "the component does not reset: status " + StatusText(status);
    return false;
  }
  return true;
}

ComponentResult UnitRenderer::Render(const float* const* in, float* const* out, UInt32 frames)
{
  mTransport.SetSampleTime(mSampleTime);
  mInput = in;
  mSliceFrames = frames;
  for (UInt32 c = 0; c < mOutput.Count(); ++c)
    mOutput.Set(c, mNullOutputs ? nullptr : out[c], frames);

  const AudioTimeStamp timeStamp = SampleTimeStamp(mSampleTime);
  AudioUnitRenderActionFlags flags = 0;
  const ComponentResult status =
      AudioUnitRender(mUnit, &flags, &timeStamp, 0, frames, mOutput.Get());
  mInput = nullptr;
  if (status != noErr) return status;

  if (mNullOutputs)
  {
    for (UInt32 c = 0; c < mOutput.Count(); ++c)
    {
      const float* rendered = mOutput.Data(c);
      if (!rendered) return kAudioUnitErr_NoConnection;
      if (out[c]) std::memcpy(out[c], rendered, frames * sizeof(float));
    }
  }
  mSampleTime += frames;
  return noErr;
}

OSStatus UnitRenderer::SupplyInput(void* self, AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                                   UInt32, UInt32 frames, AudioBufferList* data)
{
  auto* renderer = static_cast<UnitRenderer*>(self);
  if (!data || !renderer->mInput || frames > renderer->mSliceFrames)
    return kAudioUnitErr_TooManyFramesToProcess;

  const UInt32 nBuffers = std::min(data->mNumberBuffers, renderer->mSetup.inputChannels);
  for (UInt32 b = 0; b < nBuffers; ++b)
  {
    AudioBuffer& buffer = data->mBuffers[b];
    const float* source = renderer->mInput[b];
    if (renderer->mDelivery == InputDelivery::PointAtHostBuffers || !buffer.mData)
    {
      // The unit only reads its input.
      buffer.mData = const_cast<float*>(source);
      buffer.mDataByteSize = frames * sizeof(float);
      continue;
    }
    const UInt32 n = std::min<UInt32>(frames, buffer.mDataByteSize / sizeof(float));
    std::memcpy(buffer.mData, source, n * sizeof(float));
  }
  return noErr;
}
