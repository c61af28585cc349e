// The headless window backend: no screen. Its clock moves only when the caller
// advances it; menus, file panels and text fields take their answers from a
// script the caller writes beforehand; what was shown, opened and left
// unhandled is recorded for the caller to inspect. The helpers below make
// events in the window system's conventions and send them to a window.
//
// Threads: main thread only.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/window/Event.h"
#include "platform/window/WindowBackend.h"

class HeadlessBackend : public WindowBackend
{
public:
  // The process's headless backend (installed by default).
  static HeadlessBackend& instance();

  double now() override { return mClock; }
  bool clockIsManual() const override { return true; }
  void advanceClockTo(double time) override;

  int popUpMenu(NSMenu* menu, NSPoint locationInWindow, NSWindow* window) override;
  bool runFilePanel(NSSavePanel* panel, std::string* path) override;
  void textFieldBeganEditing(NSTextField* field) override;
  bool openURL(const std::string& url) override;
  void unhandledKey(const NSEvent& event) override;
  void windowDisplayed(NSWindow* window) override;

  // Script: each menu, panel or text field takes the oldest answer of its
  // kind; with none left, menus and panels are dismissed and fields wait for
  // typing.
  void scriptMenuChoice(int index); // an index of the shown menu; -1 dismisses
  void scriptMenuChoiceTitled(const std::string& title);
  void scriptFilePanel(const std::string& path); // empty: cancel
  // Typed into the next field that begins editing, then Return, at the run
  // loop's next pass.
  void scriptTextEntry(const std::string& text);

  struct ShownMenu
  {
    std::string title;
    std::vector<std::string> items; // "-" for separators
    NSPoint location;               // window coordinates
    int chosen;                     // -1: dismissed
  };
  struct ShownPanel
  {
    bool open;
    std::string directory, file;
    std::vector<std::string> types;
    bool confirmed;
  };
  const std::vector<ShownMenu>& shownMenus() const { return mMenus; }
  const std::vector<ShownPanel>& shownPanels() const { return mPanels; }
  const std::vector<std::string>& openedURLs() const { return mURLs; }
  const std::vector<NSEvent>& unhandledKeys() const { return mUnhandledKeys; }
  int displayCount() const { return mDisplays; }

  // Forgets the script and the records (the clock keeps its time).
  void reset();

  // Click counting: presses of one button within this time and distance of
  // the previous one count on.
  static constexpr double kDoubleClickSeconds = 0.5;
  static constexpr CGFloat kDoubleClickDistance = 4;
  int nextClickCount(bool right, NSPoint location);
  int clickCount() const { return mClicks; }

private:
  HeadlessBackend() = default;
  struct MenuAnswer
  {
    int index;
    std::string title;
  };

  double mClock = 0;
  std::deque<MenuAnswer> mMenuAnswers;
  std::deque<std::string> mPanelAnswers, mTextAnswers;
  std::vector<ShownMenu> mMenus;
  std::vector<ShownPanel> mPanels;
  std::vector<std::string> mURLs;
  std::vector<NSEvent> mUnhandledKeys;
  int mDisplays = 0;
  double mLastPress = -1;
  bool mLastPressRight = false;
  NSPoint mLastPressAt = {0, 0};
  int mClicks = 0;
};

// Events in the window system's conventions, sent to the window. Points are
// window coordinates (bottom-left origin); the press's click count comes from
// the backend's clock.
namespace headless
{
void mouseDown(NSWindow* window, NSPoint at, uint32_t modifiers = 0, bool right = false);
void mouseUp(NSWindow* window, NSPoint at, uint32_t modifiers = 0, bool right = false);
void mouseDragged(NSWindow* window, NSPoint at, uint32_t modifiers = 0, bool right = false);
void mouseMoved(NSWindow* window, NSPoint at, uint32_t modifiers = 0);
void scrollWheel(NSWindow* window, NSPoint at, CGFloat deltaY, uint32_t modifiers = 0);
// A key by hardware code with the characters it types.
void keyDown(NSWindow* window, uint16_t keyCode, const std::string& characters,
             uint32_t modifiers = 0);
// Each character of the text as a key press (with its US keyboard key code).
void typeText(NSWindow* window, const std::string& text, uint32_t modifiers = 0);
// The US keyboard's hardware key code of an ASCII character; 0xffff if none.
uint16_t keyCodeForCharacter(char c);
} // namespace headless
