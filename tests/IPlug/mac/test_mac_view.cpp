// The window binding with the headless window system: mouse and key events as
// the view delivers them, the timer and the screen copy, closing, text
// entries, popup menus, file panels and URLs.

#include "IPlug/IGraphicsCocoa.h"
#include "IPlug/IGraphicsMac.h"
#include "IPlug/IPopupMenu.h"
#include "tests/IPlug/editor/EditorTestSupport.h"

#include "platform/window/Window.h"
#include "platform/window/backends/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
constexpr int kW = 200, kH = 100;

// Records presses with their modifiers as "<event> x,y LRSCA" (a dash for a
// flag not set), wheel steps and keys; keys other than 'a' are not handled.
class ModProbe : public IControl
{
public:
  ModProbe(IPlugBase* plug, IRECT rect, int paramIdx, std::vector<std::string>* log)
      : IControl(plug, rect, paramIdx), mLog(log)
  {
  }
  bool Draw(IGraphics*) override
  {
    mLog->push_back("draw");
    return true;
  }
  void OnMouseDown(int x, int y, IMouseMod* m) override { Note("down", x, y, m); }
  void OnMouseUp(int x, int y, IMouseMod* m) override { Note("up", x, y, m); }
  void OnMouseDblClick(int x, int y, IMouseMod* m) override { Note("dbl", x, y, m); }
  void OnMouseDrag(int, int, int dX, int dY, IMouseMod*) override
  {
    mLog->push_back("drag " + std::to_string(dX) + "," + std::to_string(dY));
  }
  void OnMouseWheel(int, int, IMouseMod*, int d) override
  {
    mLog->push_back("wheel " + std::to_string(d));
  }
  bool OnKeyDown(int x, int y, int key) override
  {
    mLog->push_back("key " + std::to_string(key) + " at " + std::to_string(x) + "," +
                    std::to_string(y));
    return key == 15;
  }
  using IControl::PromptUserInput;

private:
  void Note(const char* what, int x, int y, IMouseMod* m)
  {
    std::string flags;
    flags += m->L ? 'L' : '-';
    flags += m->R ? 'R' : '-';
    flags += m->S ? 'S' : '-';
    flags += m->C ? 'C' : '-';
    flags += m->A ? 'A' : '-';
    mLog->push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y) + " " +
                    flags);
  }
  std::vector<std::string>* mLog;
};

// An editor in a window of its size: a red panel, and a probe bound to the
// double parameter 0 covering all but a 10-pixel margin; parameter 2 is an
// integer.
class MacView : public ::testing::Test
{
protected:
  void SetUp() override
  {
    backend().reset();
    plug.InitDoubles({50.0, 10.0});
    plug.GetParam(2)->InitInt("int", 3, -5, 5);
    gui = new IGraphicsMac(&plug, kW, kH, 0);
    gui->AttachPanelBackground(&COLOR_RED);
    probe = new ModProbe(&plug, IRECT(10, 10, 190, 90), 0, &log);
    gui->AttachControl(probe);
    plug.AttachGraphics(gui);
    view = static_cast<IGraphicsCocoa_vTolvaneDelay_au*>(gui->OpenWindow(nullptr));
    window = new NSWindow(NSMakeRect(0, 0, kW, kH));
    window->setReleasedWhenClosed(false);
    window->setContentView(view);
    window->makeKeyAndOrderFront();
  }

  void TearDown() override
  {
    window->close();
    window->release();
    view->release();
  }

  static HeadlessBackend& backend() { return HeadlessBackend::instance(); }
  // Window point of editor pixel (x, y).
  static NSPoint At(int x, int y) { return NSMakePoint(x + 2, kH - y - 3); }
  static void Run(double seconds) { NSRunLoop::currentRunLoop()->runForSeconds(seconds); }

  // Clicks well apart in time, so that none counts as a double click.
  void Click(int x, int y, uint32_t flags = 0, bool right = false)
  {
    headless::mouseDown(window, At(x, y), flags, right);
    headless::mouseUp(window, At(x, y), flags, right);
    Run(1.0);
  }

  std::vector<std::string> log;
  GesturePlug plug{3};
  IGraphicsMac* gui = nullptr;
  ModProbe* probe = nullptr;
  IGraphicsCocoa_vTolvaneDelay_au* view = nullptr;
  NSWindow* window = nullptr;
};

std::vector<std::string> Without(const std::vector<std::string>& log, const std::string& entry)
{
  std::vector<std::string> out;
  for (const std::string& e : log)
    if (e != entry) out.push_back(e);
  return out;
}
} // namespace

