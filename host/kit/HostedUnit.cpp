#include "host/kit/HostedUnit.h"

#include <algorithm>

bool HostedUnit::Open(Component component, std::string& error)
{
  mRenderer.reset();
  return OpenUnit(component, mInstance, error);
}

bool HostedUnit::OpenFound(const std::string& explicitPath, std::string& error)
{
  Component component = nullptr;
  return FindAndLoadComponent(explicitPath, component, error) && Open(component, error);
}

bool HostedUnit::Start(const StreamSetup& setup, std::string& error)
{
  if (!Unit())
  {
    error = "no instance is open";
    return false;
  }
  mRenderer = std::make_unique<UnitRenderer>(Unit(), setup);
  return mRenderer->Configure(error) && mRenderer->Start(error);
}

ComponentResult HostedUnit::Render(const float* const* in, float* const* out, UInt32 frames)
{
  if (!mRenderer) return kAudioUnitErr_Uninitialized;
  return mRenderer->Render(in, out, frames);
}

ComponentResult HostedUnit::RenderChannels(const ChannelData& in, ChannelData& out)
{
  if (!mRenderer) return kAudioUnitErr_Uninitialized;
  const StreamSetup& setup = mRenderer->Setup();
  const size_t length = in.empty() ? 0 : in[0].size();
  out.assign(setup.outputChannels, std::vector<float>(length, 0.0f));
  std::vector<const float*> inPtrs(in.size());
  std::vector<float*> outPtrs(out.size());
  for (size_t pos = 0; pos < length; pos += setup.maxFrames)
  {
    const UInt32 n = static_cast<UInt32>(std::min<size_t>(setup.maxFrames, length - pos));
    for (size_t c = 0; c < in.size(); ++c)
      inPtrs[c] = in[c].data() + pos;
    for (size_t c = 0; c < out.size(); ++c)
      outPtrs[c] = out[c].data() + pos;
    if (const ComponentResult status = mRenderer->Render(inPtrs.data(), outPtrs.data(), n))
      return status;
  }
  return noErr;
}

void HostedUnit::SetTempo(double tempo)
{
  if (mRenderer) mRenderer->SetTempo(tempo);
}

ComponentResult HostedUnit::SetParameter(AudioUnitParameterID id, AudioUnitParameterValue value)
{
  return AudioUnitSetParameter(Unit(), id, kAudioUnitScope_Global, 0, value, 0);
}
