/* What the stand-ins offer beyond the system SDK: registering a component bundle from its
   folder (the system does this itself from the standard locations), the message of the last
   registration failure, calling an instance with prepared parameters, and packing a Float32 into
   a parameter slot. Programs that drive components here (the host program, tests, benchmarks)
   include this header; code written for the system SDK does not need it. Any thread. */
#ifndef TOLVANE_STANDIN_EXTENSIONS_H
#define TOLVANE_STANDIN_EXTENSIONS_H

#include <CoreServices/Components.h>
#include <string.h>

#ifdef __cplusplus
extern "C"
{
#endif

  /* Registers every component a bundle declares ("AudioComponents" in Contents/Info.plist: type,
     subtype, manufacturer, name, version, factoryFunction and optionally viewFactoryFunction, which
     adds a view component of type 'auvw' with the same subtype and manufacturer). The module
     Contents/MacOS/<CFBundleExecutable> is loaded and the entry symbols are looked up; the bundle
     stays registered with CFBundleGetBundleWithIdentifier for the life of the process. Either all
     of the bundle's components are registered or none. A bundle whose identifier is already
     registered gives its existing first component. outComponent (may be null) receives the first
     component. Results: noErr; paramErr (null path); fnfErr (no such folder, or the module file is
     missing); invalidComponentID (no usable "AudioComponents", a code that is not four
     characters, a missing factoryFunction or bundle identifier); unresolvedComponentDLLErr (the
     module does not load); cfragNoSymbolErr (an entry symbol is missing). */
  OSErr RegisterComponentBundle(const char* bundlePath, Component* outComponent);
  /* A text describing the last failure of RegisterComponentBundle on this thread ("" after
     success); valid until the next call on this thread. */
  const char* GetComponentRegistrationMessage(void);
  /* Hands prepared parameters to the instance's entry with its storage. Returns
     badComponentInstance for a null or closed instance. */
  ComponentResult CallComponentWithParameters(ComponentInstance ci, ComponentParameters* params);
  /* A Float32 argument travels as its bit pattern in the low four bytes of a zeroed slot. */
  static inline Float32 ComponentParamFloat32(long slot)
  {
    Float32 value;
    memcpy(&value, &slot, sizeof value);
    return value;
  }

  static inline long ComponentSlotFromFloat32(Float32 value)
  {
    long slot = 0;
    memcpy(&slot, &value, sizeof value);
    return slot;
  }

#ifdef __cplusplus
}
#endif

#endif