TEST(MacCoordinates, RectanglesConvertBothWays)
{
  GesturePlug plug{1};
  IGraphicsMac gui(&plug, 595, 433, 0);
  IRECT r(10, 20, 30, 40);
  NSRect ns = IGraphicsMac::ToNSRect(&gui, &r);
  EXPECT_EQ(ns.origin.x, 10);
  EXPECT_EQ(ns.origin.y, 392);
  EXPECT_EQ(ns.size.width, 21);
  EXPECT_EQ(ns.size.height, 21);
  EXPECT_EQ(IGraphicsMac::ToIRECT(&gui, &ns), IRECT(10, 20, 31, 41));
  // Each coordinate is truncated on its own.
  NSRect fractional = NSMakeRect(10.7f, 20.9f, 5.5f, 6.99f);
  EXPECT_EQ(IGraphicsMac::ToIRECT(&gui, &fractional), IRECT(10, 407, 15, 413));
}

TEST(MacCoordinates, FontSizesColoursAndTheSystemVersion)
{
  EXPECT_EQ(IGraphicsMac::AdjustFontSize(11), 9);
  EXPECT_EQ(IGraphicsMac::AdjustFontSize(10), 9);
  EXPECT_EQ(IGraphicsMac::AdjustFontSize(1), 0);
  IColor c(255, 51, 102, 0);
  NSColor ns = IGraphicsMac::ToNSColor(&c);
  EXPECT_FLOAT_EQ(ns.red, 0.2f);
  EXPECT_FLOAT_EQ(ns.green, 0.4f);
  EXPECT_FLOAT_EQ(ns.blue, 0.0f);
  EXPECT_FLOAT_EQ(ns.alpha, 1.0f);
  EXPECT_GT(IGraphicsMac::GetUserOSVersion(), 0x104F); // the Cocoa view is offered
}

TEST(MacClosed, WithoutAWindowNothingIsShownOrAsked)
{
  GesturePlug plug{1};
  IGraphicsMac gui(&plug, 50, 50, 0);
  EXPECT_FALSE(gui.WindowIsOpen());
  EXPECT_EQ(gui.GetWindow(), nullptr);
  IRECT r(0, 0, 10, 10);
  EXPECT_FALSE(gui.DrawScreen(&r));
  IPopupMenu menu;
  menu.AddItem("x");
  EXPECT_EQ(gui.CreateIPopupMenu(&menu, &r), nullptr);
  WDL_String file("keep.fxp"), dir("/tmp");
  gui.PromptForFile(&file, kFileOpen, &dir, nullptr);
  EXPECT_STREQ(file.Get(), "");
  IColor color;
  EXPECT_FALSE(gui.PromptForColor(&color, nullptr));
  WDL_String path("unchanged");
  gui.SetBundleID("org.example.nothing-here");
  gui.HostPath(&path);
  gui.PluginPath(&path);
  EXPECT_STREQ(path.Get(), "unchanged");
  EXPECT_EQ(gui.OSLoadBitmap(1, "resources/img/missing.png"), nullptr);
}

TEST_F(MacView, OpensAViewOfTheEditorsSizeThatTakesTheKeys)
{
  EXPECT_TRUE(gui->WindowIsOpen());
  EXPECT_EQ(gui->GetWindow(), view);
  EXPECT_STREQ(gui->GetGUIAPI(), "Cocoa gui");
  EXPECT_EQ(view->frame().size.width, kW);
  EXPECT_EQ(view->frame().size.height, kH);
  EXPECT_EQ(window->firstResponder(), view);
  EXPECT_TRUE(window->acceptsMouseMovedEvents());
  EXPECT_TRUE(view->isOpaque());
}

TEST_F(MacView, TheViewsCornerIsTwoPixelsLeftAndThreeAboveTheBottom)
{
  auto* corner = new ModProbe(&plug, IRECT(-10, -10, 210, 110), -1, &log);
  gui->AttachControl(corner);
  headless::mouseDown(window, NSMakePoint(0, 0));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "down -2,97 L----");
}

TEST_F(MacView, ClicksCarryTheirButtonsAndModifiers)
{
  Click(50, 40);
  Click(50, 40, NSCommandKeyMask);
  Click(50, 40, NSShiftKeyMask | NSAlternateKeyMask);
  Click(50, 40, NSControlKeyMask, true);
  EXPECT_EQ(Without(log, "draw"),
            (std::vector<std::string>{"down 50,40 L----", "up 50,40 L----", "down 50,40 LR---",
                                      "up 50,40 LR---", "down 50,40 L-S-A", "up 50,40 L-S-A",
                                      "down 50,40 -R-C-", "up 50,40 -R-C-"}));
}

TEST_F(MacView, ADoubleClickIsNotASecondPress)
{
  headless::mouseDown(window, At(30, 30));
  headless::mouseUp(window, At(30, 30));
  headless::mouseDown(window, At(30, 30));
  headless::mouseUp(window, At(30, 30));
  EXPECT_EQ(Without(log, "draw"), (std::vector<std::string>{"down 30,30 L----", "up 30,30 L----",
                                                            "dbl 30,30 L----", "up 30,30 L----"}));
}

