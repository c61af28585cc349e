#include <CoreServices/CoreServices.h>

#include <gtest/gtest.h>

#include <cstring>

TEST(Handles, GrowKeepingContentsAndZeroFillingNewBytes)
{
  Handle h = NewHandle(3);
  ASSERT_NE(nullptr, h);
  ASSERT_NE(nullptr, *h);
  EXPECT_EQ(3, GetHandleSize(h));
  std::memcpy(*h, "abc", 3);
  SetHandleSize(h, 6);
  EXPECT_EQ(noErr, MemError());
  EXPECT_EQ(6, GetHandleSize(h));
  EXPECT_EQ(0, std::memcmp(*h, "abc\0\0\0", 6));
  SetHandleSize(h, 1);
  EXPECT_EQ(1, GetHandleSize(h));
  EXPECT_EQ('a', **h);
  SetHandleSize(h, -1);
  EXPECT_EQ(memFullErr, MemError());
  EXPECT_EQ(1, GetHandleSize(h));
  DisposeHandle(h);

  Handle cleared = NewHandleClear(4);
  ASSERT_NE(nullptr, cleared);
  EXPECT_EQ(0, std::memcmp(*cleared, "\0\0\0\0", 4));
  DisposeHandle(cleared);
}

TEST(Handles, NullAndNegativeSizesAreRefused)
{
  EXPECT_EQ(nullptr, NewHandle(-1));
  EXPECT_EQ(memFullErr, MemError());
  Handle empty = NewHandle(0);
  ASSERT_NE(nullptr, empty);
  EXPECT_NE(nullptr, *empty);
  EXPECT_EQ(0, GetHandleSize(empty));
  DisposeHandle(empty);
  EXPECT_EQ(0, GetHandleSize(nullptr));
  EXPECT_EQ(nilHandleErr, MemError());
  SetHandleSize(nullptr, 4);
  EXPECT_EQ(nilHandleErr, MemError());
  DisposeHandle(nullptr);
}
