// The seam between the window system's objects and what shows them: a backend
// keeps the clock, learns when windows change, and answers the modal
// questions (menus, file panels). The headless backend (backends/headless)
// is the default; a backend for real windows installs itself in its place.
//
// Threads: main thread only.
#pragma once

#include <string>

#include "platform/window/Geometry.h"

struct NSEvent;
class NSMenu;
class NSSavePanel;
class NSTextField;
class NSWindow;

class WindowBackend
{
public:
  virtual ~WindowBackend() = default;

  // Seconds on the run loop's clock.
  virtual double now() = 0;
  // Whether runForSeconds may move the clock.
  virtual bool clockIsManual() const = 0;
  // Makes the clock read the given time, if later (manual clocks only).
  virtual void advanceClockTo(double time) = 0;

  virtual void windowOrderedFront(NSWindow* window) { (void)window; }
  virtual void windowClosed(NSWindow* window) { (void)window; }
  // The window's views have drawn: their pixels are new.
  virtual void windowDisplayed(NSWindow* window) { (void)window; }

  // The index of the chosen item, or -1 when the menu was dismissed.
  virtual int popUpMenu(NSMenu* menu, NSPoint locationInWindow, NSWindow* window) = 0;
  // True with the chosen path, false when cancelled.
  virtual bool runFilePanel(NSSavePanel* panel, std::string* path) = 0;
  virtual void textFieldBeganEditing(NSTextField* field) { (void)field; }
  virtual bool openURL(const std::string& url) = 0;
  // A key that went through the whole responder chain unhandled.
  virtual void unhandledKey(const NSEvent& event) { (void)event; }
};

// The installed backend (the headless one until another is installed).
WindowBackend* GetWindowBackend();
// Installs a backend (null: the headless one again); the caller keeps it.
void SetWindowBackend(WindowBackend* backend);
