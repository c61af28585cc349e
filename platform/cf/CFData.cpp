// Byte blocks, immutable or growable up to an optional capacity.
#include "platform/cf/CFObject.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace cf;

struct __CFData : CFObject
{
  static constexpr CFTypeID kTypeID = kTypeData;

  __CFData(const UInt8* bytes, size_t length, bool isMutable, CFIndex capacity)
      : CFObject(kTypeID), mBytes(bytes, bytes + length), mMutable(isMutable), mCapacity(capacity)
  {
  }

  bool Equals(const CFObject& other) const override
  {
    return mBytes == static_cast<const __CFData&>(other).mBytes;
  }
  CFHashCode Hash() const override { return HashBytes(mBytes.data(), mBytes.size()); }

  std::string Describe() const override
  {
    char text[64];
    std::snprintf(text, sizeof(text), "<CFData length = %zu> {bytes = 0x", mBytes.size());
    std::string out = text;
    for (UInt8 byte : mBytes)
    {
      std::snprintf(text, sizeof(text), "%02x", byte);
      out += text;
    }
    return out + "}";
  }

  bool Fits(size_t length) const
  {
    return mCapacity <= 0 || length <= static_cast<size_t>(mCapacity);
  }

  std::vector<UInt8> mBytes;
  const bool mMutable;
  const CFIndex mCapacity; // 0: unbounded
};

namespace
{

// The part of range that lies inside [0, length), as begin and end indices.
bool Clip(CFRange range, size_t length, size_t& begin, size_t& end)
{
  if (range.location < 0 || range.length < 0) return false;
  begin = std::min(static_cast<size_t>(range.location), length);
  end = std::min(begin + static_cast<size_t>(range.length), length);
  return true;
}

const UInt8* BytesOf(const __CFData* data)
{
  return data->mBytes.data();
}

} // namespace

CFTypeID CFDataGetTypeID(void)
{
  return kTypeData;
}

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length)
{
  if (length < 0 || (!bytes && length > 0)) return nullptr;
  return new __CFData(bytes, static_cast<size_t>(length), false, 0);
}

CFDataRef CFDataCreateCopy(CFAllocatorRef, CFDataRef theData)
{
  const __CFData* data = As<__CFData>(theData);
  if (!data) return nullptr;
  return new __CFData(BytesOf(data), data->mBytes.size(), false, 0);
}

CFMutableDataRef CFDataCreateMutable(CFAllocatorRef, CFIndex capacity)
{
  if (capacity < 0) return nullptr;
  return new __CFData(nullptr, 0, true, capacity);
}

CFMutableDataRef CFDataCreateMutableCopy(CFAllocatorRef, CFIndex capacity, CFDataRef theData)
{
  const __CFData* data = As<__CFData>(theData);
  if (!data || capacity < 0) return nullptr;
  if (capacity > 0 && data->mBytes.size() > static_cast<size_t>(capacity)) return nullptr;
  return new __CFData(BytesOf(data), data->mBytes.size(), true, capacity);
}

CFIndex CFDataGetLength(CFDataRef theData)
{
  const __CFData* data = As<__CFData>(theData);
  return data ? static_cast<CFIndex>(data->mBytes.size()) : 0;
}

const UInt8* CFDataGetBytePtr(CFDataRef theData)
{
  const __CFData* data = As<__CFData>(theData);
  return (data && !data->mBytes.empty()) ? BytesOf(data) : nullptr;
}

UInt8* CFDataGetMutableBytePtr(CFMutableDataRef theData)
{
  __CFData* data = AsWritable<__CFData>(theData);
  return (data && !data->mBytes.empty()) ? data->mBytes.data() : nullptr;
}

void CFDataGetBytes(CFDataRef theData, CFRange range, UInt8* buffer)
{
  const __CFData* data = As<__CFData>(theData);
  size_t begin, end;
  if (!data || !buffer || !Clip(range, data->mBytes.size(), begin, end)) return;
  std::copy(data->mBytes.begin() + begin, data->mBytes.begin() + end, buffer);
}

void CFDataSetLength(CFMutableDataRef theData, CFIndex length)
{
  __CFData* data = AsWritable<__CFData>(theData);
  if (data && length >= 0 && data->Fits(static_cast<size_t>(length)))
    data->mBytes.resize(static_cast<size_t>(length), 0);
}

void CFDataIncreaseLength(CFMutableDataRef theData, CFIndex extraLength)
{
  if (extraLength > 0) CFDataSetLength(theData, CFDataGetLength(theData) + extraLength);
}

void CFDataAppendBytes(CFMutableDataRef theData, const UInt8* bytes, CFIndex length)
{
  __CFData* data = AsWritable<__CFData>(theData);
  if (!data || !bytes || length <= 0 || !data->Fits(data->mBytes.size() + length)) return;
  data->mBytes.insert(data->mBytes.end(), bytes, bytes + length);
}

void CFDataReplaceBytes(CFMutableDataRef theData, CFRange range, const UInt8* newBytes,
                        CFIndex newLength)
{
  __CFData* data = AsWritable<__CFData>(theData);
  size_t begin, end;
  if (!data || newLength < 0 || (!newBytes && newLength > 0) ||
      !Clip(range, data->mBytes.size(), begin, end))
    return;
  size_t resulting = data->mBytes.size() - (end - begin) + static_cast<size_t>(newLength);
  if (!data->Fits(resulting)) return;
  std::vector<UInt8> replacement(newBytes, newBytes + newLength);
  data->mBytes.erase(data->mBytes.begin() + begin, data->mBytes.begin() + end);
  data->mBytes.insert(data->mBytes.begin() + begin, replacement.begin(), replacement.end());
}

void CFDataDeleteBytes(CFMutableDataRef theData, CFRange range)
{
  CFDataReplaceBytes(theData, range, nullptr, 0);
}
