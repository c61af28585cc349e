#pragma once

// One instance of a component, opened and set up for rendering the way a host
// does it in one go: the common case of the program, the tests and the
// benchmarks. The calls belong to one thread at a time (the host's thread).

#include "host/kit/Component.h"
#include "host/kit/UnitRenderer.h"

#include <AudioUnit/AudioUnit.h>

#include <memory>
#include <string>
#include <vector>

// Whole signals, one vector of samples per channel.
using ChannelData = std::vector<std::vector<float>>;

class HostedUnit
{
public:
  // Opens an instance; false with a message when the component refuses.
  bool Open(Component component, std::string& error);
  // Finds the bundle (see FindComponentBundle), registers it and opens an instance.
  bool OpenFound(const std::string& explicitPath, std::string& error);
  // Host callbacks, stream formats, maximum frames and the input callback;
  // then initialise and reset.
  bool Start(const StreamSetup& setup, std::string& error);

  AudioUnit Unit() const { return mInstance.Get(); }
  // Null before Start.
  UnitRenderer* Renderer() { return mRenderer.get(); }

  // One slice (see UnitRenderer::Render); kAudioUnitErr_Uninitialized before Start.
  ComponentResult Render(const float* const* in, float* const* out, UInt32 frames);
  // The whole input in slices of the maximum size; out receives one channel per
  // output channel, as long as the input.
  ComponentResult RenderChannels(const ChannelData& in, ChannelData& out);

  // The host's tempo from the next slice on; nothing before Start.
  void SetTempo(double tempo);
  ComponentResult SetParameter(AudioUnitParameterID id, AudioUnitParameterValue value);

private:
  UnitInstance mInstance;
  std::unique_ptr<UnitRenderer> mRenderer;
};
