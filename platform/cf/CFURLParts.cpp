#include "platform/cf/CFURLParts.h"

#include <cctype>
#include <cstring>

namespace cf
{

namespace
{

bool IsHex(char c)
{
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

int HexValue(char c)
{
  if (c >= '0' && c <= '9') return c - '0';
  return (std::tolower(static_cast<unsigned char>(c)) - 'a') + 10;
}

bool IsUnreserved(unsigned char c)
{
  return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

bool IsSchemeChar(char c)
{
  return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

// Length of a leading "scheme:", 0 when there is none.
size_t SchemeLength(const std::string& text)
{
  if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0]))) return 0;
  size_t i = 1;
  while (i < text.size() && IsSchemeChar(text[i]))
    ++i;
  return (i < text.size() && text[i] == ':') ? i : 0;
}

// Removes "." and ".." segments (RFC 3986, 5.2.4).
std::string RemoveDotSegments(std::string input)
{
  std::string output;
  while (!input.empty())
  {
    if (input.compare(0, 3, "../") == 0)
      input.erase(0, 3);
    else if (input.compare(0, 2, "./") == 0 || input.compare(0, 3, "/./") == 0)
      input.erase(0, 2);
    else if (input == "/.")
      input = "/";
    else if (input.compare(0, 4, "/../") == 0 || input == "/..")
    {
      input = input.size() == 3 ? "/" : input.substr(3);
      size_t slash = output.rfind('/');
      output.erase(slash == std::string::npos ? 0 : slash);
    }
    else if (input == "." || input == "..")
      input.clear();
    else
    {
      size_t next = input.find('/', input[0] == '/' ? 1 : 0);
      output += input.substr(0, next);
      input.erase(0, next == std::string::npos ? input.size() : next);
    }
  }
  return output;
}

std::string MergePaths(const URLParts& base, const std::string& path)
{
  if (base.hasAuthority && base.path.empty()) return "/" + path;
  size_t slash = base.path.rfind('/');
  return slash == std::string::npos ? path : base.path.substr(0, slash + 1) + path;
}

} // namespace

URLParts SplitURL(const std::string& text)
{
  URLParts parts;
  size_t pos = SchemeLength(text);
  if (pos > 0) parts.scheme = text.substr(0, pos++);
  if (text.compare(pos, 2, "//") == 0)
  {
    parts.hasAuthority = true;
    size_t end = text.find_first_of("/?#", pos + 2);
    parts.authority =
        text.substr(pos + 2, end == std::string::npos ? std::string::npos : end - pos - 2);
    pos = end == std::string::npos ? text.size() : end;
  }
  size_t end = text.find_first_of("?#", pos);
  parts.path = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
  pos = end == std::string::npos ? text.size() : end;
  if (pos < text.size() && text[pos] == '?')
  {
    parts.hasQuery = true;
    end = text.find('#', pos);
    parts.query =
        text.substr(pos + 1, end == std::string::npos ? std::string::npos : end - pos - 1);
    pos = end == std::string::npos ? text.size() : end;
  }
  if (pos < text.size())
  {
    parts.hasFragment = true;
    parts.fragment = text.substr(pos + 1);
  }
  return parts;
}

std::string JoinURL(const URLParts& parts)
{
  std::string text;
  if (!parts.scheme.empty()) text += parts.scheme + ":";
  if (parts.hasAuthority) text += "//" + parts.authority;
  text += parts.path;
  if (parts.hasQuery) text += "?" + parts.query;
  if (parts.hasFragment) text += "#" + parts.fragment;
  return text;
}

bool IsWellFormedURL(const std::string& text)
{
  static const char* const allowed = ":/?#[]@!$&'()*+,;=";
  if (text.empty()) return false;
  for (size_t i = 0; i < text.size(); ++i)
  {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '%')
    {
      if (i + 2 >= text.size() || !IsHex(text[i + 1]) || !IsHex(text[i + 2])) return false;
      i += 2;
    }
    else if (!IsUnreserved(c) && (c == 0 || !std::strchr(allowed, c)))
    {
      return false;
    }
  }
  return true;
}

std::string EscapePath(const std::string& path)
{
  static const char* const kept = "!$&'()*+,;=:@/";
  static const char* const digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path)
  {
    if (IsUnreserved(c) || (c != 0 && std::strchr(kept, c)))
    {
      out += static_cast<char>(c);
      continue;
    }
    out += '%';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string Unescape(const std::string& text)
{
  std::string out;
  for (size_t i = 0; i < text.size(); ++i)
  {
    if (text[i] == '%' && i + 2 < text.size() && IsHex(text[i + 1]) && IsHex(text[i + 2]))
    {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    }
    else
    {
      out += text[i];
    }
  }
  return out;
}

std::string ResolveURL(const std::string& base, const std::string& reference)
{
  URLParts ref = SplitURL(reference);
  if (!ref.scheme.empty())
  {
    ref.path = RemoveDotSegments(ref.path);
    return JoinURL(ref);
  }
  URLParts b = SplitURL(base);
  URLParts target;
  target.scheme = b.scheme;
  target.hasFragment = ref.hasFragment;
  target.fragment = ref.fragment;
  if (ref.hasAuthority)
  {
    target.hasAuthority = true;
    target.authority = ref.authority;
    target.path = RemoveDotSegments(ref.path);
    target.hasQuery = ref.hasQuery;
    target.query = ref.query;
    return JoinURL(target);
  }
  target.hasAuthority = b.hasAuthority;
  target.authority = b.authority;
  if (ref.path.empty())
  {
    target.path = b.path;
    target.hasQuery = ref.hasQuery || b.hasQuery;
    target.query = ref.hasQuery ? ref.query : b.query;
    return JoinURL(target);
  }
  target.path = RemoveDotSegments(ref.path[0] == '/' ? ref.path : MergePaths(b, ref.path));
  target.hasQuery = ref.hasQuery;
  target.query = ref.query;
  return JoinURL(target);
}

} // namespace cf
