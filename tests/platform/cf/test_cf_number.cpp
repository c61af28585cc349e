#include "tests/platform/cf/CFTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

TEST(CFNumber, KeepsTypeAndReadsBackExactly)
{
  SInt8 s8 = -8;
  SInt16 s16 = -1600;
  SInt64 s64 = INT64_MIN;
  Float32 f32 = 0.1f;
  Owned<CFNumberRef> n8(CFNumberCreate(nullptr, kCFNumberSInt8Type, &s8));
  Owned<CFNumberRef> n16(CFNumberCreate(nullptr, kCFNumberShortType, &s16));
  Owned<CFNumberRef> n64(CFNumberCreate(nullptr, kCFNumberLongLongType, &s64));
  Owned<CFNumberRef> nf(CFNumberCreate(nullptr, kCFNumberFloatType, &f32));
  EXPECT_EQ(CFNumberGetType(n8), kCFNumberSInt8Type);
  EXPECT_EQ(CFNumberGetType(n16), kCFNumberSInt16Type);
  EXPECT_EQ(CFNumberGetType(n64), kCFNumberSInt64Type);
  EXPECT_EQ(CFNumberGetType(nf), kCFNumberFloat32Type);
  EXPECT_EQ(CFNumberGetByteSize(n16), 2);
  EXPECT_TRUE(CFNumberIsFloatType(nf));
  EXPECT_FALSE(CFNumberIsFloatType(n64));

  SInt64 back64 = 0;
  EXPECT_TRUE(CFNumberGetValue(n64, kCFNumberSInt64Type, &back64));
  EXPECT_EQ(back64, INT64_MIN);
  Float32 backFloat = 0;
  EXPECT_TRUE(CFNumberGetValue(nf, kCFNumberFloat32Type, &backFloat));
  EXPECT_EQ(backFloat, 0.1f);
  int asInt = 0;
  EXPECT_TRUE(CFNumberGetValue(n8, kCFNumberIntType, &asInt));
  EXPECT_EQ(asInt, -8);
  EXPECT_EQ(CFNumberCreate(nullptr, 99, &asInt), nullptr);
  EXPECT_EQ(CFNumberCreate(nullptr, kCFNumberIntType, nullptr), nullptr);
}

TEST(CFNumber, LossyConversionsSaturateTruncateAndReportFalse)
{
  SInt64 big = 5000000000LL;
  Owned<CFNumberRef> n(CFNumberCreate(nullptr, kCFNumberSInt64Type, &big));
  SInt32 narrow = 0;
  EXPECT_FALSE(CFNumberGetValue(n, kCFNumberSInt32Type, &narrow));
  EXPECT_EQ(narrow, INT32_MAX);
  SInt8 tiny = 0;
  SInt32 negative = -200;
  Owned<CFNumberRef> neg(CFNumberCreate(nullptr, kCFNumberSInt32Type, &negative));
  EXPECT_FALSE(CFNumberGetValue(neg, kCFNumberSInt8Type, &tiny));
  EXPECT_EQ(tiny, -128);

  double real = -2.75;
  Owned<CFNumberRef> r(CFNumberCreate(nullptr, kCFNumberFloat64Type, &real));
  SInt32 truncated = 0;
  EXPECT_FALSE(CFNumberGetValue(r, kCFNumberSInt32Type, &truncated));
  EXPECT_EQ(truncated, -2);
  Float32 single = 0;
  EXPECT_TRUE(CFNumberGetValue(r, kCFNumberFloat32Type, &single));
  EXPECT_EQ(single, -2.75f);

  double point1 = 0.1;
  Owned<CFNumberRef> p(CFNumberCreate(nullptr, kCFNumberDoubleType, &point1));
  EXPECT_FALSE(CFNumberGetValue(p, kCFNumberFloat32Type, &single));
  EXPECT_EQ(single, 0.1f);

  double huge = 1e300;
  Owned<CFNumberRef> h(CFNumberCreate(nullptr, kCFNumberFloat64Type, &huge));
  EXPECT_FALSE(CFNumberGetValue(h, kCFNumberFloat32Type, &single));
  EXPECT_EQ(single, std::numeric_limits<float>::max());
  SInt64 saturated = 0;
  EXPECT_FALSE(CFNumberGetValue(h, kCFNumberSInt64Type, &saturated));
  EXPECT_EQ(saturated, INT64_MAX);

  double nan = std::nan("");
  Owned<CFNumberRef> nn(CFNumberCreate(nullptr, kCFNumberFloat64Type, &nan));
  EXPECT_FALSE(CFNumberGetValue(nn, kCFNumberSInt32Type, &truncated));
  EXPECT_EQ(truncated, 0);
  EXPECT_TRUE(CFNumberGetValue(nn, kCFNumberFloat32Type, &single));
  EXPECT_TRUE(std::isnan(single));

  SInt64 odd = (1LL << 53) + 1;
  Owned<CFNumberRef> o(CFNumberCreate(nullptr, kCFNumberSInt64Type, &odd));
  double asDouble = 0;
  EXPECT_FALSE(CFNumberGetValue(o, kCFNumberFloat64Type, &asDouble));
  SInt32 whole = 7;
  Owned<CFNumberRef> w(CFNumberCreate(nullptr, kCFNumberSInt32Type, &whole));
  EXPECT_TRUE(CFNumberGetValue(w, kCFNumberFloat64Type, &asDouble));
  EXPECT_EQ(asDouble, 7.0);
  EXPECT_FALSE(CFNumberGetValue(w, 0, &asDouble));
}

TEST(CFNumber, ComparesAcrossKinds)
{
  Owned<CFNumberRef> two(Int32(2));
  double twoPointFive = 2.5;
  Owned<CFNumberRef> real(CFNumberCreate(nullptr, kCFNumberFloat64Type, &twoPointFive));
  EXPECT_EQ(CFNumberCompare(two, real, nullptr), kCFCompareLessThan);
  EXPECT_EQ(CFNumberCompare(real, two, nullptr), kCFCompareGreaterThan);
  EXPECT_EQ(CFNumberCompare(two, two, nullptr), kCFCompareEqualTo);
  EXPECT_EQ(Description(real), "2.5");
  EXPECT_EQ(Description(two), "2");
  double tenth = 0.1;
  Float32 tenthSingle = 0.1f;
  Owned<CFNumberRef> d(CFNumberCreate(nullptr, kCFNumberFloat64Type, &tenth));
  Owned<CFNumberRef> f(CFNumberCreate(nullptr, kCFNumberFloat32Type, &tenthSingle));
  EXPECT_EQ(Description(d), "0.1");
  EXPECT_EQ(Description(f), "0.1");
}
