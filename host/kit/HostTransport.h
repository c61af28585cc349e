#pragma once

// The host's musical time as the plug-in reads it through the host callbacks:
// a steady tempo in 4/4 with the transport playing from sample 0 of the file.
//
// The unit calls the callbacks on its render thread; SetSampleTime and
// SetTempo come from the same thread between renders.

#include <AudioUnit/AudioUnit.h>

class HostTransport
{
public:
  HostTransport(double tempo, double sampleRate) : mTempo(tempo), mSampleRate(sampleRate) {}

  // The three callbacks with this object as their user data.
  HostCallbackInfo Callbacks();
  // Gives them to the unit; this object must outlive the unit's use of them.
  ComponentResult Install(AudioUnit unit);
  // The time line position of the block about to be rendered.
  void SetSampleTime(double sampleTime) { mSampleTime = sampleTime; }
  // A new steady tempo from the next block on.
  void SetTempo(double tempo) { mTempo = tempo; }

  double Tempo() const { return mTempo; }

private:
  double CurrentBeat() const;
  double SamplesPerBeat() const { return mSampleRate * 60.0 / mTempo; }

  static OSStatus BeatAndTempo(void* self, Float64* currentBeat, Float64* currentTempo);
  static OSStatus MusicalTimeLocation(void* self, UInt32* deltaSampleOffsetToNextBeat,
                                      Float32* timeSigNumerator, UInt32* timeSigDenominator,
                                      Float64* currentMeasureDownBeat);
  static OSStatus TransportState(void* self, Boolean* isPlaying, Boolean* transportStateChanged,
                                 Float64* currentSampleInTimeLine, Boolean* isCycling,
                                 Float64* cycleStartBeat, Float64* cycleEndBeat);

  double mTempo;
  double mSampleRate;
  double mSampleTime = 0.0;
};
