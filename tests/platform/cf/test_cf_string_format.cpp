#include "tests/platform/cf/CFTestHelpers.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace
{

template <class... Args> std::string Format(const char* format, Args... args)
{
  Owned<CFStringRef> formatString(Str(format));
  Owned<CFStringRef> result(CFStringCreateWithFormat(nullptr, nullptr, formatString, args...));
  return Text(result);
}

} // namespace

TEST(CFStringFormat, IntegerConversions)
{
  EXPECT_EQ(Format("%d|%i|%u", -5, 7, 4000000000u), "-5|7|4000000000");
  EXPECT_EQ(Format("%ld|%lld|%lu", -1234567890123L, (long long)INT64_MIN, 18446744073709551615UL),
            "-1234567890123|-9223372036854775808|18446744073709551615");
  EXPECT_EQ(Format("%x|%X|%#x|%o", 255, 255, 255, 8), "ff|FF|0xff|10");
  EXPECT_EQ(Format("%5d|%-5d|%05d|%+d", 42, 42, 42, 42), "   42|42   |00042|+42");
  EXPECT_EQ(Format("%*d|%-*d", 4, 7, 3, 7), "   7|7  ");
  EXPECT_EQ(Format("%hhd|%hd", 300, 70000), "44|4464");
  EXPECT_EQ(Format("%zu|%qd", (size_t)12, (long long)-3), "12|-3");
}

TEST(CFStringFormat, RealConversions)
{
  EXPECT_EQ(Format("%f", 1.5), "1.500000");
  EXPECT_EQ(Format("%.2f|%8.3f|%e", 3.14159, 2.5, 1000.0), "3.14|   2.500|1.000000e+03");
  EXPECT_EQ(Format("%g|%g", 0.0001, 100000.0), "0.0001|100000");
  EXPECT_EQ(Format("%.1f", (double)0.25f), "0.2");
  EXPECT_EQ(Format("%.*f", 1, 2.25), "2.2");
}

TEST(CFStringFormat, TextAndObjectConversions)
{
  EXPECT_EQ(Format("[%s]", "plain"), "[plain]");
  EXPECT_EQ(Format("[%s]", (const char*)nullptr), "[(null)]");
  EXPECT_EQ(Format("[%6s|%-6s|%.2s]", "ab", "ab", "abcdef"), "[    ab|ab    |ab]");
  EXPECT_EQ(Format("[%.1s]", "\xC3\xA9t\xC3\xA9"), "[\xC3\xA9]"); // cut at a character
  EXPECT_EQ(Format("%@ and %@", CFSTR("text"), (CFTypeRef) nullptr), "text and (null)");
  Owned<CFNumberRef> number(Int32(12));
  EXPECT_EQ(Format("n=%@", number.get()), "n=12");
  EXPECT_EQ(Format("%@", kCFBooleanTrue), "true");
  EXPECT_EQ(Format("%c%c%C", 'o', 'k', 0x20AC), "ok\xE2\x82\xAC");
}

TEST(CFStringFormat, PercentAndUnknownConversions)
{
  EXPECT_EQ(Format("100%%"), "100%");
  EXPECT_EQ(Format("%d%% done", 50), "50% done");
  EXPECT_EQ(Format("odd %y end"), "odd %y end");
  EXPECT_EQ(Format("trailing %"), "trailing %");
}

TEST(CFStringFormat, PresetDescriptionShape)
{
  // The factory preset records describe themselves with this format.
  Owned<CFStringRef> name(Str("Init"));
  EXPECT_EQ(Format("AUPreset:\npreset number = %d\npreset name = %@", 0, name.get()),
            "AUPreset:\npreset number = 0\npreset name = Init");
}

TEST(CFStringFormat, AppendFormatAndNullFormat)
{
  Owned<CFMutableStringRef> string(CFStringCreateMutable(nullptr, 0));
  CFStringAppendFormat(string, nullptr, CFSTR("%d-"), 1);
  CFStringAppendFormat(string, nullptr, CFSTR("%s"), "two");
  EXPECT_EQ(Text(string), "1-two");
  EXPECT_EQ(CFStringCreateWithFormat(nullptr, nullptr, nullptr, 1), nullptr);
}
