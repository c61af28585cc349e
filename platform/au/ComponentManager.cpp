// The component manager's C interface: search, information, open and close, storage, calls.
#include "platform/au/ComponentCall.h"
#include "platform/au/ComponentRegistry.h"
#include "platform/au/EventListenerRegistry.h"

#include <StandInExtensions.h>
#include <algorithm>
#include <cstring>
#include <limits>

using tolvane_au::ComponentRegistry;

namespace
{

OSErr ToOSErr(ComponentResult result)
{
  if (result >= std::numeric_limits<OSErr>::min() && result <= std::numeric_limits<OSErr>::max())
    return static_cast<OSErr>(result);
  return invalidComponentID;
}

OSErr WritePascalString(Handle handle, const std::string& text)
{
  size_t length = std::min<size_t>(text.size(), 255);
  // Never cut inside a UTF-8 sequence.
  while (length < text.size() && length > 0 && (text[length] & 0xC0) == 0x80)
    --length;
  SetHandleSize(handle, static_cast<Size>(length + 1));
  if (MemError() != noErr) return MemError();
  (*handle)[0] = static_cast<char>(length);
  std::memcpy(*handle + 1, text.data(), length);
  return noErr;
}

} // namespace

extern "C"
{

  Component FindNextComponent(Component aComponent, ComponentDescription* looking)
  {
    return ComponentRegistry::Get().FindNext(aComponent, looking);
  }

  long CountComponents(ComponentDescription* looking)
  {
    return ComponentRegistry::Get().Count(looking);
  }

  OSErr UnregisterComponent(Component aComponent)
  {
    ComponentRecord* component = tolvane_au::ResolveComponent(aComponent);
    if (component != aComponent) return invalidComponentID;
    return ComponentRegistry::Get().Unregister(component);
  }

  OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle componentName,
                         Handle componentInfo, Handle)
  {
    ComponentRecord* component = tolvane_au::ResolveComponent(aComponent);
    if (!component) return invalidComponentID;
    if (cd) *cd = component->description;
    if (componentName)
      if (OSErr err = WritePascalString(componentName, component->name)) return err;
    if (componentInfo)
      if (OSErr err = WritePascalString(componentInfo, "")) return err;
    return noErr;
  }

  OSErr OpenAComponent(Component aComponent, ComponentInstance* ci)
  {
    if (!ci) return paramErr;
    *ci = nullptr;
    ComponentRecord* component = tolvane_au::ResolveComponent(aComponent);
    if (component != aComponent) return invalidComponentID;
    ComponentInstanceRecord* instance = ComponentRegistry::Get().NewInstance(component);
    if (!instance) return invalidComponentID;
    ComponentResult result = tolvane_au::CallSelector(instance, kComponentOpenSelect, instance);
    if (result != noErr)
    {
      tolvane_au::CallSelector(instance, kComponentCloseSelect, instance);
      tolvane_au::EventListenerRegistry::Get().ForgetUnit(instance);
      ComponentRegistry::Get().ReleaseInstance(instance);
      return ToOSErr(result);
    }
    *ci = instance;
    return noErr;
  }

  ComponentInstance OpenComponent(Component aComponent)
  {
    ComponentInstance ci = nullptr;
    OpenAComponent(aComponent, &ci);
    return ci;
  }

  OSErr CloseComponent(ComponentInstance aComponentInstance)
  {
    ComponentInstanceRecord* instance = tolvane_au::LiveInstance(aComponentInstance);
    if (!instance) return invalidComponentID;
    ComponentResult result = tolvane_au::CallSelector(instance, kComponentCloseSelect, instance);
    tolvane_au::EventListenerRegistry::Get().ForgetUnit(instance);
    ComponentRegistry::Get().ReleaseInstance(instance);
    return ToOSErr(result);
  }

  void SetComponentInstanceStorage(ComponentInstance aComponentInstance, Handle theStorage)
  {
    if (ComponentInstanceRecord* instance = tolvane_au::LiveInstance(aComponentInstance))
      instance->storage = theStorage;
  }

  Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance)
  {
    ComponentInstanceRecord* instance = tolvane_au::LiveInstance(aComponentInstance);
    return instance ? static_cast<Handle>(instance->storage) : nullptr;
  }

  ComponentResult CallComponentWithParameters(ComponentInstance ci, ComponentParameters* params)
  {
    ComponentInstanceRecord* instance = tolvane_au::LiveInstance(ci);
    if (!instance || !params) return badComponentInstance;
    return instance->component->entry(params, instance->storage);
  }

  ComponentResult CallComponentCanDo(ComponentInstance ci, SInt16 ftnNumber)
  {
    return tolvane_au::CallSelector(ci, kComponentCanDoSelect, ftnNumber);
  }

  ComponentResult CallComponentVersion(ComponentInstance ci)
  {
    return tolvane_au::CallSelector(ci, kComponentVersionSelect);
  }

  long GetComponentVersion(ComponentInstance aComponentInstance)
  {
    return CallComponentVersion(aComponentInstance);
  }

} // extern "C"
