// The listener utilities' C interface.
#include "platform/au/EventListenerRegistry.h"

using tolvane_au::EventListenerRegistry;

namespace
{

AudioUnitEvent ValueChangeEvent(const AudioUnitParameter& parameter)
{
  AudioUnitEvent event{};
  event.mEventType = kAudioUnitEvent_ParameterValueChange;
  event.mArgument.mParameter = parameter;
  return event;
}

} // namespace

extern "C"
{

  OSStatus AUEventListenerCreate(AUEventListenerProc inProc, void* inCallbackRefCon, CFRunLoopRef,
                                 CFStringRef, Float32, Float32, AUEventListenerRef* outListener)
  {
    if (!inProc || !outListener) return paramErr;
    *outListener = EventListenerRegistry::Get().Create(inProc, nullptr, inCallbackRefCon);
    return noErr;
  }

  OSStatus AUEventListenerAddEventType(AUEventListenerRef inListener, void* inObject,
                                       const AudioUnitEvent* inEvent)
  {
    if (!inListener || !inEvent) return paramErr;
    return EventListenerRegistry::Get().Add(inListener, inObject, *inEvent);
  }

  OSStatus AUEventListenerRemoveEventType(AUEventListenerRef inListener, void* inObject,
                                          const AudioUnitEvent* inEvent)
  {
    if (!inListener || !inEvent) return paramErr;
    return EventListenerRegistry::Get().Remove(inListener, inObject, *inEvent);
  }

  OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener, void* inSendingObject,
                                 const AudioUnitEvent* inEvent)
  {
    if (!inEvent) return paramErr;
    return EventListenerRegistry::Get().Notify(inSendingListener, inSendingObject, *inEvent);
  }

  OSStatus AUListenerCreate(AUParameterListenerProc inProc, void* inUserData, CFRunLoopRef,
                            CFStringRef, Float32, AUParameterListenerRef* outListener)
  {
    if (!inProc || !outListener) return paramErr;
    *outListener = EventListenerRegistry::Get().Create(nullptr, inProc, inUserData);
    return noErr;
  }

  OSStatus AUListenerAddParameter(AUParameterListenerRef inListener, void* inObject,
                                  const AudioUnitParameter* inParameter)
  {
    if (!inListener || !inParameter) return paramErr;
    return EventListenerRegistry::Get().Add(inListener, inObject, ValueChangeEvent(*inParameter));
  }

  OSStatus AUListenerRemoveParameter(AUParameterListenerRef inListener, void* inObject,
                                     const AudioUnitParameter* inParameter)
  {
    if (!inListener || !inParameter) return paramErr;
    return EventListenerRegistry::Get().Remove(inListener, inObject,
                                               ValueChangeEvent(*inParameter));
  }

  OSStatus AUParameterListenerNotify(AUParameterListenerRef inSendingListener,
                                     void* inSendingObject, const AudioUnitParameter* inParameter)
  {
    if (!inParameter) return paramErr;
    return EventListenerRegistry::Get().Notify(inSendingListener, inSendingObject,
                                               ValueChangeEvent(*inParameter));
  }

  OSStatus AUParameterSet(AUParameterListenerRef inSendingListener, void* inSendingObject,
                          const AudioUnitParameter* inParameter, AudioUnitParameterValue inValue,
                          UInt32 inBufferOffsetInFrames)
  {
    if (!inParameter) return paramErr;
    if (OSStatus err = AudioUnitSetParameter(inParameter->mAudioUnit, inParameter->mParameterID,
                                             inParameter->mScope, inParameter->mElement, inValue,
                                             inBufferOffsetInFrames))
      return err;
    return AUParameterListenerNotify(inSendingListener, inSendingObject, inParameter);
  }

  OSStatus AUListenerDispose(AUParameterListenerRef inListener)
  {
    return EventListenerRegistry::Get().Dispose(inListener);
  }

} // extern "C"
