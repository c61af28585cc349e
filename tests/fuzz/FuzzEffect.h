// The effect component as the fuzz targets drive it: one instance for the
// whole run, opened through the component manager, started at 44,100 Hz in
// stereo. A restored state must leave it rendering finite samples.
#pragma once

#include "tests/effect/EffectUnit.h"

#include <cmath>
#include <cstdlib>
#include <vector>

inline HostedUnit& FuzzEffect()
{
  static HostedUnit* host = []
  {
    auto* h = new HostedUnit;
    if (!StartEffect(*h, EffectSetup(44100.0, 512))) std::abort();
    return h;
  }();
  return *host;
}

// One block with an impulse; a sample that is not finite is a finding.
inline void RenderMustStayFinite(HostedUnit& host)
{
  static std::vector<float> inL(512), inR(512), outL(512), outR(512);
  inL.assign(512, 0.0f);
  inR.assign(512, 0.0f);
  inL[0] = inR[0] = 1.0f;
  const float* in[2] = {inL.data(), inR.data()};
  float* out[2] = {outL.data(), outR.data()};
  if (host.Render(in, out, 512) != noErr) std::abort();
  for (int i = 0; i < 512; ++i)
    if (!std::isfinite(outL[i]) || !std::isfinite(outR[i])) std::abort();
}

// Hands a property list to the unit as its class info, reads the class info
// back and renders.
inline void RestoreClassInfo(HostedUnit& host, CFPropertyListRef list)
{
  AudioUnitSetProperty(host.Unit(), kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0,
                       &list, sizeof list);
  CFPropertyListRef saved = nullptr;
  UInt32 size = sizeof saved;
  if (AudioUnitGetProperty(host.Unit(), kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0,
                           &saved, &size) != noErr ||
      !saved)
    std::abort();
  CFRelease(saved);
  RenderMustStayFinite(host);
}
