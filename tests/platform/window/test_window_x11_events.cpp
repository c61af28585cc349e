// X11 events, synthesized, as the window system's events: positions, the
// modifier word, buttons, wheel, click counts and keys.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "platform/window/backends/x11/X11EventTranslation.h"

namespace
{
const int kHeight = 433;

XEvent button(int type, unsigned button, int x, int y, unsigned long time, unsigned state = 0)
{
  XEvent e = {};
  e.type = type;
  e.xbutton.button = button;
  e.xbutton.x = x;
  e.xbutton.y = y;
  e.xbutton.time = time;
  e.xbutton.state = state;
  return e;
}

XEvent motion(int x, int y, unsigned state)
{
  XEvent e = {};
  e.type = MotionNotify;
  e.xmotion.x = x;
  e.xmotion.y = y;
  e.xmotion.state = state;
  return e;
}

// A key lookup standing in for the keyboard map: the key sym is stored in
// the event's keycode, and letters type their shifted or control forms.
unsigned long fakeLookup(XKeyEvent* e, std::string* text)
{
  const unsigned long sym = e->keycode;
  text->clear();
  if (sym >= 0x20 && sym < 0x7f)
  {
    char c = char(sym);
    if ((e->state & ShiftMask) && c >= 'a' && c <= 'z') c = char(c - 32);
    if ((e->state & ControlMask) && c >= 'a' && c <= 'z') c = char(c - 'a' + 1);
    *text = std::string(1, c);
  }
  else if (sym == XK_Escape)
    *text = "\x1b";
  else if (sym == XK_Tab)
    *text = "\t";
  return sym;
}

NSEvent key(unsigned long sym, unsigned state = 0, int type = KeyPress)
{
  XEvent e = {};
  e.type = type;
  e.xkey.keycode = unsigned(sym);
  e.xkey.state = state;
  ClickCounter clicks;
  NSEvent out;
  EXPECT_TRUE(TranslateX11Event(e, kHeight, clicks, fakeLookup, 0, &out));
  return out;
}

NSEvent translate(const XEvent& e, ClickCounter& clicks)
{
  NSEvent out;
  EXPECT_TRUE(TranslateX11Event(e, kHeight, clicks, fakeLookup, 1.5, &out));
  return out;
}
} // namespace

TEST(X11Events, ButtonsBecomePressesWithTheOriginAtTheBottomLeft)
{
  ClickCounter clicks;
  NSEvent down = translate(button(ButtonPress, Button1, 10, 20, 1000), clicks);
  EXPECT_EQ(NSLeftMouseDown, down.type);
  EXPECT_FLOAT_EQ(10.f, down.locationInWindow.x);
  EXPECT_FLOAT_EQ(float(kHeight - 20), down.locationInWindow.y);
  EXPECT_EQ(1, down.clickCount);
  EXPECT_DOUBLE_EQ(1.5, down.timestamp);
  EXPECT_EQ(NSLeftMouseUp, translate(button(ButtonRelease, Button1, 10, 20, 1050), clicks).type);
  EXPECT_EQ(NSRightMouseDown, translate(button(ButtonPress, Button3, 0, 0, 5000), clicks).type);
  EXPECT_EQ(NSRightMouseUp, translate(button(ButtonRelease, Button3, 0, 0, 5010), clicks).type);
  // The top-left pixel row is the window's top.
  EXPECT_FLOAT_EQ(float(kHeight), translate(button(ButtonPress, Button1, 0, 0, 9000), clicks)
                                      .locationInWindow.y);
}

TEST(X11Events, MiddleButtonAndWheelReleasesHaveNoEvent)
{
  ClickCounter clicks;
  NSEvent out;
  EXPECT_FALSE(TranslateX11Event(button(ButtonPress, Button2, 1, 1, 0), kHeight, clicks,
                                 fakeLookup, 0, &out));
  EXPECT_FALSE(TranslateX11Event(button(ButtonRelease, Button4, 1, 1, 0), kHeight, clicks,
                                 fakeLookup, 0, &out));
  XEvent other = {};
  other.type = Expose;
  EXPECT_FALSE(TranslateX11Event(other, kHeight, clicks, fakeLookup, 0, &out));
}

TEST(X11Events, WheelButtonsScrollByOneStep)
{
  ClickCounter clicks;
  NSEvent up = translate(button(ButtonPress, Button4, 30, 40, 0, ShiftMask), clicks);
  EXPECT_EQ(NSScrollWheel, up.type);
  EXPECT_FLOAT_EQ(1.f, up.deltaY);
  EXPECT_EQ(NSShiftKeyMask, up.modifierFlags);
  EXPECT_FLOAT_EQ(-1.f, translate(button(ButtonPress, Button5, 30, 40, 0), clicks).deltaY);
  NSEvent sideways = translate(button(ButtonPress, 6, 30, 40, 0), clicks);
  EXPECT_FLOAT_EQ(0.f, sideways.deltaY);
  EXPECT_FLOAT_EQ(1.f, sideways.deltaX);
}

