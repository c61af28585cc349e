#include "host/kit/CFRef.h"

#include <vector>

std::string CFStringText(CFStringRef string)
{
  if (!string) return std::string();
  if (const char* inner = CFStringGetCStringPtr(string, kCFStringEncodingUTF8)) return inner;
  const CFIndex size =
      CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1;
  std::vector<char> buffer(static_cast<size_t>(size));
  if (!CFStringGetCString(string, buffer.data(), size, kCFStringEncodingUTF8)) return std::string();
  return buffer.data();
}
