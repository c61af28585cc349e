#pragma once

// How the window system's mouse and key events become the editor's calls:
// the modifier flag word (Shift bit 17, Control 18, Option 19, Command 20)
// into IMouseMod, and keys into the editor's key codes. Plain functions; any
// thread.

#include "IPlug/IGraphicsStructs.h"

namespace MacInput
{
constexpr unsigned long kShiftKeyMask = 1ul << 17;
constexpr unsigned long kControlKeyMask = 1ul << 18;
constexpr unsigned long kAlternateKeyMask = 1ul << 19;
constexpr unsigned long kCommandKeyMask = 1ul << 20;

// Hardware key codes of the keys mapped by position rather than character.
constexpr unsigned short kVirtualSpace = 49;
constexpr unsigned short kVirtualUp = 126;
constexpr unsigned short kVirtualDown = 125;
constexpr unsigned short kVirtualLeft = 123;
constexpr unsigned short kVirtualRight = 124;

// The editor's key codes.
enum EKey
{
  kKeyNone = -1,
  kKeySpace = 0,
  kKeyUp = 1,
  kKeyDown = 2,
  kKeyLeft = 3,
  kKeyRight = 4,
  kKeyDigit0 = 5,  // '0' ... '9' are 5 ... 14
  kKeyLetterA = 15 // 'A' ... 'Z' (either case) are 15 ... 40
};

// Left-button events, moves and the wheel: L always, R when Command is held.
IMouseMod GetMouseMod(unsigned long modifierFlags);
// Right-button events: R always, never L.
IMouseMod GetRightMouseMod(unsigned long modifierFlags);

// Characters (not bytes) of a UTF-8 text.
int CountCharacters(const char* utf8);

// The editor's code for a key event, or kKeyNone. characters are the event's
// characters ignoring modifiers; only events of exactly one character count.
int KeyCode(unsigned short hardwareKeyCode, const char* characters);
} // namespace MacInput
