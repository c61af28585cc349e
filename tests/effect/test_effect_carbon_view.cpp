// The effect's Carbon view component, as a host that embeds Carbon controls
// uses it: open the view component, create the editor's control in a window
// of the host's, close the component.

#include "host/kit/HostedUnit.h"

#include "platform/window/Carbon.h"
#include "platform/window/Timer.h"

#include <AudioUnit/AudioUnit.h>

#include <gtest/gtest.h>

namespace
{
class CarbonView : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string error;
    ASSERT_TRUE(unit.OpenFound("", error)) << error;
    ComponentDescription wanted = {kAudioUnitCarbonViewComponentType, 0x5476646C /* Tvdl */,
                                   0x74566C6C /* tVll */, 0, 0};
    Component viewComponent = FindNextComponent(nullptr, &wanted);
    ASSERT_NE(viewComponent, nullptr);
    ASSERT_EQ(OpenAComponent(viewComponent, &view), noErr);
    window = new NSWindow(NSMakeRect(0, 0, 700, 500));
    window->setReleasedWhenClosed(false);
    window->makeKeyAndOrderFront();
  }
  void TearDown() override
  {
    if (view) CloseComponent(view);
    window->close();
    window->release();
  }

  HostedUnit unit;
  ComponentInstance view = nullptr;
  NSWindow* window = nullptr;
};
} // namespace

TEST_F(CarbonView, CreatesTheEditorsControlInTheHostsWindow)
{
  Float32Point location = {0, 0}, size = {0, 0};
  ControlRef control = nullptr;
  ASSERT_EQ(AudioUnitCarbonViewCreate(view, unit.Unit(), WindowRefFromNSWindow(window),
                                      HIViewGetRoot(WindowRefFromNSWindow(window)), &location,
                                      &size, &control),
            noErr);
  ASSERT_NE(control, nullptr);
  NSView* pane = NSViewFromHIViewRef(control);
  EXPECT_EQ(pane->superview(), window->contentView());
  EXPECT_EQ(pane->frame().size.width, 595); // the editor's own size, not the one asked
  EXPECT_EQ(pane->frame().size.height, 433);
  NSRunLoop::currentRunLoop()->runForSeconds(0.1);
  EXPECT_NE(pane->pixelAt(300, 200), 0u); // the editor drew its background

  // Closing the view component closes the editor's window: the pane leaves.
  EXPECT_EQ(CloseComponent(view), noErr);
  view = nullptr;
  EXPECT_TRUE(window->contentView()->subviews().empty());
}

TEST_F(CarbonView, WithoutAUnitThereIsNoEditor)
{
  ControlRef control = nullptr;
  Float32Point location = {0, 0}, size = {0, 0};
  EXPECT_EQ(AudioUnitCarbonViewCreate(view, nullptr, WindowRefFromNSWindow(window), nullptr,
                                      &location, &size, &control),
            badComponentSelector);
  EXPECT_EQ(control, nullptr);
}
