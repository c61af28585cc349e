// Numbers (integers up to 64 bits and reals) with converting reads, and the two booleans.
#include "platform/cf/CFObject.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace cf;

struct __CFBoolean : CFObject
{
  static constexpr CFTypeID kTypeID = kTypeBoolean;
  constexpr explicit __CFBoolean(bool value) : CFObject(kTypeID, true), mValue(value) {}
  std::string Describe() const override { return mValue ? "true" : "false"; }
  const bool mValue;
};

static __CFBoolean gTrue(true);
static __CFBoolean gFalse(false);

namespace
{

// The kind a number type is stored as, and its byte size; size 0 for an unknown type.
struct Kind
{
  CFNumberType canonical;
  size_t size;
  bool isFloat;
};

Kind KindOf(CFNumberType type)
{
  switch (type)
  {
  case kCFNumberSInt8Type:
  case kCFNumberCharType:
    return {kCFNumberSInt8Type, 1, false};
  case kCFNumberSInt16Type:
  case kCFNumberShortType:
    return {kCFNumberSInt16Type, 2, false};
  case kCFNumberSInt32Type:
  case kCFNumberIntType:
    return {kCFNumberSInt32Type, 4, false};
  case kCFNumberSInt64Type:
  case kCFNumberLongType:
  case kCFNumberLongLongType:
  case kCFNumberCFIndexType:
  case kCFNumberNSIntegerType:
    return {kCFNumberSInt64Type, 8, false};
  case kCFNumberFloat32Type:
  case kCFNumberFloatType:
    return {kCFNumberFloat32Type, 4, true};
  case kCFNumberFloat64Type:
  case kCFNumberDoubleType:
  case kCFNumberCGFloatType:
    return {kCFNumberFloat64Type, 8, true};
  default:
    return {0, 0, false};
  }
}

template <class T> T Load(const void* p)
{
  T value;
  std::memcpy(&value, p, sizeof(T));
  return value;
}

template <class T> void Store(void* p, T value)
{
  std::memcpy(p, &value, sizeof(T));
}

const double kTwo63 = 9223372036854775808.0;

// An integer of `bits` bits from a real: truncated toward zero, saturated, NaN as 0.
int64_t IntegerFromReal(double value, int bits, bool& exact)
{
  const double limit = std::ldexp(1.0, bits - 1);
  const int64_t maximum = bits == 64 ? INT64_MAX : (int64_t(1) << (bits - 1)) - 1;
  exact = false;
  if (std::isnan(value)) return 0;
  if (value >= limit) return maximum;
  if (value < -limit) return -maximum - 1;
  int64_t result = static_cast<int64_t>(value);
  exact = static_cast<double>(result) == value;
  return result;
}

int64_t IntegerFromInteger(int64_t value, int bits, bool& exact)
{
  const int64_t maximum = bits == 64 ? INT64_MAX : (int64_t(1) << (bits - 1)) - 1;
  const int64_t minimum = -maximum - 1;
  exact = value >= minimum && value <= maximum;
  return value > maximum ? maximum : (value < minimum ? minimum : value);
}

double DoubleFromInteger(int64_t value, bool& exact)
{
  double result = static_cast<double>(value);
  exact = result < kTwo63 && static_cast<int64_t>(result) == value;
  return result;
}

float FloatFromDouble(double value, bool& exact)
{
  float result;
  if (std::isnan(value) || std::isinf(value) || std::fabs(value) <= FLT_MAX)
    result = static_cast<float>(value);
  else
    result = value > 0 ? FLT_MAX : -FLT_MAX;
  exact = std::isnan(value) || static_cast<double>(result) == value;
  return result;
}

// The fewest significant digits that read back as the same value (as a float for 32-bit reals).
std::string ShortestText(double value, bool single)
{
  char text[64];
  for (int digits = single ? 6 : 15; digits < 17; ++digits)
  {
    std::snprintf(text, sizeof(text), "%.*g", digits, value);
    double back = std::strtod(text, nullptr);
    if (single ? static_cast<float>(back) == static_cast<float>(value) : back == value) return text;
  }
  std::snprintf(text, sizeof(text), "%.17g", value);
  return text;
}

} // namespace

struct __CFNumber : CFObject
{
  static constexpr CFTypeID kTypeID = kTypeNumber;

  __CFNumber(CFNumberType canonical, int64_t integer)
      : CFObject(kTypeID), mType(canonical), mIsFloat(false), mInteger(integer)
  {
  }
  __CFNumber(CFNumberType canonical, double real)
      : CFObject(kTypeID), mType(canonical), mIsFloat(true), mReal(real)
  {
  }

  bool Equals(const CFObject& other) const override
  {
    return Compare(static_cast<const __CFNumber&>(other)) == kCFCompareEqualTo;
  }

  // Integral values hash alike whether stored as integer or real, as they compare equal.
  CFHashCode Hash() const override
  {
    if (!mIsFloat) return static_cast<CFHashCode>(mInteger);
    bool exact = false;
    int64_t integer = IntegerFromReal(mReal, 64, exact);
    if (exact) return static_cast<CFHashCode>(integer);
    return HashBytes(&mReal, sizeof(mReal));
  }

