#include "tests/platform/cf/CFTestHelpers.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(CFRuntime, CreateGivesOneReferenceAndRetainReleaseBalance)
{
  CFStringRef string = Str("abc");
  EXPECT_EQ(CFGetRetainCount(string), 1);
  EXPECT_EQ(CFRetain(string), string);
  EXPECT_EQ(CFGetRetainCount(string), 2);
  CFRelease(string);
  EXPECT_EQ(CFGetRetainCount(string), 1);
  CFRelease(string); // frees it; LeakSanitizer would report a missing release
}

TEST(CFRuntime, ConstantsIgnoreRetainAndRelease)
{
  CFStringRef constant = CFSTR("constant text");
  CFIndex before = CFGetRetainCount(constant);
  CFRelease(constant);
  CFRelease(constant);
  EXPECT_EQ(CFGetRetainCount(constant), before);
  EXPECT_EQ(Text(constant), "constant text");
  EXPECT_EQ(CFSTR("constant text"), constant);
  CFRelease(kCFBooleanTrue);
  EXPECT_TRUE(CFBooleanGetValue(kCFBooleanTrue));
  CFRelease(kCFNull);
  EXPECT_EQ(CFGetTypeID(kCFNull), CFNullGetTypeID());
}

TEST(CFRuntime, NullArgumentsAreHarmless)
{
  EXPECT_EQ(CFRetain(nullptr), nullptr);
  CFRelease(nullptr);
  EXPECT_EQ(CFGetRetainCount(nullptr), 0);
  EXPECT_EQ(CFGetTypeID(nullptr), 0u);
  EXPECT_TRUE(CFEqual(nullptr, nullptr));
  EXPECT_FALSE(CFEqual(CFSTR("a"), nullptr));
  EXPECT_EQ(CFCopyDescription(nullptr), nullptr);
}

TEST(CFRuntime, TypeIdsAreDistinctAndNamed)
{
  std::vector<CFTypeID> ids = {CFStringGetTypeID(),    CFNumberGetTypeID(), CFBooleanGetTypeID(),
                               CFDataGetTypeID(),      CFArrayGetTypeID(),  CFDictionaryGetTypeID(),
                               CFURLGetTypeID(),       CFBundleGetTypeID(), CFErrorGetTypeID(),
                               CFAllocatorGetTypeID(), CFNullGetTypeID()};
  for (size_t i = 0; i < ids.size(); ++i)
    for (size_t j = i + 1; j < ids.size(); ++j)
      EXPECT_NE(ids[i], ids[j]);
  Owned<CFStringRef> name(CFCopyTypeIDDescription(CFDictionaryGetTypeID()));
  EXPECT_EQ(Text(name), "CFDictionary");
  Owned<CFNumberRef> number(Int32(4));
  EXPECT_EQ(CFGetTypeID(number), CFNumberGetTypeID());
}

TEST(CFRuntime, EqualObjectsHashAlike)
{
  Owned<CFStringRef> a(Str("same")), b(Str("same")), c(Str("other"));
  EXPECT_TRUE(CFEqual(a, b));
  EXPECT_EQ(CFHash(a), CFHash(b));
  EXPECT_FALSE(CFEqual(a, c));
  Owned<CFNumberRef> integer(Int32(3));
  double three = 3.0;
  Owned<CFNumberRef> real(CFNumberCreate(nullptr, kCFNumberFloat64Type, &three));
  EXPECT_TRUE(CFEqual(integer, real));
  EXPECT_EQ(CFHash(integer), CFHash(real));
  EXPECT_FALSE(CFEqual(a, integer)); // different types never compare equal
}

TEST(CFRuntime, ConcurrentRetainReleaseKeepsCount)
{
  CFStringRef string = Str("shared");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back(
        [string]
        {
          for (int i = 0; i < 10000; ++i)
          {
            CFRetain(string);
            CFRelease(string);
          }
        });
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(CFGetRetainCount(string), 1);
  CFRelease(string);
}

TEST(CFRuntime, AllocatorsHandOutRawMemory)
{
  void* block = CFAllocatorAllocate(kCFAllocatorDefault, 16, 0);
  ASSERT_NE(block, nullptr);
  CFAllocatorDeallocate(kCFAllocatorDefault, block);
  EXPECT_EQ(CFAllocatorAllocate(kCFAllocatorNull, 16, 0), nullptr);
  EXPECT_EQ(CFAllocatorAllocate(kCFAllocatorSystemDefault, 0, 0), nullptr);
  EXPECT_EQ(CFGetTypeID(CFAllocatorGetDefault()), CFAllocatorGetTypeID());
}

TEST(CFRuntime, ErrorCarriesDomainCodeAndDescription)
{
  Owned<CFErrorRef> plain(CFErrorCreate(nullptr, kCFErrorDomainPOSIX, 2, nullptr));
  EXPECT_EQ(CFErrorGetCode(plain), 2);
  EXPECT_TRUE(CFEqual(CFErrorGetDomain(plain), CFSTR("NSPOSIXErrorDomain")));
  Owned<CFStringRef> text(CFErrorCopyDescription(plain));
  EXPECT_EQ(Text(text), "The operation couldn't be completed. (NSPOSIXErrorDomain error 2.)");

  const void* keys[] = {kCFErrorDescriptionKey};
  const void* values[] = {CFSTR("went wrong")};
  Owned<CFDictionaryRef> info(CFDictionaryCreate(
      nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
  Owned<CFErrorRef> described(CFErrorCreate(nullptr, kCFErrorDomainCocoa, 1, info));
  Owned<CFStringRef> custom(CFErrorCopyDescription(described));
  EXPECT_EQ(Text(custom), "went wrong");
  EXPECT_EQ(CFErrorCreate(nullptr, nullptr, 1, nullptr), nullptr);
}
