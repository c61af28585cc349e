#include "platform/window/View.h"

#include <algorithm>
#include <cmath>

#include "platform/window/GraphicsContext.h"
#include "platform/window/Window.h"

namespace
{
int pixelsFor(CGFloat side)
{
  return side > 0 ? int(side) : 0;
}

// Hands an event to the view's handler for its type.
void dispatch(NSView* view, NSEvent* event)
{
  switch (event->type)
  {
  case NSLeftMouseDown:
    view->mouseDown(event);
    break;
  case NSLeftMouseUp:
    view->mouseUp(event);
    break;
  case NSLeftMouseDragged:
    view->mouseDragged(event);
    break;
  case NSRightMouseDown:
    view->rightMouseDown(event);
    break;
  case NSRightMouseUp:
    view->rightMouseUp(event);
    break;
  case NSRightMouseDragged:
    view->rightMouseDragged(event);
    break;
  case NSMouseMoved:
    view->mouseMoved(event);
    break;
  case NSScrollWheel:
    view->scrollWheel(event);
    break;
  case NSKeyDown:
    view->keyDown(event);
    break;
  default:
    break;
  }
}
} // namespace

void NSViewDispatchEvent(NSView* view, NSEvent* event)
{
  dispatch(view, event);
}

NSView::NSView(NSRect frame) : mFrame(frame)
{
  mPixelW = pixelsFor(frame.size.width);
  mPixelH = pixelsFor(frame.size.height);
  mPixels.assign(size_t(mPixelW) * size_t(mPixelH), 0);
}

NSView::~NSView()
{
  for (NSView* sub : mSubviews)
  {
    sub->mSuperview = nullptr;
    sub->setWindowRecursively(nullptr);
    sub->release();
  }
}

void NSView::setFrameSize(NSSize size)
{
  mFrame.size = size;
  mPixelW = pixelsFor(size.width);
  mPixelH = pixelsFor(size.height);
  mPixels.assign(size_t(mPixelW) * size_t(mPixelH), 0);
  mDirty = NSMakeRect(0, 0, 0, 0);
  setNeedsDisplay(true);
}

void NSView::addSubview(NSView* view)
{
  if (!view || view == this) return;
  view->retain();
  view->removeFromSuperview();
  mSubviews.push_back(view);
  view->mSuperview = this;
  view->setWindowRecursively(mWindow);
}

void NSView::removeFromSuperview()
{
  NSView* parent = mSuperview;
  if (!parent) return;
  if (mWindow) mWindow->viewLeaving(this);
  parent->mSubviews.erase(std::find(parent->mSubviews.begin(), parent->mSubviews.end(), this));
  mSuperview = nullptr;
  setWindowRecursively(nullptr);
  release();
}

void NSView::setWindowRecursively(NSWindow* window)
{
  if (mWindow == window) return;
  mWindow = window;
  viewDidMoveToWindow();
  for (NSView* sub : mSubviews)
    sub->setWindowRecursively(window);
}

NSPoint NSView::convertPointToWindow(NSPoint p) const
{
  for (const NSView* v = this; v; v = v->mSuperview)
  {
    p.x += v->mFrame.origin.x;
    p.y += v->mFrame.origin.y;
  }
  return p;
}

NSPoint NSView::convertPointFromView(NSPoint p, NSView* view) const
{
  if (view) p = view->convertPointToWindow(p);
  const NSPoint origin = convertPointToWindow(NSMakePoint(0, 0));
  return NSMakePoint(p.x - origin.x, p.y - origin.y);
}

NSView* NSView::hitTest(NSPoint p)
{
  if (mHidden || !NSPointInRect(p, mFrame)) return nullptr;
  const NSPoint local = NSMakePoint(p.x - mFrame.origin.x, p.y - mFrame.origin.y);
  for (auto it = mSubviews.rbegin(); it != mSubviews.rend(); ++it)
    if (NSView* hit = (*it)->hitTest(local)) return hit;
  return this;
}

