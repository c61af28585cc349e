// The editor's UI in real LV2 hosts: lv2info lists it, and jalv's GTK front
// end on a private X server and a dummy JACK server shows our editor as the
// headless editor draws it; a knob dragged with the mouse reaches the
// plug-in's port, read back from the state jalv saves.

// Google Test comes before the X11 headers, whose macros clash with its names.
#include <gtest/gtest.h>

#include "tests/lv2/LV2Host.h"
#include "tests/support/WindowPictures.h"
#include "tests/support/XvfbServer.h"

#include <fcntl.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace
{
const int kW = 595, kH = 433;

// Runs a shell command line with LV2_PATH at the build's bundles; its output.
std::string Output(const std::string& command)
{
  std::string text;
  FILE* pipe = popen(("LV2_PATH='" + LV2Dir() + "' " + command + " 2>&1").c_str(), "r");
  if (!pipe) return text;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    text.append(buffer.data(), n);
  pclose(pipe);
  return text;
}

// Starts a program with its output going to a file; -1 when it cannot start.
pid_t StartLogged(std::vector<std::string> args, const std::string& log)
{
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::vector<char*> argv;
  for (std::string& a : args)
    argv.push_back(&a[0]);
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void Stop(pid_t& pid)
{
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 40 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
    usleep(50000);
  if (kill(pid, 0) == 0)
  {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  pid = 0;
}

bool Exited(pid_t pid)
{
  return waitpid(pid, nullptr, WNOHANG) == pid;
}

std::string ReadFile(const std::string& path)
{
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The deepest viewable window of the editor's size below from: the UI's own
// window inside the host's.
void FindEditor(Display* dpy, Window from, int depth, Window* best, int* bestDepth)
{
  XWindowAttributes a;
  if (XGetWindowAttributes(dpy, from, &a) && a.map_state == IsViewable && a.width == kW &&
      a.height == kH && depth > *bestDepth)
  {
    *best = from;
    *bestDepth = depth;
  }
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(dpy, from, &root, &parent, &children, &n)) return;
  for (unsigned i = 0; i < n; ++i)
    FindEditor(dpy, children[i], depth + 1, best, bestDepth);
  if (children) XFree(children);
}

// The value jalv's saved state gives the port with this symbol; NaN when none.
float SavedPortValue(const std::string& state, const std::string& symbol)
{
  const size_t at = state.find("lv2:symbol \"" + symbol + "\"");
  const size_t value = at == std::string::npos ? at : state.find("pset:value", at);
  if (value == std::string::npos) return NAN;
  return std::strtof(state.c_str() + value + std::strlen("pset:value"), nullptr);
}

class JalvEditor : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(server.ok()) << "Xvfb could not be started";
    char pattern[] = "/tmp/tolvane-lv2ui-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    dir = pattern;
    dpy = XOpenDisplay(nullptr);
    ASSERT_TRUE(dpy);
    // GTK keeps its settings in the home folder: a private one.
    setenv("HOME", dir.c_str(), 1);
    setenv("LV2_PATH", LV2Dir().c_str(), 1);
    const std::string jackName = "tolvaneui" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", jackName.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
    jackd = StartLogged({"jackd", "-r", "-n", jackName, "-d", "dummy", "-r", "44100", "-p", "512"},
                        Log("jackd"));
    ASSERT_GT(jackd, 0);
  }
  void TearDown() override
  {
    Stop(jalv);
    Stop(jackd);
    if (dpy) XCloseDisplay(dpy);
    if (!dir.empty()) RunProgram({"rm", "-rf", dir});
  }
  std::string Log(const std::string& name) const { return dir + "/" + name + ".log"; }

  // Starts jalv with our plug-in and waits for the editor in its window. jalv
  // gives up until the JACK server is up, so it is started again until then.
  void Start(const std::vector<std::string>& options = {})
  {
    std::vector<std::string> args = {"jalv.gtk3", "-s"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(kLV2URI);
    for (int attempt = 0; attempt < 20 && !editor; ++attempt)
    {
      jalv = StartLogged(args, Log("jalv"));
      ASSERT_GT(jalv, 0);
      for (int i = 0; i < 100 && !editor; ++i)
      {
        usleep(100000);
        if (Exited(jalv))
        {
          jalv = 0;
          break;
        }
        int depth = 0;
        FindEditor(dpy, DefaultRootWindow(dpy), 1, &editor, &depth);
      }
    }
    ASSERT_NE(0u, editor) << "no editor appeared\n" << ReadFile(Log("jalv"));
  }
  // jalv's own window, which holds the menu bar.
  Window HostWindow() const
  {
    Window w = editor, root, parent, *children = nullptr;
    unsigned n = 0;
    while (XQueryTree(dpy, w, &root, &parent, &children, &n) && parent != root)
    {
      if (children) XFree(children);
      children = nullptr;
      w = parent;
    }
    if (children) XFree(children);
    return w;
  }
  // Saves the plug-in's state through jalv's File menu (its first item) into
  // folder; the saved state.ttl's text.
  std::string SaveState(const std::string& folder)
  {
    const std::string host = std::to_string(HostWindow());
    RunProgram({"xdotool", "mousemove", "--window", host, "19", "12", "click", "1", "sleep", "0.5",
                "key", "Down", "sleep", "0.2", "key", "Return"});
    RunProgram({"xdotool", "search", "--sync", "--name", "^Save State$", "windowfocus", "--sync",
                "%1", "sleep", "0.3", "type", "--delay", "10", folder});
    const std::string file = folder + "/state.ttl";
    for (int i = 0; i < 100 && ReadFile(file).empty(); ++i)
    {
      // Return may first close the name field's completions.
      if (i % 20 == 0) RunProgram({"xdotool", "sleep", "0.3", "key", "Return"});
      usleep(100000);
    }
    return ReadFile(file);
  }

  XvfbServer server;
  Display* dpy = nullptr;
  std::string dir;
  pid_t jackd = 0, jalv = 0;
  Window editor = 0;
};
} // namespace

TEST(EditorUI, Lv2infoListsItAsTheX11UIInTheBundle)
{
  const std::string info = Output("lv2info " + std::string(kLV2URI));
  const size_t uis = info.find("UIs:");
  ASSERT_NE(std::string::npos, uis) << info;
  EXPECT_NE(std::string::npos, info.find(std::string(kLV2URI) + "#ui", uis)) << info;
  EXPECT_NE(std::string::npos, info.find("Class:  http://lv2plug.in/ns/extensions/ui#X11UI", uis))
      << info;
  EXPECT_NE(std::string::npos, info.find("TolvaneDelay.lv2/TolvaneDelay_ui.so", uis)) << info;
}

TEST_F(JalvEditor, ShowsTheEditorAndTheMouseReachesThePort)
{
  Start();
  const std::vector<uint32_t> first = SettledPicture(dpy, editor, kW, kH);
  SavePicture(first, kW, kH, LV2_EDITOR_SHOT);
  EXPECT_LE(PixelsBeyond(first, ReadPicture(EDITOR_REFERENCE, kW, kH), kGoldenLevels),
            GoldenPictureBudget(kW, kH));

  // The first tap's wet/dry knob, up by 40 pixels (editor pixel (x, y) is
  // window pixel (x + 2, y + 3)).
  ASSERT_EQ(0, RunProgram(XdotoolDragUp(editor, 143 + 2, 90 + 3, 40)));
  const std::vector<uint32_t> changed = SettledPicture(dpy, editor, kW, kH);
  EXPECT_GT(DifferingPixels(first, changed), 0);

  const std::string state = SaveState(dir + "/saved");
  ASSERT_FALSE(state.empty()) << "no state saved\n" << ReadFile(Log("jalv"));
  const float wetDry = SavedPortValue(state, "wetdry1");
  EXPECT_GT(wetDry, 47.0f) << state;
  EXPECT_LE(wetDry, 100.0f) << state;
  // The ports nobody touched keep the factory values.
  EXPECT_EQ(75.0f, SavedPortValue(state, "feedback1")) << state;
}

TEST_F(JalvEditor, ShowsTheHostsValuesFromTheStart)
{
  // jalv hands the UI every control's value when it opens it.
  Start({"-c", "switch=0", "-c", "_2feedback=60"});
  const std::vector<uint32_t> shown = SettledPicture(dpy, editor, kW, kH);
  const std::string snapshot = dir + "/snapshot.png";
  ASSERT_EQ(0, RunProgram({TOLVANE_PROGRAM, "snapshot", snapshot, "--set", "switch=0", "--set",
                           "2feedback=60"}));
  EXPECT_LE(DifferingPixels(shown, ReadPicture(snapshot, kW, kH)), PictureBudget(kW, kH));
}
