// Construction, parameters from the host, property listeners and parameter
// events, and musical time read from the host.

#include "IPlug/IPlugAU.h"
#include "IPlug/IGraphics.h"

#include "IPlug/IGraphics.h"

#include "IPlug/IPlugAU_Strings.h"
#include "IPlug/Log.h"

#include <algorithm>
#include <cstring>
#include <cmath>

IPlugAU::IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr,
                 int nPresets, const char* effectName, const char* productName, const char* mfrName,
                 int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                 bool plugDoesChunks, bool plugIsInst, int nSideChainChannels)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst)
{
  Trace(__func__, __LINE__, "%s", "IPlugAU");
  std::memset(&mHostCallbacks, 0, sizeof(mHostCallbacks));
  mBundleID.Set(instanceInfo.mBundleID.Get());
  mCocoaViewFactoryClassName.Set(instanceInfo.mCocoaViewFactoryClassName.Get());

  const int nIn = NInChannels();
  if (nSideChainChannels > 0 && nIn > 0)
  {
    mInBuses.Add(new BusChannels(nIn - nSideChainChannels, 0));
    mInBuses.Add(new BusChannels(nSideChainChannels, nIn - nSideChainChannels));
  }
  else if (nIn > 0)
  {
    mInBuses.Add(new BusChannels(nIn, 0));
  }
  for (int i = 0; i < mInBuses.GetSize(); ++i)
    mInBusConnections.Add(new InputBusConnection);

  const int nOut = NOutChannels();
  if (plugIsInst)
  {
    for (int start = 0; start < nOut; start += 2)
      mOutBuses.Add(new BusChannels(std::min(nOut - start, 2), start));
  }
  else
  {
    mOutBuses.Add(new BusChannels(nOut, 0));
  }

  AssessInputConnections();
  SetBlockSize(1024);
}

IPlugAU::~IPlugAU()
{
  mRenderNotify.Empty(true);
  mInBuses.Empty(true);
  mOutBuses.Empty(true);
  mInBusConnections.Empty(true);
  mPropertyListeners.Empty(true);
}

EHost IPlugAU::GetHost()
{
  if (IPlugBase::GetHost() != kHostUninit) return IPlugBase::GetHost();
  CFBundleRef mainBundle = CFBundleGetMainBundle();
  CFStringRef identifier = mainBundle ? CFBundleGetIdentifier(mainBundle) : nullptr;
  if (identifier)
  {
    CStrLocal name(identifier);
    SetHost(name.Get(), 0);
  }
  if (IPlugBase::GetHost() == kHostUninit) SetHost("", 0);
  return IPlugBase::GetHost();
}

// The wrapper has no MIDI output.
bool IPlugAU::SendMidiMsg(IMidiMsg*)
{
  return false;
}

bool IPlugAU::SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs)
{
  for (int i = 0; i < msgs->GetSize(); ++i)
    SendMidiMsg(msgs->Get() + i);
  return true;
}

// Parameter get and set from the host, scheduled parameter events and the
// fast-dispatch procedures.

ComponentResult IPlugAU::GetParamProc(void* pPlug, AudioUnitParameterID paramID,
                                      AudioUnitScope scope, AudioUnitElement element,
                                      AudioUnitParameterValue* pValue)
{
  Trace(__func__, __LINE__, "%d:(%d:%s):%d", paramID, scope, AUScopeStr(scope), element);
  auto* _this = static_cast<IPlugAU*>(pPlug);
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  if (!pValue) return kAudioUnitErr_InvalidPropertyValue;
  IMutexLock lock(_this);
  const IParam* param = _this->GetParam(static_cast<int>(paramID));
  if (!param) return kAudioUnitErr_InvalidParameter;
  *pValue = static_cast<AudioUnitParameterValue>(param->Value());
  return noErr;
}

ComponentResult IPlugAU::SetParamProc(void* pPlug, AudioUnitParameterID paramID,
                                      AudioUnitScope scope, AudioUnitElement element,
                                      AudioUnitParameterValue value, UInt32)
{
  Trace(__func__, __LINE__, "%d:(%d:%s):%d", paramID, scope, AUScopeStr(scope), element);
  auto* _this = static_cast<IPlugAU*>(pPlug);
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  IMutexLock lock(_this);
  const int idx = static_cast<int>(paramID);
  IParam* param = _this->GetParam(idx);
  if (!param) return kAudioUnitErr_InvalidParameter;
  param->Set(value);
  _this->TellEditorOfHostChange(idx, value);
  _this->OnParamChange(idx);
  return noErr;
}

// The editor's controls take the plain value before the effect's hook runs
// (the caller holds the plug-in lock).
void IPlugAU::TellEditorOfHostChange(int paramIdx, double value)
{
  if (IGraphics* graphics = GetGUI()) graphics->SetParameterFromPlug(paramIdx, value, false);
}

