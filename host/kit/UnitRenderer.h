#pragma once

// Plays audio through one open unit the way a host does: stream formats,
// maximum frames per slice, host callbacks for tempo and an input callback are
// set up once; then each render call pulls one slice with an advancing time
// stamp.
//
// Configure and Start on the host's thread; Render on the thread that renders
// (here the same one), never two at once.

#include "host/kit/BufferList.h"
#include "host/kit/HostTransport.h"

#include <AudioUnit/AudioUnit.h>

#include <string>

struct StreamSetup
{
  double sampleRate = 44100.0;
  UInt32 inputChannels = 2;
  UInt32 outputChannels = 2;
  UInt32 maxFrames = 512;
  double tempo = 120.0;
};

// The non-interleaved 32-bit float format of Audio Unit streams.
AudioStreamBasicDescription CanonicalFormat(double sampleRate, UInt32 channels);
// A time stamp that carries only a sample time, as a host renders with.
AudioTimeStamp SampleTimeStamp(double sampleTime);

class UnitRenderer
{
public:
  // How the input callback hands over the host's samples.
  enum class InputDelivery
  {
    CopyIntoUnitBuffers, // into the memory the unit's buffer list points at
    PointAtHostBuffers   // the list is pointed at the host's own buffers
  };

  UnitRenderer(AudioUnit unit, const StreamSetup& setup);
  UnitRenderer(const UnitRenderer&) = delete;
  UnitRenderer& operator=(const UnitRenderer&) = delete;

  // Host callbacks, both stream formats, the maximum slice and the input callback.
  bool Configure(std::string& error);
  // Initialise, then reset.
  bool Start(std::string& error);

  // Renders one slice of at most maxFrames frames: in[c] holds the `frames`
  // input samples of channel c, out[c] receives the output.
  ComponentResult Render(const float* const* in, float* const* out, UInt32 frames);

  void SetInputDelivery(InputDelivery delivery) { mDelivery = delivery; }
  // Hands the unit output buffers without memory; it fills in its own and the
  // result is copied to out[c] after the call.
  void SetNullOutputBuffers(bool null) { mNullOutputs = null; }

  // The host's tempo from the next slice on.
  void SetTempo(double tempo) { mTransport.SetTempo(tempo); }

  double SampleTime() const { return mSampleTime; }
  const StreamSetup& Setup() const { return mSetup; }
  AudioUnit Unit() const { return mUnit; }

private:
  static OSStatus SupplyInput(void* self, AudioUnitRenderActionFlags* flags,
                              const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 frames,
                              AudioBufferList* data);

  AudioUnit mUnit;
  StreamSetup mSetup;
  HostTransport mTransport;
  BufferList mOutput;
  InputDelivery mDelivery = InputDelivery::CopyIntoUnitBuffers;
  bool mNullOutputs = false;
  double mSampleTime = 0.0;
  const float* const* mInput = nullptr;
  UInt32 mSliceFrames = 0;
};
