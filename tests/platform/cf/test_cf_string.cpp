#include "tests/platform/cf/CFTestHelpers.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CFString, CreationChecksTheEncoding)
{
  Owned<CFStringRef> utf8(Str("caf\xC3\xA9"));
  EXPECT_EQ(Text(utf8), "caf\xC3\xA9");
  EXPECT_EQ(Str("bad \xC3"), nullptr);      // cut sequence
  EXPECT_EQ(Str("over \xC0\xAF"), nullptr); // overlong '/'
  EXPECT_EQ(Str("surrogate \xED\xA0\x80"), nullptr);
  EXPECT_EQ(CFStringCreateWithCString(nullptr, nullptr, kCFStringEncodingUTF8), nullptr);
  EXPECT_EQ(CFStringCreateWithCString(nullptr, "caf\xC3\xA9", kCFStringEncodingASCII), nullptr);
  EXPECT_EQ(CFStringCreateWithCString(nullptr, "x", kCFStringEncodingMacRoman), nullptr);

  Owned<CFStringRef> latin1(
      CFStringCreateWithCString(nullptr, "caf\xE9", kCFStringEncodingISOLatin1));
  EXPECT_TRUE(CFEqual(latin1, utf8));

  const UInt8 withMark[] = {0xEF, 0xBB, 0xBF, 'h', 'i'};
  Owned<CFStringRef> external(
      CFStringCreateWithBytes(nullptr, withMark, 5, kCFStringEncodingUTF8, true));
  EXPECT_EQ(Text(external), "hi");
  EXPECT_EQ(CFStringCreateWithBytes(nullptr, withMark, -1, kCFStringEncodingUTF8, false), nullptr);
}

TEST(CFString, LengthCountsUTF16Units)
{
  Owned<CFStringRef> mixed(Str("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5")); // a é € 🎵
  EXPECT_EQ(CFStringGetLength(mixed), 5);
  EXPECT_EQ(CFStringGetCharacterAtIndex(mixed, 1), 0xE9);
  EXPECT_EQ(CFStringGetCharacterAtIndex(mixed, 2), 0x20AC);
  EXPECT_EQ(CFStringGetCharacterAtIndex(mixed, 3), 0xD83C);
  EXPECT_EQ(CFStringGetCharacterAtIndex(mixed, 4), 0xDFB5);
  EXPECT_EQ(CFStringGetCharacterAtIndex(mixed, 5), 0);

  const UniChar units[] = {'a', 0xD83C, 0xDFB5};
  Owned<CFStringRef> fromUnits(CFStringCreateWithCharacters(nullptr, units, 3));
  EXPECT_EQ(Text(fromUnits), "a\xF0\x9F\x8E\xB5");

  EXPECT_EQ(CFStringGetMaximumSizeForEncoding(5, kCFStringEncodingUTF8), 15);
  EXPECT_EQ(CFStringGetMaximumSizeForEncoding(5, kCFStringEncodingASCII), 5);
  EXPECT_EQ(CFStringGetMaximumSizeForEncoding(-1, kCFStringEncodingUTF8), kCFNotFound);
}

TEST(CFString, GetCStringNeedsRoomForTheTerminator)
{
  Owned<CFStringRef> string(Str("abcd"));
  char buffer[8];
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_FALSE(CFStringGetCString(string, buffer, 4, kCFStringEncodingUTF8));
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[1], 'x'); // nothing written past the buffer start
  EXPECT_TRUE(CFStringGetCString(string, buffer, 5, kCFStringEncodingUTF8));
  EXPECT_STREQ(buffer, "abcd");

  Owned<CFStringRef> accented(Str("\xC3\xA9t\xC3\xA9"));
  EXPECT_FALSE(CFStringGetCString(accented, buffer, sizeof(buffer), kCFStringEncodingASCII));
  EXPECT_TRUE(CFStringGetCString(accented, buffer, sizeof(buffer), kCFStringEncodingISOLatin1));
  EXPECT_STREQ(buffer, "\xE9t\xE9");
  EXPECT_EQ(CFStringGetCStringPtr(accented, kCFStringEncodingASCII), nullptr);
  EXPECT_STREQ(CFStringGetCStringPtr(accented, kCFStringEncodingUTF8), "\xC3\xA9t\xC3\xA9");
}

