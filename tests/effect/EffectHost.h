#pragma once

// A minimal host for the effect component: it registers the built bundle,
// opens an instance, sets stream formats, maximum frames and a tempo callback,
// feeds input through a render callback and renders blocks through
// AudioUnitRender, using only the component manager and the host API.

#include <AudioUnit/AudioUnit.h>
#include <CoreServices/CoreServices.h>
#include <StandInExtensions.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using Channels = std::vector<std::vector<float>>;

class EffectHost
{
public:
  static std::string BundlePath()
  {
    const char* dir = std::getenv("TOLVANE_COMPONENTS_DIR");
    return std::string(dir ? dir : TOLVANE_COMPONENTS_DIR_DEFAULT) + "/TolvaneDelay.component";
  }

  // The registered component; registering again finds the same one.
  static Component FindEffect()
  {
    Component component = nullptr;
    if (RegisterComponentBundle(BundlePath().c_str(), &component) != noErr) return nullptr;
    ComponentDescription looking = {kAudioUnitType_Effect, 0x5476646C, 0x74566C6C, 0, 0};
    return FindNextComponent(nullptr, &looking);
  }

  EffectHost()
  {
    if (Component component = FindEffect()) OpenAComponent(component, &mUnit);
  }
  ~EffectHost()
  {
    if (mUnit) CloseComponent(mUnit);
  }
  EffectHost(const EffectHost&) = delete;
  EffectHost& operator=(const EffectHost&) = delete;

  AudioUnit Unit() const { return mUnit; }

  // Stream formats (which set the rate), maximum frames (which resets the
  // effect), the tempo callback and the input callback; then initialises.
  ComponentResult Start(double sampleRate, UInt32 nChannels, UInt32 maxFrames)
  {
    ComponentResult err = Configure(sampleRate, nChannels);
    if (!err)
      err = SetProperty(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global,
                        &maxFrames, sizeof maxFrames);
    return err ? err : AudioUnitInitialize(mUnit);
  }

  // As a host that never sets the rate, the maximum frames or bypass and never
  // resets: stream formats and callbacks, then initialise.
  ComponentResult StartWithoutReset(double sampleRate, UInt32 nChannels)
  {
    ComponentResult err = Configure(sampleRate, nChannels);
    return err ? err : AudioUnitInitialize(mUnit);
  }

  ComponentResult Reset() { return AudioUnitReset(mUnit, kAudioUnitScope_Global, 0); }
  ComponentResult SetBypass(bool bypass)
  {
    const UInt32 value = bypass ? 1 : 0;
    return SetProperty(kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, &value,
                       sizeof value);
  }

  void SetTempo(double bpm) { mTempo = bpm; }

