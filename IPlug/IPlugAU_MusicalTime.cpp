// Musical time read from the host's callbacks. A callback the host did not
// supply leaves the outputs as they are.

#include "IPlug/IPlugAU.h"

#include <cmath>

namespace
{
bool IsTempo(double tempo)
{
  return tempo > 0.0 && std::isfinite(tempo);
}

struct TransportState
{
  Boolean playing = false, changed = false, cycling = false;
  Float64 samplePos = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
};

struct TimeLocation
{
  UInt32 sampleOffsetToNextBeat = 0;
  Float32 numerator = 0.0f;
  UInt32 denominator = 0;
  Float64 measureDownBeat = 0.0;
};

void ReadTransport(const HostCallbackInfo& host, TransportState* state)
{
  host.transportStateProc(host.hostUserData, &state->playing, &state->changed, &state->samplePos,
                          &state->cycling, &state->cycleStart, &state->cycleEnd);
}

void ReadTimeLocation(const HostCallbackInfo& host, TimeLocation* location)
{
  host.musicalTimeLocationProc(host.hostUserData, &location->sampleOffsetToNextBeat,
                               &location->numerator, &location->denominator,
                               &location->measureDownBeat);
}
} // namespace

double IPlugAU::GetTempo()
{
  if (mHostCallbacks.beatAndTempoProc)
  {
    Float64 beat = 0.0, tempo = 0.0;
    mHostCallbacks.beatAndTempoProc(mHostCallbacks.hostUserData, &beat, &tempo);
    if (IsTempo(tempo)) mTempo = tempo;
  }
  return mTempo;
}

void IPlugAU::GetTimeSig(int* numerator, int* denominator)
{
  if (!mHostCallbacks.musicalTimeLocationProc) return;
  TimeLocation location;
  ReadTimeLocation(mHostCallbacks, &location);
  *numerator = TruncToInt(location.numerator);
  *denominator = static_cast<int>(location.denominator);
}

int IPlugAU::GetSamplePos()
{
  if (!mHostCallbacks.transportStateProc) return 0;
  TransportState state;
  ReadTransport(mHostCallbacks, &state);
  return TruncToInt(state.samplePos + 0.5);
}

void IPlugAU::GetTime(ITimeInfo* timeInfo)
{
  if (mHostCallbacks.beatAndTempoProc)
  {
    Float64 beat = 0.0, tempo = 0.0;
    mHostCallbacks.beatAndTempoProc(mHostCallbacks.hostUserData, &beat, &tempo);
    if (IsTempo(tempo)) timeInfo->mTempo = tempo;
    if (beat > 0.0) timeInfo->mPPQPos = beat;
  }
  if (mHostCallbacks.transportStateProc)
  {
    TransportState state;
    ReadTransport(mHostCallbacks, &state);
    if (state.samplePos > 0.0) timeInfo->mSamplePos = state.samplePos;
    if (state.cycleStart > 0.0) timeInfo->mCycleStart = state.cycleStart;
    if (state.cycleEnd > 0.0) timeInfo->mCycleEnd = state.cycleEnd;
    timeInfo->mTransportIsRunning = state.playing;
    timeInfo->mTransportLoopEnabled = state.cycling;
  }
  if (mHostCallbacks.musicalTimeLocationProc)
  {
    TimeLocation location;
    ReadTimeLocation(mHostCallbacks, &location);
    timeInfo->mNumerator = TruncToInt(location.numerator);
    timeInfo->mDenominator = static_cast<int>(location.denominator);
    if (location.measureDownBeat > 0.0) timeInfo->mLastBar = location.measureDownBeat;
  }
}
