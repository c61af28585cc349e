#include "platform/cf/CFUnicode.h"

namespace cf
{

namespace
{

// Length of the sequence announced by a lead byte, 0 for a byte that cannot lead.
size_t SequenceLength(unsigned char lead)
{
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

bool IsContinuation(unsigned char byte)
{
  return (byte & 0xC0) == 0x80;
}

// The allowed range of the second byte, which rules out overlong forms, surrogates and values
// above U+10FFFF.
bool SecondByteAllowed(unsigned char lead, unsigned char second)
{
  switch (lead)
  {
  case 0xE0:
    return second >= 0xA0;
  case 0xED:
    return second <= 0x9F;
  case 0xF0:
    return second >= 0x90;
  case 0xF4:
    return second <= 0x8F;
  default:
    return true;
  }
}

} // namespace

bool IsValidUTF8(const unsigned char* bytes, size_t length)
{
  size_t pos = 0;
  while (pos < length)
  {
    size_t n = SequenceLength(bytes[pos]);
    if (n == 0 || pos + n > length) return false;
    for (size_t i = 1; i < n; ++i)
      if (!IsContinuation(bytes[pos + i])) return false;
    if (n > 1 && !SecondByteAllowed(bytes[pos], bytes[pos + 1])) return false;
    pos += n;
  }
  return true;
}

bool IsASCII(const std::string& text)
{
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

uint32_t NextCodePoint(const std::string& text, size_t& pos)
{
  unsigned char lead = static_cast<unsigned char>(text[pos]);
  size_t n = SequenceLength(lead);
  if (n <= 1 || pos + n > text.size())
  {
    ++pos;
    return lead;
  }
  uint32_t codePoint = lead & (0xFF >> (n + 1));
  for (size_t i = 1; i < n; ++i)
    codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
  pos += n;
  return codePoint;
}

void AppendUTF8(std::string& out, uint32_t codePoint)
{
  if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = 0xFFFD;
  if (codePoint < 0x80)
  {
    out += static_cast<char>(codePoint);
  }
  else if (codePoint < 0x800)
  {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
  else if (codePoint < 0x10000)
  {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
  else
  {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

long UTF16Length(const std::string& text)
{
  long units = 0;
  for (size_t pos = 0; pos < text.size();)
    units += UTF16Units(NextCodePoint(text, pos));
  return units;
}

size_t ByteOffsetOfUnit(const std::string& text, long unitIndex)
{
  if (unitIndex < 0) return std::string::npos;
  long units = 0;
  size_t pos = 0;
  while (units < unitIndex && pos < text.size())
    units += UTF16Units(NextCodePoint(text, pos));
  return units == unitIndex ? pos : std::string::npos;
}

} // namespace cf
