// Property listeners, render notifications and the parameter events that tell
// the host about changes made in the plug-in.

#include "IPlug/IPlugAU.h"

#include "IPlug/Log.h"

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
