// A view that records what the window system asks of it, and a fixture that
// starts each test with a clean headless backend.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window/Window.h"
#include "platform/window/backends/headless/HeadlessBackend.h"

class RecordingView : public NSView
{
public:
  explicit RecordingView(NSRect frame, bool acceptsFirst = true)
      : NSView(frame), mAcceptsFirst(acceptsFirst)
  {
  }
  struct Seen
  {
    NSEventType type;
    NSPoint at; // view coordinates
    int clicks;
    uint32_t flags;
    std::string chars;
  };
  std::vector<Seen> seen;
  std::vector<NSRect> drawn;
  int windowMoves = 0;
  bool handleKeys = true;

  void drawRect(NSRect dirty) override { drawn.push_back(dirty); }
  bool acceptsFirstResponder() const override { return mAcceptsFirst; }
  void viewDidMoveToWindow() override { ++windowMoves; }
  void mouseDown(NSEvent* e) override { record(e); }
  void mouseUp(NSEvent* e) override { record(e); }
  void mouseDragged(NSEvent* e) override { record(e); }
  void rightMouseDown(NSEvent* e) override { record(e); }
  void rightMouseUp(NSEvent* e) override { record(e); }
  void mouseMoved(NSEvent* e) override { record(e); }
  void scrollWheel(NSEvent* e) override { record(e); }
  void keyDown(NSEvent* e) override
  {
    if (handleKeys)
      record(e);
    else
      NSView::keyDown(e);
  }

private:
  void record(NSEvent* e)
  {
    seen.push_back(Seen{e->type, convertPointFromView(e->locationInWindow, nullptr), e->clickCount,
                        e->modifierFlags, e->characters});
  }
  bool mAcceptsFirst;
};

class WindowTest : public ::testing::Test
{
protected:
  void SetUp() override { backend().reset(); }
  static HeadlessBackend& backend() { return HeadlessBackend::instance(); }
  // Lets the clock run past any double-click interval.
  static void pause() { backend().advanceClockTo(backend().now() + 1.0); }
};
