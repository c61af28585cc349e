#pragma once

// The two sides of a property exchange with the host.

#include <AudioUnit/AudioUnit.h>

// What GetProperty hands back: the size and writable flag always, the data only
// when the caller passed memory for them (a null data pointer asks for the size
// alone).
class PropertyReply
{
public:
  PropertyReply(UInt32* pSize, Boolean* pWritable, void* pData)
      : mSize(pSize), mWritable(pWritable), mData(pData)
  {
  }

  // Reports the property's size and writable flag, and answers whether the data
  // are to be written: false for a size-only request, and for a data buffer
  // smaller than the property, which is refused with nothing touched (Result()).
  bool Accept(UInt32 size, bool writable)
  {
    if (mData && *mSize < size)
    {
      mResult = kAudioUnitErr_InvalidPropertyValue;
      return false;
    }
    *mSize = size;
    if (writable) *mWritable = true;
    return mData != nullptr;
  }

  // Accept for a plain value, then write it.
  template <class T> ComponentResult Answer(const T& value, bool writable = false)
  {
    if (!Accept(sizeof(T), writable)) return mResult;
    *static_cast<T*>(mData) = value;
    return noErr;
  }

  ComponentResult Result() const { return mResult; }
  UInt32* Size() const { return mSize; }
  void* RawData() const { return mData; }
  template <class T> T* Data() const { return static_cast<T*>(mData); }

private:
  UInt32* mSize;
  Boolean* mWritable;
  void* mData;
  ComponentResult mResult = noErr;
};

// What SetProperty reads: the record the data point to, or null when there is
// no data or fewer bytes than the record.
class PropertyInput
{
public:
  PropertyInput(const UInt32* pSize, const void* pData) : mSize(pSize), mData(pData) {}

  template <class T> const T* Get() const
  {
    if (!mData || !mSize || *mSize < sizeof(T)) return nullptr;
    return static_cast<const T*>(mData);
  }

private:
  const UInt32* mSize;
  const void* mData;
};
