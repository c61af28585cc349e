// The protocol of an Audio Unit's Cocoa view factory: the class named by the
// unit's Cocoa UI property adopts it, and a host asks an instance for a view.
//
// Threads: main thread.
#pragma once

#include <AudioUnit/AudioUnit.h>

#include "platform/window/View.h"

#define AUCocoaUIBaseProtocol "AUCocoaUIBase"

class AUCocoaUIBase : public NSObject
{
public:
  virtual unsigned interfaceVersion() = 0;
  // A new view for the unit (one reference for the caller), or null.
  virtual NSView* uiViewForAudioUnit(AudioUnit unit, NSSize preferredSize) = 0;

  bool conformsToProtocol(const char* name) const override;
};