TEST_F(MacView, DragsAndTheWheel)
{
  headless::mouseDown(window, At(30, 30));
  headless::mouseDragged(window, At(32, 25));
  headless::mouseDragged(window, At(32, 25)); // no movement: not delivered
  headless::mouseUp(window, At(32, 25));
  headless::scrollWheel(window, At(40, 40), 0.6f);
  headless::scrollWheel(window, At(40, 40), -2.7f);
  EXPECT_EQ(Without(log, "draw"),
            (std::vector<std::string>{"down 30,30 L----", "drag 2,-5", "up 32,25 L----", "wheel 0",
                                      "wheel -2"}));
}

TEST_F(MacView, KeysGoToTheControlUnderTheLastPointerPosition)
{
  Click(60, 50);
  log.clear();
  headless::keyDown(window, 0, "a");
  headless::keyDown(window, 6, "Z");
  headless::keyDown(window, kVK_Tab, "\t");
  EXPECT_EQ(log, (std::vector<std::string>{"key 15 at 60,50", "key 40 at 60,50"}));
  // 'Z' was not handled and Tab does not map: both reach the host.
  ASSERT_EQ(backend().unhandledKeys().size(), 2u);
  EXPECT_EQ(backend().unhandledKeys()[0].charactersIgnoringModifiers, "Z");
  EXPECT_EQ(backend().unhandledKeys()[1].keyCode, kVK_Tab);
}

TEST_F(MacView, TheTimerRedrawsWhatIsDirtyAndCopiesTheBitmapToTheView)
{
  Run(1.0 / 25);
  EXPECT_EQ(log, (std::vector<std::string>{"draw"}));
  const uint32_t red = LICE_RGBA(255, 0, 0, 255);
  EXPECT_EQ(view->pixelAt(2, 2), red);
  EXPECT_EQ(view->pixelAt(kW - 1, kH - 1), red);
  // Nothing dirty: no repaint.
  const int displays = backend().displayCount();
  Run(1.0);
  EXPECT_EQ(backend().displayCount(), displays);
  // A value from the plug-in is drawn on the next tick, and once more after it.
  log.clear();
  gui->SetParameterFromPlug(0, 0.9, true);
  Run(2.0 / 25);
  EXPECT_EQ(log, (std::vector<std::string>{"draw", "draw"}));
}

TEST_F(MacView, AClosedViewIgnoresEventsAndTicks)
{
  view->retain(); // the test's own reference survives the close below
  gui->CloseWindow();
  EXPECT_FALSE(gui->WindowIsOpen());
  EXPECT_EQ(view->graphics(), nullptr);
  EXPECT_FALSE(view->isOpaque());
  log.clear();
  gui->SetAllControlsDirty();
  Run(1.0);
  headless::mouseDown(window, At(50, 50));
  headless::keyDown(window, 0, "a");
  EXPECT_TRUE(log.empty());
  view->release();
}

TEST_F(MacView, RemovingTheViewFromItsParentClosesTheEditorsWindow)
{
  NSView* parent = new NSView(NSMakeRect(0, 0, kW, kH));
  window->setContentView(parent);
  parent->addSubview(view);
  EXPECT_TRUE(gui->WindowIsOpen());
  view->removeFromSuperview();
  EXPECT_FALSE(gui->WindowIsOpen());
  EXPECT_EQ(view->graphics(), nullptr);
  parent->release();
}

TEST_F(MacView, TextEntryForADoubleTakesDigitsPointAndSigns)
{
  IText style(12, &COLOR_BLUE, "Helvetica", IText::kStyleNormal, IText::kAlignFar);
  IRECT area(20, 20, 80, 36);
  gui->CreateTextEntry(probe, &style, &area, "50", plug.GetParam(0));
  NSTextField* field = view->textField();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(window->firstResponder(), field);
  EXPECT_EQ(field->stringValue(), "50");
  EXPECT_EQ(field->alignment(), NSRightTextAlignment);
  EXPECT_EQ(field->font().pointSize, 10);
  EXPECT_EQ(field->font().name, "Helvetica");
  EXPECT_FALSE(field->isBordered());
  EXPECT_EQ(field->frame().origin.y, kH - 36 - 1);
  // A second request while one is open is ignored.
  gui->CreateTextEntry(probe, &style, &area, "other", plug.GetParam(0));
  EXPECT_EQ(view->textField(), field);

  field->setStringValue("");
  EXPECT_FALSE(field->insertText("a"));
  for (const char* c : {"-", "1", "2", ".", "5"})
    EXPECT_TRUE(field->insertText(c)) << c;
  EXPECT_TRUE(field->insertText("0"));
  EXPECT_TRUE(field->insertText("0"));
  EXPECT_FALSE(field->insertText("0")); // seven characters at most
  field->endEditing();
  EXPECT_EQ(view->textField(), nullptr);
  EXPECT_EQ(window->firstResponder(), view);
  EXPECT_NEAR(plug.GetParam(0)->Value(), -10.0, 1e-9); // -12.500 clamped to the minimum
}

