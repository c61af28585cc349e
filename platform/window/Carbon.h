// Carbon windows and views as the window-system stand-in has them: a
// WindowRef names a window of the window system (an NSWindow) and a
// ControlRef (HIViewRef) one of its views (an NSView), so that a host can
// hand a plug-in either kind. The calls keep the system's names; the
// bridges at the end are the stand-in's own (the system has its own ways
// from one kind of object to the other).
//
// Threads: main thread only.
#pragma once

#include <AudioUnit/AudioUnitCarbonView.h>

#include "platform/window/Window.h"

typedef ControlRef HIViewRef;
typedef UInt32 WindowAttributes;

enum : UInt32
{
  kWindowNoAttributes = 0,
  kWindowCompositingAttribute = 1u << 19,
};

// The window's attributes: compositing unless the window was made without it.
OSStatus GetWindowAttributes(WindowRef window, WindowAttributes* attributes);
// The window's root view (its content view); null for a null window.
HIViewRef HIViewGetRoot(WindowRef window);
// Adds child to parent's subviews (retained by parent).
OSStatus HIViewAddSubview(HIViewRef parent, HIViewRef child);
OSStatus HIViewRemoveFromSuperview(HIViewRef view);
WindowRef HIViewGetWindow(HIViewRef view);

// ---- The stand-in's bridges ------------------------------------------------------------
inline NSWindow* NSWindowFromWindowRef(WindowRef window)
{
  return reinterpret_cast<NSWindow*>(window);
}
inline WindowRef WindowRefFromNSWindow(NSWindow* window)
{
  return reinterpret_cast<WindowRef>(window);
}
inline NSView* NSViewFromHIViewRef(HIViewRef view)
{
  return reinterpret_cast<NSView*>(view);
}
inline HIViewRef HIViewRefFromNSView(NSView* view)
{
  return reinterpret_cast<HIViewRef>(view);
}
