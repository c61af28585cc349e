// Splitting, joining, escaping and resolving URL texts.
#pragma once

#include <string>

namespace cf
{

struct URLParts
{
  std::string scheme; // without ':'
  bool hasAuthority = false;
  std::string authority; // without "//"
  std::string path;
  bool hasQuery = false;
  std::string query;
  bool hasFragment = false;
  std::string fragment;
};

URLParts SplitURL(const std::string& text);
std::string JoinURL(const URLParts& parts);

// Whether every character may appear in a URL and every '%' starts a valid escape.
bool IsWellFormedURL(const std::string& text);
// Escapes every byte that may not appear unescaped in a path ('/' is kept).
std::string EscapePath(const std::string& path);
// Undoes %XX escapes.
std::string Unescape(const std::string& text);
// Resolves a reference against an absolute base.
std::string ResolveURL(const std::string& base, const std::string& reference);

} // namespace cf
