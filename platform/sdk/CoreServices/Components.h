/* The component manager: components registered from bundles, their instances and the calls that
   reach a component's entry function. */
#ifndef TOLVANE_COMPONENTS_H
#define TOLVANE_COMPONENTS_H

#include <MacTypes.h>
#include <CoreServices/MacErrors.h>
#include <CoreServices/MacMemory.h>

#ifdef __cplusplus
extern "C"
{
#endif

  typedef SInt32 ComponentResult;
  typedef struct ComponentRecord* Component;
  typedef struct ComponentInstanceRecord* ComponentInstance;

  typedef struct ComponentDescription
  {
    OSType componentType;
    OSType componentSubType;
    OSType componentManufacturer;
    UInt32 componentFlags;
    UInt32 componentFlagsMask;
  } ComponentDescription;

  /* One call's selector and arguments. The arguments are stored last-first (params[0] is the last
     argument of the call), one long slot each; paramSize is the number of slots times
     sizeof(long). The caller allocates as many slots as the call has arguments. */
  typedef struct ComponentParameters
  {
    UInt8 flags;
    UInt8 paramSize;
    SInt16 what;
    UInt32 padding;
    long params[1];
  } ComponentParameters;

  /* A component's entry: storage is what the instance registered with
     SetComponentInstanceStorage (null during the open call). */
  typedef ComponentResult (*ComponentRoutineProcPtr)(ComponentParameters* params, void* storage);

  enum
  {
    kComponentOpenSelect = -1,
    kComponentCloseSelect = -2,
    kComponentCanDoSelect = -3,
    kComponentVersionSelect = -4,
    kComponentRegisterSelect = -5,
    kComponentTargetSelect = -6,
    kComponentUnregisterSelect = -7,
    kComponentGetMPWorkFunctionSelect = -8,
    kComponentExecuteWiredActionSelect = -9,
    kComponentGetPublicResourceSelect = -10
  };

  /* Removes a component from the search; validInstancesExist while instances are open,
     invalidComponentID for an unknown or already removed component. */
  OSErr UnregisterComponent(Component aComponent);

  /* The next registered component after aComponent (null: from the first) that matches looking:
     zero type, subtype or manufacturer match anything, and the flags match where
     componentFlagsMask has bits set. A null description matches every component. Null when there
     is no further match. */
  Component FindNextComponent(Component aComponent, ComponentDescription* looking);
  long CountComponents(ComponentDescription* looking);

  /* Accepts a component or one of its instances. cd, componentName and componentInfo may be null.
     The name handle is resized to a Pascal string (length byte, then at most 255 bytes of UTF-8);
     componentInfo receives an empty Pascal string; componentIcon is not touched. */
  OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle componentName,
                         Handle componentInfo, Handle componentIcon);

  /* Opens an instance: the entry is called with kComponentOpenSelect and the new instance as its
     only argument. If the open call fails, the entry receives kComponentCloseSelect, the instance
     is released and *ci is null. Errors that do not fit an OSErr are reported as
     invalidComponentID. */
  OSErr OpenAComponent(Component aComponent, ComponentInstance* ci);
  ComponentInstance OpenComponent(Component aComponent);
  /* Calls kComponentCloseSelect and releases the instance whatever the component answers; the
     close call's result (invalidComponentID when it does not fit an OSErr). badComponentInstance
     does not fit either: an unknown instance also gives invalidComponentID. */
  OSErr CloseComponent(ComponentInstance aComponentInstance);

  void SetComponentInstanceStorage(ComponentInstance aComponentInstance, Handle theStorage);
  Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance);

  /* kComponentCanDoSelect and kComponentVersionSelect; GetComponentVersion is the same call as
     CallComponentVersion. */
  ComponentResult CallComponentCanDo(ComponentInstance ci, SInt16 ftnNumber);
  ComponentResult CallComponentVersion(ComponentInstance ci);
  long GetComponentVersion(ComponentInstance aComponentInstance);

#ifdef __cplusplus
}
#endif

#endif
