// printf-style string formatting with %@ for CF objects.
#include "platform/cf/CFStringObject.h"
#include "platform/cf/CFUnicode.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/types.h>

using namespace cf;

namespace
{

enum class Length
{
  None,
  Char,
  Short,
  Long,
  LongLong,
  Size,
  PtrDiff,
  IntMax,
  LongDouble
};

struct Spec
{
  std::string flags;
  int width = -1;
  int precision = -1;
  Length length = Length::None;
  char conversion = 0;
};

int ReadNumber(const std::string& format, size_t& pos)
{
  long value = 0;
  while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9')
  {
    if (value < 100000) value = value * 10 + (format[pos] - '0');
    ++pos;
  }
  return static_cast<int>(value);
}

Length ReadLength(const std::string& format, size_t& pos)
{
  auto next = [&](char c)
  {
    if (pos < format.size() && format[pos] == c)
    {
      ++pos;
      return true;
    }
    return false;
  };
  if (next('h')) return next('h') ? Length::Char : Length::Short;
  if (next('l')) return next('l') ? Length::LongLong : Length::Long;
  if (next('q')) return Length::LongLong;
  if (next('z')) return Length::Size;
  if (next('t')) return Length::PtrDiff;
  if (next('j')) return Length::IntMax;
  if (next('L')) return Length::LongDouble;
  return Length::None;
}

// Reads flags, width, precision and length after '%'; '*' takes its value from the arguments.
Spec ReadSpec(const std::string& format, size_t& pos, va_list* args)
{
  Spec spec;
  while (pos < format.size() && std::strchr("-+ #0'", format[pos]) && format[pos] != 0)
    spec.flags += format[pos++];
  if (pos < format.size() && format[pos] == '*')
  {
    ++pos;
    spec.width = va_arg(*args, int);
    if (spec.width < 0)
    {
      spec.flags += '-';
      spec.width = spec.width == INT32_MIN ? 0 : -spec.width;
    }
  }
  else if (pos < format.size() && format[pos] >= '0' && format[pos] <= '9')
  {
    spec.width = ReadNumber(format, pos);
  }
  if (pos < format.size() && format[pos] == '.')
  {
    ++pos;
    if (pos < format.size() && format[pos] == '*')
    {
      ++pos;
      spec.precision = va_arg(*args, int);
      if (spec.precision < 0) spec.precision = -1;
    }
    else
    {
      spec.precision = ReadNumber(format, pos);
    }
  }
  spec.length = ReadLength(format, pos);
  if (pos < format.size()) spec.conversion = format[pos++];
  return spec;
}

// The conversion as a C format with the given length modifier.
std::string CFormat(const Spec& spec, const char* lengthModifier)
{
  std::string out = "%" + spec.flags;
  if (spec.width >= 0) out += std::to_string(spec.width);
  if (spec.precision >= 0) out += "." + std::to_string(spec.precision);
  return out + lengthModifier + spec.conversion;
}

template <class T> void AppendC(std::string& out, const std::string& cFormat, T value)
{
  int size = std::snprintf(nullptr, 0, cFormat.c_str(), value);
  if (size <= 0) return;
  std::string text(static_cast<size_t>(size) + 1, '\0');
  std::snprintf(&text[0], text.size(), cFormat.c_str(), value);
  text.resize(static_cast<size_t>(size));
  out += text;
}

long long SignedArgument(Length length, va_list* args)
{
  switch (length)
  {
  case Length::Char:
    return static_cast<signed char>(va_arg(*args, int));
  case Length::Short:
    return static_cast<short>(va_arg(*args, int));
  case Length::Long:
    return va_arg(*args, long);
  case Length::LongLong:
    return va_arg(*args, long long);
  case Length::Size:
    return va_arg(*args, ssize_t);
  case Length::PtrDiff:
    return va_arg(*args, ptrdiff_t);
  case Length::IntMax:
    return va_arg(*args, intmax_t);
  default:
    return va_arg(*args, int);
  }
}

unsigned long long UnsignedArgument(Length length, va_list* args)
{
  switch (length)
  {
  case Length::Char:
    return static_cast<unsigned char>(va_arg(*args, unsigned));
  case Length::Short:
    return static_cast<unsigned short>(va_arg(*args, unsigned));
  case Length::Long:
    return va_arg(*args, unsigned long);
  case Length::LongLong:
    return va_arg(*args, unsigned long long);
  case Length::Size:
    return va_arg(*args, size_t);
  case Length::PtrDiff:
    return static_cast<unsigned long long>(va_arg(*args, ptrdiff_t));
  case Length::IntMax:
    return va_arg(*args, uintmax_t);
  default:
    return va_arg(*args, unsigned);
  }
}

// Text conversions (%s, %@, %S, %c, %C): precision cuts at a character boundary, width pads
// with spaces, both counted in characters.
void AppendText(std::string& out, const Spec& spec, const std::string& text)
{
  size_t end = text.size();
  int characters = 0;
  for (size_t pos = 0; pos < text.size(); ++characters)
  {
    if (spec.precision >= 0 && characters == spec.precision)
    {
      end = pos;
      break;
    }
    NextCodePoint(text, pos);
  }
  std::string padding(spec.width > characters ? static_cast<size_t>(spec.width - characters) : 0,
                      ' ');
  bool left = spec.flags.find('-') != std::string::npos;
  out += left ? text.substr(0, end) + padding : padding + text.substr(0, end);
}

std::string ValidText(const char* bytes)
{
  if (!bytes) return "(null)";
  std::string text(bytes);
  if (IsValidUTF8(reinterpret_cast<const unsigned char*>(text.data()), text.size())) return text;
  std::string latin1;
  for (unsigned char c : text)
    AppendUTF8(latin1, c);
  return latin1;
}

std::string UTF16Text(const UniChar* chars)
{
  if (!chars) return "(null)";
  size_t count = 0;
  while (chars[count])
    ++count;
  CFStringRef string = CFStringCreateWithCharacters(nullptr, chars, static_cast<CFIndex>(count));
  std::string text = StringText(string);
  CFRelease(string);
  return text;
}

std::string CodePointText(uint32_t codePoint)
{
  std::string text;
  AppendUTF8(text, codePoint);
  return text;
}

// Appends one conversion; false for a conversion character it does not know.
bool AppendConversion(std::string& out, const Spec& spec, va_list* args)
{
  switch (spec.conversion)
  {
  case '%':
    out += '%';
    return true;
  case 'd':
  case 'i':
    AppendC(out, CFormat(spec, "ll"), SignedArgument(spec.length, args));
    return true;
  case 'u':
  case 'o':
  case 'x':
  case 'X':
    AppendC(out, CFormat(spec, "ll"), UnsignedArgument(spec.length, args));
    return true;
  case 'f':
  case 'F':
  case 'e':
  case 'E':
  case 'g':
  case 'G':
  case 'a':
  case 'A':
    if (spec.length == Length::LongDouble)
      AppendC(out, CFormat(spec, "L"), va_arg(*args, long double));
    else
      AppendC(out, CFormat(spec, ""), va_arg(*args, double));
    return true;
  case 'p':
    AppendC(out, CFormat(spec, ""), va_arg(*args, void*));
    return true;
  case 'c':
    AppendText(out, spec, CodePointText(static_cast<unsigned char>(va_arg(*args, int))));
    return true;
  case 'C':
    AppendText(out, spec, CodePointText(static_cast<UniChar>(va_arg(*args, int))));
    return true;
  case 's':
    AppendText(out, spec, ValidText(va_arg(*args, const char*)));
    return true;
  case 'S':
    AppendText(out, spec, UTF16Text(va_arg(*args, const UniChar*)));
    return true;
  case '@':
    AppendText(out, spec, DescribeObject(va_arg(*args, CFTypeRef)));
    return true;
  case 'n':
    va_arg(*args, void*);
    return true; // never written through
  default:
    return false;
  }
}

CFStringRef CreateFormatted(CFStringRef format, va_list arguments)
{
  if (!As<__CFString>(format)) return nullptr;
  std::string text;
  AppendFormatted(text, StringText(format), arguments);
  return MakeString(text);
}

} // namespace

