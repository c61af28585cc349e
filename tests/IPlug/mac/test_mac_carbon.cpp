// The editor in a host's Carbon window and in a child window over a host
// window, with the headless window system: where the pane goes, what the
// binding reports, redraw, prompts through the pane, closing.

#include "IPlug/IGraphicsCarbon.h"
#include "IPlug/IGraphicsCocoa.h"
#include "IPlug/IGraphicsMac.h"
#include "IPlug/IPopupMenu.h"
#include "tests/IPlug/editor/EditorTestSupport.h"

#include "platform/window/Carbon.h"
#include "platform/window/Timer.h"
#include "platform/window/Window.h"
#include "platform/window/backends/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

namespace
{
constexpr int kW = 120, kH = 80;

// A control that draws nothing of its own.
class Plain : public IControl
{
public:
  using IControl::IControl;
  bool Draw(IGraphics*) override { return true; }
};

class MacCarbon : public ::testing::Test
{
protected:
  void SetUp() override
  {
    HeadlessBackend::instance().reset();
    plug.InitDoubles({50.0});
    plug.GetParam(1)->InitEnum("mode", 1, 3);
    plug.GetParam(1)->SetDisplayText(0, "A");
    plug.GetParam(1)->SetDisplayText(1, "B");
    plug.GetParam(1)->SetDisplayText(2, "C");
    gui = new IGraphicsMac(&plug, kW, kH, 25);
    gui->AttachPanelBackground(&COLOR_BLUE);
    control = new Plain(&plug, IRECT(10, 10, 50, 30), 1);
    control->SetPromptEnabled(true);
    gui->AttachControl(control);
    plug.AttachGraphics(gui);
    host = new NSWindow(NSMakeRect(100, 200, 300, 200));
    host->setReleasedWhenClosed(false);
    host->makeKeyAndOrderFront();
  }
  void TearDown() override
  {
    gui->CloseWindow();
    host->close();
    host->release();
  }
  static void Run(double seconds) { NSRunLoop::currentRunLoop()->runForSeconds(seconds); }
  WindowRef HostRef() const { return WindowRefFromNSWindow(host); }

  GesturePlug plug{2};
  IGraphicsMac* gui = nullptr;
  IControl* control = nullptr;
  NSWindow* host = nullptr;
};
} // namespace

TEST_F(MacCarbon, ThePaneGoesIntoTheParentControlOrTheRootView)
{
  NSView* parent = new NSView(NSMakeRect(5, 5, 200, 150));
  host->contentView()->addSubview(parent);
  parent->release();
  ControlRef control = static_cast<ControlRef>(gui->OpenWindow(HostRef(), HIViewRefFromNSView(parent)));
  ASSERT_NE(control, nullptr);
  NSView* pane = NSViewFromHIViewRef(control);
  EXPECT_EQ(pane->superview(), parent);
  EXPECT_EQ(pane->frame().size.width, kW);
  EXPECT_TRUE(gui->WindowIsOpen());
  EXPECT_EQ(gui->GetWindow(), nullptr); // no Cocoa view
  EXPECT_STREQ(gui->GetGUIAPI(), "Carbon Composited gui");

  // Opening again (no parent control) closes the first and uses the root view.
  control = static_cast<ControlRef>(gui->OpenWindow(HostRef(), nullptr));
  EXPECT_TRUE(parent->subviews().empty());
  EXPECT_EQ(NSViewFromHIViewRef(control)->superview(), host->contentView());

  gui->CloseWindow();
  EXPECT_FALSE(gui->WindowIsOpen());
  EXPECT_EQ(host->contentView()->subviews(), std::vector<NSView*>{parent});
  EXPECT_STREQ(gui->GetGUIAPI(), "Cocoa gui");
}

TEST_F(MacCarbon, NonCompositedWindowsAreReported)
{
  host->setCompositing(false);
  gui->OpenWindow(HostRef(), nullptr);
  EXPECT_STREQ(gui->GetGUIAPI(), "Carbon Non-Composited gui");
}

TEST_F(MacCarbon, TheTimerRedrawsThePaneAndResizeFollows)
{
  NSView* pane = NSViewFromHIViewRef(static_cast<ControlRef>(gui->OpenWindow(HostRef(), nullptr)));
  Run(0.1);
  // The blue background reached the pane's pixels.
  EXPECT_EQ(pane->pixelAt(kW - 1, kH - 1), LICE_RGBA(0, 0, 255, 255));
  gui->Resize(kW + 20, kH);
  EXPECT_EQ(pane->frame().size.width, kW + 20);
}

