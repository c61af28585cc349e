// The window binding on a real screen (a private X server): a test plug-in
// whose controls allow prompting is asked for values through a drawn popup
// menu and a text field, and for a file through the file panel, all driven
// by xdotool as a user would.

// Google Test comes before the X11 headers, whose macros clash with its names.
#include <gtest/gtest.h>

#include "IPlug/IGraphicsCocoa.h"
#include "IPlug/IGraphicsMac.h"
#include "tests/IPlug/editor/EditorTestSupport.h"
#include "tests/support/XvfbServer.h"

#include "platform/window/Window.h"
#include "platform/window/backends/x11/X11Backend.h"


#include <fstream>

namespace
{
constexpr int kW = 240, kH = 120;
const char* const kMenuTitle = "IPlug Popup Menu";

class Plain : public IControl
{
public:
  using IControl::IControl;
  bool Draw(IGraphics*) override { return true; }
};

// Chains another xdotool command line onto args.
void Then(std::vector<std::string>& args, const std::vector<std::string>& more)
{
  args.insert(args.end(), more.begin() + 1, more.end());
}

class MacX11 : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(server.ok()) << "Xvfb could not be started";
    std::string error;
    backend = X11Backend::Open(nullptr, &error);
    ASSERT_TRUE(backend) << error;
    SetWindowBackend(backend.get());
    plug.InitDoubles({50.0});
    plug.GetParam(1)->InitEnum("mode", 0, 3);
    for (int i = 0; i < 3; ++i)
      plug.GetParam(1)->SetDisplayText(i, std::string(1, char('A' + i)).c_str());
    gui = new IGraphicsMac(&plug, kW, kH, 25);
    gui->AttachPanelBackground(&COLOR_GRAY);
    for (int i = 0; i < 2; ++i)
    {
      IControl* c = new Plain(&plug, IRECT(20 + 110 * i, 20, 100 + 110 * i, 60), i);
      c->SetPromptEnabled(true);
      gui->AttachControl(c);
    }
    plug.AttachGraphics(gui);
    view = static_cast<NSView*>(gui->OpenWindow(nullptr));
    window = new NSWindow(NSMakeRect(0, 0, kW, kH));
    window->setReleasedWhenClosed(false);
    window->setTitle("prompt test");
    window->setContentView(view);
    window->makeKeyAndOrderFront();
    Run(0.3);
    id = std::to_string(backend->NativeWindowOf(window));
  }
  void TearDown() override
  {
    if (window)
    {
      window->close();
      window->release();
      view->release();
    }
    SetWindowBackend(nullptr);
    backend.reset();
  }
  void Run(double seconds)
  {
    backend->RunUntil([] { return false; }, seconds);
  }
  // Runs until done() or a few seconds have passed, while xdotool works.
  void RunWhile(pid_t tool, const std::function<bool()>& done)
  {
    backend->RunUntil(done, 6.0);
    WaitProgram(tool);
  }
  // A right click on the double parameter's control; runs until its text field is open.
  void OpenField(IGraphicsCocoa_vTolvaneDelay_au* cocoa)
  {
    ASSERT_EQ(RunProgram(RightClick(60, 40)), 0);
    backend->RunUntil([&] { return cocoa->textField() != nullptr; }, 6.0);
    ASSERT_NE(cocoa->textField(), nullptr);
  }
  // xdotool arguments that right-click editor pixel (x, y) (window pixel x + 2, y + 3).
  std::vector<std::string> RightClick(int x, int y)
  {
    return {"xdotool", "mousemove", "--window", id, std::to_string(x + 2), std::to_string(y + 3),
            "click", "3"};
  }

  XvfbServer server;
  std::unique_ptr<X11Backend> backend;
  GesturePlug plug{2};
  IGraphicsMac* gui = nullptr;
  NSView* view = nullptr;
  NSWindow* window = nullptr;
  std::string id;
};
} // namespace

TEST_F(MacX11, ARightClickOffersTheNamedValuesInAMenu)
{
  std::vector<std::string> args = RightClick(170, 40);
  Then(args, XdotoolWhenShown(kMenuTitle, {"key", "Down", "Down", "Down", "Return"}));
  RunWhile(StartProgram(args), [&] { return plug.GetParam(1)->Int() == 2; });
  EXPECT_EQ(plug.GetParam(1)->Int(), 2);
  // Dismissed with Escape: nothing changes.
  args = RightClick(170, 40);
  Then(args, XdotoolWhenShown(kMenuTitle, {"key", "Escape"}));
  bool toolDone = false;
  const pid_t tool = StartProgram(args);
  backend->RunUntil([&] { return toolDone = waitpid(tool, nullptr, WNOHANG) == tool; }, 6.0);
  if (!toolDone) WaitProgram(tool);
  EXPECT_EQ(plug.GetParam(1)->Int(), 2);
}

TEST_F(MacX11, ARightClickOpensATextFieldThatTakesTheTypedValue)
{
  auto* cocoa = static_cast<IGraphicsCocoa_vTolvaneDelay_au*>(view);
  OpenField(cocoa);
  RunWhile(StartProgram({"xdotool", "key", "--delay", "30", "End", "BackSpace", "BackSpace",
                         "BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace", "x", "4",
                         "2", "Return"}),
           [&] { return plug.GetParam(0)->Value() != 50.0; });
  // The letter was refused by the field; the digits made the value.
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 42.0);
  EXPECT_EQ(cocoa->textField(), nullptr);

  // Escape drops what was typed.
  OpenField(cocoa);
  RunWhile(StartProgram({"xdotool", "key", "--delay", "30", "9", "Escape"}),
           [&] { return cocoa->textField() == nullptr; });
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 42.0);
  EXPECT_EQ(cocoa->textField(), nullptr);
}

TEST_F(MacX11, TheFilePanelNamesAFileToSave)
{
  char folder[] = "/tmp/tolvane-mac-x11-XXXXXX";
  ASSERT_TRUE(mkdtemp(folder));
  WDL_String file("Program"), dir(folder);
  const pid_t typist = StartProgram(XdotoolWhenShown(
      "Save", {"key", "--delay", "30", "BackSpace", "BackSpace", "BackSpace", "BackSpace",
               "BackSpace", "BackSpace", "BackSpace", "type", "--delay", "30", "bank\n"}));
  gui->PromptForFile(&file, kFileSave, &dir, const_cast<char*>("fxb"));
  WaitProgram(typist);
  EXPECT_EQ(std::string(file.Get()), std::string(folder) + "/bank.fxb");
  EXPECT_EQ(std::string(dir.Get()), std::string(folder) + "/");

  // Open: a file of the folder chosen from the list with the keyboard.
  std::ofstream(std::string(folder) + "/one.fxb") << "x";
  file.Set("");
  const pid_t chooser =
      StartProgram(XdotoolWhenShown("Open", {"key", "--delay", "50", "Down", "Down", "Return"}));
  gui->PromptForFile(&file, kFileOpen, &dir, const_cast<char*>("fxb"));
  WaitProgram(chooser);
  EXPECT_EQ(std::string(file.Get()), std::string(folder) + "/one.fxb");
  RunProgram({"rm", "-rf", folder});
}