TEST_F(MacView, TextEntryForAnIntegerRefusesThePoint)
{
  IText style;
  IRECT area(20, 20, 80, 36);
  gui->CreateTextEntry(probe, &style, &area, "", plug.GetParam(2));
  NSTextField* field = view->textField();
  ASSERT_NE(field, nullptr);
  EXPECT_TRUE(field->insertText("4"));
  EXPECT_FALSE(field->insertText("."));
  field->endEditing();
  EXPECT_DOUBLE_EQ(probe->GetValue(), 0.9); // 4 within -5 ... 5
}

TEST_F(MacView, TheWheelEndsAnOpenTextEntry)
{
  IText style;
  IRECT area(20, 20, 80, 36);
  gui->CreateTextEntry(probe, &style, &area, "1", plug.GetParam(0));
  ASSERT_NE(view->textField(), nullptr);
  headless::scrollWheel(window, At(40, 40), 1.0f);
  EXPECT_EQ(view->textField(), nullptr);
  EXPECT_EQ(plug.GetParam(0)->Value(), 50.0); // ended, not confirmed
}

TEST_F(MacView, PopupMenusSkipSubmenusAndNumberTheirItems)
{
  IPopupMenu sub;
  IPopupMenu menu;
  menu.AddItem("first");
  menu.AddItem("holder")->SetSubmenu(&sub);
  menu.AddItem("third", -1, IPopupMenuItem::kChecked);
  menu.AddSeparator();
  menu.AddItem("off", -1, IPopupMenuItem::kDisabled);
  menu.SetPrefix(2);
  backend().scriptMenuChoiceTitled("03: third");
  IRECT area(20, 30, 60, 46);
  headless::mouseDown(window, At(30, 35)); // the menu takes the capture away
  EXPECT_EQ(gui->CreateIPopupMenu(&menu, &area), &menu);
  EXPECT_EQ(menu.GetChosenItemIdx(), 1);
  EXPECT_EQ(gui->GetMouseCapture(), -1);
  ASSERT_EQ(backend().shownMenus().size(), 1u);
  const HeadlessBackend::ShownMenu& shown = backend().shownMenus()[0];
  EXPECT_EQ(shown.title, "IPlug Popup Menu");
  EXPECT_EQ(shown.items, (std::vector<std::string>{"01: first", "03: third", "-", "05: off"}));
  EXPECT_EQ(shown.location.x, 20);
  EXPECT_EQ(shown.location.y, kH - 46 - 1 - 5);

  backend().scriptMenuChoice(-1);
  EXPECT_EQ(gui->CreateIPopupMenu(&menu, &area), nullptr);
}

TEST_F(MacView, FilePanelsStartOnTheDesktopAndReportTheChoice)
{
  WDL_String file("song.fxp"), dir("");
  backend().scriptFilePanel("/home/me/sounds/new.fxp");
  gui->PromptForFile(&file, kFileSave, &dir, const_cast<char*>("fxp fxb"));
  EXPECT_STREQ(file.Get(), "/home/me/sounds/new.fxp");
  EXPECT_STREQ(dir.Get(), "/home/me/sounds/");
  ASSERT_EQ(backend().shownPanels().size(), 1u);
  const HeadlessBackend::ShownPanel& panel = backend().shownPanels()[0];
  EXPECT_FALSE(panel.open);
  EXPECT_EQ(panel.directory, "~/Desktop");
  EXPECT_EQ(panel.file, "song.fxp");
  EXPECT_EQ(panel.types, (std::vector<std::string>{"fxp", "fxb"}));

  WDL_String dir2("/data");
  backend().scriptFilePanel(""); // cancelled
  gui->PromptForFile(&file, kFileOpen, &dir2, nullptr);
  EXPECT_STREQ(file.Get(), "");
  EXPECT_STREQ(dir2.Get(), "/data");
  EXPECT_TRUE(backend().shownPanels()[1].open);
}

TEST_F(MacView, URLsOpenAsWebOrFileAddresses)
{
  EXPECT_TRUE(gui->OpenURL("http://example.org/manual"));
  EXPECT_TRUE(gui->OpenURL("/usr/share/doc/readme.txt"));
  EXPECT_EQ(backend().openedURLs(), (std::vector<std::string>{"http://example.org/manual",
                                                              "file:///usr/share/doc/readme.txt"}));
  EXPECT_FALSE(gui->OpenURL(nullptr));
}
