// Strings: UTF-8 text with UTF-16 lengths, constant strings, conversions and comparison.
#include "platform/cf/CFStringObject.h"
#include "platform/cf/CFUnicode.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

using namespace cf;

__CFString::__CFString(std::string text, bool isMutable, bool constant)
    : CFObject(kTypeID, constant), mText(std::move(text)), mLength(UTF16Length(mText)),
      mMutable(isMutable)
{
}

bool __CFString::Equals(const CFObject& other) const
{
  return mText == static_cast<const __CFString&>(other).mText;
}

CFHashCode __CFString::Hash() const
{
  return HashBytes(mText.data(), mText.size());
}

void __CFString::Append(const std::string& utf8)
{
  mText += utf8;
  mLength += UTF16Length(utf8);
}

namespace cf
{

CFStringRef MakeString(const std::string& utf8)
{
  return new __CFString(utf8, false);
}

const std::string& StringText(CFStringRef string)
{
  static const std::string empty;
  const __CFString* object = As<__CFString>(string);
  return object ? object->Text() : empty;
}

} // namespace cf

namespace
{

__CFString* MutableString(CFMutableStringRef string)
{
  __CFString* object = AsMutable<__CFString>(string);
  return (object && object->IsMutable()) ? object : nullptr;
}

// Converts bytes in a supported encoding to UTF-8; false when they are not valid in it.
bool DecodeBytes(const UInt8* bytes, size_t length, CFStringEncoding encoding, std::string& out)
{
  switch (encoding)
  {
  case kCFStringEncodingUTF8:
    if (!IsValidUTF8(bytes, length)) return false;
    out.assign(reinterpret_cast<const char*>(bytes), length);
    return true;
  case kCFStringEncodingASCII:
    for (size_t i = 0; i < length; ++i)
      if (bytes[i] >= 0x80) return false;
    out.assign(reinterpret_cast<const char*>(bytes), length);
    return true;
  case kCFStringEncodingISOLatin1:
    for (size_t i = 0; i < length; ++i)
      AppendUTF8(out, bytes[i]);
    return true;
  default:
    return false;
  }
}

// Appends one code point in the target encoding; false when it has no form there.
bool EncodeCodePoint(uint32_t codePoint, CFStringEncoding encoding, std::string& out)
{
  switch (encoding)
  {
  case kCFStringEncodingUTF8:
    AppendUTF8(out, codePoint);
    return true;
  case kCFStringEncodingASCII:
    if (codePoint >= 0x80) return false;
    out += static_cast<char>(codePoint);
    return true;
  case kCFStringEncodingISOLatin1:
    if (codePoint > 0xFF) return false;
    out += static_cast<char>(codePoint);
    return true;
  default:
    return false;
  }
}

bool Encode(const std::string& text, CFStringEncoding encoding, std::string& out)
{
  if (encoding == kCFStringEncodingUTF8)
  {
    out = text;
    return true;
  }
  for (size_t pos = 0; pos < text.size();)
    if (!EncodeCodePoint(NextCodePoint(text, pos), encoding, out)) return false;
  return true;
}

std::string DecodeUTF16(const UniChar* chars, CFIndex count)
{
  std::string out;
  for (CFIndex i = 0; i < count; ++i)
  {
    uint32_t unit = chars[i];
    bool pairStarts = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count && chars[i + 1] >= 0xDC00 &&
                      chars[i + 1] <= 0xDFFF;
    if (pairStarts)
    {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (chars[i + 1] - 0xDC00u);
      ++i;
    }
    AppendUTF8(out, unit);
  }
  return out;
}

// Compares two runs of decimal digits by value.
int CompareDigitRuns(const std::string& a, size_t& i, const std::string& b, size_t& j)
{
  auto skipZeros = [](const std::string& s, size_t& k)
  {
    while (k + 1 < s.size() && s[k] == '0' && std::isdigit(static_cast<unsigned char>(s[k + 1])))
      ++k;
  };
  auto runEnd = [](const std::string& s, size_t k)
  {
    while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
      ++k;
    return k;
  };
  skipZeros(a, i);
  skipZeros(b, j);
  size_t endA = runEnd(a, i), endB = runEnd(b, j);
  int result = 0;
  if (endA - i != endB - j)
    result = endA - i < endB - j ? -1 : 1;
  else
    result = a.compare(i, endA - i, b, j, endB - j);
  i = endA;
  j = endB;
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int CompareText(const std::string& a, const std::string& b, CFStringCompareFlags flags)
{
  bool fold = flags & kCFCompareCaseInsensitive;
  bool numeric = flags & kCFCompareNumerically;
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size())
  {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[j]);
    if (numeric && std::isdigit(ca) && std::isdigit(cb))
    {
      int result = CompareDigitRuns(a, i, b, j);
      if (result != 0) return result;
      continue;
    }
    if (fold)
    {
      ca = static_cast<unsigned char>(std::tolower(ca));
      cb = static_cast<unsigned char>(std::tolower(cb));
    }
    if (ca != cb) return ca < cb ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

// Process-wide table of constant strings; allocated once and never freed, so its strings stay
// reachable until exit.
class ConstantStrings
{
public:
  static ConstantStrings& Instance()
  {
    static ConstantStrings* instance = new ConstantStrings;
    return *instance;
  }

  CFStringRef Get(const char* text)
  {
    std::lock_guard<std::mutex> lock(mMutex);
    auto found = mStrings.find(text);
    if (found != mStrings.end()) return found->second;
    std::string utf8(text);
    if (!IsValidUTF8(reinterpret_cast<const UInt8*>(text), utf8.size())) utf8.clear();
    __CFString* string = new __CFString(utf8, false, true);
    mStrings.emplace(text, string);
    return string;
  }

private:
  std::mutex mMutex;
  std::unordered_map<std::string, __CFString*> mStrings;
};

} // namespace

CFStringRef __CFStringMakeConstantString(const char* cStr)
{
  return ConstantStrings::Instance().Get(cStr ? cStr : "");
}

CFTypeID CFStringGetTypeID(void)
{
  return kTypeString;
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr,
                                      CFStringEncoding encoding)
{
  if (!cStr) return nullptr;
  return CFStringCreateWithBytes(alloc, reinterpret_cast<const UInt8*>(cStr),
                                 static_cast<CFIndex>(std::strlen(cStr)), encoding, false);
}

CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean isExternalRepresentation)
{
  if (numBytes < 0 || (!bytes && numBytes > 0)) return nullptr;
  size_t length = static_cast<size_t>(numBytes);
  static const UInt8 bom[3] = {0xEF, 0xBB, 0xBF};
  if (isExternalRepresentation && encoding == kCFStringEncodingUTF8 && length >= 3 &&
      std::memcmp(bytes, bom, 3) == 0)
  {
    bytes += 3;
    length -= 3;
  }
  std::string text;
  if (!DecodeBytes(bytes, length, encoding, text)) return nullptr;
  return new __CFString(std::move(text), false);
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* chars, CFIndex numChars)
{
  if (numChars < 0 || (!chars && numChars > 0)) return nullptr;
  return new __CFString(DecodeUTF16(chars, numChars), false);
}