ComponentResult IPlugAU::ScheduleParameters(const AudioUnitParameterEvent* events, UInt32 nEvents)
{
  if (nEvents > 0 && !events) return paramErr;
  for (UInt32 i = 0; i < nEvents; ++i)
  {
    const AudioUnitParameterEvent& event = events[i];
    if (event.eventType != kParameterEvent_Immediate) continue;
    const ComponentResult result =
        SetParamProc(this, event.parameter, event.scope, event.element,
                     event.eventValues.immediate.value, event.eventValues.immediate.bufferOffset);
    if (result != noErr) return result;
  }
  return noErr;
}

ComponentResult IPlugAU::GetProc(AudioUnitElement procID, UInt32* pDataSize, void* pData)
{
  Trace(__func__, __LINE__, "%s:(%d:%s)", "GetProc", procID, AUSelectStr(procID));
  void* proc = nullptr;
  switch (procID)
  {
  case kAudioUnitRenderSelect:
    proc = reinterpret_cast<void*>(&RenderProc);
    break;
  case kAudioUnitSetParameterSelect:
    proc = reinterpret_cast<void*>(&SetParamProc);
    break;
  case kAudioUnitGetParameterSelect:
    proc = reinterpret_cast<void*>(&GetParamProc);
    break;
  default:
    return kAudioUnitErr_InvalidElement;
  }
  if (pData && *pDataSize < sizeof(proc)) return kAudioUnitErr_InvalidPropertyValue;
  *pDataSize = sizeof(proc);
  if (pData) *static_cast<void**>(pData) = proc;
  return noErr;
}

// Property listeners, render notifications and the parameter events that tell
// the host about changes made in the plug-in.

// A listener without a procedure could never be called: it is refused.
ComponentResult IPlugAU::AddPropertyListener(const PropertyListener& listener)
{
  if (!listener.mListenerProc) return paramErr;
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i)
  {
    const PropertyListener* existing = mPropertyListeners.Get(i);
    if (existing->mPropID == listener.mPropID && existing->mListenerProc == listener.mListenerProc)
      return noErr;
  }
  mPropertyListeners.Add(new PropertyListener(listener));
  return noErr;
}

void IPlugAU::RemovePropertyListener(const PropertyListener& listener, bool matchUserData)
{
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i)
  {
    const PropertyListener* existing = mPropertyListeners.Get(i);
    if (existing->mPropID == listener.mPropID &&
        existing->mListenerProc == listener.mListenerProc &&
        (!matchUserData || existing->mProcArgs == listener.mProcArgs))
    {
      mPropertyListeners.Delete(i, true);
      return;
    }
  }
}

void IPlugAU::InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope)
{
  // The size is read on every step: a listener may remove itself while it is called.
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i)
  {
    const PropertyListener* listener = mPropertyListeners.Get(i);
    if (listener->mPropID == propID)
      listener->mListenerProc(listener->mProcArgs, mCI, propID, scope, 0);
  }
}

ComponentResult IPlugAU::AddRenderNotify(const AURenderCallbackStruct& callback)
{
  if (!callback.inputProc) return paramErr;
  mRenderNotify.Add(new AURenderCallbackStruct(callback));
  return noErr;
}

void IPlugAU::RemoveRenderNotify(AURenderCallback proc)
{
  for (int i = 0; i < mRenderNotify.GetSize(); ++i)
  {
    if (mRenderNotify.Get(i)->inputProc == proc)
    {
      mRenderNotify.Delete(i, true);
      return;
    }
  }
}

void SendAUEvent(AudioUnitEventType type, ComponentInstance ci, int paramIdx)
{
  AudioUnitEvent event = {};
  event.mEventType = type;
  event.mArgument.mParameter.mAudioUnit = ci;
  event.mArgument.mParameter.mParameterID = static_cast<AudioUnitParameterID>(paramIdx);
  event.mArgument.mParameter.mScope = kAudioUnitScope_Global;
  event.mArgument.mParameter.mElement = 0;
  AUEventListenerNotify(nullptr, nullptr, &event);
}

void IPlugAU::BeginInformHostOfParamChange(int idx)
{
  Trace(__func__, __LINE__, "%d", idx);
  SendAUEvent(kAudioUnitEvent_BeginParameterChangeGesture, mCI, idx);
}

// The host reads the value back with get-parameter.
void IPlugAU::InformHostOfParamChange(int idx, double normalizedValue)
{
  Trace(__func__, __LINE__, "%d:%f", idx, normalizedValue);
  SendAUEvent(kAudioUnitEvent_ParameterValueChange, mCI, idx);
}

void IPlugAU::EndInformHostOfParamChange(int idx)
{
  Trace(__func__, __LINE__, "%d", idx);
  SendAUEvent(kAudioUnitEvent_EndParameterChangeGesture, mCI, idx);
}

void IPlugAU::InformHostOfProgramChange()
{
  InformListeners(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global);
}

void IPlugAU::SetLatency(int samples)
{
  InformListeners(kAudioUnitProperty_Latency, kAudioUnitScope_Global);
  IPlugBase::SetLatency(samples);
}

// Musical time read from the host's callbacks. A callback the host did not
// supply leaves the outputs as they are.

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
