// Ordered arrays; element lifetime is managed through the array's callbacks.
#include "platform/cf/CFObject.h"

#include <algorithm>
#include <vector>

using namespace cf;

struct __CFArray : CFObject
{
  static constexpr CFTypeID kTypeID = kTypeArray;

  __CFArray(CFAllocatorRef allocator, const CFArrayCallBacks* callBacks, bool isMutable,
            CFIndex capacity)
      : CFObject(kTypeID), mAllocator(allocator), mMutable(isMutable), mCapacity(capacity)
  {
    if (callBacks) mCallBacks = *callBacks;
  }

  ~__CFArray() override
  {
    for (const void* value : mValues)
      ReleaseValue(value);
  }

  bool Equals(const CFObject& other) const override
  {
    const __CFArray& array = static_cast<const __CFArray&>(other);
    if (array.mValues.size() != mValues.size()) return false;
    for (size_t i = 0; i < mValues.size(); ++i)
      if (!ValuesEqual(mValues[i], array.mValues[i])) return false;
    return true;
  }

  CFHashCode Hash() const override { return mValues.size(); }

  std::string Describe() const override
  {
    std::string out = "(";
    for (size_t i = 0; i < mValues.size(); ++i)
      out += (i ? ",\n    " : "\n    ") +
             Indent(DescribeElement(mCallBacks.copyDescription, mValues[i]));
    return out + "\n)";
  }

  const void* RetainValue(const void* value) const
  {
    return mCallBacks.retain ? mCallBacks.retain(mAllocator, value) : value;
  }

  void ReleaseValue(const void* value) const
  {
    if (mCallBacks.release) mCallBacks.release(mAllocator, value);
  }

  bool ValuesEqual(const void* a, const void* b) const
  {
    return a == b || (mCallBacks.equal && mCallBacks.equal(a, b));
  }

  bool HasRoom() const { return mCapacity <= 0 || mValues.size() < static_cast<size_t>(mCapacity); }

  void Insert(size_t index, const void* value)
  {
    mValues.insert(mValues.begin() + static_cast<std::ptrdiff_t>(index), RetainValue(value));
  }

  CFAllocatorRef mAllocator;
  CFArrayCallBacks mCallBacks = {0, nullptr, nullptr, nullptr, nullptr};
  std::vector<const void*> mValues;
  const bool mMutable;
  const CFIndex mCapacity; // 0: unbounded
};

namespace
{

// The part of range inside the array as begin and end indices; false for a malformed range.
bool Clip(const __CFArray* array, CFRange range, size_t& begin, size_t& end)
{
  if (!array || range.location < 0 || range.length < 0) return false;
  begin = std::min(static_cast<size_t>(range.location), array->mValues.size());
  end = std::min(begin + static_cast<size_t>(range.length), array->mValues.size());
  return true;
}

__CFArray* CreateArray(CFAllocatorRef allocator, const CFArrayCallBacks* callBacks,
                       const void* const* values, size_t count, bool isMutable, CFIndex capacity)
{
  __CFArray* array = new __CFArray(allocator, callBacks, isMutable, capacity);
  array->mValues.reserve(count);
  for (size_t i = 0; i < count; ++i)
    array->Insert(i, values[i]);
  return array;
}

} // namespace

const CFArrayCallBacks kCFTypeArrayCallBacks = {0, RetainCallBack, ReleaseCallBack,
                                                CopyDescriptionCallBack, EqualCallBack};

CFTypeID CFArrayGetTypeID(void)
{
  return kTypeArray;
}

CFArrayRef CFArrayCreate(CFAllocatorRef allocator, const void** values, CFIndex numValues,
                         const CFArrayCallBacks* callBacks)
{
  if (numValues < 0 || (!values && numValues > 0)) return nullptr;
  return CreateArray(allocator, callBacks, values, static_cast<size_t>(numValues), false, 0);
}

CFArrayRef CFArrayCreateCopy(CFAllocatorRef allocator, CFArrayRef theArray)
{
  const __CFArray* array = As<__CFArray>(theArray);
  if (!array) return nullptr;
  return CreateArray(allocator, &array->mCallBacks, array->mValues.data(), array->mValues.size(),
                     false, 0);
}

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef allocator, CFIndex capacity,
                                       const CFArrayCallBacks* callBacks)
{
  if (capacity < 0) return nullptr;
  return new __CFArray(allocator, callBacks, true, capacity);
}