  ComponentResult SetParameter(AudioUnitParameterID id, float value)
  {
    if (mFastSetParameter) return mFastSetParameter(mStorage, id, kAudioUnitScope_Global, 0, value, 0);
    return AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, 0);
  }

  // Renders through the fast-dispatch procedure, which takes no lock, instead
  // of the entry; parameters too.
  bool UseFastDispatch()
  {
    UInt32 size = sizeof mFastRender;
    AudioUnitGetProperty(mUnit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                         kAudioUnitRenderSelect, &mFastRender, &size);
    size = sizeof mFastSetParameter;
    AudioUnitGetProperty(mUnit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                         kAudioUnitSetParameterSelect, &mFastSetParameter, &size);
    mStorage = GetComponentInstanceStorage(mUnit);
    return mFastRender && mFastSetParameter && mStorage;
  }

  // One block: in and out hold a buffer per channel of the stream format.
  ComponentResult RenderBlock(const float* const* in, float* const* out, UInt32 nFrames)
  {
    mInput = in;
    BufferList list;
    list.mNumberBuffers = mNChannels;
    for (UInt32 c = 0; c < mNChannels; ++c)
      list.mBuffers[c] = {1, nFrames * 4, out[c]};
    AudioTimeStamp stamp = {};
    stamp.mFlags = kAudioTimeStampSampleTimeValid;
    stamp.mSampleTime = mSampleTime;
    mSampleTime += nFrames;
    AudioUnitRenderActionFlags flags = 0;
    auto* buffers = reinterpret_cast<AudioBufferList*>(&list);
    if (mFastRender) return mFastRender(mStorage, &flags, &stamp, 0, nFrames, buffers);
    return AudioUnitRender(mUnit, &flags, &stamp, 0, nFrames, buffers);
  }

  // The whole input, block by block; out receives as many channels.
  ComponentResult Process(const Channels& in, Channels* out, UInt32 blockSize)
  {
    const size_t length = in[0].size();
    out->assign(in.size(), std::vector<float>(length, 0.0f));
    for (size_t pos = 0; pos < length; pos += blockSize)
    {
      const UInt32 n = static_cast<UInt32>(std::min<size_t>(blockSize, length - pos));
      const float* inPtrs[2] = {};
      float* outPtrs[2] = {};
      for (size_t c = 0; c < in.size(); ++c)
      {
        inPtrs[c] = in[c].data() + pos;
        outPtrs[c] = (*out)[c].data() + pos;
      }
      if (ComponentResult err = RenderBlock(inPtrs, outPtrs, n)) return err;
    }
    return noErr;
  }

private:
  ComponentResult Configure(double sampleRate, UInt32 nChannels)
  {
    AudioStreamBasicDescription format = {};
    format.mSampleRate = sampleRate;
    format.mFormatID = kAudioFormatLinearPCM;
    format.mFormatFlags =
        kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
    format.mBytesPerPacket = format.mBytesPerFrame = 4;
    format.mFramesPerPacket = 1;
    format.mChannelsPerFrame = nChannels;
    format.mBitsPerChannel = 32;
    HostCallbackInfo callbacks = {this, &EffectHost::BeatAndTempo, nullptr, nullptr};
    AURenderCallbackStruct input = {&EffectHost::SupplyInput, this};
    mNChannels = nChannels;
    ComponentResult err = noErr;
    for (AudioUnitScope scope : {kAudioUnitScope_Input, kAudioUnitScope_Output})
      if (!err) err = SetProperty(kAudioUnitProperty_StreamFormat, scope, &format, sizeof format);
    if (!err)
      err = SetProperty(kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, &callbacks,
                        sizeof callbacks);
    if (!err)
      err = SetProperty(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, &input,
                        sizeof input);
    return err;
  }

  struct BufferList
  {
    UInt32 mNumberBuffers;
    AudioBuffer mBuffers[2];
  };

  ComponentResult SetProperty(AudioUnitPropertyID id, AudioUnitScope scope, const void* data,
                              UInt32 size)
  {
    return AudioUnitSetProperty(mUnit, id, scope, 0, data, size);
  }

  static OSStatus BeatAndTempo(void* user, Float64* beat, Float64* tempo)
  {
    *beat = 0.0;
    *tempo = static_cast<EffectHost*>(user)->mTempo;
    return noErr;
  }

  static OSStatus SupplyInput(void* user, AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                              UInt32, UInt32 nFrames, AudioBufferList* data)
  {
    auto* host = static_cast<EffectHost*>(user);
    for (UInt32 b = 0; b < data->mNumberBuffers; ++b)
      std::memcpy(data->mBuffers[b].mData, host->mInput[b], nFrames * sizeof(float));
    return noErr;
  }

  AudioUnit mUnit = nullptr;
  UInt32 mNChannels = 2;
  double mTempo = 120.0;
  double mSampleTime = 0.0;
  const float* const* mInput = nullptr;
  AudioUnitRenderProc mFastRender = nullptr;
  AudioUnitSetParameterProc mFastSetParameter = nullptr;
  void* mStorage = nullptr;
};
