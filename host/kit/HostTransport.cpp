#include "host/kit/HostTransport.h"

#include "host/kit/AUProperty.h"

#include <cmath>

namespace
{
const double kBeatsPerBar = 4.0;

template <class T> void Put(T* out, T value)
{
  if (out) *out = value;
}
} // namespace

HostCallbackInfo HostTransport::Callbacks()
{
  HostCallbackInfo callbacks = {};
  callbacks.hostUserData = this;
  callbacks.beatAndTempoProc = BeatAndTempo;
  callbacks.musicalTimeLocationProc = MusicalTimeLocation;
  callbacks.transportStateProc = TransportState;
  return callbacks;
}

ComponentResult HostTransport::Install(AudioUnit unit)
{
  return SetGlobalProperty(unit, kAudioUnitProperty_HostCallbacks, Callbacks());
}

double HostTransport::CurrentBeat() const
{
  return mSampleTime / SamplesPerBeat();
}

OSStatus HostTransport::BeatAndTempo(void* self, Float64* currentBeat, Float64* currentTempo)
{
  const auto* transport = static_cast<const HostTransport*>(self);
  Put(currentBeat, transport->CurrentBeat());
  Put(currentTempo, transport->mTempo);
  return noErr;
}

OSStatus HostTransport::MusicalTimeLocation(void* self, UInt32* deltaSampleOffsetToNextBeat,
                                            Float32* timeSigNumerator, UInt32* timeSigDenominator,
                                            Float64* currentMeasureDownBeat)
{
  const auto* transport = static_cast<const HostTransport*>(self);
  const double beat = transport->CurrentBeat();
  const double toNextBeat = (std::ceil(beat) - beat) * transport->SamplesPerBeat();
  Put(deltaSampleOffsetToNextBeat, static_cast<UInt32>(toNextBeat));
  Put(timeSigNumerator, static_cast<Float32>(kBeatsPerBar));
  Put(timeSigDenominator, UInt32(4));
  Put(currentMeasureDownBeat, std::floor(beat / kBeatsPerBar) * kBeatsPerBar);
  return noErr;
}

OSStatus HostTransport::TransportState(void* self, Boolean* isPlaying,
                                       Boolean* transportStateChanged,
                                       Float64* currentSampleInTimeLine, Boolean* isCycling,
                                       Float64* cycleStartBeat, Float64* cycleEndBeat)
{
  const auto* transport = static_cast<const HostTransport*>(self);
  Put(isPlaying, Boolean(true));
  Put(transportStateChanged, Boolean(false));
  Put(currentSampleInTimeLine, transport->mSampleTime);
  Put(isCycling, Boolean(false));
  Put(cycleStartBeat, 0.0);
  Put(cycleEndBeat, 0.0);
  return noErr;
}
