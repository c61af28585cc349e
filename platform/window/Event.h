// Input events as the window system delivers them: positions in window
// coordinates (bottom-left origin, float), a modifier flag word, hardware key
// codes, the typed characters and click counts.
//
// Threads: main thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window/Geometry.h"

enum NSEventType
{
  NSLeftMouseDown = 1,
  NSLeftMouseUp = 2,
  NSRightMouseDown = 3,
  NSRightMouseUp = 4,
  NSMouseMoved = 5,
  NSLeftMouseDragged = 6,
  NSRightMouseDragged = 7,
  NSKeyDown = 10,
  NSKeyUp = 11,
  NSApplicationDefined = 15,
  NSScrollWheel = 22,
};

// Bits of the modifier flag word.
enum : uint32_t
{
  NSAlphaShiftKeyMask = 1u << 16,
  NSShiftKeyMask = 1u << 17,
  NSControlKeyMask = 1u << 18,
  NSAlternateKeyMask = 1u << 19,
  NSCommandKeyMask = 1u << 20,
};

// Hardware key codes of the keys that are not told by their characters.
enum : uint16_t
{
  kVK_Return = 36,
  kVK_Tab = 48,
  kVK_Space = 49,
  kVK_Delete = 51,
  kVK_Escape = 53,
  kVK_Home = 115,
  kVK_ForwardDelete = 117,
  kVK_End = 119,
  kVK_LeftArrow = 123,
  kVK_RightArrow = 124,
  kVK_DownArrow = 125,
  kVK_UpArrow = 126,
};

class NSWindow;

struct NSEvent
{
  NSEventType type = NSApplicationDefined;
  NSPoint locationInWindow = {0, 0};
  uint32_t modifierFlags = 0;
  int clickCount = 0;
  CGFloat deltaX = 0, deltaY = 0;
  uint16_t keyCode = 0;
  std::string characters;                  // UTF-8, as typed
  std::string charactersIgnoringModifiers; // UTF-8, without the modifiers' effect
  NSWindow* window = nullptr;
  double timestamp = 0; // seconds on the run loop's clock
};
