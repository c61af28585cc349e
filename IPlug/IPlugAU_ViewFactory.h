#pragma once

// The Cocoa view factory a host finds by the class name the component's
// Cocoa view property gives: it hands the host the editor's view of an open
// unit. The class is registered with the window system's class registry under
// the plug-in's view factory name before the property names it.
//
// Threads: the host's main (user-interface) thread.

#include <AppKit/AppKit.h>
#include <AudioUnit/AUCocoaUIView.h>
#include <AudioUnit/AudioUnit.h>

class IPlugBase;

class TolvaneDelay_View : public AUCocoaUIBase
{
public:
  TolvaneDelay_View(); // init

  unsigned interfaceVersion() override { return 0; }
  const char* description() override { return "TolvaneDelay View"; }
  // A new view of the editor's own size for the unit's plug-in, not attached
  // to a parent; null when the unit has no plug-in or no editor. The size
  // asked for is ignored.
  NSView* uiViewForAudioUnit(AudioUnit unit, NSSize preferredSize) override;

  // Registers the factory under className (once per name).
  static void Register(const char* className);

private:
  IPlugBase* mPlug;
};