CFStringRef CFStringCreateCopy(CFAllocatorRef, CFStringRef theString)
{
  const __CFString* string = As<__CFString>(theString);
  if (!string) return nullptr;
  if (!string->IsMutable()) return static_cast<CFStringRef>(CFRetain(string));
  return new __CFString(string->Text(), false);
}

CFStringRef CFStringCreateWithSubstring(CFAllocatorRef, CFStringRef str, CFRange range)
{
  const __CFString* string = As<__CFString>(str);
  if (!string || range.length < 0) return nullptr;
  size_t begin = ByteOffsetOfUnit(string->Text(), range.location);
  size_t end = ByteOffsetOfUnit(string->Text(), range.location + range.length);
  if (begin == std::string::npos || end == std::string::npos) return nullptr;
  return new __CFString(string->Text().substr(begin, end - begin), false);
}

CFIndex CFStringGetLength(CFStringRef theString)
{
  const __CFString* string = As<__CFString>(theString);
  return string ? string->Length() : 0;
}

UniChar CFStringGetCharacterAtIndex(CFStringRef theString, CFIndex idx)
{
  const std::string& text = StringText(theString);
  CFIndex units = 0;
  for (size_t pos = 0; pos < text.size();)
  {
    uint32_t codePoint = NextCodePoint(text, pos);
    if (codePoint < 0x10000)
    {
      if (units++ == idx) return static_cast<UniChar>(codePoint);
      continue;
    }
    codePoint -= 0x10000;
    if (units++ == idx) return static_cast<UniChar>(0xD800 + (codePoint >> 10));
    if (units++ == idx) return static_cast<UniChar>(0xDC00 + (codePoint & 0x3FF));
  }
  return 0;
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding)
{
  if (length < 0) return kCFNotFound;
  switch (encoding)
  {
  case kCFStringEncodingUTF8:
    return length > LONG_MAX / 3 ? static_cast<CFIndex>(kCFNotFound) : length * 3;
  case kCFStringEncodingASCII:
  case kCFStringEncodingISOLatin1:
  case kCFStringEncodingMacRoman:
    return length;
  default:
    return kCFNotFound;
  }
}

Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize,
                           CFStringEncoding encoding)
{
  const __CFString* string = As<__CFString>(theString);
  if (!buffer || bufferSize <= 0) return false;
  std::string encoded;
  bool ok = string && Encode(string->Text(), encoding, encoded) &&
            encoded.size() < static_cast<size_t>(bufferSize);
  if (!ok)
  {
    buffer[0] = 0;
    return false;
  }
  std::memcpy(buffer, encoded.c_str(), encoded.size() + 1);
  return true;
}

