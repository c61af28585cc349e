// Internal object model of the CoreFoundation stand-in: every CF object derives from CFObject,
// which carries the type, the atomic retain count and the per-type behaviour of CFEqual, CFHash
// and CFCopyDescription.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <atomic>
#include <string>

namespace cf
{

enum TypeID : CFTypeID
{
  kTypeAllocator = 1,
  kTypeNull,
  kTypeBoolean,
  kTypeString,
  kTypeNumber,
  kTypeData,
  kTypeArray,
  kTypeDictionary,
  kTypeURL,
  kTypeBundle,
  kTypeError,
  kTypeCount
};

class CFObject
{
public:
  constexpr explicit CFObject(CFTypeID type, bool constant = false)
      : mType(type), mConstant(constant)
  {
  }
  virtual ~CFObject() = default;
  CFObject(const CFObject&) = delete;
  CFObject& operator=(const CFObject&) = delete;

  // Only called with an object of the same type.
  virtual bool Equals(const CFObject& other) const { return this == &other; }
  virtual CFHashCode Hash() const { return reinterpret_cast<CFHashCode>(this); }
  virtual std::string Describe() const;

  CFTypeID Type() const { return mType; }
  bool IsConstant() const { return mConstant; }

  void Retain() const;
  // Retains unless the count already reached zero (the object is being destroyed).
  bool TryRetain() const;
  // Returns true when this was the last reference.
  bool Release() const;
  CFIndex RetainCount() const;

private:
  const CFTypeID mType;
  const bool mConstant;
  mutable std::atomic<CFIndex> mRetainCount{1};
};

inline const CFObject* AsObject(CFTypeRef ref)
{
  return static_cast<const CFObject*>(ref);
}

// The object behind a reference when it has the type of T, null otherwise.
template <class T> const T* As(CFTypeRef ref)
{
  const CFObject* object = AsObject(ref);
  return (object && object->Type() == T::kTypeID) ? static_cast<const T*>(object) : nullptr;
}

template <class T> T* AsMutable(CFTypeRef ref)
{
  return const_cast<T*>(As<T>(ref));
}

// The container behind a reference when it has the type of T and was created mutable; changes
// to immutable containers are ignored through this.
template <class T> T* AsWritable(CFTypeRef ref)
{
  T* object = AsMutable<T>(ref);
  return (object && object->mMutable) ? object : nullptr;
}

// Description text of any object (null gives "(null)").
std::string DescribeObject(CFTypeRef ref);

// A new CF string from UTF-8 text that is known to be valid.
CFStringRef MakeString(const std::string& utf8);
// The UTF-8 text of a string; empty for null or another type.
const std::string& StringText(CFStringRef string);

// The CF-type element callbacks behind kCFTypeArrayCallBacks and the dictionary callbacks.
const void* RetainCallBack(CFAllocatorRef allocator, const void* value);
void ReleaseCallBack(CFAllocatorRef allocator, const void* value);
CFStringRef CopyDescriptionCallBack(const void* value);
Boolean EqualCallBack(const void* value1, const void* value2);
CFHashCode HashCallBack(const void* value);

// Description of an element through a copy-description callback, or its address without one.
std::string DescribeElement(CFStringRef (*copyDescription)(const void*), const void* value);

// Indents every line after the first by four spaces (nested container descriptions).
std::string Indent(const std::string& text);

// FNV-1a over bytes.
CFHashCode HashBytes(const void* bytes, size_t length);

} // namespace cf
