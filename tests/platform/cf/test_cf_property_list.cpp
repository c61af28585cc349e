#include "tests/platform/cf/CFTestHelpers.h"
#include "tests/platform/cf/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

// A class-info style dictionary with every supported value kind.
CFDictionaryRef MakeSample()
{
  CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
      nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  SInt32 version = 65536, negative = -10851;
  Float64 real = 0.1;
  const UInt8 bytes[] = {0, 1, 2, 255};
  Owned<CFNumberRef> v(CFNumberCreate(nullptr, kCFNumberSInt32Type, &version));
  Owned<CFNumberRef> n(CFNumberCreate(nullptr, kCFNumberSInt32Type, &negative));
  Owned<CFNumberRef> r(CFNumberCreate(nullptr, kCFNumberFloat64Type, &real));
  Owned<CFDataRef> d(CFDataCreate(nullptr, bytes, 4));
  Owned<CFStringRef> s(Str("tVll: TolvaneDelay <&> \xC3\xA9"));
  Owned<CFMutableArrayRef> a(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
  CFArrayAppendValue(a, kCFBooleanTrue);
  CFArrayAppendValue(a, kCFBooleanFalse);
  CFArrayAppendValue(a, n);
  CFDictionarySetValue(dict, CFSTR("version"), v);
  CFDictionarySetValue(dict, CFSTR("real"), r);
  CFDictionarySetValue(dict, CFSTR("data"), d);
  CFDictionarySetValue(dict, CFSTR("name"), s);
  CFDictionarySetValue(dict, CFSTR("list"), a);
  Owned<CFDictionaryRef> empty(CFDictionaryCreate(nullptr, nullptr, nullptr, 0,
                                                  &kCFTypeDictionaryKeyCallBacks,
                                                  &kCFTypeDictionaryValueCallBacks));
  CFDictionarySetValue(dict, CFSTR("empty"), empty);
  return dict;
}

CFPropertyListRef Parse(const std::string& bytes, CFErrorRef* error = nullptr,
                        CFOptionFlags options = kCFPropertyListImmutable)
{
  Owned<CFDataRef> data(
      CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()), (CFIndex)bytes.size()));
  return CFPropertyListCreateWithData(nullptr, data, options, nullptr, error);
}

std::string Bytes(CFDataRef data)
{
  return std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                     static_cast<size_t>(CFDataGetLength(data)));
}

} // namespace

TEST(CFPropertyList, RoundTripsThroughXMLAndBinary)
{
  Owned<CFDictionaryRef> sample(MakeSample());
  for (CFPropertyListFormat format :
       {kCFPropertyListXMLFormat_v1_0, kCFPropertyListBinaryFormat_v1_0})
  {
    CFErrorRef error = nullptr;
    Owned<CFDataRef> data(CFPropertyListCreateData(nullptr, sample, format, 0, &error));
    ASSERT_NE(data.get(), nullptr);
    EXPECT_EQ(error, nullptr);
    CFPropertyListFormat found = 0;
    Owned<CFPropertyListRef> back(
        CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, &found, &error));
    ASSERT_NE(back.get(), nullptr);
    EXPECT_EQ(found, format);
    EXPECT_TRUE(CFEqual(back, sample)) << Description(back);

    CFDictionaryRef dict = static_cast<CFDictionaryRef>(back.get());
    SInt32 version = 0;
    EXPECT_TRUE(
        CFNumberGetValue(static_cast<CFNumberRef>(CFDictionaryGetValue(dict, CFSTR("version"))),
                         kCFNumberSInt32Type, &version));
    EXPECT_EQ(version, 65536);
    CFArrayRef list = static_cast<CFArrayRef>(CFDictionaryGetValue(dict, CFSTR("list")));
    EXPECT_EQ(CFArrayGetValueAtIndex(list, 0), kCFBooleanTrue);
    EXPECT_EQ(CFArrayGetValueAtIndex(list, 1), kCFBooleanFalse);
    EXPECT_EQ(CFGetRetainCount(back), 1);
  }
}

TEST(CFPropertyList, XMLIsReadableAndKeysAreSorted)
{
  Owned<CFDictionaryRef> sample(MakeSample());
  Owned<CFDataRef> xml(CFPropertyListCreateXMLData(nullptr, sample));
  std::string text = Bytes(xml);
  EXPECT_NE(text.find("<key>version</key>"), std::string::npos);
  EXPECT_NE(text.find("<integer>65536</integer>"), std::string::npos);
  EXPECT_NE(text.find("&lt;&amp;&gt;"), std::string::npos);
  EXPECT_LT(text.find("<key>data</key>"), text.find("<key>version</key>"));
}

TEST(CFPropertyList, DamagedDataGivesNullAndAnError)
{
  Owned<CFDictionaryRef> sample(MakeSample());
  Owned<CFDataRef> binary(
      CFPropertyListCreateData(nullptr, sample, kCFPropertyListBinaryFormat_v1_0, 0, nullptr));
  std::string cut = Bytes(binary).substr(0, static_cast<size_t>(CFDataGetLength(binary)) / 2);
  const std::string damaged[] = {
      "",
      "garbage",
      "<plist><dict><key>a</key><integer>1</integer>",
      "<plist><array><string>x</array></plist>",
      "<plist><string>\xC3</string></plist>", // not UTF-8
      "<plist><date>2020-01-01T00:00:00Z</date></plist>",
      "bplist00garbage",
      cut,
  };
  for (const std::string& bytes : damaged)
  {
    CFErrorRef error = nullptr;
    EXPECT_EQ(Parse(bytes, &error), nullptr) << bytes;
    ASSERT_NE(error, nullptr) << bytes;
    EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListReadCorruptError);
    EXPECT_TRUE(CFEqual(CFErrorGetDomain(error), kCFErrorDomainCocoa));
    CFRelease(error);
  }
  EXPECT_EQ(CFPropertyListCreateWithData(nullptr, nullptr, 0, nullptr, nullptr), nullptr);
  CFStringRef message = nullptr;
  Owned<CFDataRef> junk(CFDataCreate(nullptr, reinterpret_cast<const UInt8*>("junk"), 4));
  EXPECT_EQ(CFPropertyListCreateFromXMLData(nullptr, junk, 0, &message), nullptr);
  EXPECT_NE(message, nullptr);
  CFRelease(message);
}