const char* CFStringGetCStringPtr(CFStringRef theString, CFStringEncoding encoding)
{
  const __CFString* string = As<__CFString>(theString);
  if (!string) return nullptr;
  if (encoding == kCFStringEncodingUTF8) return string->Text().c_str();
  if (encoding == kCFStringEncodingASCII && IsASCII(string->Text())) return string->Text().c_str();
  return nullptr;
}

CFIndex CFStringGetBytes(CFStringRef theString, CFRange range, CFStringEncoding encoding,
                         UInt8 lossByte, Boolean, UInt8* buffer, CFIndex maxBufLen,
                         CFIndex* usedBufLen)
{
  if (usedBufLen) *usedBufLen = 0;
  const std::string& text = StringText(theString);
  size_t pos = ByteOffsetOfUnit(text, range.location);
  if (range.length < 0 || pos == std::string::npos) return 0;
  CFIndex converted = 0;
  size_t used = 0;
  while (converted < range.length && pos < text.size())
  {
    uint32_t codePoint = NextCodePoint(text, pos);
    std::string bytes;
    if (!EncodeCodePoint(codePoint, encoding, bytes))
    {
      if (lossByte == 0) break;
      bytes.assign(1, static_cast<char>(lossByte));
    }
    CFIndex units = UTF16Units(codePoint);
    if (converted + units > range.length) break;
    if (buffer && used + bytes.size() > static_cast<size_t>(maxBufLen < 0 ? 0 : maxBufLen)) break;
    if (buffer) std::memcpy(buffer + used, bytes.data(), bytes.size());
    used += bytes.size();
    converted += units;
  }
  if (usedBufLen) *usedBufLen = static_cast<CFIndex>(used);
  return converted;
}

CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2,
                                   CFStringCompareFlags compareOptions)
{
  return CompareText(StringText(theString1), StringText(theString2), compareOptions);
}

Boolean CFStringHasPrefix(CFStringRef theString, CFStringRef prefix)
{
  const std::string& text = StringText(theString);
  const std::string& start = StringText(prefix);
  return text.compare(0, start.size(), start) == 0;
}

Boolean CFStringHasSuffix(CFStringRef theString, CFStringRef suffix)
{
  const std::string& text = StringText(theString);
  const std::string& end = StringText(suffix);
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

SInt32 CFStringGetIntValue(CFStringRef str)
{
  long long value = std::strtoll(StringText(str).c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<SInt32>(value);
}

double CFStringGetDoubleValue(CFStringRef str)
{
  return std::strtod(StringText(str).c_str(), nullptr);
}

CFMutableStringRef CFStringCreateMutable(CFAllocatorRef, CFIndex)
{
  return new __CFString(std::string(), true);
}

CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef, CFIndex, CFStringRef theString)
{
  return new __CFString(StringText(theString), true);
}

void CFStringAppend(CFMutableStringRef theString, CFStringRef appendedString)
{
  __CFString* string = MutableString(theString);
  if (!string) return;
  std::string tail = StringText(appendedString); // copy: the string may be appended to itself
  string->Append(tail);
}

void CFStringAppendCString(CFMutableStringRef theString, const char* cStr,
                           CFStringEncoding encoding)
{
  __CFString* string = MutableString(theString);
  std::string text;
  if (string && cStr &&
      DecodeBytes(reinterpret_cast<const UInt8*>(cStr), std::strlen(cStr), encoding, text))
    string->Append(text);
}