  std::string Describe() const override
  {
    if (mIsFloat) return ShortestText(mReal, mType == kCFNumberFloat32Type);
    char text[32];
    std::snprintf(text, sizeof(text), "%lld", static_cast<long long>(mInteger));
    return text;
  }

  double AsDouble() const { return mIsFloat ? mReal : static_cast<double>(mInteger); }

  // NaN sorts below every other number and equals itself.
  CFComparisonResult Compare(const __CFNumber& other) const
  {
    if (!mIsFloat && !other.mIsFloat)
      return mInteger < other.mInteger
                 ? kCFCompareLessThan
                 : (mInteger > other.mInteger ? kCFCompareGreaterThan : kCFCompareEqualTo);
    double a = AsDouble(), b = other.AsDouble();
    if (std::isnan(a) || std::isnan(b))
      return std::isnan(a) == std::isnan(b)
                 ? kCFCompareEqualTo
                 : (std::isnan(a) ? kCFCompareLessThan : kCFCompareGreaterThan);
    return a < b ? kCFCompareLessThan : (a > b ? kCFCompareGreaterThan : kCFCompareEqualTo);
  }

  bool Get(const Kind& kind, void* out) const
  {
    bool exact = false;
    if (kind.isFloat)
    {
      double value = mIsFloat ? mReal : DoubleFromInteger(mInteger, exact);
      bool narrowExact = true;
      if (kind.size == 4)
        Store(out, FloatFromDouble(value, narrowExact));
      else
        Store(out, value);
      return (mIsFloat || exact) && narrowExact;
    }
    int bits = static_cast<int>(kind.size * 8);
    int64_t value =
        mIsFloat ? IntegerFromReal(mReal, bits, exact) : IntegerFromInteger(mInteger, bits, exact);
    switch (kind.size)
    {
    case 1:
      Store(out, static_cast<int8_t>(value));
      break;
    case 2:
      Store(out, static_cast<int16_t>(value));
      break;
    case 4:
      Store(out, static_cast<int32_t>(value));
      break;
    default:
      Store(out, value);
      break;
    }
    return exact;
  }

  const CFNumberType mType;
  const bool mIsFloat;
  union
  {
    int64_t mInteger;
    double mReal;
  };
};

static __CFNumber* CreateNumber(const Kind& kind, const void* p)
{
  if (kind.isFloat)
    return kind.size == 4 ? new __CFNumber(kind.canonical, static_cast<double>(Load<float>(p)))
                          : new __CFNumber(kind.canonical, Load<double>(p));
  switch (kind.size)
  {
  case 1:
    return new __CFNumber(kind.canonical, static_cast<int64_t>(Load<int8_t>(p)));
  case 2:
    return new __CFNumber(kind.canonical, static_cast<int64_t>(Load<int16_t>(p)));
  case 4:
    return new __CFNumber(kind.canonical, static_cast<int64_t>(Load<int32_t>(p)));
  default:
    return new __CFNumber(kind.canonical, Load<int64_t>(p));
  }
}

const CFBooleanRef kCFBooleanTrue = &gTrue;
const CFBooleanRef kCFBooleanFalse = &gFalse;

CFTypeID CFBooleanGetTypeID(void)
{
  return kTypeBoolean;
}

Boolean CFBooleanGetValue(CFBooleanRef boolean)
{
  const __CFBoolean* object = As<__CFBoolean>(boolean);
  return object && object->mValue;
}

CFTypeID CFNumberGetTypeID(void)
{
  return kTypeNumber;
}

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType theType, const void* valuePtr)
{
  Kind kind = KindOf(theType);
  if (kind.size == 0 || !valuePtr) return nullptr;
  return CreateNumber(kind, valuePtr);
}

CFNumberType CFNumberGetType(CFNumberRef number)
{
  const __CFNumber* object = As<__CFNumber>(number);
  return object ? object->mType : 0;
}

CFIndex CFNumberGetByteSize(CFNumberRef number)
{
  return static_cast<CFIndex>(KindOf(CFNumberGetType(number)).size);
}

Boolean CFNumberIsFloatType(CFNumberRef number)
{
  const __CFNumber* object = As<__CFNumber>(number);
  return object && object->mIsFloat;
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr)
{
  const __CFNumber* object = As<__CFNumber>(number);
  Kind kind = KindOf(theType);
  if (!object || kind.size == 0 || !valuePtr) return false;
  return object->Get(kind, valuePtr);
}

CFComparisonResult CFNumberCompare(CFNumberRef number, CFNumberRef otherNumber, void*)
{
  const __CFNumber* a = As<__CFNumber>(number);
  const __CFNumber* b = As<__CFNumber>(otherNumber);
  if (!a || !b) return a ? kCFCompareGreaterThan : (b ? kCFCompareLessThan : kCFCompareEqualTo);
  return a->Compare(*b);
}
