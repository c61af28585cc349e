// The Carbon view component: a host that embeds plug-in editors as Carbon
// controls opens this component, asks it to create the editor's control in
// one of its windows, and closes it when done.

#include "IPlug/IPlugAU.h"

#include "IPlug/IGraphics.h"
#include "IPlug/Log.h"

#include <new>

namespace
{
// What a view instance remembers between its selectors.
struct CarbonViewRecord
{
  ComponentInstance mCI;
  IPlugBase* mPlug;
};

// Argument i of the API call (slots are stored last-first).
long Arg(const ComponentParameters* params, int count, int i)
{
  return params->params[count - 1 - i];
}

bool HasArgs(const ComponentParameters* params, int count)
{
  return params->paramSize >= static_cast<unsigned>(count) * sizeof(long);
}
} // namespace

ComponentResult IPlugAU::IPlugAUCarbonViewEntry(ComponentParameters* params, void* pView)
{
  if (!params) return paramErr;
  const SInt16 select = params->what;
  Trace(__func__, __LINE__, "%d", select);
  switch (select)
  {
  case kComponentOpenSelect:
  {
    if (!HasArgs(params, 1)) return paramErr;
    auto ci = reinterpret_cast<ComponentInstance>(Arg(params, 1, 0));
    auto* record = new (std::nothrow) CarbonViewRecord{ci, nullptr};
    if (!record) return memFullErr;
    SetComponentInstanceStorage(ci, reinterpret_cast<Handle>(record));
    return noErr;
  }
  case kAudioUnitCarbonViewCreateSelect:
  {
    auto* record = static_cast<CarbonViewRecord*>(pView);
    if (!record || !HasArgs(params, 6)) return paramErr;
    auto unit = reinterpret_cast<AudioUnit>(Arg(params, 6, 0));
    auto window = reinterpret_cast<WindowRef>(Arg(params, 6, 1));
    auto parentControl = reinterpret_cast<ControlRef>(Arg(params, 6, 2));
    auto outControl = reinterpret_cast<ControlRef*>(Arg(params, 6, 5));
    record->mPlug = unit ? reinterpret_cast<IPlugAU*>(GetComponentInstanceStorage(unit)) : nullptr;
    IGraphics* graphics = record->mPlug ? record->mPlug->GetGUI() : nullptr;
    if (!graphics) return badComponentSelector;
    // Location and size are the editor's own.
    void* control = graphics->OpenWindow(window, parentControl);
    if (outControl) *outControl = static_cast<ControlRef>(control);
    return noErr;
  }
  case kComponentCloseSelect:
  {
    auto* record = static_cast<CarbonViewRecord*>(pView);
    if (record && record->mPlug)
      if (IGraphics* graphics = record->mPlug->GetGUI()) graphics->CloseWindow();
    delete record;
    return noErr;
  }
  default:
    return badComponentSelector;
  }
}
