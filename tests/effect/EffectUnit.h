// The built effect opened through the host kit for the effect's own tests,
// benchmarks and fuzz targets, with the few host behaviours they vary.
#pragma once

#include "host/kit/AUProperty.h"
#include "host/kit/HostedUnit.h"

#include <string>

inline StreamSetup EffectSetup(double sampleRate, UInt32 maxFrames)
{
  StreamSetup setup;
  setup.sampleRate = sampleRate;
  setup.maxFrames = maxFrames;
  return setup;
}

inline bool OpenEffect(HostedUnit& unit)
{
  std::string error;
  return unit.OpenFound("", error);
}

// Opens the effect (found as the program finds it) and starts it; false on any refusal.
inline bool StartEffect(HostedUnit& unit, const StreamSetup& setup)
{
  std::string error;
  return (unit.Unit() || OpenEffect(unit)) && unit.Start(setup, error);
}

inline ComponentResult ResetUnit(AudioUnit unit)
{
  return AudioUnitReset(unit, kAudioUnitScope_Global, 0);
}

inline ComponentResult SetBypass(AudioUnit unit, bool bypass)
{
  return SetGlobalProperty(unit, kAudioUnitProperty_BypassEffect, UInt32(bypass ? 1 : 0));
}

// The unit's fast-dispatch parameter procedure, which takes the mutex itself.
class FastParameters
{
public:
  explicit FastParameters(AudioUnit unit) : mStorage(GetComponentInstanceStorage(unit))
  {
    UInt32 size = sizeof mSet;
    if (AudioUnitGetProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                             kAudioUnitSetParameterSelect, &mSet, &size) != noErr)
      mSet = nullptr;
  }
  bool Valid() const { return mSet && mStorage; }
  ComponentResult Set(AudioUnitParameterID id, AudioUnitParameterValue value) const
  {
    return mSet(mStorage, id, kAudioUnitScope_Global, 0, value, 0);
  }

private:
  void* mStorage;
  AudioUnitSetParameterProc mSet = nullptr;
};
