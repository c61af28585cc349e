// The component entry: instance creation and destruction, and the selector table.

#include "IPlug/IPlugAU.h"

#include "IPlug/Log.h"

#include <StandInExtensions.h>
#include <new>

namespace
{
// The arguments of one call, stored last-first: argument i of the API call
// sits in slot count - 1 - i.
class EntryArgs
{
public:
  EntryArgs(const ComponentParameters* params, int count) : mParams(params), mCount(count) {}

  // The caller packed at least as many slots as the selector takes.
  bool Complete() const
  {
    return mParams->paramSize >= static_cast<unsigned>(mCount) * sizeof(long);
  }

  long Slot(int i) const
  {
    const long* slots = mParams->params;
    return slots[mCount - 1 - i];
  }
  UInt32 U32(int i) const { return static_cast<UInt32>(Slot(i)); }
  SInt32 S32(int i) const { return static_cast<SInt32>(Slot(i)); }
  Float32 F32(int i) const { return ComponentParamFloat32(Slot(i)); }
  template <class T> T Ptr(int i) const { return reinterpret_cast<T>(Slot(i)); }

private:
  const ComponentParameters* mParams;
  int mCount;
};

// Number of arguments each served selector takes; -1 for selectors outside the table.
int ArgCount(SInt16 select)
{
  switch (select)
  {
  case kComponentVersionSelect:
  case kAudioUnitInitializeSelect:
  case kAudioUnitUninitializeSelect:
    return 0;
  case kComponentOpenSelect:
  case kComponentCloseSelect:
  case kComponentCanDoSelect:
  case kMusicDevicePrepareInstrumentSelect:
  case kMusicDeviceReleaseInstrumentSelect:
    return 1;
  case kAudioUnitResetSelect:
  case kAudioUnitRemovePropertyListenerSelect:
  case kAudioUnitAddRenderNotifySelect:
  case kAudioUnitRemoveRenderNotifySelect:
  case kAudioUnitScheduleParametersSelect:
  case kMusicDeviceSysExSelect:
    return 2;
  case kAudioUnitAddPropertyListenerSelect:
  case kAudioUnitRemovePropertyListenerWithUserDataSelect:
  case kMusicDeviceStopNoteSelect:
    return 3;
  case kAudioUnitGetParameterSelect:
  case kMusicDeviceMIDIEventSelect:
    return 4;
  case kAudioUnitGetPropertyInfoSelect:
  case kAudioUnitGetPropertySelect:
  case kAudioUnitSetPropertySelect:
  case kAudioUnitSetParameterSelect:
  case kAudioUnitRenderSelect:
  case kMusicDeviceStartNoteSelect:
    return 5;
  default:
    return -1;
  }
}

// Selectors that may reset the plug-in: resets, initialisation (a rate not yet
// reset for) and the properties whose setting resets.
bool MayReset(SInt16 select, const EntryArgs& args)
{
  switch (select)
  {
  case kAudioUnitResetSelect:
  case kAudioUnitInitializeSelect:
    return true;
  case kAudioUnitSetPropertySelect:
    switch (args.U32(0))
    {
    case kAudioUnitProperty_SampleRate:
    case kAudioUnitProperty_MaximumFramesPerSlice:
    case kAudioUnitProperty_BypassEffect:
      return true;
    default:
      return false;
    }
  default:
    return false;
  }
}

bool HostCanDo(long select)
{
  switch (select)
  {
  case kAudioUnitInitializeSelect:
  case kAudioUnitUninitializeSelect:
  case kAudioUnitGetPropertyInfoSelect:
  case kAudioUnitGetPropertySelect:
  case kAudioUnitSetPropertySelect:
  case kAudioUnitGetParameterSelect:
  case kAudioUnitSetParameterSelect:
  case kAudioUnitResetSelect:
  case kAudioUnitAddPropertyListenerSelect:
  case kAudioUnitRemovePropertyListenerSelect:
  case kAudioUnitRenderSelect:
  case kAudioUnitAddRenderNotifySelect:
  case kAudioUnitRemoveRenderNotifySelect:
  case kAudioUnitScheduleParametersSelect:
    return true;
  default:
    return false;
  }
}

} // namespace

ComponentResult IPlugAU::OpenInstance(ComponentInstance ci)
{
  IPlugAU* plug = MakePlug();
  if (!plug) return memFullErr;
  plug->HostSpecificInit();
  plug->PruneUninitializedPresets();
  plug->mCI = ci;
  SetComponentInstanceStorage(ci, reinterpret_cast<Handle>(plug));
  return noErr;
}

ComponentResult IPlugAU::IPlugAUEntry(ComponentParameters* params, void* pPlug)
{
  if (!params) return paramErr;
  const SInt16 select = params->what;
  Trace(__func__, __LINE__, "(%d:%s)", select, AUSelectStr(select));

  const int nArgs = ArgCount(select);
  if (nArgs < 0) return badComponentSelector;
  const EntryArgs args(params, nArgs);
  if (!args.Complete()) return paramErr;

  auto* _this = static_cast<IPlugAU*>(pPlug);
  try
  {
    if (select == kComponentOpenSelect) return OpenInstance(args.Ptr<ComponentInstance>(0));
    if (select == kComponentCloseSelect)
    {
      if (_this)
      {
        _this->ClearConnections();
        delete _this;
      }
      return noErr;
    }
    // Every further selector needs the instance the open call registered.
    if (!_this) return badComponentInstance;

    // The scope ends after the lock: what a reset left to clear is cleared
    // with the mutex free.
    const IResetScope resetScope(_this, MayReset(select, args));
    IMutexLock lock(_this);
    return _this->DispatchSelector(select, params);
  }
  catch (const std::bad_alloc&)
  {
    return memFullErr;
  }
}

