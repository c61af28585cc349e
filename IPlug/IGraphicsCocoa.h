#pragma once

// The editor's view: it owns the redraw timer, turns the view's mouse, wheel
// and key events into editor calls, paints the editor's bitmap when the
// window system asks, and hosts the text field and popup menus that controls
// ask for. Once the editor closes it (mGraphics null) it ignores everything.
//
// Threads: the host's main (user-interface) thread only.

#include "IPlug/IGraphicsMac.h"

class IControl;
class IParam;
class IPopupMenu;

class IGraphicsCocoa_vTolvaneDelay_au : public NSView
{
public:
  // initWithIGraphics: a view of the editor's size with a repeating timer at
  // the editor's frame rate.
  explicit IGraphicsCocoa_vTolvaneDelay_au(IGraphicsMac* graphics);
  ~IGraphicsCocoa_vTolvaneDelay_au() override;

  // ---- The window system's calls --------------------------------------------

  void viewDidMoveToWindow() override;
  bool isOpaque() override { return mGraphics != nullptr; }
  bool acceptsFirstResponder() override { return true; }
  bool acceptsFirstMouse(NSEvent*) override { return true; }
  void drawRect(NSRect rect) override;
  void mouseDown(NSEvent* event) override;
  void mouseUp(NSEvent* event) override;
  void mouseDragged(NSEvent* event) override;
  void rightMouseDown(NSEvent* event) override;
  void rightMouseUp(NSEvent* event) override;
  void rightMouseDragged(NSEvent* event) override;
  void mouseMoved(NSEvent* event) override;
  void scrollWheel(NSEvent* event) override;
  void keyDown(NSEvent* event) override;
  void removeFromSuperview() override;

  // ---- The editor's calls ------------------------------------------------------

  void onTimer(NSTimer* timer);
  // Stops and releases the timer.
  void killTimer();
  // The editor is gone: ignore events, ticks and drawing from now on.
  void detachGraphics();
  void createTextEntry(IControl* control, IParam* param, IText* text, const char* str,
                       NSRect areaRect);
  void endUserInput();
  // The text field's end of editing: hands the text to the control or
  // parameter, then closes the field.
  void controlTextDidEndEditing(NSTextField* field);
  // Shows the menu at the area and waits; the menu with its chosen index set,
  // or null when nothing was chosen.
  IPopupMenu* createIPopupMenu(IPopupMenu* menu, NSRect areaRect);

  IGraphicsMac* graphics() const { return mGraphics; }
  bool textEntryOpen() const { return mTextFieldView != nullptr; }

private:
  // Editor coordinates of the event's location; remembered as the last
  // mouse position (keys are delivered there).
  void getMouseXY(NSEvent* event, int* x, int* y);

  NSTimer* mTimer = nullptr;
  NSTextField* mTextFieldView = nullptr;
  IControl* mEdControl = nullptr;
  IParam* mEdParam = nullptr;
  int mPrevX = 0, mPrevY = 0;
  IGraphicsMac* mGraphics;
};
