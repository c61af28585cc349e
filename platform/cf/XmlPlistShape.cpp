#include "platform/cf/XmlPlistShape.h"

#include <cstring>
#include <initializer_list>

namespace cf
{
namespace
{

// Where the first `close` at or after pos begins, or end when there is none.
std::size_t Find(const char* text, std::size_t pos, std::size_t end, const char* close)
{
  const std::size_t n = std::strlen(close);
  for (; pos + n <= end; ++pos)
    if (std::memcmp(text + pos, close, n) == 0) return pos;
  return end;
}

bool StartsWith(const char* text, std::size_t pos, std::size_t end, const char* prefix)
{
  const std::size_t n = std::strlen(prefix);
  return pos + n <= end && std::memcmp(text + pos, prefix, n) == 0;
}

bool IsNameEnd(char c)
{
  return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The tag starting at pos ('<' excluded) names a container.
bool NamesContainer(const char* text, std::size_t pos, std::size_t end)
{
  for (const char* name : {"array", "dict"})
  {
    const std::size_t n = std::strlen(name);
    if (StartsWith(text, pos, end, name) && pos + n < end && IsNameEnd(text[pos + n])) return true;
  }
  return false;
}

} // namespace

bool XmlPlistNestingIsSafe(const char* text, std::size_t length, int maxDepth)
{
  int depth = 0;
  std::size_t pos = 0;
  while (pos < length)
  {
    if (text[pos] != '<')
    {
      ++pos;
      continue;
    }
    ++pos;
    if (StartsWith(text, pos, length, "!--"))
      pos = Find(text, pos + 3, length, "-->") + 3;
    else if (StartsWith(text, pos, length, "![CDATA["))
      pos = Find(text, pos + 8, length, "]]>") + 3;
    else if (StartsWith(text, pos, length, "?") || StartsWith(text, pos, length, "!"))
      pos = Find(text, pos, length, ">") + 1;
    else
    {
      const bool closing = StartsWith(text, pos, length, "/");
      const std::size_t name = closing ? pos + 1 : pos;
      const std::size_t tagEnd = Find(text, name, length, ">");
      const bool selfClosing = tagEnd < length && tagEnd > name && text[tagEnd - 1] == '/';
      if (NamesContainer(text, name, length) && !selfClosing)
      {
        depth += closing ? -1 : 1;
        if (depth > maxDepth) return false;
      }
      pos = tagEnd + 1;
    }
  }
  return true;
}

} // namespace cf
