#include "IPlug/IGraphicsMacInput.h"

namespace MacInput
{
namespace
{
IMouseMod Modifiers(unsigned long flags, bool left, bool right)
{
  return IMouseMod(left, right, (flags & kShiftKeyMask) != 0, (flags & kControlKeyMask) != 0,
                   (flags & kAlternateKeyMask) != 0);
}
} // namespace

IMouseMod GetMouseMod(unsigned long modifierFlags)
{
  return Modifiers(modifierFlags, true, (modifierFlags & kCommandKeyMask) != 0);
}

IMouseMod GetRightMouseMod(unsigned long modifierFlags)
{
  return Modifiers(modifierFlags, false, true);
}

// Characters, not bytes: the arrow keys arrive as one three-byte character.
int CountCharacters(const char* utf8)
{
  int n = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p; ++p)
    if ((*p & 0xC0) != 0x80) ++n;
  return n;
}

int KeyCode(unsigned short hardwareKeyCode, const char* characters)
{
  if (!characters || CountCharacters(characters) != 1) return kKeyNone;
  switch (hardwareKeyCode)
  {
  case kVirtualSpace:
    return kKeySpace;
  case kVirtualUp:
    return kKeyUp;
  case kVirtualDown:
    return kKeyDown;
  case kVirtualLeft:
    return kKeyLeft;
  case kVirtualRight:
    return kKeyRight;
  default:
    break;
  }
  const char c = characters[0];
  if (c >= '0' && c <= '9') return kKeyDigit0 + (c - '0');
  if (c >= 'A' && c <= 'Z') return kKeyLetterA + (c - 'A');
  if (c >= 'a' && c <= 'z') return kKeyLetterA + (c - 'a');
  return kKeyNone;
}
} // namespace MacInput
