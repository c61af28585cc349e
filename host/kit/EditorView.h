#pragma once

// A unit's editor as a host shows it: the unit's Cocoa view property names a
// bundle and a factory class, the class is found in the bundle's module
// through the window system's class registry, the factory gives a view, and
// the view goes into a window of its size. The window system's run loop
// (headless: a clock this object advances) drives the view's timer and
// repaint; mouse events go to the window in editor coordinates; the view's
// pixels are what the window shows.
//
// Threads: the main thread, like the window system.

#include <AudioUnit/AudioUnit.h>

#include <cstdint>
#include <string>

class AUCocoaUIBase;
class NSView;
class NSWindow;

class EditorView
{
public:
  EditorView() = default;
  ~EditorView() { Close(); }
  EditorView(const EditorView&) = delete;
  EditorView& operator=(const EditorView&) = delete;

  // False with a message when the unit offers no view or a step fails.
  bool Open(AudioUnit unit, std::string& error);
  // The title of the window Open makes.
  void SetTitle(const std::string& title) { mTitle = title; }
  NSWindow* Window() const { return mWindow; }
  // Closes the window and lets go of the view and the factory; the unit's
  // editor stays. Call before the unit closes.
  void Close();

  bool IsOpen() const { return mView != nullptr; }
  NSView* View() const { return mView; }
  const std::string& FactoryClassName() const { return mClassName; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }

  // Runs the window system for that long: the view's timer fires at its rate
  // and the window repaints what it asks for.
  void Run(double seconds);
  // Runs the window system until the window has drawn once (the view's next
  // timer tick, when something is dirty); false when nothing was drawn within
  // maxSeconds.
  bool RunUntilDrawn(double maxSeconds);

  // Mouse events at editor pixel (x, y) (top-left origin). modifiers is the
  // window system's flag word.
  void MouseDown(int x, int y, uint32_t modifiers = 0, bool right = false);
  void MouseDrag(int x, int y, uint32_t modifiers = 0, bool right = false);
  void MouseUp(int x, int y, uint32_t modifiers = 0, bool right = false);

  // The view's pixel at (x, y), top-left origin: A | R << 8 | G << 16 | B << 24.
  uint32_t Pixel(int x, int y) const;
  const uint32_t* Pixels() const;

private:
  bool Fail(const std::string& why, std::string& error);

  AUCocoaUIBase* mFactory = nullptr;
  NSView* mView = nullptr;
  NSWindow* mWindow = nullptr;
  std::string mClassName;
  std::string mTitle = "Tolvane Delay";
  int mWidth = 0, mHeight = 0;
};
