// `tolvane edit` on a private X server: the window shows what the headless
// editor draws for the same state, the mouse changes parameters, and the
// state is saved when the window closes or the program is interrupted.

// Google Test comes before the X11 headers, whose macros clash with its names.
#include <gtest/gtest.h>

#include "tests/host/HostTestSupport.h"
#include "tests/support/WindowPictures.h"
#include "tests/support/XvfbServer.h"

#include "host/kit/HostedUnit.h"
#include "host/kit/Parameters.h"
#include "host/kit/PresetFile.h"

#include "lice/lice.h"
#include "lice/lice_png.h"

#include <X11/Xutil.h>

#include <cstdlib>
#include <map>
#include <memory>

namespace
{
const int kW = 595, kH = 433;
const char* const kTitle = "Tolvane Delay";

// The window with this name among the root's descendants; 0 when none.
Window FindWindow(Display* dpy, Window from, const std::string& name)
{
  char* found = nullptr;
  if (XFetchName(dpy, from, &found) && found)
  {
    const bool match = name == found;
    XFree(found);
    if (match) return from;
  }
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(dpy, from, &root, &parent, &children, &n)) return 0;
  Window result = 0;
  for (unsigned i = 0; i < n && !result; ++i)
    result = FindWindow(dpy, children[i], name);
  if (children) XFree(children);
  return result;
}

// What `tolvane snapshot` draws for the state in the file (none: the
// factory state): the headless editor's picture of the same state.
std::vector<uint32_t> SnapshotPicture(const TempDir& dir, const std::string& stateFile)
{
  const std::string png = dir.Path("snapshot.png");
  std::vector<std::string> args = {"snapshot", png};
  if (!stateFile.empty())
  {
    args.push_back("--state");
    args.push_back(stateFile);
  }
  const RunResult r = RunTolvane(args);
  EXPECT_EQ(r.status, 0) << r.err;
  return ReadPicture(png, kW, kH);
}

std::map<std::string, float> ParametersIn(const std::string& stateFile)
{
  HostedUnit unit;
  std::string error;
  std::map<std::string, float> values;
  if (!unit.OpenFound("", error) || !LoadPresetFile(unit.Unit(), stateFile, error))
  {
    ADD_FAILURE() << error;
    return values;
  }
  std::vector<ParameterDesc> params;
  ReadParameters(unit.Unit(), params, error);
  for (const ParameterDesc& p : params)
  {
    AudioUnitParameterValue v = -1;
    AudioUnitGetParameter(unit.Unit(), p.id, kAudioUnitScope_Global, 0, &v);
    values[p.name] = v;
  }
  return values;
}

class EditCommand : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(server.ok()) << "Xvfb could not be started";
    dpy = XOpenDisplay(nullptr);
    ASSERT_TRUE(dpy);
  }
  void TearDown() override
  {
    if (pid > 0)
    {
      kill(pid, SIGKILL);
      WaitProgram(pid);
    }
    if (dpy) XCloseDisplay(dpy);
  }

  // Starts the program and waits for its window.
  void Start(std::vector<std::string> args)
  {
    args.insert(args.begin(), {TOLVANE_EXE, "edit"});
    pid = StartProgram(args);
    ASSERT_GT(pid, 0);
    for (int i = 0; i < 200 && !window; ++i)
    {
      usleep(50000);
      window = FindWindow(dpy, DefaultRootWindow(dpy), kTitle);
    }
    ASSERT_NE(window, 0u) << "no window appeared";
  }
  // The window's pixels once they have stopped changing (the program
  // works through the input and its redraws at its own pace).
  std::vector<uint32_t> Shot() { return SettledPicture(dpy, window, kW, kH); }
  // Editor pixel (x, y) is window pixel (x + 2, y + 3) (the view's mouse mapping).
  void Click(int x, int y)
  {
    ASSERT_EQ(0, RunProgram({"xdotool", "mousemove", "--window", std::to_string(window),
                             std::to_string(x + 2), std::to_string(y + 3), "sleep", "0.1", "click",
                             "1", "sleep", "0.6"}));
  }
  void DragUp(int x, int y, int pixels)
  {
    ASSERT_EQ(0, RunProgram(XdotoolDragUp(window, x + 2, y + 3, pixels)));
  }
  int Finish()
  {
    const int status = WaitProgram(pid);
    pid = 0;
    return status;
  }
  void AskToClose()
  {
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    XSendEvent(dpy, window, False, NoEventMask, &e);
    XFlush(dpy);
  }

  XvfbServer server;
  Display* dpy = nullptr;
  pid_t pid = 0;
  Window window = 0;
  TempDir dir;
};
} // namespace

