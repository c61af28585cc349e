#pragma once

// The Cocoa view factory a host finds by the class name the component's
// Cocoa view property gives: it hands the host the editor's view of an open
// unit. The plug-in module registers the class with the window system's class
// registry when it loads (see the effect's entry glue).
//
// Threads: the host's main (user-interface) thread.

#include "platform/window/AUCocoaUIBase.h"

class IPlugBase;

class TolvaneDelay_View : public AUCocoaUIBase
{
public:
  TolvaneDelay_View(); // init
  // The class registry's factory: a new factory object for the host.
  static NSObject* Create();

  unsigned interfaceVersion() override { return 0; }
  std::string description() const override { return "TolvaneDelay View"; }
  // A new view of the editor's own size for the unit's plug-in (one reference
  // for the caller), not attached to a parent; null when the unit has no
  // plug-in or no editor. The size asked for is ignored.
  NSView* uiViewForAudioUnit(AudioUnit unit, NSSize preferredSize) override;

private:
  IPlugBase* mPlug;
};
