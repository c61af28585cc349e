// UTF-8 and UTF-16 helpers for the string type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace cf
{

// Whether bytes form valid UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUTF8(const unsigned char* bytes, size_t length);
bool IsASCII(const std::string& text);

// Decodes the code point starting at text[pos] of valid UTF-8 and advances pos past it.
uint32_t NextCodePoint(const std::string& text, size_t& pos);
void AppendUTF8(std::string& out, uint32_t codePoint);
// UTF-16 code units needed for the code point (1 or 2).
inline long UTF16Units(uint32_t codePoint)
{
  return codePoint >= 0x10000 ? 2 : 1;
}
long UTF16Length(const std::string& text);

// Byte offset of the UTF-16 unit index in valid UTF-8, or npos when the index is past the end
// or falls inside a surrogate pair.
size_t ByteOffsetOfUnit(const std::string& text, long unitIndex);

} // namespace cf
