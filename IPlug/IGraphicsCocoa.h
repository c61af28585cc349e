#pragma once

// The editor's view: it owns the redraw timer, turns the view's mouse, wheel
// and key events into editor calls, paints the editor's bitmap when the
// window system asks, and hosts the text field and popup menus that controls
// ask for. Once the editor closes it (mGraphics null) it ignores everything.
// The view is reference counted: the host holds the reference OpenWindow
// hands out; the editor only points at it while it is open.
//
// Threads: the host's main (user-interface) thread only.

#include "IPlug/IGraphicsMac.h"

#include "platform/window/Event.h"
#include "platform/window/TextField.h"
#include "platform/window/Timer.h"
#include "platform/window/View.h"

#include <string>

class IControl;
class IParam;
class IPopupMenu;

// Filters typing in a text entry: allowed characters, length and value.
class CocoaFormatter_vTolvaneDelay_au : public NSFormatter
{
public:
  CocoaFormatter_vTolvaneDelay_au(const char* filterCharacterSet, int maxLength, int maxValue);
  bool isPartialStringValid(const std::string& partial) const override;
  std::string description() const override { return "CocoaFormatter_vTolvaneDelay_au"; }

private:
  std::string mFilterCharacterSet;
  bool mFilter;
  int mMaxLength, mMaxValue;
};

class IGraphicsCocoa_vTolvaneDelay_au : public NSView, public NSTextFieldDelegate
{
public:
  // initWithIGraphics: a view of the editor's size with a repeating timer at
  // the editor's frame rate on the current run loop.
  explicit IGraphicsCocoa_vTolvaneDelay_au(IGraphicsMac* graphics);

  // ---- The window system's calls --------------------------------------------

  void viewDidMoveToWindow() override;
  bool isOpaque() const override { return mGraphics != nullptr; }
  bool acceptsFirstResponder() const override { return true; }
  bool acceptsFirstMouse(NSEvent*) const override { return true; }
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
  // Ends any text entry and closes the editor's window before leaving.
  void removeFromSuperview() override;
  void controlTextDidEndEditing(NSTextField* field) override;
  // Escape: the field goes and the value stays as it was.
  void controlTextDidCancelEditing(NSTextField* field) override;
  std::string description() const override { return "IGraphicsCocoa_vTolvaneDelay_au"; }

  // ---- The editor's calls ------------------------------------------------------

  void onTimer(NSTimer* timer);
  // Stops and releases the timer.
  void killTimer();
  // The editor is gone: ignore events, ticks and drawing from now on.
  void detachGraphics();
  void createTextEntry(IControl* control, IParam* param, IText* text, const char* str,
                       NSRect areaRect);
  void endUserInput();
  // Shows the menu at the area and waits; the menu with its chosen index set,
  // or null when nothing was chosen.
  IPopupMenu* createIPopupMenu(IPopupMenu* menu, NSRect areaRect);

  IGraphicsMac* graphics() const { return mGraphics; }
  NSTextField* textField() const { return mTextFieldView; }

protected:
  ~IGraphicsCocoa_vTolvaneDelay_au() override;

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
