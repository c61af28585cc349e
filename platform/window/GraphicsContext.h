// The graphics context a view draws into while it is being displayed: the
// view's own pixels, clipped to the area being painted.
//
// Threads: main thread, inside drawRect only.
#pragma once

#include <cstdint>

#include "platform/window/Geometry.h"

class NSView;

class NSGraphicsContext
{
public:
  // The context of the view being displayed; null outside drawRect.
  static NSGraphicsContext* currentContext();

  NSView* view() const { return mView; }
  // The painted area, in view coordinates.
  NSRect clipRect() const { return mClip; }

  // Copies an image of w x h pixels (rows top first, rowSpan words apart) so
  // that its top-left pixel lands at the top-left corner of dest (view
  // coordinates); no scaling; only pixels inside dest and the clip change.
  void drawImage(const uint32_t* pixels, int w, int h, int rowSpan, NSRect dest);

private:
  friend class NSView;
  NSGraphicsContext(NSView* view, NSRect clip) : mView(view), mClip(clip) {}
  NSView* mView;
  NSRect mClip;
};
