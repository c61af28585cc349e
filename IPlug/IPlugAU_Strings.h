#pragma once

// Text crossing the host boundary: UTF-8 C strings to and from host strings.

#include "IPlug/Containers.h"

#include <CoreFoundation/CoreFoundation.h>

// A new host string the caller owns. Text that is not valid UTF-8 is read as
// ISO Latin 1, so a string always comes back; null text gives an empty string.
CFStringRef MakeCFString(const char* text);

// Cuts text to at most maxBytes bytes (terminator not counted) without
// splitting a UTF-8 character.
void CutUTF8(char* text, int maxBytes);

// Holds a string made by MakeCFString for the length of a scope.
class CFStrLocal
{
public:
  explicit CFStrLocal(const char* text) : mCFStr(MakeCFString(text)) {}
  ~CFStrLocal() { CFRelease(mCFStr); }
  CFStrLocal(const CFStrLocal&) = delete;
  CFStrLocal& operator=(const CFStrLocal&) = delete;

  CFStringRef Get() const { return mCFStr; }

private:
  CFStringRef mCFStr;
};

// The whole UTF-8 form of a host string, owned for the length of a scope. A null
// reference or an object that is not a string gives an empty text.
class CStrLocal
{
public:
  explicit CStrLocal(CFStringRef cfStr);
  CStrLocal(const CStrLocal&) = delete;
  CStrLocal& operator=(const CStrLocal&) = delete;

  const char* Get() const { return mText.Get(); }

private:
  WDL_String mText;
};
