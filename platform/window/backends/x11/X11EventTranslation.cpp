#include "platform/window/backends/x11/X11EventTranslation.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdlib>

#include "platform/window/backends/headless/HeadlessBackend.h"

int ClickCounter::press(unsigned button, unsigned long t, int x, int y)
{
  const bool continues = mCount > 0 && button == mButton && t >= mTime &&
                         t - mTime <= kIntervalMs && std::abs(x - mX) <= kDistance &&
                         std::abs(y - mY) <= kDistance;
  mCount = continues ? mCount + 1 : 1;
  mButton = button;
  mTime = t;
  mX = x;
  mY = y;
  return mCount;
}

uint32_t ModifierFlagsFromX11State(unsigned state)
{
  uint32_t flags = 0;
  if (state & LockMask) flags |= NSAlphaShiftKeyMask;
  if (state & ShiftMask) flags |= NSShiftKeyMask;
  if (state & ControlMask) flags |= NSControlKeyMask;
  if (state & Mod1Mask) flags |= NSAlternateKeyMask;
  if (state & Mod4Mask) flags |= NSCommandKeyMask;
  return flags;
}

uint16_t KeyCodeForKeysym(unsigned long keysym)
{
  switch (keysym)
  {
  case XK_space:
    return kVK_Space;
  case XK_Up:
  case XK_KP_Up:
    return kVK_UpArrow;
  case XK_Down:
  case XK_KP_Down:
    return kVK_DownArrow;
  case XK_Left:
  case XK_KP_Left:
    return kVK_LeftArrow;
  case XK_Right:
  case XK_KP_Right:
    return kVK_RightArrow;
  case XK_Return:
  case XK_KP_Enter:
  case XK_Linefeed:
    return kVK_Return;
  case XK_Tab:
  case XK_ISO_Left_Tab:
    return kVK_Tab;
  case XK_BackSpace:
    return kVK_Delete;
  case XK_Escape:
    return kVK_Escape;
  case XK_Home:
    return kVK_Home;
  case XK_End:
    return kVK_End;
  case XK_Delete:
  case XK_KP_Delete:
    return kVK_ForwardDelete;
  default:
    break;
  }
  if (keysym >= 0x20 && keysym < 0x7f) return headless::keyCodeForCharacter(char(keysym));
  return 0xffff;
}

namespace
{
std::string utf8(uint32_t c)
{
  std::string s;
  if (c < 0x80)
    s += char(c);
  else if (c < 0x800)
  {
    s += char(0xc0 | (c >> 6));
    s += char(0x80 | (c & 0x3f));
  }
  else
  {
    s += char(0xe0 | (c >> 12));
    s += char(0x80 | ((c >> 6) & 0x3f));
    s += char(0x80 | (c & 0x3f));
  }
  return s;
}
} // namespace

std::string CharactersForKey(unsigned long keysym, const std::string& latin1Text)
{
  switch (keysym)
  {
  case XK_Up:
  case XK_KP_Up:
    return utf8(0xF700);
  case XK_Down:
  case XK_KP_Down:
    return utf8(0xF701);
  case XK_Left:
  case XK_KP_Left:
    return utf8(0xF702);
  case XK_Right:
  case XK_KP_Right:
    return utf8(0xF703);
  case XK_Delete:
  case XK_KP_Delete:
    return utf8(0xF728);
  case XK_Home:
    return utf8(0xF729);
  case XK_End:
    return utf8(0xF72B);
  case XK_BackSpace:
    return "\x7f";
  case XK_Return:
  case XK_KP_Enter:
  case XK_Linefeed:
    return "\r";
  default:
    break;
  }
  std::string out;
  for (unsigned char c : latin1Text)
    out += utf8(c);
  return out;
}

KeyLookup XlibKeyLookup()
{
  return [](XKeyEvent* event, std::string* text)
  {
    char buffer[32];
    KeySym sym = NoSymbol;
    const int n = XLookupString(event, buffer, sizeof buffer, &sym, nullptr);
    text->assign(buffer, size_t(n > 0 ? n : 0));
    return static_cast<unsigned long>(sym);
  };
}

namespace
{
NSEvent at(NSEventType type, int x, int y, int height, unsigned state, double now)
{
  NSEvent e;
  e.type = type;
  e.locationInWindow = NSMakePoint(CGFloat(x), CGFloat(height - y));
  e.modifierFlags = ModifierFlagsFromX11State(state);
  e.timestamp = now;
  return e;
}

bool translateButton(const XButtonEvent& b, bool press, int height, ClickCounter& clicks,
                     double now, NSEvent* out)
{
  if (b.button >= 4 && b.button <= 7)
  {
    if (!press) return false;
    *out = at(NSScrollWheel, b.x, b.y, height, b.state, now);
    if (b.button == 4) out->deltaY = 1;
    if (b.button == 5) out->deltaY = -1;
    if (b.button == 6) out->deltaX = 1;
    if (b.button == 7) out->deltaX = -1;
    return true;
  }
  if (b.button != Button1 && b.button != Button3) return false;
  const bool right = b.button == Button3;
  const NSEventType type = press ? (right ? NSRightMouseDown : NSLeftMouseDown)
                                 : (right ? NSRightMouseUp : NSLeftMouseUp);
  *out = at(type, b.x, b.y, height, b.state, now);
  out->clickCount = press ? clicks.press(b.button, b.time, b.x, b.y) : clicks.current();
  return true;
}

bool translateKey(const XKeyEvent& k, bool press, const KeyLookup& lookup, double now,
                  NSEvent* out)
{
  XKeyEvent copy = k;
  std::string text;
  const unsigned long sym = lookup(&copy, &text);
  XKeyEvent bare = k;
  bare.state &= ~unsigned(ControlMask | Mod1Mask | Mod4Mask);
  std::string bareText;
  const unsigned long bareSym = lookup(&bare, &bareText);
  *out = NSEvent();
  out->type = press ? NSKeyDown : NSKeyUp;
  out->modifierFlags = ModifierFlagsFromX11State(k.state);
  out->timestamp = now;
  out->keyCode = KeyCodeForKeysym(bareSym);
  out->characters = CharactersForKey(sym, text);
  out->charactersIgnoringModifiers = CharactersForKey(bareSym, bareText);
  return true;
}
} // namespace

bool TranslateX11Event(const XEvent& event, int height, ClickCounter& clicks,
                       const KeyLookup& lookup, double now, NSEvent* out)
{
  switch (event.type)
  {
  case ButtonPress:
    return translateButton(event.xbutton, true, height, clicks, now, out);
  case ButtonRelease:
    return translateButton(event.xbutton, false, height, clicks, now, out);
  case MotionNotify:
  {
    const XMotionEvent& m = event.xmotion;
    const NSEventType type = (m.state & Button1Mask)   ? NSLeftMouseDragged
                             : (m.state & Button3Mask) ? NSRightMouseDragged
                                                       : NSMouseMoved;
    *out = at(type, m.x, m.y, height, m.state, now);
    return true;
  }
  case KeyPress:
    return translateKey(event.xkey, true, lookup, now, out);
  case KeyRelease:
    return translateKey(event.xkey, false, lookup, now, out);
  default:
    return false;
  }
}
