// The X11 window backend: windows of the window system become X11 windows
// (top-level windows of their size, children of another program's window
// given by its id, or children of their parent window), their views' pixels
// reach the screen through shared-memory images when the server offers them
// and plain images otherwise, input events arrive in the window system's
// conventions, and popup menus, text fields and file panels are drawn here
// with our raster layer and fonts. The run loop's clock is the real one.
//
// Install it with SetWindowBackend(backend) after Open and uninstall it
// (SetWindowBackend(nullptr)) before destroying it.
//
// Threads: the main thread only, like the window system.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/Event.h"
#include "platform/window/WindowBackend.h"

class X11Backend : public WindowBackend
{
public:
  // Connects to the display (null: $DISPLAY); null with a reason when there
  // is none.
  static std::unique_ptr<X11Backend> Open(const char* displayName, std::string* error);
  ~X11Backend() override;
  X11Backend(const X11Backend&) = delete;
  X11Backend& operator=(const X11Backend&) = delete;

  // ---- WindowBackend ----------------------------------------------------------
  double now() override;
  bool clockIsManual() const override { return false; }
  void advanceClockTo(double) override {}
  void windowOrderedFront(NSWindow* window) override;
  void windowClosed(NSWindow* window) override;
  void windowDisplayed(NSWindow* window) override;
  int popUpMenu(NSMenu* menu, NSPoint locationInWindow, NSWindow* window) override;
  bool runFilePanel(NSSavePanel* panel, std::string* path) override;
  void textFieldBeganEditing(NSTextField* field) override;
  bool openURL(const std::string& url) override;
  void unhandledKey(const NSEvent& event) override;

  // ---- The run loop -----------------------------------------------------------
  // Handles the events that have arrived, then runs one pass of the run loop
  // (due timers, drawing). Waits up to maxWait seconds for an event or the
  // next timer first.
  void RunOnce(double maxWait);
  // Runs until done() answers true (asked after every pass) or the time is
  // up (seconds; negative: no limit).
  void RunUntil(const std::function<bool()>& done, double seconds = -1);

  // The X11 window showing a window of the window system; 0 when none.
  unsigned long NativeWindowOf(NSWindow* window) const;
  // Whether the user asked the window manager to close the window.
  bool CloseRequested(NSWindow* window) const;
  // Keys nobody took in a window of our own (a window inside another
  // program's window sends them on to that window instead).
  void SetUnhandledKeyHandler(std::function<void(const NSEvent&)> handler);
  // Whether pixels go through shared memory.
  bool UsesSharedMemory() const;
  // The opener OpenURL starts (default "xdg-open"); the URL is its argument.
  void SetOpener(const std::string& program) { mOpener = program; }

  struct Impl;

private:
  explicit X11Backend(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> mImpl;
  std::function<void(const NSEvent&)> mUnhandledKey;
  std::string mOpener = "xdg-open";
};

// Starts program with the single argument arg, without a shell, and does not
// wait for it; false when it cannot be started.
bool SpawnDetached(const std::string& program, const std::string& arg);
