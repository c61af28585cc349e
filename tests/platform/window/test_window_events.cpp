#include "WindowTestSupport.h"

namespace
{
class EventTest : public WindowTest
{
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    window = new NSWindow(NSMakeRect(0, 0, 200, 100));
    view = new RecordingView(NSMakeRect(50, 20, 100, 60));
    window->contentView()->addSubview(view);
    view->release();
    window->makeKeyAndOrderFront();
  }
  void TearDown() override { window->close(); }
  NSWindow* window = nullptr;
  RecordingView* view = nullptr;
};
} // namespace

TEST_F(EventTest, APressAndItsDragsAndReleaseGoToTheViewUnderThePress)
{
  headless::mouseDown(window, NSMakePoint(60, 30), NSShiftKeyMask);
  headless::mouseDragged(window, NSMakePoint(5.5f, 95.25f)); // far outside the view
  headless::mouseUp(window, NSMakePoint(5, 95));
  ASSERT_EQ(3u, view->seen.size());
  EXPECT_EQ(NSLeftMouseDown, view->seen[0].type);
  EXPECT_EQ(10, view->seen[0].at.x);
  EXPECT_EQ(10, view->seen[0].at.y);
  EXPECT_EQ(NSShiftKeyMask, view->seen[0].flags);
  EXPECT_EQ(NSLeftMouseDragged, view->seen[1].type);
  EXPECT_FLOAT_EQ(-44.5f, view->seen[1].at.x); // float coordinates kept
  EXPECT_FLOAT_EQ(75.25f, view->seen[1].at.y);
  EXPECT_EQ(NSLeftMouseUp, view->seen[2].type);

  // A press outside the view: it hears nothing of the drags either.
  headless::mouseDown(window, NSMakePoint(10, 10));
  headless::mouseDragged(window, NSMakePoint(60, 30));
  EXPECT_EQ(3u, view->seen.size());
}

TEST_F(EventTest, ClickCountsFollowTheClock)
{
  headless::mouseDown(window, NSMakePoint(60, 30));
  headless::mouseUp(window, NSMakePoint(60, 30));
  backend().advanceClockTo(backend().now() + 0.3);
  headless::mouseDown(window, NSMakePoint(61, 31));
  headless::mouseUp(window, NSMakePoint(61, 31));
  backend().advanceClockTo(backend().now() + 0.6);
  headless::mouseDown(window, NSMakePoint(61, 31));
  backend().advanceClockTo(backend().now() + 0.1);
  headless::mouseDown(window, NSMakePoint(80, 31)); // too far away
  backend().advanceClockTo(backend().now() + 0.1);
  headless::mouseDown(window, NSMakePoint(80, 31), 0, true); // the other button
  ASSERT_EQ(7u, view->seen.size());
  EXPECT_EQ(1, view->seen[0].clicks);
  EXPECT_EQ(1, view->seen[1].clicks);
  EXPECT_EQ(2, view->seen[2].clicks);
  EXPECT_EQ(2, view->seen[3].clicks);
  EXPECT_EQ(1, view->seen[4].clicks);
  EXPECT_EQ(1, view->seen[5].clicks);
  EXPECT_EQ(NSRightMouseDown, view->seen[6].type);
  EXPECT_EQ(1, view->seen[6].clicks);
}

TEST_F(EventTest, WheelGoesUnderThePointerMovesToTheFirstResponder)
{
  headless::scrollWheel(window, NSMakePoint(70, 40), 0.6f);
  ASSERT_EQ(1u, view->seen.size());
  EXPECT_EQ(NSScrollWheel, view->seen[0].type);

  headless::mouseMoved(window, NSMakePoint(70, 40));
  EXPECT_EQ(1u, view->seen.size()); // not first responder, moves not asked for
  ASSERT_TRUE(window->makeFirstResponder(view));
  headless::mouseMoved(window, NSMakePoint(70, 40));
  EXPECT_EQ(1u, view->seen.size());
  window->setAcceptsMouseMovedEvents(true);
  headless::mouseMoved(window, NSMakePoint(1, 1), NSCommandKeyMask);
  ASSERT_EQ(2u, view->seen.size());
  EXPECT_EQ(NSMouseMoved, view->seen[1].type);
  EXPECT_EQ(NSCommandKeyMask, view->seen[1].flags);
}

TEST_F(EventTest, KeysReachTheFirstResponderAndUnhandledOnesTheEndOfTheChain)
{
  headless::keyDown(window, kVK_Space, " ");
  ASSERT_EQ(1u, backend().unhandledKeys().size()); // no first responder yet
  ASSERT_TRUE(window->makeFirstResponder(view));
  headless::typeText(window, "a7");
  ASSERT_EQ(2u, view->seen.size());
  EXPECT_EQ("a", view->seen[0].chars);
  view->handleKeys = false;
  headless::keyDown(window, kVK_Tab, "\t");
  ASSERT_EQ(2u, backend().unhandledKeys().size());
  EXPECT_EQ(kVK_Tab, backend().unhandledKeys()[1].keyCode);

  RecordingView* refuses = new RecordingView(NSMakeRect(0, 0, 10, 10), false);
  window->contentView()->addSubview(refuses);
  refuses->release();
  EXPECT_FALSE(window->makeFirstResponder(refuses));
  EXPECT_EQ(view, window->firstResponder());
}

TEST(HeadlessKeys, HardwareCodesOfTheUSKeyboard)
{
  EXPECT_EQ(kVK_Space, headless::keyCodeForCharacter(' '));
  EXPECT_EQ(0, headless::keyCodeForCharacter('a'));
  EXPECT_EQ(0, headless::keyCodeForCharacter('A'));
  EXPECT_EQ(6, headless::keyCodeForCharacter('z'));
  EXPECT_EQ(0x0b, headless::keyCodeForCharacter('b'));
  EXPECT_EQ(0x1a, headless::keyCodeForCharacter('7'));
  EXPECT_EQ(0x1d, headless::keyCodeForCharacter('0'));
  EXPECT_EQ(0x2f, headless::keyCodeForCharacter('.'));
  EXPECT_EQ(0x25, headless::keyCodeForCharacter('l'));
  EXPECT_EQ(kVK_Return, headless::keyCodeForCharacter('\r'));
  EXPECT_EQ(0xffff, headless::keyCodeForCharacter('\x01'));
}
