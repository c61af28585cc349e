// Windows: hold a content view, route events to their views (mouse events to
// the view under the pointer, drags and releases to the view that took the
// press, keys and moves to the first responder) and keep child windows.
//
// Threads: main thread only.
#pragma once

#include <vector>

#include "platform/window/View.h"

class NSWindow : public NSObject
{
public:
  // contentRect: the window's place on the screen (bottom-left origin).
  explicit NSWindow(NSRect contentRect);

  NSRect frame() const { return mFrame; }
  NSView* contentView() const { return mContentView; }
  // Retains the view and sizes it to the window.
  void setContentView(NSView* view);

  NSView* firstResponder() const { return mFirstResponder; }
  // False, and nothing changes, when the view refuses.
  bool makeFirstResponder(NSView* view);
  void setAcceptsMouseMovedEvents(bool accepts) { mAcceptsMouseMoved = accepts; }
  bool acceptsMouseMovedEvents() const { return mAcceptsMouseMoved; }
  virtual bool canBecomeKeyWindow() const { return true; }

  void makeKeyAndOrderFront();
  void orderOut();
  bool isVisible() const { return mVisible; }
  void addChildWindow(NSWindow* child);
  void removeChildWindow(NSWindow* child);
  const std::vector<NSWindow*>& childWindows() const { return mChildren; }
  // Closes the window: hidden, out of the window list, content view detached;
  // released too when it is released when closed (the default).
  virtual void close();
  void setReleasedWhenClosed(bool released) { mReleasedWhenClosed = released; }

  // Routes an event to the right view (see above).
  void sendEvent(NSEvent* event);
  // The end of the responder chain: an event nobody handled.
  virtual void keyDown(NSEvent* event);
  // Draws every view of the window that needs it.
  void displayIfNeeded();

  // Open windows, in the order they were made.
  static const std::vector<NSWindow*>& windows();

  std::string description() const override { return "NSWindow"; }

protected:
  ~NSWindow() override;

private:
  friend class NSView;
  void viewLeaving(NSView* view);

  NSRect mFrame;
  NSView* mContentView = nullptr;
  NSView* mFirstResponder = nullptr;
  NSView* mMouseView = nullptr; // the view that took the last press
  NSWindow* mParent = nullptr;
  std::vector<NSWindow*> mChildren;
  bool mAcceptsMouseMoved = false;
  bool mVisible = false;
  bool mClosed = false;
  bool mReleasedWhenClosed = true;
};
