// A private X server for tests that need a screen: Xvfb on a display number
// it picks itself, started by the test and stopped with it, and the X tools
// (xdotool, xwd) run against it without a shell.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

class XvfbServer
{
public:
  XvfbServer(int width = 1024, int height = 768)
  {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    std::vector<std::string> args = {"Xvfb", "-displayfd", fd, "-screen", "0", screen,
                                     "-nolisten", "tcp", "-noreset"};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& a : args)
      argv.push_back(&a[0]);
    argv.push_back(nullptr);
    const bool spawned =
        posix_spawnp(&mPid, "Xvfb", &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (!spawned)
    {
      close(fds[0]);
      mPid = 0;
      return;
    }
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
      number += c;
    close(fds[0]);
    if (number.empty()) return;
    mName = ":" + number;
    setenv("DISPLAY", mName.c_str(), 1);
  }

  ~XvfbServer()
  {
    if (mPid > 0)
    {
      kill(mPid, SIGTERM);
      waitpid(mPid, nullptr, 0);
    }
  }

  bool ok() const { return !mName.empty(); }
  const std::string& name() const { return mName; }

private:
  pid_t mPid = 0;
  std::string mName;
};

// Runs a program with its arguments and waits for it; its exit status, or
// -1 when it could not be started.
inline int RunProgram(std::vector<std::string> args)
{
  std::vector<char*> argv;
  for (std::string& a : args)
    argv.push_back(&a[0]);
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Starts a program without waiting (for input sent while a modal loop runs);
// reap it with WaitProgram.
inline pid_t StartProgram(std::vector<std::string> args)
{
  std::vector<char*> argv;
  for (std::string& a : args)
    argv.push_back(&a[0]);
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

inline int WaitProgram(pid_t pid)
{
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The window's pixels as our pixel words (A | R << 8 | G << 16 | B << 24,
// A = 255), rows top first; empty when the window cannot be read.
inline std::vector<uint32_t> GrabWindow(Display* dpy, Window id, int* w, int* h)
{
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, id, &a)) return {};
  XImage* image = XGetImage(dpy, id, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
  if (!image) return {};
  std::vector<uint32_t> out(size_t(a.width) * size_t(a.height));
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
    {
      const unsigned long p = XGetPixel(image, x, y);
      const uint32_t r = uint32_t((p & a.visual->red_mask) >> 16),
                     g = uint32_t((p & a.visual->green_mask) >> 8),
                     b = uint32_t(p & a.visual->blue_mask);
      out[size_t(y) * size_t(a.width) + size_t(x)] = 0xff | r << 8 | g << 16 | b << 24;
    }
  XDestroyImage(image);
  *w = a.width;
  *h = a.height;
  return out;
}

// xdotool arguments that wait until a window of exactly this name is shown
// (a menu or panel that is being opened), then a moment more for it to take
// the keyboard; the commands to run then follow.
inline std::vector<std::string> XdotoolWhenShown(const std::string& name,
                                                 std::vector<std::string> then)
{
  std::vector<std::string> args = {"xdotool", "search", "--sync", "--onlyvisible", "--name",
                                   "^" + name + "$", "sleep", "0.2"};
  args.insert(args.end(), then.begin(), then.end());
  return args;
}

// xdotool arguments that press the left button at (x, y) in the window and
// drag up by the given pixels in steps of 4, then let go.
inline std::vector<std::string> XdotoolDragUp(unsigned long window, int x, int y, int pixels)
{
  std::vector<std::string> args = {
      "xdotool",         "mousemove",       "--window",  std::to_string(window),
      std::to_string(x), std::to_string(y), "mousedown", "1"};
  for (int step = 4; step <= pixels; step += 4)
    for (const char* a : {"mousemove_relative", "--", "0", "-4", "sleep", "0.02"})
      args.push_back(a);
  args.push_back("mouseup");
  args.push_back("1");
  return args;
}
