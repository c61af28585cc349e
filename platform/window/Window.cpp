#include "platform/window/Window.h"

#include <algorithm>

#include "platform/window/WindowBackend.h"

namespace
{
std::vector<NSWindow*>& windowList()
{
  static std::vector<NSWindow*> list;
  return list;
}

bool isInside(const NSView* view, const NSView* ancestor)
{
  for (; view; view = view->superview())
    if (view == ancestor) return true;
  return false;
}
} // namespace

const std::vector<NSWindow*>& NSWindow::windows()
{
  return windowList();
}

NSWindow::NSWindow(NSRect contentRect, unsigned styleMask)
    : mFrame(contentRect), mStyleMask(styleMask)
{
  windowList().push_back(this);
  setContentView(new NSView(NSMakeRect(0, 0, contentRect.size.width, contentRect.size.height)));
  mContentView->release(); // the window's reference is enough
}

NSWindow::~NSWindow()
{
  auto& list = windowList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  for (NSWindow* child : mChildren)
    child->mParent = nullptr;
  if (mParent) mParent->removeChildWindow(this);
  if (mContentView)
  {
    mContentView->setWindowRecursively(nullptr);
    mContentView->release();
  }
}

void NSWindow::setContentView(NSView* view)
{
  if (view == mContentView) return;
  if (view)
  {
    view->retain();
    view->removeFromSuperview();
    view->setFrameOrigin(NSMakePoint(0, 0));
    if (view->frame().size.width != mFrame.size.width ||
        view->frame().size.height != mFrame.size.height)
      view->setFrameSize(mFrame.size);
  }
  NSView* old = mContentView;
  mContentView = view;
  mFirstResponder = mMouseView = nullptr;
  if (old)
  {
    old->setWindowRecursively(nullptr);
    old->release();
  }
  if (view) view->setWindowRecursively(this);
}

bool NSWindow::makeFirstResponder(NSView* view)
{
  if (view && !view->acceptsFirstResponder()) return false;
  mFirstResponder = view;
  if (view) view->becameFirstResponder();
  return true;
}

void NSWindow::makeKeyAndOrderFront()
{
  if (mClosed) return;
  mVisible = true;
  GetWindowBackend()->windowOrderedFront(this);
}

void NSWindow::orderOut()
{
  mVisible = false;
}

void NSWindow::addChildWindow(NSWindow* child)
{
  if (!child || child == this || child->mParent) return;
  child->mParent = this;
  mChildren.push_back(child);
}

void NSWindow::removeChildWindow(NSWindow* child)
{
  auto it = std::find(mChildren.begin(), mChildren.end(), child);
  if (it == mChildren.end()) return;
  mChildren.erase(it);
  child->mParent = nullptr;
}

void NSWindow::close()
{
  if (mClosed) return;
  mClosed = true;
  mVisible = false;
  auto& list = windowList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  GetWindowBackend()->windowClosed(this);
  if (mContentView) mContentView->setWindowRecursively(nullptr);
  mFirstResponder = mMouseView = nullptr;
  if (mReleasedWhenClosed) release();
}

void NSWindow::viewLeaving(NSView* view)
{
  if (isInside(mFirstResponder, view)) mFirstResponder = nullptr;
  if (isInside(mMouseView, view)) mMouseView = nullptr;
}

void NSWindow::sendEvent(NSEvent* event)
{
  if (!event || mClosed || !mContentView) return;
  event->window = this;
  retain();
  switch (event->type)
  {
  case NSLeftMouseDown:
  case NSRightMouseDown:
    mMouseView = mContentView->hitTest(event->locationInWindow);
    if (mMouseView) NSViewDispatchEvent(mMouseView, event);
    break;
  case NSLeftMouseDragged:
  case NSRightMouseDragged:
    if (mMouseView) NSViewDispatchEvent(mMouseView, event);
    break;
  case NSLeftMouseUp:
  case NSRightMouseUp:
    if (NSView* view = mMouseView)
    {
      mMouseView = nullptr;
      NSViewDispatchEvent(view, event);
    }
    break;
  case NSMouseMoved:
    if (mAcceptsMouseMoved && mFirstResponder) NSViewDispatchEvent(mFirstResponder, event);
    break;
  case NSScrollWheel:
    if (NSView* view = mContentView->hitTest(event->locationInWindow))
      NSViewDispatchEvent(view, event);
    break;
  case NSKeyDown:
    if (mFirstResponder)
      NSViewDispatchEvent(mFirstResponder, event);
    else
      keyDown(event);
    break;
  default:
    break;
  }
  release();
}

void NSWindow::keyDown(NSEvent* event)
{
  GetWindowBackend()->unhandledKey(*event);
}

void NSWindow::displayIfNeeded()
{
  if (!mVisible || !mContentView) return;
  if (mContentView->displayIfNeeded()) GetWindowBackend()->windowDisplayed(this);
}
