#include "WindowTestSupport.h"

#include "platform/window/GraphicsContext.h"

TEST(WindowGeometry, UnionAndIntersection)
{
  const NSRect a = NSMakeRect(0, 0, 10, 10), b = NSMakeRect(5, 8, 10, 10);
  const NSRect u = NSUnionRect(a, b), i = NSIntersectionRect(a, b);
  EXPECT_EQ(15, NSMaxX(u));
  EXPECT_EQ(18, NSMaxY(u));
  EXPECT_EQ(5, i.origin.x);
  EXPECT_EQ(2, i.size.height);
  EXPECT_TRUE(NSIsEmptyRect(NSIntersectionRect(a, NSMakeRect(10, 0, 5, 5))));
  EXPECT_EQ(10, NSMaxX(NSUnionRect(NSMakeRect(0, 0, 0, 0), a)));
  EXPECT_TRUE(NSPointInRect(NSMakePoint(0, 0), a));
  EXPECT_FALSE(NSPointInRect(NSMakePoint(10, 5), a));
}

TEST_F(WindowTest, SubviewsAreRetainedAndLearnTheirWindow)
{
  NSWindow* window = new NSWindow(NSMakeRect(100, 100, 300, 200));
  RecordingView* view = new RecordingView(NSMakeRect(20, 30, 100, 50));
  EXPECT_EQ(0, view->windowMoves);
  window->contentView()->addSubview(view);
  EXPECT_EQ(2, view->retainCount());
  EXPECT_EQ(window, view->window());
  EXPECT_EQ(1, view->windowMoves);

  // Points: window coordinates into the view, bottom-left origin.
  const NSPoint p = view->convertPointFromView(NSMakePoint(25, 35), nullptr);
  EXPECT_EQ(5, p.x);
  EXPECT_EQ(5, p.y);
  EXPECT_EQ(view, window->contentView()->hitTest(NSMakePoint(25, 35)));
  EXPECT_EQ(window->contentView(), window->contentView()->hitTest(NSMakePoint(10, 10)));
  view->setHidden(true);
  EXPECT_EQ(window->contentView(), window->contentView()->hitTest(NSMakePoint(25, 35)));
  view->setHidden(false);

  window->makeFirstResponder(view);
  view->removeFromSuperview();
  EXPECT_EQ(nullptr, window->firstResponder());
  EXPECT_EQ(nullptr, view->window());
  EXPECT_EQ(2, view->windowMoves);
  EXPECT_EQ(1, view->retainCount());
  view->release();
  window->close(); // released when closed
}

TEST_F(WindowTest, ViewsOwnPixelsOfTheirSize)
{
  RecordingView* view = new RecordingView(NSMakeRect(0, 0, 4, 3));
  EXPECT_EQ(4, view->pixelWidth());
  EXPECT_EQ(3, view->pixelHeight());
  EXPECT_EQ(0u, view->pixelAt(3, 2));
  EXPECT_EQ(0u, view->pixelAt(4, 0)); // outside
  view->setFrameSize(NSMakeSize(7, 5));
  EXPECT_EQ(7, view->pixelWidth());
  EXPECT_TRUE(view->needsDisplay());
  view->release();
}

namespace
{
// Draws a 4 x 3 image whose pixel value is 1 + x + 10 * row (top row 0).
class ImageView : public NSView
{
public:
  using NSView::NSView;
  NSRect dest = NSMakeRect(0, 0, 4, 3);
  void drawRect(NSRect) override
  {
    uint32_t image[12];
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x)
        image[y * 4 + x] = uint32_t(1 + x + 10 * y);
    NSGraphicsContext::currentContext()->drawImage(image, 4, 3, 4, dest);
  }
};
} // namespace

TEST_F(WindowTest, DrawingGoesThroughTheCurrentContextClippedToTheDirtyArea)
{
  EXPECT_EQ(nullptr, NSGraphicsContext::currentContext());
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 4, 3));
  ImageView* view = new ImageView(NSMakeRect(0, 0, 4, 3));
  window->setContentView(view);
  view->release();
  window->makeKeyAndOrderFront();

  // Only the lower-left 2 x 1 corner is dirty: the image's bottom row there.
  view->setNeedsDisplayInRect(NSMakeRect(0, 0, 2, 1));
  window->displayIfNeeded();
  EXPECT_EQ(21u, view->pixelAt(0, 2));
  EXPECT_EQ(22u, view->pixelAt(1, 2));
  EXPECT_EQ(0u, view->pixelAt(2, 2));
  EXPECT_EQ(0u, view->pixelAt(0, 0));
  EXPECT_EQ(1, backend().displayCount());
  window->displayIfNeeded(); // nothing dirty, nothing drawn
  EXPECT_EQ(1, backend().displayCount());

  view->setNeedsDisplay(true);
  window->displayIfNeeded();
  EXPECT_EQ(1u, view->pixelAt(0, 0)); // top-left pixel of the image at the top left
  EXPECT_EQ(24u, view->pixelAt(3, 2));

  // A destination moved right and up: only what falls inside the view shows.
  view->dest = NSMakeRect(2, 1, 4, 3);
  view->setNeedsDisplay(true);
  window->displayIfNeeded();
  EXPECT_EQ(11u, view->pixelAt(2, 0)); // the image's top row lies above the view
  EXPECT_EQ(12u, view->pixelAt(3, 0));
  EXPECT_EQ(21u, view->pixelAt(2, 1));
  EXPECT_EQ(1u, view->pixelAt(0, 0));  // left of the destination: unchanged
  EXPECT_EQ(23u, view->pixelAt(2, 2)); // below it: unchanged
  window->close();
}

TEST_F(WindowTest, HiddenOrUnshownWindowsDoNotDraw)
{
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 50, 50));
  window->setReleasedWhenClosed(false);
  RecordingView* view = new RecordingView(NSMakeRect(0, 0, 50, 50));
  window->setContentView(view);
  view->release();
  view->setNeedsDisplay(true);
  window->displayIfNeeded();
  EXPECT_TRUE(view->drawn.empty());
  window->makeKeyAndOrderFront();
  window->displayIfNeeded();
  ASSERT_EQ(1u, view->drawn.size());
  EXPECT_EQ(50, view->drawn[0].size.width);
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(nullptr, view->window());
  window->release();
}

TEST_F(WindowTest, ChildWindowsAttachAndDetach)
{
  NSWindow* host = new NSWindow(NSMakeRect(0, 0, 400, 300));
  NSWindow* child = new NSWindow(NSMakeRect(10, 0, 200, 100));
  host->addChildWindow(child);
  host->addChildWindow(child);
  ASSERT_EQ(1u, host->childWindows().size());
  child->close();
  EXPECT_TRUE(host->childWindows().empty());
  host->close();
  for (NSWindow* w : NSWindow::windows())
    EXPECT_NE(host, w);
}
