#pragma once

// Typed access to Audio Unit properties: the size passed is always the size of
// the record, as a host passes it.
//
// Any thread the unit allows property calls on (the host's own thread here).

#include <AudioUnit/AudioUnit.h>

template <class T>
ComponentResult GetAUProperty(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                              AudioUnitElement element, T& value)
{
  UInt32 size = sizeof(T);
  return AudioUnitGetProperty(unit, id, scope, element, &value, &size);
}

template <class T>
ComponentResult SetAUProperty(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                              AudioUnitElement element, const T& value)
{
  return AudioUnitSetProperty(unit, id, scope, element, &value, sizeof(T));
}

template <class T>
ComponentResult SetGlobalProperty(AudioUnit unit, AudioUnitPropertyID id, const T& value)
{
  return SetAUProperty(unit, id, kAudioUnitScope_Global, 0, value);
}

template <class T>
ComponentResult GetGlobalProperty(AudioUnit unit, AudioUnitPropertyID id, T& value)
{
  return GetAUProperty(unit, id, kAudioUnitScope_Global, 0, value);
}
