#include "tests/platform/cf/CFTestHelpers.h"
#include "tests/platform/cf/CountingCallBacks.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(CFDictionary, CustomCallBacksCountKeysAndValues)
{
  gCounts = CallCounts();
  Counted k1{1, 1}, k2{2, 1}, v1{10, 1}, v2{20, 1}, v3{30, 1};
  CFMutableDictionaryRef dict =
      CFDictionaryCreateMutable(nullptr, 0, &kCountedKeyCallBacks, &kCountedValueCallBacks);
  CFDictionarySetValue(dict, &k1, &v1);
  CFDictionaryAddValue(dict, &k2, &v2);
  EXPECT_EQ(gCounts.retains, 4);

  CFDictionaryAddValue(dict, &k1, &v3); // present: AddValue leaves it alone
  EXPECT_EQ(gCounts.retains, 4);
  EXPECT_EQ(CFDictionaryGetValue(dict, &k1), &v1);

  Counted sameKey{1, 1};                     // equal to k1 through the callbacks
  CFDictionarySetValue(dict, &sameKey, &v3); // replaces the value, keeps the stored key
  EXPECT_EQ(gCounts.retains, 5);
  EXPECT_EQ(gCounts.releases, 1);
  EXPECT_EQ(v1.references, 1);
  EXPECT_EQ(v3.references, 2);
  EXPECT_EQ(sameKey.references, 1);
  EXPECT_EQ(k1.references, 2);
  EXPECT_GT(gCounts.hashes, 0);

  CFDictionaryRemoveValue(dict, &k2);
  EXPECT_EQ(gCounts.releases, 3);
  EXPECT_EQ(k2.references, 1);
  EXPECT_EQ(v2.references, 1);
  CFDictionaryReplaceValue(dict, &k2, &v2); // absent: nothing
  EXPECT_EQ(CFDictionaryGetCount(dict), 1);

  CFRelease(dict);
  EXPECT_EQ(gCounts.retains, gCounts.releases);
  EXPECT_EQ(k1.references, 1);
  EXPECT_EQ(v3.references, 1);
}

TEST(CFDictionary, TypeCallBacksAndLookups)
{
  CFStringRef key = Str("key");
  CFNumberRef value = Int32(5);
  CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
      nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFDictionarySetValue(dict, key, value);
  EXPECT_EQ(CFGetRetainCount(key), 2);
  EXPECT_EQ(CFGetRetainCount(value), 2);
  EXPECT_EQ(CFDictionaryGetValue(dict, CFSTR("key")), value); // found by equality, not identity
  const void* found = nullptr;
  EXPECT_TRUE(CFDictionaryGetValueIfPresent(dict, CFSTR("key"), &found));
  EXPECT_EQ(found, value);
  EXPECT_FALSE(CFDictionaryGetValueIfPresent(dict, CFSTR("missing"), &found));
  EXPECT_EQ(found, value); // untouched when absent
  EXPECT_TRUE(CFDictionaryContainsKey(dict, CFSTR("key")));
  EXPECT_TRUE(CFDictionaryContainsValue(dict, value));
  EXPECT_EQ(CFDictionaryGetValue(dict, CFSTR("missing")), nullptr);

  CFDictionaryRef copy = CFDictionaryCreateCopy(nullptr, dict);
  EXPECT_TRUE(CFEqual(copy, dict));
  EXPECT_EQ(CFGetRetainCount(value), 3);
  CFDictionaryRemoveAllValues(dict);
  EXPECT_EQ(CFDictionaryGetCount(dict), 0);
  EXPECT_FALSE(CFEqual(copy, dict));
  CFRelease(dict);
  CFRelease(copy);
  EXPECT_EQ(CFGetRetainCount(key), 1);
  EXPECT_EQ(CFGetRetainCount(value), 1);
  CFRelease(key);
  CFRelease(value);
}

TEST(CFDictionary, CopyStringKeysAreCopiedFromMutableKeys)
{
  CFMutableStringRef key = CFStringCreateMutableCopy(nullptr, 0, CFSTR("name"));
  Owned<CFMutableDictionaryRef> dict(CFDictionaryCreateMutable(
      nullptr, 0, &kCFCopyStringDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
  CFDictionarySetValue(dict, key, CFSTR("value"));
  EXPECT_EQ(CFGetRetainCount(key), 1); // the dictionary keeps its own copy
  CFStringAppend(key, CFSTR("-changed"));
  EXPECT_TRUE(CFDictionaryContainsKey(dict, CFSTR("name")));
  const void* storedKey = nullptr;
  CFDictionaryGetKeysAndValues(dict, &storedKey, nullptr);
  EXPECT_NE(storedKey, static_cast<const void*>(key));
  CFRelease(key);
}

TEST(CFDictionary, CreateWithArraysAndIterate)
{
  const void* keys[] = {CFSTR("a"), CFSTR("b"), CFSTR("a")};
  Owned<CFNumberRef> one(Int32(1)), two(Int32(2)), three(Int32(3));
  const void* values[] = {one.get(), two.get(), three.get()};
  Owned<CFDictionaryRef> dict(CFDictionaryCreate(
      nullptr, keys, values, 3, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
  EXPECT_EQ(CFDictionaryGetCount(dict), 2);
  EXPECT_EQ(CFDictionaryGetValue(dict, CFSTR("a")), three.get()); // the last value wins
  EXPECT_EQ(CFGetRetainCount(one), 1);

  std::set<std::string> seen;
  CFDictionaryApplyFunction(
      dict,
      [](const void* key, const void*, void* context) {
        static_cast<std::set<std::string>*>(context)->insert(Text(static_cast<CFStringRef>(key)));
      },
      &seen);
  EXPECT_EQ(seen, (std::set<std::string>{"a", "b"}));
  EXPECT_EQ(Description(dict), "{\n    a = 3;\n    b = 2;\n}");

  CFDictionaryAddValue(const_cast<CFMutableDictionaryRef>(dict.get()), CFSTR("c"), one);
  EXPECT_EQ(CFDictionaryGetCount(dict), 2); // immutable

  Owned<CFMutableDictionaryRef> bounded(CFDictionaryCreateMutable(
      nullptr, 1, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
  CFDictionarySetValue(bounded, CFSTR("x"), one);
  CFDictionarySetValue(bounded, CFSTR("y"), one);
  CFDictionarySetValue(bounded, CFSTR("x"), two); // replacing needs no room
  EXPECT_EQ(CFDictionaryGetCount(bounded), 1);
  EXPECT_EQ(CFDictionaryGetValue(bounded, CFSTR("x")), two.get());
}

TEST(CFDictionary, NestedDescriptionsIndent)
{
  const void* innerKeys[] = {CFSTR("k")};
  const void* innerValues[] = {CFSTR("v")};
  Owned<CFDictionaryRef> inner(CFDictionaryCreate(nullptr, innerKeys, innerValues, 1,
                                                  &kCFTypeDictionaryKeyCallBacks,
                                                  &kCFTypeDictionaryValueCallBacks));
  const void* keys[] = {CFSTR("inner")};
  const void* values[] = {inner.get()};
  Owned<CFDictionaryRef> outer(CFDictionaryCreate(
      nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
  EXPECT_EQ(Description(outer), "{\n    inner = {\n        k = v;\n    };\n}");
}
