#include "platform/window/Carbon.h"

OSStatus GetWindowAttributes(WindowRef window, WindowAttributes* attributes)
{
  if (!window || !attributes) return paramErr;
  *attributes = NSWindowFromWindowRef(window)->isCompositing() ? kWindowCompositingAttribute
                                                                : kWindowNoAttributes;
  return noErr;
}

HIViewRef HIViewGetRoot(WindowRef window)
{
  return window ? HIViewRefFromNSView(NSWindowFromWindowRef(window)->contentView()) : nullptr;
}

OSStatus HIViewAddSubview(HIViewRef parent, HIViewRef child)
{
  if (!parent || !child) return paramErr;
  NSViewFromHIViewRef(parent)->addSubview(NSViewFromHIViewRef(child));
  return noErr;
}

OSStatus HIViewRemoveFromSuperview(HIViewRef view)
{
  if (!view) return paramErr;
  NSViewFromHIViewRef(view)->removeFromSuperview();
  return noErr;
}

WindowRef HIViewGetWindow(HIViewRef view)
{
  return view ? WindowRefFromNSWindow(NSViewFromHIViewRef(view)->window()) : nullptr;
}
