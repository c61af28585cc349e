// Views: rectangles of a window that draw themselves and answer events. Each
// view owns a pixel buffer of its frame's size (rows top first, words
// A | R << 8 | G << 16 | B << 24, starting transparent black), into which its
// drawRect draws through the current graphics context.
//
// Threads: main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/window/Event.h"
#include "platform/window/Object.h"

class NSWindow;
class NSView;

// Hands an event to the view's handler for the event's type.
void NSViewDispatchEvent(NSView* view, NSEvent* event);

class NSView : public NSObject
{
public:
  explicit NSView(NSRect frame);

  NSRect frame() const { return mFrame; }
  NSRect bounds() const { return NSMakeRect(0, 0, mFrame.size.width, mFrame.size.height); }
  void setFrameOrigin(NSPoint origin) { mFrame.origin = origin; }
  // Resizes the pixel buffer too (cleared) and marks the whole view dirty.
  virtual void setFrameSize(NSSize size);

  NSView* superview() const { return mSuperview; }
  NSWindow* window() const { return mWindow; }
  const std::vector<NSView*>& subviews() const { return mSubviews; }
  // Retains the view and moves it here from any previous superview.
  void addSubview(NSView* view);
  // Leaves the superview, which releases the view: it may be gone on return.
  virtual void removeFromSuperview();

  // A point in the window's coordinates (view null) or another view's,
  // expressed in this view's coordinates.
  NSPoint convertPointFromView(NSPoint point, NSView* view) const;
  NSPoint convertPointToWindow(NSPoint point) const;
  // The deepest visible view under a point in the superview's coordinates.
  NSView* hitTest(NSPoint pointInSuperview);

  void setHidden(bool hidden) { mHidden = hidden; }
  bool isHidden() const { return mHidden; }

  // Dirty region: the union of what was asked, drawn by displayIfNeeded.
  void setNeedsDisplayInRect(NSRect rect);
  void setNeedsDisplay(bool needed);
  bool needsDisplay() const { return mNeedsDisplay; }
  NSRect dirtyRect() const { return mDirty; }
  // Draws the dirty region of this view and its subviews with a current
  // graphics context clipped to it.
  // True when anything was drawn.
  bool displayIfNeeded();

  // The view's pixels: frame width x height words.
  const uint32_t* pixels() const { return mPixels.data(); }
  int pixelWidth() const { return mPixelW; }
  int pixelHeight() const { return mPixelH; }
  uint32_t pixelAt(int x, int yFromTop) const;

  // Hooks, as the window system calls them.
  virtual void drawRect(NSRect dirty) { (void)dirty; }
  virtual bool isOpaque() const { return false; }
  virtual bool isFlipped() const { return false; }
  virtual bool acceptsFirstResponder() const { return false; }
  virtual bool acceptsFirstMouse(NSEvent* event) const
  {
    (void)event;
    return false;
  }
  virtual void viewDidMoveToWindow() {}
  virtual void becameFirstResponder() {}

  // Event handlers. Unhandled events go on to the next responder: the
  // superview, then the window.
  virtual void mouseDown(NSEvent* event);
  virtual void mouseUp(NSEvent* event);
  virtual void mouseDragged(NSEvent* event);
  virtual void rightMouseDown(NSEvent* event);
  virtual void rightMouseUp(NSEvent* event);
  virtual void rightMouseDragged(NSEvent* event);
  virtual void mouseMoved(NSEvent* event);
  virtual void scrollWheel(NSEvent* event);
  virtual void keyDown(NSEvent* event);

  std::string description() const override { return "NSView"; }

protected:
  ~NSView() override;

private:
  friend class NSWindow;
  friend class NSGraphicsContext;
  void setWindowRecursively(NSWindow* window);
  void passOn(NSEvent* event);

  NSRect mFrame;
  NSView* mSuperview = nullptr;
  NSWindow* mWindow = nullptr;
  std::vector<NSView*> mSubviews;
  bool mHidden = false;
  bool mNeedsDisplay = false;
  NSRect mDirty = {{0, 0}, {0, 0}};
  std::vector<uint32_t> mPixels;
  int mPixelW = 0, mPixelH = 0;
};