TEST(CFString, GetBytesNeverSplitsACharacter)
{
  Owned<CFStringRef> string(Str("a\xC3\xA9"
                                "b"));
  UInt8 buffer[8] = {};
  CFIndex used = -1;
  CFIndex converted = CFStringGetBytes(string, CFRangeMake(0, 3), kCFStringEncodingUTF8, 0, false,
                                       buffer, 2, &used);
  EXPECT_EQ(converted, 1);
  EXPECT_EQ(used, 1);
  converted = CFStringGetBytes(string, CFRangeMake(0, 3), kCFStringEncodingUTF8, 0, false, nullptr,
                               0, &used);
  EXPECT_EQ(converted, 3);
  EXPECT_EQ(used, 4);
  converted = CFStringGetBytes(string, CFRangeMake(0, 3), kCFStringEncodingASCII, '?', false,
                               buffer, 8, &used);
  EXPECT_EQ(converted, 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), used), "a?b");
  EXPECT_EQ(CFStringGetBytes(string, CFRangeMake(9, 1), kCFStringEncodingUTF8, 0, false, buffer, 8,
                             &used),
            0);
}

TEST(CFString, CompareOrdersAndFolds)
{
  Owned<CFStringRef> apple(Str("apple")), Apple(Str("Apple")), banana(Str("banana"));
  EXPECT_EQ(CFStringCompare(apple, banana, 0), kCFCompareLessThan);
  EXPECT_EQ(CFStringCompare(banana, apple, 0), kCFCompareGreaterThan);
  EXPECT_EQ(CFStringCompare(apple, apple, 0), kCFCompareEqualTo);
  EXPECT_NE(CFStringCompare(apple, Apple, 0), kCFCompareEqualTo);
  EXPECT_EQ(CFStringCompare(apple, Apple, kCFCompareCaseInsensitive), kCFCompareEqualTo);
  Owned<CFStringRef> file9(Str("file9")), file10(Str("file10"));
  EXPECT_EQ(CFStringCompare(file9, file10, 0), kCFCompareGreaterThan);
  EXPECT_EQ(CFStringCompare(file9, file10, kCFCompareNumerically), kCFCompareLessThan);
  Owned<CFStringRef> prefix(Str("app"));
  EXPECT_EQ(CFStringCompare(prefix, apple, 0), kCFCompareLessThan);
  EXPECT_TRUE(CFStringHasPrefix(apple, prefix));
  EXPECT_TRUE(CFStringHasSuffix(apple, CFSTR("ple")));
  EXPECT_FALSE(CFStringHasSuffix(prefix, apple));
}

TEST(CFString, CopiesSubstringsAndValues)
{
  Owned<CFStringRef> immutable(Str("hello world"));
  Owned<CFStringRef> copy(CFStringCreateCopy(nullptr, immutable));
  EXPECT_EQ(copy.get(), immutable.get()); // an immutable string is shared, retained
  EXPECT_EQ(CFGetRetainCount(immutable), 2);
  Owned<CFStringRef> world(CFStringCreateWithSubstring(nullptr, immutable, CFRangeMake(6, 5)));
  EXPECT_EQ(Text(world), "world");
  EXPECT_EQ(CFStringCreateWithSubstring(nullptr, immutable, CFRangeMake(6, 6)), nullptr);

  Owned<CFStringRef> number(Str("  -42abc"));
  EXPECT_EQ(CFStringGetIntValue(number), -42);
  Owned<CFStringRef> huge(Str("99999999999"));
  EXPECT_EQ(CFStringGetIntValue(huge), 2147483647);
  Owned<CFStringRef> real(Str("2.5"));
  EXPECT_DOUBLE_EQ(CFStringGetDoubleValue(real), 2.5);
}

TEST(CFString, MutableStringsAppend)
{
  Owned<CFMutableStringRef> string(CFStringCreateMutable(nullptr, 0));
  CFStringAppend(string, CFSTR("ab"));
  CFStringAppendCString(string, "\xC3\xA9", kCFStringEncodingUTF8);
  CFStringAppend(string, string); // appending to itself doubles it
  EXPECT_EQ(Text(string), "ab\xC3\xA9"
                          "ab\xC3\xA9");
  EXPECT_EQ(CFStringGetLength(string), 6);

  Owned<CFStringRef> copy(CFStringCreateCopy(nullptr, string));
  EXPECT_NE(copy.get(), static_cast<CFStringRef>(string.get()));
  CFStringAppend(string, CFSTR("!"));
  EXPECT_EQ(Text(copy), "ab\xC3\xA9"
                        "ab\xC3\xA9"); // the copy is independent

  Owned<CFStringRef> frozen(Str("fixed"));
  CFStringAppend(const_cast<CFMutableStringRef>(frozen.get()), CFSTR("!"));
  EXPECT_EQ(Text(frozen), "fixed");
}
