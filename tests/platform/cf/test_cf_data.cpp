#include "tests/platform/cf/CFTestHelpers.h"

#include <gtest/gtest.h>

TEST(CFData, CopiesBytesInAndOut)
{
  const UInt8 bytes[] = {1, 2, 3, 4};
  Owned<CFDataRef> data(CFDataCreate(nullptr, bytes, 4));
  EXPECT_EQ(CFDataGetLength(data), 4);
  EXPECT_NE(CFDataGetBytePtr(data), bytes);
  EXPECT_EQ(CFDataGetBytePtr(data)[3], 4);
  UInt8 out[4] = {9, 9, 9, 9};
  CFDataGetBytes(data, CFRangeMake(2, 10), out); // clipped to the block
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(out[1], 4);
  EXPECT_EQ(out[2], 9);
  Owned<CFDataRef> empty(CFDataCreate(nullptr, nullptr, 0));
  EXPECT_EQ(CFDataGetLength(empty), 0);
  EXPECT_EQ(CFDataGetBytePtr(empty), nullptr);
  EXPECT_EQ(CFDataCreate(nullptr, nullptr, 3), nullptr);
  EXPECT_EQ(CFDataCreate(nullptr, bytes, -1), nullptr);
  Owned<CFDataRef> same(CFDataCreate(nullptr, bytes, 4));
  EXPECT_TRUE(CFEqual(data, same));
  EXPECT_EQ(CFHash(data), CFHash(same));
  EXPECT_EQ(Description(empty), "<CFData length = 0> {bytes = 0x}");
}

TEST(CFData, MutableBlocksGrowWithinCapacity)
{
  Owned<CFMutableDataRef> data(CFDataCreateMutable(nullptr, 4));
  const UInt8 abc[] = {'a', 'b', 'c'};
  CFDataAppendBytes(data, abc, 3);
  CFDataAppendBytes(data, abc, 3); // would exceed the capacity: refused
  EXPECT_EQ(CFDataGetLength(data), 3);
  CFDataIncreaseLength(data, 1);
  EXPECT_EQ(CFDataGetLength(data), 4);
  EXPECT_EQ(CFDataGetBytePtr(data)[3], 0);
  CFDataGetMutableBytePtr(data)[0] = 'z';
  CFDataReplaceBytes(data, CFRangeMake(1, 2), abc, 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(data)), 3),
            std::string("za\0", 3));
  CFDataDeleteBytes(data, CFRangeMake(0, 1));
  EXPECT_EQ(CFDataGetLength(data), 2);

  Owned<CFDataRef> frozen(CFDataCreate(nullptr, abc, 3));
  CFMutableDataRef forced = const_cast<CFMutableDataRef>(frozen.get());
  CFDataAppendBytes(forced, abc, 3);
  CFDataSetLength(forced, 0);
  EXPECT_EQ(CFDataGetLength(frozen), 3);
  EXPECT_EQ(CFDataGetMutableBytePtr(forced), nullptr);
}
