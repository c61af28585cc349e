// The X11 backend's inner state, shared by its units (windows and events,
// popup menus, file panels).
//
// Threads: the main thread only.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>

#include "platform/window/backends/x11/X11Backend.h"
#include "platform/window/backends/x11/X11EventTranslation.h"
#include "platform/window/backends/x11/X11Surface.h"

class NSTextField;

struct X11Backend::Impl
{
  struct Win
  {
    NSWindow* window = nullptr;
    std::unique_ptr<X11Surface> surface;
    ClickCounter clicks;
    bool closeRequested = false;
    bool embedded = false;
  };

  X11Backend* owner = nullptr;
  X11Display display;
  XErrorHandler previousErrorHandler = nullptr;
  Atom wmProtocols = 0, wmDelete = 0;
  std::chrono::steady_clock::time_point start;
  std::map<NSWindow*, std::unique_ptr<Win>> windows;
  // While a menu or panel is open: takes the events it wants (true).
  std::function<bool(XEvent&)> modal;
  XKeyEvent currentKey = {};
  Win* currentKeyWindow = nullptr;

  const Win* find(NSWindow* window) const;
  Win* find(NSWindow* window);
  Win* findNative(Window id);
  Win* create(NSWindow* window);
  // Draws the window's views onto its canvas.
  void compose(Win* w);
  void dispatch(XEvent& event);
  void waitForEvent(double seconds);
  // One turn: wait (up to maxWait or the next timer), events, a run-loop pass.
  void pump(double maxWait);
  // Maps a window of ours and waits until it can take the pointer and keys.
  void mapAndWait(Window id);
};

// A text field as the backend shows it: a framed white box with the text in
// the field's font, colour and alignment, and a caret while editing.
void DrawTextField(LICE_IBitmap* canvas, NSTextField* field, int left, int top, bool editing);
