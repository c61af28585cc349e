// The host side of the Audio Unit API: each call packs its arguments and reaches the unit's entry.
#include <AudioUnit/AudioUnit.h>

#include "platform/au/ComponentCall.h"

using tolvane_au::CallSelector;

extern "C"
{

  ComponentResult AudioUnitInitialize(AudioUnit inUnit)
  {
    return CallSelector(inUnit, kAudioUnitInitializeSelect);
  }

  ComponentResult AudioUnitUninitialize(AudioUnit inUnit)
  {
    return CallSelector(inUnit, kAudioUnitUninitializeSelect);
  }

  ComponentResult AudioUnitGetPropertyInfo(AudioUnit inUnit, AudioUnitPropertyID inID,
                                           AudioUnitScope inScope, AudioUnitElement inElement,
                                           UInt32* outDataSize, Boolean* outWritable)
  {
    return CallSelector(inUnit, kAudioUnitGetPropertyInfoSelect, inID, inScope, inElement,
                        outDataSize, outWritable);
  }

  ComponentResult AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID,
                                       AudioUnitScope inScope, AudioUnitElement inElement,
                                       void* outData, UInt32* ioDataSize)
  {
    return CallSelector(inUnit, kAudioUnitGetPropertySelect, inID, inScope, inElement, outData,
                        ioDataSize);
  }

  ComponentResult AudioUnitSetProperty(AudioUnit inUnit, AudioUnitPropertyID inID,
                                       AudioUnitScope inScope, AudioUnitElement inElement,
                                       const void* inData, UInt32 inDataSize)
  {
    return CallSelector(inUnit, kAudioUnitSetPropertySelect, inID, inScope, inElement, inData,
                        inDataSize);
  }

  ComponentResult AudioUnitAddPropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                               AudioUnitPropertyListenerProc inProc,
                                               void* inProcUserData)
  {
    return CallSelector(inUnit, kAudioUnitAddPropertyListenerSelect, inID, inProc, inProcUserData);
  }

  ComponentResult AudioUnitRemovePropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                  AudioUnitPropertyListenerProc inProc)
  {
    return CallSelector(inUnit, kAudioUnitRemovePropertyListenerSelect, inID, inProc);
  }

  ComponentResult AudioUnitRemovePropertyListenerWithUserData(AudioUnit inUnit,
                                                              AudioUnitPropertyID inID,
                                                              AudioUnitPropertyListenerProc inProc,
                                                              void* inProcUserData)
  {
    return CallSelector(inUnit, kAudioUnitRemovePropertyListenerWithUserDataSelect, inID, inProc,
                        inProcUserData);
  }

  ComponentResult AudioUnitAddRenderNotify(AudioUnit inUnit, AURenderCallback inProc,
                                           void* inProcUserData)
  {
    return CallSelector(inUnit, kAudioUnitAddRenderNotifySelect, inProc, inProcUserData);
  }

  ComponentResult AudioUnitRemoveRenderNotify(AudioUnit inUnit, AURenderCallback inProc,
                                              void* inProcUserData)
  {
    return CallSelector(inUnit, kAudioUnitRemoveRenderNotifySelect, inProc, inProcUserData);
  }

  ComponentResult AudioUnitGetParameter(AudioUnit inUnit, AudioUnitParameterID inID,
                                        AudioUnitScope inScope, AudioUnitElement inElement,
                                        AudioUnitParameterValue* outValue)
  {
    return CallSelector(inUnit, kAudioUnitGetParameterSelect, inID, inScope, inElement, outValue);
  }

  ComponentResult AudioUnitSetParameter(AudioUnit inUnit, AudioUnitParameterID inID,
                                        AudioUnitScope inScope, AudioUnitElement inElement,
                                        AudioUnitParameterValue inValue,
                                        UInt32 inBufferOffsetInFrames)
  {
    return CallSelector(inUnit, kAudioUnitSetParameterSelect, inID, inScope, inElement, inValue,
                        inBufferOffsetInFrames);
  }

  ComponentResult AudioUnitScheduleParameters(AudioUnit inUnit,
                                              const AudioUnitParameterEvent* inParameterEvent,
                                              UInt32 inNumParamEvents)
  {
    return CallSelector(inUnit, kAudioUnitScheduleParametersSelect, inParameterEvent,
                        inNumParamEvents);
  }

  ComponentResult AudioUnitRender(AudioUnit inUnit, AudioUnitRenderActionFlags* ioActionFlags,
                                  const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber,
                                  UInt32 inNumberFrames, AudioBufferList* ioData)
  {
    return CallSelector(inUnit, kAudioUnitRenderSelect, ioActionFlags, inTimeStamp,
                        inOutputBusNumber, inNumberFrames, ioData);
  }

  ComponentResult AudioUnitReset(AudioUnit inUnit, AudioUnitScope inScope,
                                 AudioUnitElement inElement)
  {
    return CallSelector(inUnit, kAudioUnitResetSelect, inScope, inElement);
  }

  OSStatus MusicDeviceMIDIEvent(MusicDeviceComponent inUnit, UInt32 inStatus, UInt32 inData1,
                                UInt32 inData2, UInt32 inOffsetSampleFrame)
  {
    return CallSelector(inUnit, kMusicDeviceMIDIEventSelect, inStatus, inData1, inData2,
                        inOffsetSampleFrame);
  }

  OSStatus MusicDeviceSysEx(MusicDeviceComponent inUnit, const UInt8* inData, UInt32 inLength)
  {
    return CallSelector(inUnit, kMusicDeviceSysExSelect, inData, inLength);
  }

  OSStatus MusicDevicePrepareInstrument(MusicDeviceComponent inUnit,
                                        MusicDeviceInstrumentID inInstrument)
  {
    return CallSelector(inUnit, kMusicDevicePrepareInstrumentSelect, inInstrument);
  }

  OSStatus MusicDeviceReleaseInstrument(MusicDeviceComponent inUnit,
                                        MusicDeviceInstrumentID inInstrument)
  {
    return CallSelector(inUnit, kMusicDeviceReleaseInstrumentSelect, inInstrument);
  }

  OSStatus MusicDeviceStartNote(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument,
                                MusicDeviceGroupID inGroupID, NoteInstanceID* outNoteInstanceID,
                                UInt32 inOffsetSampleFrame, const MusicDeviceNoteParams* inParams)
  {
    return CallSelector(inUnit, kMusicDeviceStartNoteSelect, inInstrument, inGroupID,
                        outNoteInstanceID, inOffsetSampleFrame, inParams);
  }

  OSStatus MusicDeviceStopNote(MusicDeviceComponent inUnit, MusicDeviceGroupID inGroupID,
                               NoteInstanceID inNoteInstanceID, UInt32 inOffsetSampleFrame)
  {
    return CallSelector(inUnit, kMusicDeviceStopNoteSelect, inGroupID, inNoteInstanceID,
                        inOffsetSampleFrame);
  }

  OSStatus AudioUnitCarbonViewCreate(AudioUnitCarbonView inView, AudioUnit inAudioUnit,
                                     WindowRef inWindow, ControlRef inParentControl,
                                     const Float32Point* inLocation, const Float32Point* inSize,
                                     ControlRef* outControl)
  {
    return CallSelector(inView, kAudioUnitCarbonViewCreateSelect, inAudioUnit, inWindow,
                        inParentControl, inLocation, inSize, outControl);
  }

} // extern "C"