ComponentResult IPlugAU::DispatchSelector(SInt16 select, ComponentParameters* params)
{
  const EntryArgs args(params, ArgCount(select));
  switch (select)
  {
  case kComponentCanDoSelect:
    return HostCanDo(args.Slot(0)) ? 1 : 0;
  case kComponentVersionSelect:
    return GetEffectVersion(false);
  case kAudioUnitInitializeSelect:
    if (!CheckLegalIO()) return badComponentSelector;
    mActive = true;
    // A host that never set the rate, the maximum frames, bypass or reset
    // still gets a plug-in tuned for its rate.
    if (mResetSampleRate != GetSampleRate()) ResetForRate();
    OnParamReset();
    OnActivate(true);
    return noErr;
  case kAudioUnitUninitializeSelect:
    mActive = false;
    OnActivate(false);
    return noErr;
  case kAudioUnitGetPropertyInfoSelect:
  {
    UInt32 localSize = 0;
    Boolean localWritable = false;
    UInt32* pSize = args.Ptr<UInt32*>(3);
    Boolean* pWritable = args.Ptr<Boolean*>(4);
    if (!pSize) pSize = &localSize;
    if (!pWritable) pWritable = &localWritable;
    *pWritable = false;
    return GetProperty(args.U32(0), args.U32(1), args.U32(2), pSize, pWritable, nullptr);
  }
  case kAudioUnitGetPropertySelect:
  {
    UInt32 localSize = 0;
    Boolean writable = false;
    UInt32* pSize = args.Ptr<UInt32*>(4);
    if (!pSize) pSize = &localSize;
    return GetProperty(args.U32(0), args.U32(1), args.U32(2), pSize, &writable, args.Ptr<void*>(3));
  }
  case kAudioUnitSetPropertySelect:
  {
    UInt32 size = args.U32(4);
    return SetProperty(args.U32(0), args.U32(1), args.U32(2), &size, args.Ptr<const void*>(3));
  }
  case kAudioUnitGetParameterSelect:
    return GetParamProc(this, args.U32(0), args.U32(1), args.U32(2),
                        args.Ptr<AudioUnitParameterValue*>(3));
  case kAudioUnitSetParameterSelect:
    return SetParamProc(this, args.U32(0), args.U32(1), args.U32(2), args.F32(3), args.U32(4));
  case kAudioUnitResetSelect:
    ResetForRate();
    return noErr;
  case kAudioUnitAddPropertyListenerSelect:
    return AddPropertyListener(
        {args.U32(0), args.Ptr<AudioUnitPropertyListenerProc>(1), args.Ptr<void*>(2)});
  case kAudioUnitRemovePropertyListenerSelect:
    RemovePropertyListener({args.U32(0), args.Ptr<AudioUnitPropertyListenerProc>(1), nullptr},
                           false);
    return noErr;
  case kAudioUnitRemovePropertyListenerWithUserDataSelect:
    RemovePropertyListener(
        {args.U32(0), args.Ptr<AudioUnitPropertyListenerProc>(1), args.Ptr<void*>(2)}, true);
    return noErr;
  case kAudioUnitRenderSelect:
    return RenderProc(this, args.Ptr<AudioUnitRenderActionFlags*>(0),
                      args.Ptr<const AudioTimeStamp*>(1), args.U32(2), args.U32(3),
                      args.Ptr<AudioBufferList*>(4));
  case kAudioUnitAddRenderNotifySelect:
    return AddRenderNotify({args.Ptr<AURenderCallback>(0), args.Ptr<void*>(1)});
  case kAudioUnitRemoveRenderNotifySelect:
    RemoveRenderNotify(args.Ptr<AURenderCallback>(0));
    return noErr;
  case kAudioUnitScheduleParametersSelect:
    return ScheduleParameters(args.Ptr<const AudioUnitParameterEvent*>(0), args.U32(1));
  default:
    return DispatchMusicDeviceSelector(select, params);
  }
}

ComponentResult IPlugAU::DispatchMusicDeviceSelector(SInt16 select, ComponentParameters* params)
{
  const EntryArgs args(params, ArgCount(select));
  switch (select)
  {
  case kMusicDeviceMIDIEventSelect:
  {
    IMidiMsg msg(args.S32(3), static_cast<unsigned char>(args.U32(0)),
                 static_cast<unsigned char>(args.U32(1)), static_cast<unsigned char>(args.U32(2)));
    ProcessMidiMsg(&msg);
    return noErr;
  }
  case kMusicDevicePrepareInstrumentSelect:
  case kMusicDeviceReleaseInstrumentSelect:
    return noErr;
  case kMusicDeviceStartNoteSelect:
  {
    auto* pNoteID = args.Ptr<NoteInstanceID*>(2);
    auto* pNoteParams = args.Ptr<const MusicDeviceNoteParams*>(4);
    if (!pNoteID || !pNoteParams) return paramErr;
    const int note = TruncToInt(pNoteParams->mPitch);
    *pNoteID = static_cast<NoteInstanceID>(note);
    IMidiMsg msg;
    msg.MakeNoteOnMsg(note, TruncToInt(pNoteParams->mVelocity), args.S32(3), 0);
    ProcessMidiMsg(&msg);
    return noErr;
  }
  case kMusicDeviceStopNoteSelect:
  {
    IMidiMsg msg;
    msg.MakeNoteOffMsg(args.S32(1), args.S32(2), 0);
    ProcessMidiMsg(&msg);
    return noErr;
  }
  default: // kMusicDeviceSysExSelect
    return badComponentSelector;
  }
}
