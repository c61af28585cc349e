#pragma once

// What the wrapper's tests need of a host: the test components registered from
// their bundles, instances opened and closed, formats, buffers, input callbacks
// and renders, all through the component manager and the host API.

#include "host/kit/UnitRenderer.h"
#include "tests/IPlug/au/AUTestPlug.h"
#include "tests/IPlug/au/AUTestSource.h"
#include "tests/IPlug/au/AUTestSynth.h"

#include <AudioToolbox/AudioToolbox.h>

#include <gtest/gtest.h>

#include <vector>

// The test components, registered once per process from the bundles the build lays out.
Component TestPlugComponent();
Component TestSynthComponent();
Component TestSourceComponent();

// An open instance, closed at the end of the scope.
class Unit
{
public:
  explicit Unit(Component component);
  ~Unit();
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;

  AudioUnit Get() const { return mUnit; }
  operator AudioUnit() const { return mUnit; }

  float Param(AudioUnitParameterID id) const;
  void SetParam(AudioUnitParameterID id, float value) const;

  OSStatus SetFormat(AudioUnitScope scope, UInt32 bus, UInt32 nChannels,
                     double sampleRate = 44100.0) const;
  OSStatus SetMaxFrames(UInt32 frames) const;
  OSStatus SetInputCallback(AURenderCallback proc, void* refCon, UInt32 bus = 0) const;
  OSStatus SetBypass(bool bypass) const;
  UInt32 UInt32Property(AudioUnitPropertyID id, AudioUnitScope scope = kAudioUnitScope_Global,
                        UInt32 element = 0) const;
  Float64 Float64Property(AudioUnitPropertyID id, AudioUnitScope scope = kAudioUnitScope_Global,
                          UInt32 element = 0) const;
  AudioStreamBasicDescription Format(AudioUnitScope scope, UInt32 bus) const;

private:
  AudioUnit mUnit = nullptr;
};

// Non-interleaved float buffers and the buffer list that points at them.
class BufferSet
{
public:
  // withMemory false leaves every data pointer null (the unit supplies memory).
  BufferSet(UInt32 nBuffers, UInt32 nFrames, bool withMemory = true, float fill = -7.0f);
  AudioBufferList* List() { return reinterpret_cast<AudioBufferList*>(mList.data()); }
  AudioBuffer& Buffer(UInt32 b) { return List()->mBuffers[b]; }
  // Sample i of buffer b as the list points at it now.
  float Sample(UInt32 b, UInt32 i) { return static_cast<float*>(Buffer(b).mData)[i]; }
  float* Memory(UInt32 b) { return mMemory[b].data(); }

private:
  std::vector<std::vector<float>> mMemory;
  std::vector<unsigned char> mList;
};

OSStatus RenderUnit(AudioUnit unit, double sampleTime, UInt32 nFrames, AudioBufferList* list,
                    UInt32 bus = 0);

// A host input: channel c, frame i at sample time t holds (c + 1) * 0.125 + (t + i) / 65536.
struct HostInput
{
  int calls = 0;
  UInt32 lastBus = 0, lastBuffers = 0;
  static float Value(UInt32 channel, double sampleTime, UInt32 frame);
  static OSStatus Render(void* refCon, AudioUnitRenderActionFlags* flags,
                         const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 nFrames,
                         AudioBufferList* list);
};
