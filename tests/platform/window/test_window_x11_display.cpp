// The X11 backend on a private X server: windows show their views' pixels,
// real input reaches the views in the window system's conventions, menus,
// fields and file panels answer the keyboard, windows sit inside another
// program's window, and URLs open through a program run without a shell.

// Google Test comes before the X11 headers, whose macros clash with its names.
#include <gtest/gtest.h>

#include <X11/Xutil.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/window/FilePanel.h"
#include "platform/window/GraphicsContext.h"
#include "platform/window/Menu.h"
#include "platform/window/TextField.h"
#include "platform/window/Timer.h"
#include "platform/window/Window.h"
#include "platform/window/backends/x11/X11Backend.h"
#include "tests/platform/window/WindowTestSupport.h"
#include "tests/support/XvfbServer.h"

namespace
{
// Fills itself with a colour per quarter, so placement errors show.
class QuarterView : public RecordingView
{
public:
  explicit QuarterView(NSRect frame) : RecordingView(frame) {}
  void drawRect(NSRect dirty) override
  {
    RecordingView::drawRect(dirty);
    const int w = pixelWidth(), h = pixelHeight();
    std::vector<uint32_t> image(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        image[size_t(y) * size_t(w) + size_t(x)] = colourAt(x, y, w, h);
    NSGraphicsContext::currentContext()->drawImage(image.data(), w, h, w, bounds());
  }
  static uint32_t colourAt(int x, int y, int w, int h)
  {
    const bool right = x >= w / 2, bottom = y >= h / 2;
    const uint32_t red = 0xff | 0xffu << 8, green = 0xff | 0xffu << 16, blue = 0xff | 0xffu << 24;
    return bottom ? (right ? 0xffffffffu : blue) : (right ? green : red);
  }
  bool isOpaque() const override { return true; }
};

class X11Display : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(server.ok()) << "Xvfb could not be started";
    std::string error;
    backend = X11Backend::Open(nullptr, &error);
    ASSERT_TRUE(backend) << error;
    SetWindowBackend(backend.get());
    dpy = XOpenDisplay(nullptr);
    ASSERT_TRUE(dpy);
  }
  void TearDown() override
  {
    if (window)
    {
      window->close();
      window->release();
    }
    if (view) view->release();
    if (dpy) XCloseDisplay(dpy);
    SetWindowBackend(nullptr);
    backend.reset();
  }

  void open(int w = 200, int h = 120)
  {
    window = new NSWindow(NSMakeRect(0, 0, w, h));
    window->setReleasedWhenClosed(false);
    window->setTitle("x11 test");
    view = new QuarterView(NSMakeRect(0, 0, w, h));
    window->setContentView(view);
    window->makeFirstResponder(view);
    window->setAcceptsMouseMovedEvents(true);
    window->makeKeyAndOrderFront();
    settle();
  }
  // Lets the server and the backend catch up.
  void settle(double seconds = 0.3)
  {
    XSync(dpy, False);
    backend->RunUntil([] { return false; }, seconds);
  }
  std::string id() const { return std::to_string(backend->NativeWindowOf(window)); }
  void xdotool(std::vector<std::string> args)
  {
    args.insert(args.begin(), "xdotool");
    ASSERT_EQ(0, RunProgram(args));
    settle();
  }

  XvfbServer server;
  std::unique_ptr<X11Backend> backend;
  Display* dpy = nullptr;
  NSWindow* window = nullptr;
  QuarterView* view = nullptr;
};
} // namespace

TEST_F(X11Display, WindowShowsTheViewsPixels)
{
  open(200, 120);
  const Window id = Window(backend->NativeWindowOf(window));
  ASSERT_NE(0u, id);
  EXPECT_TRUE(backend->UsesSharedMemory()); // the server offers it
  int w = 0, h = 0;
  const std::vector<uint32_t> shot = GrabWindow(dpy, id, &w, &h);
  ASSERT_EQ(200, w);
  ASSERT_EQ(120, h);
  for (int y : {0, 59, 60, 119})
    for (int x : {0, 99, 100, 199})
      EXPECT_EQ(QuarterView::colourAt(x, y, w, h), shot[size_t(y) * size_t(w) + size_t(x)])
          << x << "," << y;
  XTextProperty name;
  ASSERT_TRUE(XGetWMName(dpy, id, &name));
  EXPECT_STREQ("x11 test", reinterpret_cast<char*>(name.value));
  XFree(name.value);
}

TEST_F(X11Display, PlainImagesWhenSharedMemoryIsRefused)
{
  setenv("TOLVANE_X11_NO_SHM", "1", 1);
  SetWindowBackend(nullptr);
  std::string error;
  backend = X11Backend::Open(nullptr, &error);
  unsetenv("TOLVANE_X11_NO_SHM");
  SetWindowBackend(backend.get());
  open(64, 32);
  EXPECT_FALSE(backend->UsesSharedMemory());
  int w = 0, h = 0;
  const std::vector<uint32_t> shot = GrabWindow(dpy, Window(backend->NativeWindowOf(window)), &w, &h);
  ASSERT_EQ(size_t(64 * 32), shot.size());
  EXPECT_EQ(QuarterView::colourAt(63, 31, 64, 32), shot.back());
}

