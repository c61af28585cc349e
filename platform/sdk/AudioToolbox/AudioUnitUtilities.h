/* Parameter and event listeners: hosts and views hear about parameter changes, gestures and
   property changes of units.

   Delivery is synchronous: a notification calls every matching listener on the notifying thread
   before it returns (there is no run loop; the run-loop, interval and granularity arguments are
   accepted and ignored). Notifying takes a lock and allocates: it is not for the audio thread.
   A registration matches an event of the same type and unit whose scope and element are equal
   and whose parameter (or property) ID is equal; the ID kAUParameterListener_AnyParameter on
   either side matches every ID. */
#ifndef TOLVANE_AUDIOUNITUTILITIES_H
#define TOLVANE_AUDIOUNITUTILITIES_H

#include <AudioUnit/AudioUnit.h>

#ifdef __cplusplus
extern "C"
{
#endif

  typedef struct __CFRunLoop* CFRunLoopRef;

  typedef struct AUListenerBase* AUParameterListenerRef;
  typedef AUParameterListenerRef AUEventListenerRef;

  enum
  {
    kAUParameterListener_AnyParameter = 0xFFFFFFFF
  };

  typedef UInt32 AudioUnitEventType;
  enum
  {
    kAudioUnitEvent_ParameterValueChange = 0,
    kAudioUnitEvent_BeginParameterChangeGesture = 1,
    kAudioUnitEvent_EndParameterChangeGesture = 2,
    kAudioUnitEvent_PropertyChange = 3
  };

  typedef struct AudioUnitEvent
  {
    AudioUnitEventType mEventType;
    union
    {
      AudioUnitParameter mParameter; /* the three parameter events */
      AudioUnitProperty mProperty;   /* kAudioUnitEvent_PropertyChange */
    } mArgument;
  } AudioUnitEvent;

  /* inObject is the object given at registration. inParameterValue is the parameter's current
     value (read with AudioUnitGetParameter) for a value change, 0 for other events. inEventHostTime
     is a monotonic clock in nanoseconds. */
  typedef void (*AUEventListenerProc)(void* inCallbackRefCon, void* inObject,
                                      const AudioUnitEvent* inEvent, UInt64 inEventHostTime,
                                      AudioUnitParameterValue inParameterValue);
  typedef void (*AUParameterListenerProc)(void* inCallbackRefCon, void* inObject,
                                          const AudioUnitParameter* inParameter,
                                          AudioUnitParameterValue inValue);

  /* Event listeners. paramErr for a null procedure or out pointer. */
  OSStatus AUEventListenerCreate(AUEventListenerProc inProc, void* inCallbackRefCon,
                                 CFRunLoopRef inRunLoop, CFStringRef inRunLoopMode,
                                 Float32 inNotificationInterval, Float32 inValueChangeGranularity,
                                 AUEventListenerRef* outListener);
  /* Registers interest in one event (type, unit, ID, scope, element); inObject is handed back to
     the procedure. Adding the same (object, event) twice keeps one registration. A property event
     also listens to the unit itself (AudioUnitAddPropertyListener), so that the unit's own
     property notifications reach the listener; that call's failure is returned. paramErr for a
     null or unknown listener or event, or an event type outside the four. */
  OSStatus AUEventListenerAddEventType(AUEventListenerRef inListener, void* inObject,
                                       const AudioUnitEvent* inEvent);
  /* Removes a registration added with the same object and event; kAudioUnitErr_InvalidParameter
     when there is none. */
  OSStatus AUEventListenerRemoveEventType(AUEventListenerRef inListener, void* inObject,
                                          const AudioUnitEvent* inEvent);
  /* Delivers an event to every matching registration except those of the sending listener (all of
     its registrations when inSendingObject is null, else those with that object). */
  OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener, void* inSendingObject,
                                 const AudioUnitEvent* inEvent);

  /* Parameter listeners: they hear value changes only. */
  OSStatus AUListenerCreate(AUParameterListenerProc inProc, void* inUserData,
                            CFRunLoopRef inRunLoop, CFStringRef inRunLoopMode,
                            Float32 inNotificationInterval, AUParameterListenerRef* outListener);
  OSStatus AUListenerAddParameter(AUParameterListenerRef inListener, void* inObject,
                                  const AudioUnitParameter* inParameter);
  OSStatus AUListenerRemoveParameter(AUParameterListenerRef inListener, void* inObject,
                                     const AudioUnitParameter* inParameter);
  /* A value-change event for the parameter, sent as AUEventListenerNotify sends it. */
  OSStatus AUParameterListenerNotify(AUParameterListenerRef inSendingListener,
                                     void* inSendingObject, const AudioUnitParameter* inParameter);
  /* AudioUnitSetParameter, then, when that succeeds, AUParameterListenerNotify. */
  OSStatus AUParameterSet(AUParameterListenerRef inSendingListener, void* inSendingObject,
                          const AudioUnitParameter* inParameter, AudioUnitParameterValue inValue,
                          UInt32 inBufferOffsetInFrames);

  /* Disposes of either kind of listener and all its registrations; paramErr for an unknown one. */
  OSStatus AUListenerDispose(AUParameterListenerRef inListener);

#ifdef __cplusplus
}
#endif

#endif
