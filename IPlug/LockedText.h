#pragma once

// A control's text that the plug-in replaces on the host's thread (under the
// plug-in lock) while the user-interface thread draws it. Both sides go
// through this text's own lock, so the drawing never reads a string that is
// being replaced.

#include "IPlug/Containers.h"

class LockedText
{
public:
  explicit LockedText(const char* text = "") : mStr(text) {}

  // When text (null: "") differs from the current one, calls beforeChange and
  // then stores it; returns whether it changed.
  template <class F> bool ReplaceIfDifferent(const char* text, F beforeChange)
  {
    if (!text) text = "";
    WDL_MutexLock lock(&mLock);
    if (!std::strcmp(text, mStr.Get())) return false;
    beforeChange();
    mStr.Set(text);
    return true;
  }

  // Runs use(WDL_String&) with the text locked; it may read or rewrite it.
  template <class F> auto With(F use)
  {
    WDL_MutexLock lock(&mLock);
    return use(mStr);
  }

  void CopyTo(WDL_String* out)
  {
    With([out](WDL_String& s) { out->Set(s.Get()); });
  }

private:
  WDL_Mutex mLock;
  WDL_String mStr;
};
