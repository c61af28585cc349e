// Reference counting and the type-independent functions of the object model.
#include "platform/cf/CFObject.h"

#include <climits>
#include <cstdio>

namespace cf
{

std::string CFObject::Describe() const
{
  char text[64];
  std::snprintf(text, sizeof(text), "<%p>", static_cast<const void*>(this));
  return text;
}

void CFObject::Retain() const
{
  if (!mConstant) mRetainCount.fetch_add(1, std::memory_order_relaxed);
}

bool CFObject::TryRetain() const
{
  if (mConstant) return true;
  CFIndex count = mRetainCount.load(std::memory_order_relaxed);
  while (count > 0)
  {
    if (mRetainCount.compare_exchange_weak(count, count + 1, std::memory_order_relaxed))
      return true;
  }
  return false;
}

bool CFObject::Release() const
{
  if (mConstant) return false;
  return mRetainCount.fetch_sub(1, std::memory_order_acq_rel) == 1;
}

CFIndex CFObject::RetainCount() const
{
  return mConstant ? LONG_MAX : mRetainCount.load(std::memory_order_relaxed);
}

std::string DescribeObject(CFTypeRef ref)
{
  return ref ? AsObject(ref)->Describe() : std::string("(null)");
}

CFHashCode HashBytes(const void* bytes, size_t length)
{
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  CFHashCode hash = (CFHashCode)1469598103934665603ULL;
  for (size_t i = 0; i < length; ++i)
  {
    hash ^= p[i];
    hash *= (CFHashCode)1099511628211ULL;
  }
  return hash;
}

const void* RetainCallBack(CFAllocatorRef, const void* value)
{
  return CFRetain(value);
}

void ReleaseCallBack(CFAllocatorRef, const void* value)
{
  CFRelease(value);
}

CFStringRef CopyDescriptionCallBack(const void* value)
{
  return CFCopyDescription(value);
}

Boolean EqualCallBack(const void* value1, const void* value2)
{
  return CFEqual(value1, value2);
}

CFHashCode HashCallBack(const void* value)
{
  return CFHash(value);
}

std::string DescribeElement(CFStringRef (*copyDescription)(const void*), const void* value)
{
  if (!copyDescription)
  {
    char text[32];
    std::snprintf(text, sizeof(text), "<%p>", value);
    return text;
  }
  CFStringRef description = copyDescription(value);
  std::string text = description ? StringText(description) : std::string("(null)");
  CFRelease(description);
  return text;
}

std::string Indent(const std::string& text)
{
  std::string out;
  for (char c : text)
  {
    out += c;
    if (c == '\n') out += "    ";
  }
  return out;
}

namespace
{

const char* TypeName(CFTypeID type)
{
  static const char* const names[kTypeCount] = {
      nullptr,  "CFAllocator", "CFNull",       "CFBoolean", "CFString", "CFNumber",
      "CFData", "CFArray",     "CFDictionary", "CFURL",     "CFBundle", "CFError"};
  return (type > 0 && type < kTypeCount) ? names[type] : nullptr;
}

} // namespace

} // namespace cf

using namespace cf;

struct __CFNull : CFObject
{
  constexpr __CFNull() : CFObject(kTypeNull, true) {}
  std::string Describe() const override { return "<CFNull>"; }
};

static __CFNull gNull;

const CFNullRef kCFNull = &gNull;

CFTypeID CFNullGetTypeID(void)
{
  return kTypeNull;
}

CFTypeRef CFRetain(CFTypeRef ref)
{
  if (ref) AsObject(ref)->Retain();
  return ref;
}

void CFRelease(CFTypeRef ref)
{
  if (ref && AsObject(ref)->Release()) delete AsObject(ref);
}

CFIndex CFGetRetainCount(CFTypeRef ref)
{
  return ref ? AsObject(ref)->RetainCount() : 0;
}

CFTypeID CFGetTypeID(CFTypeRef ref)
{
  return ref ? AsObject(ref)->Type() : 0;
}

Boolean CFEqual(CFTypeRef ref1, CFTypeRef ref2)
{
  if (ref1 == ref2) return true;
  if (!ref1 || !ref2) return false;
  const CFObject* a = AsObject(ref1);
  const CFObject* b = AsObject(ref2);
  return a->Type() == b->Type() && a->Equals(*b);
}

CFHashCode CFHash(CFTypeRef ref)
{
  return ref ? AsObject(ref)->Hash() : 0;
}

CFStringRef CFCopyDescription(CFTypeRef ref)
{
  return ref ? MakeString(AsObject(ref)->Describe()) : nullptr;
}

CFStringRef CFCopyTypeIDDescription(CFTypeID type)
{
  const char* name = TypeName(type);
  return name ? MakeString(name) : nullptr;
}

void CFShow(CFTypeRef ref)
{
  std::fprintf(stderr, "%s\n", DescribeObject(ref).c_str());
}