void NSView::setNeedsDisplayInRect(NSRect rect)
{
  const NSRect clipped = NSIntersectionRect(rect, bounds());
  if (NSIsEmptyRect(clipped)) return;
  mDirty = NSUnionRect(mDirty, clipped);
  mNeedsDisplay = true;
}

void NSView::setNeedsDisplay(bool needed)
{
  if (needed)
    setNeedsDisplayInRect(bounds());
  else
  {
    mNeedsDisplay = false;
    mDirty = NSMakeRect(0, 0, 0, 0);
  }
}

namespace
{
NSGraphicsContext* sCurrentContext = nullptr;
}

NSGraphicsContext* NSGraphicsContext::currentContext()
{
  return sCurrentContext;
}

bool NSView::displayIfNeeded()
{
  if (mHidden) return false;
  bool drew = false;
  retain();
  if (mNeedsDisplay)
  {
    const NSRect dirty = mDirty;
    mNeedsDisplay = false;
    mDirty = NSMakeRect(0, 0, 0, 0);
    NSGraphicsContext context(this, dirty);
    NSGraphicsContext* outer = sCurrentContext;
    sCurrentContext = &context;
    drawRect(dirty);
    sCurrentContext = outer;
    drew = true;
  }
  const std::vector<NSView*> subs = mSubviews;
  for (NSView* sub : subs)
    drew = sub->displayIfNeeded() || drew;
  release();
  return drew;
}

uint32_t NSView::pixelAt(int x, int yFromTop) const
{
  if (x < 0 || yFromTop < 0 || x >= mPixelW || yFromTop >= mPixelH) return 0;
  return mPixels[size_t(yFromTop) * size_t(mPixelW) + size_t(x)];
}

void NSGraphicsContext::drawImage(const uint32_t* pixels, int w, int h, int rowSpan, NSRect dest)
{
  if (!pixels || w <= 0 || h <= 0) return;
  const NSRect area = NSIntersectionRect(NSIntersectionRect(dest, mClip), mView->bounds());
  if (NSIsEmptyRect(area)) return;
  const int viewH = mView->pixelHeight();
  const int x0 = int(std::floor(area.origin.x)), x1 = int(std::ceil(NSMaxX(area)));
  const int top0 = viewH - int(std::ceil(NSMaxY(area))),
            top1 = viewH - int(std::floor(area.origin.y));
  const int destX = int(std::floor(dest.origin.x)), destTop = viewH - int(std::ceil(NSMaxY(dest)));
  for (int y = std::max(top0, 0); y < std::min(top1, viewH); ++y)
  {
    const int iy = y - destTop;
    if (iy < 0 || iy >= h) continue;
    uint32_t* row = mView->mPixels.data() + size_t(y) * size_t(mView->pixelWidth());
    for (int x = std::max(x0, 0); x < std::min(x1, mView->pixelWidth()); ++x)
    {
      const int ix = x - destX;
      if (ix >= 0 && ix < w) row[x] = pixels[size_t(iy) * size_t(rowSpan) + size_t(ix)];
    }
  }
}

void NSView::passOn(NSEvent* event)
{
  if (mSuperview)
    dispatch(mSuperview, event);
  else if (mWindow && event->type == NSKeyDown)
    mWindow->keyDown(event);
}

void NSView::mouseDown(NSEvent* e)
{
  passOn(e);
}
void NSView::mouseUp(NSEvent* e)
{
  passOn(e);
}
void NSView::mouseDragged(NSEvent* e)
{
  passOn(e);
}
void NSView::rightMouseDown(NSEvent* e)
{
  passOn(e);
}
void NSView::rightMouseUp(NSEvent* e)
{
  passOn(e);
}
void NSView::rightMouseDragged(NSEvent* e)
{
  passOn(e);
}
void NSView::mouseMoved(NSEvent* e)
{
  passOn(e);
}
void NSView::scrollWheel(NSEvent* e)
{
  passOn(e);
}
void NSView::keyDown(NSEvent* e)
{
  passOn(e);
}
