// The window binding's rules that need no window: modifier flags, key codes,
// menu titles, what a text entry accepts, file panel defaults and results.

#include "IPlug/IGraphicsMacInput.h"
#include "IPlug/IGraphicsMacPrompts.h"
#include "IPlug/IParam.h"

#include <gtest/gtest.h>

#include <string>

using namespace MacInput;
using namespace MacPrompts;

namespace
{
std::string Mods(const IMouseMod& m)
{
  std::string s;
  s += m.L ? 'L' : '-';
  s += m.R ? 'R' : '-';
  s += m.S ? 'S' : '-';
  s += m.C ? 'C' : '-';
  s += m.A ? 'A' : '-';
  return s;
}
} // namespace

TEST(MacInput, LeftEventsAreLeftAndCommandAddsRight)
{
  EXPECT_EQ(Mods(GetMouseMod(0)), "L----");
  EXPECT_EQ(Mods(GetMouseMod(kCommandKeyMask)), "LR---");
  EXPECT_EQ(Mods(GetMouseMod(kShiftKeyMask)), "L-S--");
  EXPECT_EQ(Mods(GetMouseMod(kControlKeyMask)), "L--C-");
  EXPECT_EQ(Mods(GetMouseMod(kAlternateKeyMask)), "L---A");
  // Bits outside 17 to 20 (caps lock at 16, the numeric pad at 21) mean nothing.
  EXPECT_EQ(Mods(GetMouseMod((1ul << 16) | (1ul << 21))), "L----");
}

TEST(MacInput, RightEventsAreNeverLeft)
{
  EXPECT_EQ(Mods(GetRightMouseMod(0)), "-R---");
  EXPECT_EQ(Mods(GetRightMouseMod(kCommandKeyMask | kShiftKeyMask | kAlternateKeyMask)), "-RS-A");
  EXPECT_TRUE(GetRightMouseMod(kControlKeyMask).Fine());
}

TEST(MacInput, SpecialKeysGoByHardwareCode)
{
  EXPECT_EQ(KeyCode(kVirtualSpace, " "), kKeySpace);
  // Arrow keys carry one private-use character, three bytes in UTF-8.
  EXPECT_EQ(KeyCode(kVirtualUp, "\xEF\x9C\x80"), kKeyUp);
  EXPECT_EQ(KeyCode(kVirtualDown, "\xEF\x9C\x81"), kKeyDown);
  EXPECT_EQ(KeyCode(kVirtualLeft, "\xEF\x9C\x82"), kKeyLeft);
  EXPECT_EQ(KeyCode(kVirtualRight, "\xEF\x9C\x83"), kKeyRight);
}

TEST(MacInput, DigitsAndLettersGoByCharacter)
{
  EXPECT_EQ(KeyCode(0, "a"), 15);
  EXPECT_EQ(KeyCode(0, "A"), 15);
  EXPECT_EQ(KeyCode(6, "Z"), 40);
  EXPECT_EQ(KeyCode(6, "z"), 40);
  EXPECT_EQ(KeyCode(29, "0"), 5);
  EXPECT_EQ(KeyCode(26, "7"), 12);
  EXPECT_EQ(KeyCode(25, "9"), 14);
}

TEST(MacInput, OtherKeysDoNotMap)
{
  EXPECT_EQ(KeyCode(48, "\t"), kKeyNone); // Tab goes on to the next responder
  EXPECT_EQ(KeyCode(36, "\r"), kKeyNone);
  EXPECT_EQ(KeyCode(0, "ab"), kKeyNone); // more than one character
  EXPECT_EQ(KeyCode(0, ""), kKeyNone);
  EXPECT_EQ(KeyCode(0, nullptr), kKeyNone);
  EXPECT_EQ(KeyCode(0, "\xC3\xA9"), kKeyNone); // é: one character, not a letter A to Z
  // The hardware code of space with two characters is not a key press.
  EXPECT_EQ(KeyCode(kVirtualSpace, "  "), kKeyNone);
}

TEST(MacPrompts, MenuTitlesCarryTheNumberingPrefix)
{
  WDL_String title;
  MenuItemTitle(0, 0, "Hall", &title);
  EXPECT_STREQ(title.Get(), "Hall");
  MenuItemTitle(1, 0, "Hall", &title);
  EXPECT_STREQ(title.Get(), "1: Hall");
  MenuItemTitle(2, 0, "Hall", &title);
  EXPECT_STREQ(title.Get(), "01: Hall");
  MenuItemTitle(3, 11, "Room", &title);
  EXPECT_STREQ(title.Get(), "012: Room");
  MenuItemTitle(1, 11, "Room", &title); // the width is a minimum
  EXPECT_STREQ(title.Get(), "12: Room");
  MenuItemTitle(4, 0, "Plate", &title);
  EXPECT_STREQ(title.Get(), "Plate");
}

