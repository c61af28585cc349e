// Parameter get and set from the host, scheduled parameter events and the
// fast-dispatch procedures.

#include "IPlug/IPlugAU.h"

#include "IPlug/IGraphics.h"
#include "IPlug/Log.h"

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
