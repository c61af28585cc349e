// The string object, shared by the string functions and the formatter.
#pragma once

#include "platform/cf/CFObject.h"

struct __CFString : cf::CFObject
{
  static constexpr CFTypeID kTypeID = cf::kTypeString;

  __CFString(std::string text, bool isMutable, bool constant = false);

  bool Equals(const CFObject& other) const override;
  CFHashCode Hash() const override;
  std::string Describe() const override { return mText; }

  const std::string& Text() const { return mText; }
  CFIndex Length() const { return mLength; }
  bool IsMutable() const { return mMutable; }
  void Append(const std::string& utf8);

private:
  std::string mText; // valid UTF-8
  CFIndex mLength;   // UTF-16 code units
  const bool mMutable;
};

namespace cf
{
// Appends the formatted text; unknown conversions are copied as written.
void AppendFormatted(std::string& out, const std::string& format, va_list arguments);
} // namespace cf