CFMutableArrayRef CFArrayCreateMutableCopy(CFAllocatorRef allocator, CFIndex capacity,
                                           CFArrayRef theArray)
{
  const __CFArray* array = As<__CFArray>(theArray);
  if (!array || capacity < 0) return nullptr;
  if (capacity > 0 && array->mValues.size() > static_cast<size_t>(capacity)) return nullptr;
  return CreateArray(allocator, &array->mCallBacks, array->mValues.data(), array->mValues.size(),
                     true, capacity);
}

CFIndex CFArrayGetCount(CFArrayRef theArray)
{
  const __CFArray* array = As<__CFArray>(theArray);
  return array ? static_cast<CFIndex>(array->mValues.size()) : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx)
{
  const __CFArray* array = As<__CFArray>(theArray);
  if (!array || idx < 0 || static_cast<size_t>(idx) >= array->mValues.size()) return nullptr;
  return array->mValues[static_cast<size_t>(idx)];
}

void CFArrayGetValues(CFArrayRef theArray, CFRange range, const void** values)
{
  const __CFArray* array = As<__CFArray>(theArray);
  size_t begin, end;
  if (!values || !Clip(array, range, begin, end)) return;
  std::copy(array->mValues.begin() + begin, array->mValues.begin() + end, values);
}

CFIndex CFArrayGetCountOfValue(CFArrayRef theArray, CFRange range, const void* value)
{
  const __CFArray* array = As<__CFArray>(theArray);
  size_t begin, end;
  if (!Clip(array, range, begin, end)) return 0;
  CFIndex count = 0;
  for (size_t i = begin; i < end; ++i)
    count += array->ValuesEqual(array->mValues[i], value) ? 1 : 0;
  return count;
}

Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range, const void* value)
{
  return CFArrayGetFirstIndexOfValue(theArray, range, value) != kCFNotFound;
}

CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef theArray, CFRange range, const void* value)
{
  const __CFArray* array = As<__CFArray>(theArray);
  size_t begin, end;
  if (!Clip(array, range, begin, end)) return kCFNotFound;
  for (size_t i = begin; i < end; ++i)
    if (array->ValuesEqual(array->mValues[i], value)) return static_cast<CFIndex>(i);
  return kCFNotFound;
}

void CFArrayApplyFunction(CFArrayRef theArray, CFRange range, CFArrayApplierFunction applier,
                          void* context)
{
  const __CFArray* array = As<__CFArray>(theArray);
  size_t begin, end;
  if (!applier || !Clip(array, range, begin, end)) return;
  for (size_t i = begin; i < end; ++i)
    applier(array->mValues[i], context);
}

void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value)
{
  __CFArray* array = AsWritable<__CFArray>(theArray);
  if (array && array->HasRoom()) array->Insert(array->mValues.size(), value);
}

void CFArrayInsertValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value)
{
  __CFArray* array = AsWritable<__CFArray>(theArray);
  if (array && idx >= 0 && static_cast<size_t>(idx) <= array->mValues.size() && array->HasRoom())
    array->Insert(static_cast<size_t>(idx), value);
}

void CFArraySetValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value)
{
  __CFArray* array = AsWritable<__CFArray>(theArray);
  if (!array || idx < 0 || static_cast<size_t>(idx) > array->mValues.size()) return;
  size_t index = static_cast<size_t>(idx);
  if (index == array->mValues.size())
  {
    CFArrayAppendValue(theArray, value);
    return;
  }
  const void* old = array->mValues[index];
  array->mValues[index] = array->RetainValue(value);
  array->ReleaseValue(old);
}

void CFArrayRemoveValueAtIndex(CFMutableArrayRef theArray, CFIndex idx)
{
  __CFArray* array = AsWritable<__CFArray>(theArray);
  if (!array || idx < 0 || static_cast<size_t>(idx) >= array->mValues.size()) return;
  const void* old = array->mValues[static_cast<size_t>(idx)];
  array->mValues.erase(array->mValues.begin() + idx);
  array->ReleaseValue(old);
}

void CFArrayRemoveAllValues(CFMutableArrayRef theArray)
{
  __CFArray* array = AsWritable<__CFArray>(theArray);
  if (!array) return;
  std::vector<const void*> old;
  old.swap(array->mValues);
  for (const void* value : old)
    array->ReleaseValue(value);
}

void CFArrayAppendArray(CFMutableArrayRef theArray, CFArrayRef otherArray, CFRange otherRange)
{
  __CFArray* array = AsWritable<__CFArray>(theArray);
  const __CFArray* other = As<__CFArray>(otherArray);
  size_t begin, end;
  if (!array || !Clip(other, otherRange, begin, end)) return;
  std::vector<const void*> values(other->mValues.begin() + begin, other->mValues.begin() + end);
  for (const void* value : values)
    if (array->HasRoom()) array->Insert(array->mValues.size(), value);
}