namespace cf
{

void AppendFormatted(std::string& out, const std::string& format, va_list arguments)
{
  va_list args;
  va_copy(args, arguments);
  for (size_t pos = 0; pos < format.size();)
  {
    size_t percent = format.find('%', pos);
    out.append(format, pos, percent == std::string::npos ? std::string::npos : percent - pos);
    if (percent == std::string::npos) break;
    pos = percent + 1;
    Spec spec = ReadSpec(format, pos, &args);
    if (!AppendConversion(out, spec, &args)) out.append(format, percent, pos - percent);
  }
  va_end(args);
}

} // namespace cf

CFStringRef CFStringCreateWithFormat(CFAllocatorRef, CFDictionaryRef, CFStringRef format, ...)
{
  va_list arguments;
  va_start(arguments, format);
  CFStringRef string = CreateFormatted(format, arguments);
  va_end(arguments);
  return string;
}

CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef, CFDictionaryRef,
                                                 CFStringRef format, va_list arguments)
{
  return CreateFormatted(format, arguments);
}

void CFStringAppendFormat(CFMutableStringRef theString, CFDictionaryRef, CFStringRef format, ...)
{
  __CFString* string = AsMutable<__CFString>(theString);
  if (!string || !string->IsMutable() || !As<__CFString>(format)) return;
  std::string text;
  va_list arguments;
  va_start(arguments, format);
  AppendFormatted(text, StringText(format), arguments);
  va_end(arguments);
  string->Append(text);
}