TEST(MacPrompts, EntryCharactersFollowTheParameterType)
{
  IParam none, b, i, e, d;
  b.InitBool("b", false);
  i.InitInt("i", 0, -5, 5);
  e.InitEnum("e", 0, 3);
  d.InitDouble("d", 0.0, -1.0, 1.0, 0.01);
  EXPECT_EQ(EntryCharacterSet(nullptr), nullptr);
  EXPECT_STREQ(EntryCharacterSet(&none), "");
  EXPECT_STREQ(EntryCharacterSet(&b), "0123456789-+");
  EXPECT_STREQ(EntryCharacterSet(&i), "0123456789-+");
  EXPECT_STREQ(EntryCharacterSet(&e), "0123456789-+");
  EXPECT_STREQ(EntryCharacterSet(&d), "0123456789.-+");
}

TEST(MacPrompts, FormatterRefusesForeignCharactersAndLongText)
{
  EntryFormatter doubles{"0123456789.-+", 7, 0};
  EXPECT_TRUE(doubles.IsPartialStringValid(""));
  EXPECT_TRUE(doubles.IsPartialStringValid("-3.5"));
  EXPECT_FALSE(doubles.IsPartialStringValid("3a"));
  EXPECT_TRUE(doubles.IsPartialStringValid("1234567"));
  EXPECT_FALSE(doubles.IsPartialStringValid("12345678"));

  EntryFormatter ints{"0123456789-+", 7, 0};
  EXPECT_FALSE(ints.IsPartialStringValid("1.5"));

  EntryFormatter nothing{"", 0, 0};
  EXPECT_TRUE(nothing.IsPartialStringValid(""));
  EXPECT_FALSE(nothing.IsPartialStringValid("1"));

  EntryFormatter anything{nullptr, 0, 0};
  EXPECT_TRUE(anything.IsPartialStringValid("any text at all, however long it is"));

  EntryFormatter capped{"0123456789", 0, 100};
  EXPECT_TRUE(capped.IsPartialStringValid("100"));
  EXPECT_FALSE(capped.IsPartialStringValid("101"));
}

TEST(MacPrompts, FilePanelStartsOnTheDesktopWhenNoDirectoryIsGiven)
{
  WDL_String file("preset.fxp"), dir("");
  FilePanelRequest request;
  PrepareFilePanel(&file, kFileSave, &dir, "fxp fxb", &request);
  EXPECT_STREQ(file.Get(), "");
  EXPECT_STREQ(dir.Get(), "~/Desktop");
  EXPECT_STREQ(request.startDir.Get(), "~/Desktop");
  EXPECT_STREQ(request.defaultFile.Get(), "preset.fxp");
  EXPECT_TRUE(request.save);
  ASSERT_EQ(request.types.GetSize(), 2);
  EXPECT_STREQ(request.types.Get(0)->Get(), "fxp");
  EXPECT_STREQ(request.types.Get(1)->Get(), "fxb");
}

TEST(MacPrompts, FilePanelKeepsAGivenDirectoryAndSplitsAtSingleSpaces)
{
  WDL_String file, dir("/home/me/presets");
  FilePanelRequest request;
  PrepareFilePanel(&file, kFileOpen, &dir, "a  b", &request);
  EXPECT_STREQ(dir.Get(), "/home/me/presets");
  EXPECT_FALSE(request.save);
  ASSERT_EQ(request.types.GetSize(), 3);
  EXPECT_STREQ(request.types.Get(1)->Get(), "");
  EXPECT_STREQ(request.types.Get(2)->Get(), "b");

  PrepareFilePanel(&file, kFileOpen, &dir, "", &request);
  EXPECT_EQ(request.types.GetSize(), 0);
}

TEST(MacPrompts, ConfirmedPanelGivesThePathAndItsDirectory)
{
  WDL_String file, dir;
  FinishFilePanel("/home/me/presets/warm.fxp", &file, &dir);
  EXPECT_STREQ(file.Get(), "/home/me/presets/warm.fxp");
  EXPECT_STREQ(dir.Get(), "/home/me/presets/");
  FinishFilePanel("/warm.fxp", &file, &dir);
  EXPECT_STREQ(dir.Get(), "/");
}