TEST(CFPropertyList, RefusesObjectsThatAreNotPropertyLists)
{
  Owned<CFURLRef> url(CFURLCreateWithString(nullptr, CFSTR("http://x/"), nullptr));
  Owned<CFMutableDictionaryRef> dict(CFDictionaryCreateMutable(
      nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
  CFDictionarySetValue(dict, CFSTR("url"), url);
  CFErrorRef error = nullptr;
  EXPECT_EQ(CFPropertyListCreateData(nullptr, dict, kCFPropertyListXMLFormat_v1_0, 0, &error),
            nullptr);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListWriteInvalidError);
  CFRelease(error);
  EXPECT_FALSE(CFPropertyListIsValid(dict, kCFPropertyListXMLFormat_v1_0));

  Owned<CFMutableDictionaryRef> numberKey(CFDictionaryCreateMutable(
      nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
  Owned<CFNumberRef> one(Int32(1));
  CFDictionarySetValue(numberKey, one, one);
  EXPECT_FALSE(CFPropertyListIsValid(numberKey, kCFPropertyListBinaryFormat_v1_0));
  Owned<CFDictionaryRef> sample(MakeSample());
  EXPECT_TRUE(CFPropertyListIsValid(sample, kCFPropertyListXMLFormat_v1_0));
  EXPECT_EQ(CFPropertyListCreateData(nullptr, sample, kCFPropertyListOpenStepFormat, 0, nullptr),
            nullptr);
}

TEST(CFPropertyList, MutabilityOptionsAndDeepCopies)
{
  Owned<CFPropertyListRef> mutableRoot(
      Parse("<plist><dict><key>a</key><array><string>s</string></array></dict></plist>", nullptr,
            kCFPropertyListMutableContainers));
  CFMutableDictionaryRef dict = (CFMutableDictionaryRef)mutableRoot.get();
  CFDictionarySetValue(dict, CFSTR("b"), kCFBooleanTrue);
  EXPECT_EQ(CFDictionaryGetCount(dict), 2);

  Owned<CFDictionaryRef> sample(MakeSample());
  Owned<CFPropertyListRef> copy(
      CFPropertyListCreateDeepCopy(nullptr, sample, kCFPropertyListImmutable));
  EXPECT_TRUE(CFEqual(copy, sample));
  EXPECT_NE(CFDictionaryGetValue((CFDictionaryRef)copy.get(), CFSTR("data")),
            CFDictionaryGetValue(sample, CFSTR("data")));
  CFDictionarySetValue((CFMutableDictionaryRef)copy.get(), CFSTR("x"), kCFBooleanTrue);
  EXPECT_FALSE(CFDictionaryContainsKey((CFDictionaryRef)copy.get(), CFSTR("x")));
}

TEST(CFPropertyList, FilesRoundTripThroughURLs)
{
  TempFolder temp;
  Owned<CFStringRef> path(Str((temp.Path() + "/state.aupreset").c_str()));
  Owned<CFURLRef> url(CFURLCreateWithFileSystemPath(nullptr, path, kCFURLPOSIXPathStyle, false));
  Owned<CFDictionaryRef> sample(MakeSample());
  Owned<CFDataRef> xml(CFPropertyListCreateXMLData(nullptr, sample));
  SInt32 error = 0;
  ASSERT_TRUE(CFURLWriteDataAndPropertiesToResource(url, xml, nullptr, &error));
  CFDataRef read = nullptr;
  ASSERT_TRUE(
      CFURLCreateDataAndPropertiesFromResource(nullptr, url, &read, nullptr, nullptr, &error));
  Owned<CFDataRef> owned(read);
  Owned<CFPropertyListRef> back(CFPropertyListCreateWithData(nullptr, read, 0, nullptr, nullptr));
  EXPECT_TRUE(CFEqual(back, sample));
}

TEST(CFPropertyList, LargeAndNegativeIntegersSurvive)
{
  Owned<CFPropertyListRef> value(
      Parse("<plist><array><integer>-9223372036854775808</integer>"
            "<integer>4294967295</integer><real>-0.5</real></array></plist>"));
  ASSERT_NE(value.get(), nullptr);
  CFArrayRef array = (CFArrayRef)value.get();
  SInt64 minimum = 0, large = 0;
  CFNumberGetValue((CFNumberRef)CFArrayGetValueAtIndex(array, 0), kCFNumberSInt64Type, &minimum);
  CFNumberGetValue((CFNumberRef)CFArrayGetValueAtIndex(array, 1), kCFNumberSInt64Type, &large);
  EXPECT_EQ(minimum, INT64_MIN);
  EXPECT_EQ(large, 4294967295LL);
  EXPECT_TRUE(CFNumberIsFloatType((CFNumberRef)CFArrayGetValueAtIndex(array, 2)));
}
