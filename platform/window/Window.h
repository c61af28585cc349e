// Windows: hold a content view, route events to their views (mouse events to
// the view under the pointer, drags and releases to the view that took the
// press, keys and moves to the first responder) and keep child windows.
//
// Threads: main thread only.
#pragma once

#include <vector>

#include "platform/window/View.h"

enum : unsigned
{
  NSBorderlessWindowMask = 0,
  NSTitledWindowMask = 1,
  NSClosableWindowMask = 2,
};

class NSWindow : public NSObject
{
public:
  // contentRect: the window's place on the screen (bottom-left origin).
  explicit NSWindow(NSRect contentRect,
                    unsigned styleMask = NSTitledWindowMask | NSClosableWindowMask);

  NSRect frame() const { return mFrame; }
  // Moves the window (screen coordinates, bottom-left origin).
  void setFrameOrigin(NSPoint origin) { mFrame.origin = origin; }
  unsigned styleMask() const { return mStyleMask; }
  void setTitle(const std::string& title) { mTitle = title; }
  const std::string& title() const { return mTitle; }
  // Where the window system puts the window: inside a window of another
  // program, named by its native id (an X11 window id), at its top left;
  // 0 (the default) for a window of its own. Set before ordering it front.
  void setNativeParent(unsigned long nativeId) { mNativeParent = nativeId; }
  unsigned long nativeParent() const { return mNativeParent; }
  NSWindow* parentWindow() const { return mParent; }
  // Whether the window composites its views (Carbon's compositing
  // attribute); true unless turned off.
  void setCompositing(bool compositing) { mCompositing = compositing; }
  bool isCompositing() const { return mCompositing; }
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
  unsigned mStyleMask;
  std::string mTitle;
  unsigned long mNativeParent = 0;
  bool mCompositing = true;
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