TEST_F(X11Display, PointerInputArrivesFlippedWithClickCounts)
{
  open(200, 120);
  xdotool({"mousemove", "--window", id(), "30", "20", "click", "--repeat", "2", "--delay", "50",
           "1"});
  ASSERT_GE(view->seen.size(), 4u);
  std::vector<RecordingView::Seen> presses;
  for (const auto& s : view->seen)
    if (s.type == NSLeftMouseDown) presses.push_back(s);
  ASSERT_EQ(2u, presses.size());
  EXPECT_FLOAT_EQ(30.f, presses[0].at.x);
  EXPECT_FLOAT_EQ(100.f, presses[0].at.y);
  EXPECT_EQ(1, presses[0].clicks);
  EXPECT_EQ(2, presses[1].clicks);
  view->seen.clear();
  xdotool({"mousemove", "--window", id(), "50", "50", "click", "3", "click", "4"});
  bool right = false, wheel = false;
  for (const auto& s : view->seen)
  {
    right = right || s.type == NSRightMouseDown;
    wheel = wheel || s.type == NSScrollWheel;
  }
  EXPECT_TRUE(right);
  EXPECT_TRUE(wheel);
}

TEST_F(X11Display, KeysReachTheFirstResponderAndUnhandledOnesTheHost)
{
  open();
  std::vector<NSEvent> unhandled;
  backend->SetUnhandledKeyHandler([&](const NSEvent& e) { unhandled.push_back(e); });
  xdotool({"mousemove", "--window", id(), "10", "10", "click", "1"});
  xdotool({"key", "--window", id(), "a", "space", "Up"});
  std::vector<std::string> typed;
  for (const auto& s : view->seen)
    if (s.type == NSKeyDown) typed.push_back(s.chars);
  EXPECT_EQ((std::vector<std::string>{"a", " ", "\xef\x9c\x80"}), typed);
  view->handleKeys = false;
  xdotool({"key", "--window", id(), "Tab"});
  ASSERT_EQ(1u, unhandled.size());
  EXPECT_EQ(kVK_Tab, unhandled[0].keyCode);
}

TEST_F(X11Display, MenusAnswerTheKeyboard)
{
  open();
  NSMenu* menu = new NSMenu("test menu");
  int chosen = -1;
  const char* titles[] = {"One", "", "Two", "Three"};
  for (int i = 0; i < 4; ++i)
  {
    NSMenuItem* item = i == 1 ? NSMenuItem::separatorItem()
                              : new NSMenuItem(titles[i], [&, i](NSMenuItem*) { chosen = i; }, "");
    if (i == 2) item->setEnabled(false);
    menu->addItem(item);
    item->release();
  }
  NSEvent event;
  event.locationInWindow = NSMakePoint(20, 100);
  const pid_t typist = StartProgram(XdotoolWhenShown("test menu", {"key", "Down", "Down", "Return"}));
  NSMenu::popUpContextMenu(menu, &event, view);
  WaitProgram(typist);
  EXPECT_EQ(3, chosen); // the separator and the disabled item are skipped

  chosen = -1;
  const pid_t dismisser = StartProgram(XdotoolWhenShown("test menu", {"key", "Escape"}));
  NSMenu::popUpContextMenu(menu, &event, view);
  WaitProgram(dismisser);
  EXPECT_EQ(-1, chosen);
  menu->release();
}

TEST_F(X11Display, MenusAnswerThePointer)
{
  open();
  NSMenu* menu = new NSMenu("pointer menu");
  int chosen = -1;
  for (int i = 0; i < 3; ++i)
  {
    NSMenuItem* item =
        new NSMenuItem("Item " + std::to_string(i), [&, i](NSMenuItem*) { chosen = i; }, "");
    menu->addItem(item);
    item->release();
  }
  NSEvent event;
  event.locationInWindow = NSMakePoint(20, 100); // 20 pixels below the window's top
  const Window id = Window(backend->NativeWindowOf(window));
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(dpy, id, DefaultRootWindow(dpy), 20, 20, &rx, &ry, &child);
  // The second row's middle.
  const std::string x = std::to_string(rx + 30), y = std::to_string(ry + 1 + 20 + 10);
  const pid_t clicker = StartProgram(
      XdotoolWhenShown("pointer menu", {"mousemove", x, y, "sleep", "0.1", "click", "1"}));
  NSMenu::popUpContextMenu(menu, &event, view);
  WaitProgram(clicker);
  EXPECT_EQ(1, chosen);
  menu->release();
}

namespace
{
class FieldDelegate : public NSTextFieldDelegate
{
public:
  std::string ended;
  bool cancelled = false;
  void controlTextDidEndEditing(NSTextField* f) override { ended = f->stringValue(); }
  void controlTextDidCancelEditing(NSTextField*) override { cancelled = true; }
};
} // namespace

