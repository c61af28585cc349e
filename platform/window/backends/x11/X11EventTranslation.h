// X11 input events turned into the window system's events: positions with a
// bottom-left origin in float window coordinates, the modifier flag word,
// click counts for double clicks, hardware key codes for the keys that are
// not told by their characters, and the characters typed. Pure functions of
// the event: nothing here talks to a display.
//
// Threads: any thread; a ClickCounter belongs to one event stream.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/window/Event.h"

// Counts presses of one button that follow each other closely in time and
// place: 1 for a single click, 2 for a double click, and so on.
class ClickCounter
{
public:
  static constexpr unsigned long kIntervalMs = 400;
  static constexpr int kDistance = 4;

  // The count of a press of the button at server time t and position (x, y).
  int press(unsigned button, unsigned long t, int x, int y);
  // The count of the last press (carried by the release).
  int current() const { return mCount; }

private:
  unsigned mButton = 0;
  unsigned long mTime = 0;
  int mX = 0, mY = 0;
  int mCount = 0;
};

// Shift, Control, Alt (Mod1) and Super (Mod4) of an X11 state word as
// Shift, Control, Option and Command; Caps Lock as Alpha Shift.
uint32_t ModifierFlagsFromX11State(unsigned state);

// The hardware key code a key sym is known by: space, the arrows, Return,
// Tab, Delete, Escape, Home, End, forward delete and the US keyboard's
// printable keys; 0xffff for anything else.
uint16_t KeyCodeForKeysym(unsigned long keysym);

// The characters a key types, in UTF-8: function keys as the window
// system's private-use characters (the up arrow is U+F700), Delete as 0x7f,
// Return as "\r"; otherwise the Latin-1 text looked up, converted.
std::string CharactersForKey(unsigned long keysym, const std::string& latin1Text);

// Looks a key event up: the key sym, and the Latin-1 text it types.
typedef std::function<unsigned long(XKeyEvent* event, std::string* text)> KeyLookup;
// XLookupString (needs the event's display).
KeyLookup XlibKeyLookup();

// The event in the window system's conventions for a window of the given
// height; false for events that have none (releases of wheel buttons, the
// middle button, other event types). now is the run loop's clock.
bool TranslateX11Event(const XEvent& event, int windowHeight, ClickCounter& clicks,
                       const KeyLookup& lookup, double now, NSEvent* out);
