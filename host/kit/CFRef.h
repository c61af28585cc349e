#pragma once

// CoreFoundation on the host side: CFRef owns one reference to an object and
// releases it at the end of its life, so that every Create/Copy the host makes
// is balanced; strings to and from UTF-8 text. Any thread.

#include <CoreFoundation/CoreFoundation.h>

#include <string>
#include <utility>

template <class T> class CFRef
{
public:
  CFRef() = default;
  // Takes over a +1 reference (from a Create or Copy call).
  explicit CFRef(T ref) : mRef(ref) {}
  ~CFRef() { Reset(); }

  CFRef(const CFRef&) = delete;
  CFRef& operator=(const CFRef&) = delete;
  CFRef(CFRef&& other) noexcept : mRef(std::exchange(other.mRef, nullptr)) {}
  CFRef& operator=(CFRef&& other) noexcept
  {
    if (this != &other)
    {
      Reset();
      mRef = std::exchange(other.mRef, nullptr);
    }
    return *this;
  }

  T Get() const { return mRef; }
  explicit operator bool() const { return mRef != nullptr; }

  // For calls that hand out a new reference through a pointer.
  T* Receive()
  {
    Reset();
    return &mRef;
  }

  void Reset(T ref = nullptr)
  {
    if (mRef) CFRelease(mRef);
    mRef = ref;
  }

private:
  T mRef = nullptr;
};

// A new string from UTF-8 text.
inline CFRef<CFStringRef> OwnedCFString(const char* text)
{
  return CFRef<CFStringRef>(CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8));
}

// The whole UTF-8 text of a string; "" for null.
std::string CFStringText(CFStringRef string);
