// Shared helpers for the CoreFoundation stand-in tests.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <string>

// The UTF-8 text of a string, or "<null>".
inline std::string Text(CFStringRef string)
{
  if (!string) return "<null>";
  const char* text = CFStringGetCStringPtr(string, kCFStringEncodingUTF8);
  return text ? text : "<no text>";
}

// Takes over one reference and releases it at the end of the scope.
template <class T> class Owned
{
public:
  explicit Owned(T ref = nullptr) : mRef(ref) {}
  ~Owned()
  {
    if (mRef) CFRelease(mRef);
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  T get() const { return mRef; }
  operator T() const { return mRef; }

private:
  T mRef;
};

inline CFStringRef Str(const char* text)
{
  return CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
}

inline CFNumberRef Int32(SInt32 value)
{
  return CFNumberCreate(nullptr, kCFNumberSInt32Type, &value);
}

// The description of an object as text, released.
inline std::string Description(CFTypeRef object)
{
  Owned<CFStringRef> description(CFCopyDescription(object));
  return Text(description);
}