TEST_F(X11Display, TextFieldsTakeTypingOverTheView)
{
  open();
  NSTextField* field = new NSTextField(NSMakeRect(20, 40, 80, 20));
  FieldDelegate delegate;
  field->setDelegate(&delegate);
  field->setStringValue("12");
  field->setTextColor(NSColor{0, 0, 0, 1});
  view->addSubview(field);
  window->makeFirstResponder(field);
  settle();
  // The field is drawn over the view: its inside is white.
  int w = 0, h = 0;
  std::vector<uint32_t> shot = GrabWindow(dpy, Window(backend->NativeWindowOf(window)), &w, &h);
  EXPECT_EQ(0xffffffffu, shot[size_t(120 - 60 + 17) * size_t(w) + 95]);
  xdotool({"key", "--window", id(), "BackSpace", "3", "Left", "7", "Return"});
  EXPECT_EQ("173", delegate.ended);
  xdotool({"key", "--window", id(), "Escape"});
  EXPECT_TRUE(delegate.cancelled);
  field->removeFromSuperview();
  field->release();
}

TEST_F(X11Display, FilePanelsTakeATypedPath)
{
  open();
  char folder[] = "/tmp/tolvane-x11-panel-XXXXXX";
  ASSERT_TRUE(mkdtemp(folder));
  std::ofstream(std::string(folder) + "/there.fxp") << "x";
  NSOpenPanel* open = NSOpenPanel::openPanel();
  open->setAllowedFileTypes({"fxp"});
  const pid_t typist = StartProgram(
      XdotoolWhenShown("Open", {"type", "--delay", "20", "there.fxp\n"}));
  EXPECT_EQ(NSOKButton, open->runModalForDirectory(folder, ""));
  WaitProgram(typist);
  EXPECT_EQ(std::string(folder) + "/there.fxp", open->filename());
  open->release();

  NSSavePanel* save = NSSavePanel::savePanel();
  const pid_t cancel = StartProgram(XdotoolWhenShown("Save", {"key", "Escape"}));
  EXPECT_EQ(NSCancelButton, save->runModalForDirectory(folder, "new"));
  WaitProgram(cancel);
  EXPECT_EQ("", save->filename());
  save->release();
  RunProgram({"rm", "-rf", folder});
}

TEST_F(X11Display, WindowsSitInsideAnotherProgramsWindow)
{
  // The other program's window, made on our own connection.
  const Window host = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 300, 200, 0, 0, 0);
  XSelectInput(dpy, host, KeyPressMask);
  XMapWindow(dpy, host);
  XSync(dpy, False);
  window = new NSWindow(NSMakeRect(0, 0, 100, 80), NSBorderlessWindowMask);
  window->setReleasedWhenClosed(false);
  window->setNativeParent(host);
  view = new QuarterView(NSMakeRect(0, 0, 100, 80));
  window->setContentView(view);
  window->makeFirstResponder(view);
  window->makeKeyAndOrderFront();
  settle();
  const Window child = Window(backend->NativeWindowOf(window));
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  ASSERT_TRUE(XQueryTree(dpy, child, &root, &parent, &children, &n));
  if (children) XFree(children);
  EXPECT_EQ(host, parent);
  // A key the view does not take goes to the host's window.
  view->handleKeys = false;
  xdotool({"mousemove", "--window", id(), "5", "5", "click", "1"});
  xdotool({"key", "--window", id(), "Tab"});
  XSync(dpy, False);
  bool hostGotKey = false;
  XEvent e;
  while (XCheckWindowEvent(dpy, host, KeyPressMask, &e))
    hostGotKey = true;
  EXPECT_TRUE(hostGotKey);
  window->close();
  window->release();
  window = nullptr;
  XDestroyWindow(dpy, host);
}

TEST_F(X11Display, ClosingFromTheWindowManagerIsReported)
{
  open();
  EXPECT_FALSE(backend->CloseRequested(window));
  XEvent e = {};
  e.xclient.type = ClientMessage;
  e.xclient.window = Window(backend->NativeWindowOf(window));
  e.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  XSendEvent(dpy, e.xclient.window, False, NoEventMask, &e);
  settle();
  EXPECT_TRUE(backend->CloseRequested(window));
}

TEST_F(X11Display, UrlsOpenThroughAProgramWithoutAShell)
{
  char folder[] = "/tmp/tolvane-x11-url-XXXXXX";
  ASSERT_TRUE(mkdtemp(folder));
  // Shell syntax in the argument stays part of the one argument.
  const std::string target = std::string(folder) + "/a b;touch injected";
  backend->SetOpener("touch");
  EXPECT_TRUE(NSWorkspace::sharedWorkspace()->openURL(target));
  for (int i = 0; i < 100 && access(target.c_str(), F_OK) != 0; ++i)
    usleep(10000);
  EXPECT_EQ(0, access(target.c_str(), F_OK));
  EXPECT_NE(0, access("injected", F_OK));
  backend->SetOpener("/no/such/opener");
  EXPECT_FALSE(NSWorkspace::sharedWorkspace()->openURL("http://example.org"));
  RunProgram({"rm", "-rf", folder});
}