TEST_F(MacCarbon, PromptsGoThroughThePane)
{
  gui->OpenWindow(HostRef(), nullptr);
  // A right click on the enumerated control pops up its names.
  HeadlessBackend::instance().scriptMenuChoice(2);
  const NSPoint at = NSMakePoint(20 + 2, kH - 20 - 3);
  headless::mouseDown(host, at, 0, true);
  headless::mouseUp(host, at, 0, true);
  ASSERT_EQ(HeadlessBackend::instance().shownMenus().size(), 1u);
  EXPECT_EQ(HeadlessBackend::instance().shownMenus()[0].items.size(), 3u);
  EXPECT_EQ(plug.GetParam(1)->Int(), 2);
  // A file panel is offered while the editor sits in the Carbon window.
  HeadlessBackend::instance().scriptFilePanel("/tmp/chosen.fxp");
  WDL_String file(""), dir("");
  gui->PromptForFile(&file, kFileOpen, &dir, const_cast<char*>("fxp"));
  EXPECT_STREQ(file.Get(), "/tmp/chosen.fxp");
}

TEST_F(MacCarbon, TextEntriesEndOrAreDroppedWhenForced)
{
  IGraphicsCarbon* carbon = nullptr;
  gui->OpenWindow(HostRef(), nullptr);
  carbon = gui->GetCarbon();
  ASSERT_NE(carbon, nullptr);
  auto* doubleControl = new Plain(&plug, IRECT(60, 40, 100, 60), 0);
  gui->AttachControl(doubleControl);
  IRECT area(60, 40, 100, 60);
  IText text;
  gui->CreateTextEntry(doubleControl, &text, &area, "50", plug.GetParam(0));
  ASSERT_NE(carbon->Pane()->textField(), nullptr);
  carbon->Pane()->textField()->setStringValue("75");
  carbon->EndUserInput(true);
  EXPECT_EQ(carbon->Pane()->textField(), nullptr);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 75.0);

  gui->CreateTextEntry(doubleControl, &text, &area, "75", plug.GetParam(0));
  carbon->Pane()->textField()->setStringValue("10");
  gui->ForceEndUserEdit(); // dropped
  EXPECT_EQ(carbon->Pane()->textField(), nullptr);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 75.0);
}

TEST_F(MacCarbon, HostRemovingThePaneClosesTheEditor)
{
  NSView* pane = NSViewFromHIViewRef(static_cast<ControlRef>(gui->OpenWindow(HostRef(), nullptr)));
  HIViewRemoveFromSuperview(HIViewRefFromNSView(pane));
  EXPECT_FALSE(gui->WindowIsOpen());
  EXPECT_TRUE(host->contentView()->subviews().empty());
}

TEST_F(MacCarbon, SubWindowSitsCentredOverTheHostAndComesForwardLater)
{
  gui->AttachSubWindow(HostRef()); // closing the host window lets go of its reference
  ASSERT_EQ(host->childWindows().size(), 1u);
  NSWindow* child = host->childWindows()[0];
  EXPECT_EQ(child->styleMask(), unsigned(NSBorderlessWindowMask));
  EXPECT_TRUE(child->canBecomeKeyWindow());
  EXPECT_EQ(child->frame().origin.x, 100 + (300 - kW) / 2);
  EXPECT_EQ(child->frame().origin.y, 200);
  EXPECT_EQ(child->frame().size.width, kW);
  EXPECT_TRUE(gui->WindowIsOpen());
  EXPECT_STREQ(gui->GetGUIAPI(), "Cocoa gui");
  EXPECT_FALSE(child->isVisible());
  Run(0.6);
  EXPECT_TRUE(child->isVisible());

  gui->RemoveSubWindow();
  EXPECT_FALSE(gui->WindowIsOpen());
  EXPECT_TRUE(host->childWindows().empty());
  EXPECT_FALSE(host->isVisible());
  gui->RemoveSubWindow(); // nothing attached: nothing happens
}

TEST_F(MacCarbon, SubWindowOverANarrowerHostStartsAtItsLeftEdge)
{
  NSWindow* narrow = new NSWindow(NSMakeRect(40, 50, kW - 10, 60));
  gui->AttachSubWindow(WindowRefFromNSWindow(narrow));
  ASSERT_EQ(narrow->childWindows().size(), 1u);
  EXPECT_EQ(narrow->childWindows()[0]->frame().origin.x, 40);
  Run(0.6); // the child comes to the front and lets go of its extra reference
  gui->RemoveSubWindow();
  narrow->release(); // the test's own reference
}
