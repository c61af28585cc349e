#include "tests/platform/cf/CFTestHelpers.h"
#include "tests/platform/cf/CountingCallBacks.h"

#include <gtest/gtest.h>

TEST(CFArray, CustomCallBacksRetainOnInsertAndReleaseOnRemoval)
{
  gCounts = CallCounts();
  Counted a{1, 1}, b{2, 1}, c{3, 1};
  CFMutableArrayRef array = CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCountedArrayCallBacks);
  CFArrayAppendValue(array, &a);
  CFArrayAppendValue(array, &b);
  CFArrayInsertValueAtIndex(array, 0, &c);
  EXPECT_EQ(gCounts.retains, 3);
  EXPECT_EQ(gCounts.lastAllocator, kCFAllocatorDefault);
  EXPECT_EQ(CFArrayGetCount(array), 3);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, 0), &c);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, 3), nullptr);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, -1), nullptr);

  CFArraySetValueAtIndex(array, 0, &a); // replaces c: retains a, releases c
  EXPECT_EQ(a.references, 3);
  EXPECT_EQ(c.references, 1);
  CFArrayRemoveValueAtIndex(array, 1);
  EXPECT_EQ(gCounts.releases, 2);
  CFArrayRemoveValueAtIndex(array, 7); // outside: nothing
  EXPECT_EQ(gCounts.releases, 2);

  Counted probe{2, 1};
  EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, CFArrayGetCount(array)), &probe), 1);
  EXPECT_GT(gCounts.equals, 0);

  CFRelease(array); // releases the two remaining elements
  EXPECT_EQ(gCounts.retains, 4);
  EXPECT_EQ(gCounts.releases, 4);
  EXPECT_EQ(a.references, 1);
  EXPECT_EQ(b.references, 1);
  EXPECT_EQ(c.references, 1);
}

TEST(CFArray, DescriptionUsesTheCopyDescriptionCallBack)
{
  gCounts = CallCounts();
  Counted a{7, 1}, b{8, 1};
  const void* values[] = {&a, &b};
  Owned<CFArrayRef> array(CFArrayCreate(nullptr, values, 2, &kCountedArrayCallBacks));
  EXPECT_EQ(Description(array), "(\n    #7,\n    #8\n)");
  EXPECT_EQ(gCounts.descriptions, 2);
}

TEST(CFArray, TypeCallBacksRetainCFObjects)
{
  CFStringRef string = Str("element");
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
  CFArrayAppendValue(array, string);
  CFArrayAppendValue(array, string);
  EXPECT_EQ(CFGetRetainCount(string), 3);
  CFArrayRef copy = CFArrayCreateCopy(nullptr, array);
  EXPECT_EQ(CFGetRetainCount(string), 5);
  EXPECT_TRUE(CFEqual(copy, array));
  EXPECT_TRUE(CFArrayContainsValue(copy, CFRangeMake(0, 2), CFSTR("element")));
  CFArrayRemoveAllValues(array);
  EXPECT_EQ(CFGetRetainCount(string), 3);
  CFRelease(array);
  CFRelease(copy);
  EXPECT_EQ(CFGetRetainCount(string), 1);
  CFRelease(string);
}

TEST(CFArray, NullCallBacksStorePlainPointers)
{
  int x = 0, y = 0;
  const void* values[] = {&x, &y};
  Owned<CFArrayRef> array(CFArrayCreate(nullptr, values, 2, nullptr));
  EXPECT_EQ(CFArrayGetValueAtIndex(array, 1), &y);
  const void* out[2] = {};
  CFArrayGetValues(array, CFRangeMake(0, 2), out);
  EXPECT_EQ(out[0], &x);
  EXPECT_EQ(CFArrayGetCountOfValue(array, CFRangeMake(0, 2), &x), 1);
}

TEST(CFArray, CapacityAndImmutabilityAreEnforced)
{
  Owned<CFMutableArrayRef> bounded(CFArrayCreateMutable(nullptr, 1, &kCFTypeArrayCallBacks));
  CFArrayAppendValue(bounded, CFSTR("one"));
  CFArrayAppendValue(bounded, CFSTR("two"));
  EXPECT_EQ(CFArrayGetCount(bounded), 1);

  CFStringRef string = Str("kept");
  const void* values[] = {string};
  Owned<CFArrayRef> frozen(CFArrayCreate(nullptr, values, 1, &kCFTypeArrayCallBacks));
  CFArrayAppendValue(const_cast<CFMutableArrayRef>(frozen.get()), string);
  CFArrayRemoveValueAtIndex(const_cast<CFMutableArrayRef>(frozen.get()), 0);
  EXPECT_EQ(CFArrayGetCount(frozen), 1);
  EXPECT_EQ(CFGetRetainCount(string), 2);
  CFRelease(string);

  Owned<CFMutableArrayRef> copy(CFArrayCreateMutableCopy(nullptr, 0, frozen));
  CFArrayAppendArray(copy, frozen, CFRangeMake(0, 1));
  EXPECT_EQ(CFArrayGetCount(copy), 2);
  EXPECT_EQ(CFArrayCreateMutableCopy(nullptr, 1, copy), nullptr); // would not fit
}
