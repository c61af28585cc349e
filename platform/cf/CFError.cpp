// Error objects: a domain, a code and a user-info dictionary.
#include "platform/cf/CFObject.h"

#include <cstdio>

using namespace cf;

struct __CFError : CFObject
{
  static constexpr CFTypeID kTypeID = kTypeError;

  __CFError(CFStringRef domain, CFIndex code, CFDictionaryRef userInfo)
      : CFObject(kTypeID), mDomain(CFStringCreateCopy(nullptr, domain)), mCode(code),
        mUserInfo(userInfo ? CFDictionaryCreateCopy(nullptr, userInfo)
                           : CFDictionaryCreate(nullptr, nullptr, nullptr, 0,
                                                &kCFTypeDictionaryKeyCallBacks,
                                                &kCFTypeDictionaryValueCallBacks))
  {
  }
  ~__CFError() override
  {
    CFRelease(mDomain);
    CFRelease(mUserInfo);
  }

  bool Equals(const CFObject& other) const override
  {
    const __CFError& error = static_cast<const __CFError&>(other);
    return mCode == error.mCode && CFEqual(mDomain, error.mDomain) &&
           CFEqual(mUserInfo, error.mUserInfo);
  }
  CFHashCode Hash() const override { return static_cast<CFHashCode>(mCode); }

  std::string Describe() const override
  {
    CFTypeRef text = CFDictionaryGetValue(mUserInfo, kCFErrorDescriptionKey);
    if (CFGetTypeID(text) == CFStringGetTypeID()) return StringText(static_cast<CFStringRef>(text));
    char code[32];
    std::snprintf(code, sizeof(code), "%ld", static_cast<long>(mCode));
    return "The operation couldn't be completed. (" + StringText(mDomain) + " error " + code + ".)";
  }

  CFStringRef mDomain;
  CFIndex mCode;
  CFDictionaryRef mUserInfo;
};

const CFErrorDomain kCFErrorDomainPOSIX = CFSTR("NSPOSIXErrorDomain");
const CFErrorDomain kCFErrorDomainOSStatus = CFSTR("NSOSStatusErrorDomain");
const CFErrorDomain kCFErrorDomainCocoa = CFSTR("NSCocoaErrorDomain");
const CFStringRef kCFErrorDescriptionKey = CFSTR("NSDescription");

CFTypeID CFErrorGetTypeID(void)
{
  return kTypeError;
}

CFErrorRef CFErrorCreate(CFAllocatorRef, CFErrorDomain domain, CFIndex code,
                         CFDictionaryRef userInfo)
{
  if (CFGetTypeID(domain) != CFStringGetTypeID()) return nullptr;
  return new __CFError(domain, code, userInfo);
}

CFErrorDomain CFErrorGetDomain(CFErrorRef err)
{
  const __CFError* error = As<__CFError>(err);
  return error ? error->mDomain : nullptr;
}

CFIndex CFErrorGetCode(CFErrorRef err)
{
  const __CFError* error = As<__CFError>(err);
  return error ? error->mCode : 0;
}

CFDictionaryRef CFErrorCopyUserInfo(CFErrorRef err)
{
  const __CFError* error = As<__CFError>(err);
  return error ? static_cast<CFDictionaryRef>(CFRetain(error->mUserInfo)) : nullptr;
}

CFStringRef CFErrorCopyDescription(CFErrorRef err)
{
  const __CFError* error = As<__CFError>(err);
  return error ? MakeString(error->Describe()) : nullptr;
}