TEST(X11Events, MotionIsADragWhileAButtonIsHeld)
{
  ClickCounter clicks;
  EXPECT_EQ(NSMouseMoved, translate(motion(5, 5, 0), clicks).type);
  EXPECT_EQ(NSLeftMouseDragged, translate(motion(5, 5, Button1Mask), clicks).type);
  EXPECT_EQ(NSRightMouseDragged, translate(motion(5, 5, Button3Mask), clicks).type);
  NSEvent drag = translate(motion(7, 433, Button1Mask | ControlMask), clicks);
  EXPECT_FLOAT_EQ(0.f, drag.locationInWindow.y);
  EXPECT_EQ(NSControlKeyMask, drag.modifierFlags);
}

TEST(X11Events, ModifierWord)
{
  EXPECT_EQ(0u, ModifierFlagsFromX11State(0));
  EXPECT_EQ(NSShiftKeyMask | NSControlKeyMask | NSAlternateKeyMask | NSCommandKeyMask,
            ModifierFlagsFromX11State(ShiftMask | ControlMask | Mod1Mask | Mod4Mask));
  EXPECT_EQ(NSAlphaShiftKeyMask, ModifierFlagsFromX11State(LockMask));
  // Buttons and other modifier groups (Num Lock) are not modifiers.
  EXPECT_EQ(0u, ModifierFlagsFromX11State(Button1Mask | Mod2Mask));
}

TEST(X11Events, ClicksCountWhileCloseInTimeAndPlace)
{
  ClickCounter clicks;
  EXPECT_EQ(1, translate(button(ButtonPress, Button1, 100, 100, 1000), clicks).clickCount);
  EXPECT_EQ(1, translate(button(ButtonRelease, Button1, 100, 100, 1050), clicks).clickCount);
  EXPECT_EQ(2, translate(button(ButtonPress, Button1, 102, 99, 1200), clicks).clickCount);
  EXPECT_EQ(3, translate(button(ButtonPress, Button1, 102, 99, 1500), clicks).clickCount);
  // Too late, too far, or another button: a new first click.
  EXPECT_EQ(1, translate(button(ButtonPress, Button1, 102, 99, 2000), clicks).clickCount);
  EXPECT_EQ(1, translate(button(ButtonPress, Button1, 120, 99, 2100), clicks).clickCount);
  EXPECT_EQ(1, translate(button(ButtonPress, Button3, 120, 99, 2200), clicks).clickCount);
  // A server clock that went backwards does not continue a series.
  EXPECT_EQ(1, translate(button(ButtonPress, Button3, 120, 99, 100), clicks).clickCount);
}

TEST(X11Events, SpaceAndArrowsCarryTheirHardwareCodes)
{
  EXPECT_EQ(kVK_Space, key(XK_space).keyCode);
  EXPECT_EQ(" ", key(XK_space).characters);
  EXPECT_EQ(kVK_UpArrow, key(XK_Up).keyCode);
  EXPECT_EQ(kVK_DownArrow, key(XK_Down).keyCode);
  EXPECT_EQ(kVK_LeftArrow, key(XK_Left).keyCode);
  EXPECT_EQ(kVK_RightArrow, key(XK_Right).keyCode);
  // Function keys type one private-use character, as the window system's do.
  EXPECT_EQ("\xef\x9c\x80", key(XK_Up).characters);
  EXPECT_EQ("\xef\x9c\x83", key(XK_Right).charactersIgnoringModifiers);
  EXPECT_EQ(kVK_Return, key(XK_Return).keyCode);
  EXPECT_EQ("\r", key(XK_Return).characters);
  EXPECT_EQ(kVK_Return, key(XK_Linefeed).keyCode); // what a typed newline arrives as
  EXPECT_EQ("\r", key(XK_Linefeed).characters);
  EXPECT_EQ("\x7f", key(XK_BackSpace).characters);
  EXPECT_EQ(kVK_Escape, key(XK_Escape).keyCode);
  EXPECT_EQ(kVK_Tab, key(XK_Tab).keyCode);
  EXPECT_EQ(0xffff, key(XK_F5).keyCode);
  EXPECT_EQ("", key(XK_F5).characters);
}

TEST(X11Events, LettersAndDigitsTypeTheirCharacters)
{
  NSEvent a = key('a');
  EXPECT_EQ(NSKeyDown, a.type);
  EXPECT_EQ("a", a.characters);
  EXPECT_EQ(0, a.keyCode); // the US keyboard's A key
  EXPECT_EQ("7", key('7').characters);
  NSEvent shifted = key('z', ShiftMask);
  EXPECT_EQ("Z", shifted.characters);
  EXPECT_EQ("Z", shifted.charactersIgnoringModifiers);
  EXPECT_EQ(NSShiftKeyMask, shifted.modifierFlags);
  // Control changes the characters, not the ones without modifiers.
  NSEvent control = key('c', ControlMask);
  EXPECT_EQ("\x03", control.characters);
  EXPECT_EQ("c", control.charactersIgnoringModifiers);
  EXPECT_EQ(NSKeyUp, key('a', 0, KeyRelease).type);
}

TEST(X11Events, Latin1TextBecomesUtf8)
{
  EXPECT_EQ("\xc3\xa9", CharactersForKey(XK_eacute, "\xe9"));
  EXPECT_EQ("q", CharactersForKey('q', "q"));
}