TEST(EditWithoutDisplay, SaysSoAndFails)
{
  TempDir dir;
  const std::string saved = dir.Path("never.aupreset");
  const RunResult r = RunTolvane({"edit", "--save", saved}, ".", {"DISPLAY=:nowhere"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "no display")) << r.err;
  EXPECT_FALSE(FileExists(saved));
}

TEST(EditWithoutDisplay, OptionsAreCheckedBeforeTheDisplay)
{
  const RunResult help = RunTolvane({"edit", "--help"}, ".", {"DISPLAY=:nowhere"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(Contains(help.out, "--save FILE")) << help.out;
  EXPECT_TRUE(Contains(help.out, "--state FILE")) << help.out;
  const RunResult extra = RunTolvane({"edit", "surplus"}, ".", {"DISPLAY=:nowhere"});
  EXPECT_EQ(extra.status, 2);
  EXPECT_TRUE(Contains(extra.err, "surplus")) << extra.err;
  const RunResult both =
      RunTolvane({"edit", "--preset", "x", "--state", "y"}, ".", {"DISPLAY=:nowhere"});
  EXPECT_EQ(both.status, 2);
}

TEST_F(EditCommand, TheMouseChangesTheStateThatIsSavedOnClose)
{
  const std::string saved = dir.Path("after.aupreset");
  Start({"--save", saved});
  const std::vector<uint32_t> first = Shot();
  EXPECT_LE(DifferingPixels(first, SnapshotPicture(dir, "")), PictureBudget(kW, kH));

  DragUp(123 + 20, 70 + 20, 40); // the first tap's wet/dry knob, in the stereo panel
  Click(543 + 8, 83 + 8);        // the engine switch: the loop engine's panel opens
  Click(390 + 8, 402 + 5);       // ping-pong off
  const std::vector<uint32_t> changed = Shot();
  if (const char* shotPath = std::getenv("TOLVANE_WINDOW_SHOT"))
    SavePicture(changed, kW, kH, shotPath);
  AskToClose();
  EXPECT_EQ(Finish(), 0);

  ASSERT_TRUE(FileExists(saved));
  std::map<std::string, float> values = ParametersIn(saved);
  ASSERT_FALSE(values.empty());
  EXPECT_EQ(values["switch"], 0.0f);
  EXPECT_EQ(values["2pong"], 0.0f);
  // The dragged knob moved up from where the factory state has it.
  HostedUnit fresh;
  std::string error;
  ASSERT_TRUE(fresh.OpenFound("", error));
  AudioUnitParameterValue before = 0;
  std::vector<ParameterDesc> params;
  ReadParameters(fresh.Unit(), params, error);
  for (const ParameterDesc& p : params)
    if (p.name == "wetdry1")
      AudioUnitGetParameter(fresh.Unit(), p.id, kAudioUnitScope_Global, 0, &before);
  EXPECT_GT(values["wetdry1"], before);
  // The blockers followed the switch: the window showed what the editor
  // draws for the saved state.
  EXPECT_LE(DifferingPixels(changed, SnapshotPicture(dir, saved)), PictureBudget(kW, kH));
}

TEST_F(EditCommand, AStateFileIsShownAndSavedWhenInterrupted)
{
  const std::string state = dir.Path("state.aupreset");
  {
    // A state with the loop engine chosen.
    HostedUnit unit;
    std::string error;
    ASSERT_TRUE(unit.OpenFound("", error));
    std::vector<ParameterDesc> params;
    ReadParameters(unit.Unit(), params, error);
    for (const ParameterDesc& p : params)
      if (p.name == "switch") unit.SetParameter(p.id, 0.0f);
    CFRef<CFPropertyListRef> plist;
    ASSERT_TRUE(CopyClassInfo(unit.Unit(), plist, error));
    ASSERT_TRUE(WritePresetFile(state, plist.Get(), error));
  }
  const std::string saved = dir.Path("interrupted.aupreset");
  Start({"--state", state, "--save", saved});
  EXPECT_LE(DifferingPixels(Shot(), SnapshotPicture(dir, state)), PictureBudget(kW, kH));
  kill(pid, SIGTERM);
  EXPECT_EQ(Finish(), 0);
  ASSERT_TRUE(FileExists(saved));
  EXPECT_EQ(ParametersIn(saved)["switch"], 0.0f);
}
