// URLs stored as absolute texts: file URLs for paths and any other scheme for web addresses.
#include "platform/cf/CFObject.h"
#include "platform/cf/CFURLParts.h"

#include <cerrno>
#include <cstring>
#include <strings.h>
#include <unistd.h>

using namespace cf;

struct __CFURL : CFObject
{
  static constexpr CFTypeID kTypeID = kTypeURL;

  explicit __CFURL(std::string text) : CFObject(kTypeID), mText(std::move(text))
  {
    mString = MakeString(mText);
  }
  ~__CFURL() override { CFRelease(mString); }

  bool Equals(const CFObject& other) const override
  {
    return mText == static_cast<const __CFURL&>(other).mText;
  }
  CFHashCode Hash() const override { return HashBytes(mText.data(), mText.size()); }
  std::string Describe() const override { return mText; }

  URLParts Parts() const { return SplitURL(mText); }

  const std::string mText;
  CFStringRef mString;
};

namespace
{

bool IsFileURL(const URLParts& parts)
{
  return strcasecmp(parts.scheme.c_str(), "file") == 0;
}

std::string CurrentDirectory()
{
  std::string buffer(4096, '\0');
  while (!getcwd(&buffer[0], buffer.size()))
  {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.c_str();
}

CFURLRef CreateFileURL(std::string path, bool isDirectory)
{
  if (path.empty()) return nullptr;
  if (path[0] != '/') path = CurrentDirectory() + (CurrentDirectory() == "/" ? "" : "/") + path;
  if (isDirectory && path.back() != '/') path += '/';
  return new __CFURL("file://" + EscapePath(path));
}

// The unescaped path without a trailing '/' (the root keeps its '/').
std::string PlainPath(const URLParts& parts)
{
  std::string path = Unescape(parts.path);
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

std::string LastComponent(const std::string& plainPath)
{
  if (plainPath == "/") return plainPath;
  size_t slash = plainPath.rfind('/');
  return slash == std::string::npos ? plainPath : plainPath.substr(slash + 1);
}

// Position of the extension dot in a component, npos when there is none.
size_t ExtensionDot(const std::string& component)
{
  size_t dot = component.rfind('.');
  return (dot == std::string::npos || dot == 0 || dot + 1 == component.size()) ? std::string::npos
                                                                               : dot;
}

CFURLRef WithPath(const __CFURL* url, const std::string& path)
{
  URLParts parts = url->Parts();
  parts.path = path;
  return new __CFURL(JoinURL(parts));
}

const __CFURL* URLOf(CFURLRef ref)
{
  return As<__CFURL>(ref);
}

} // namespace

CFTypeID CFURLGetTypeID(void)
{
  return kTypeURL;
}

CFURLRef CFURLCreateWithString(CFAllocatorRef, CFStringRef URLString, CFURLRef baseURL)
{
  const std::string& text = StringText(URLString);
  if (!IsWellFormedURL(text)) return nullptr;
  const __CFURL* base = URLOf(baseURL);
  return new __CFURL(base ? ResolveURL(base->mText, text) : text);
}

CFURLRef CFURLCreateWithBytes(CFAllocatorRef allocator, const UInt8* URLBytes, CFIndex length,
                              CFStringEncoding encoding, CFURLRef baseURL)
{
  CFStringRef string = CFStringCreateWithBytes(allocator, URLBytes, length, encoding, false);
  if (!string) return nullptr;
  CFURLRef url = CFURLCreateWithString(allocator, string, baseURL);
  CFRelease(string);
  return url;
}

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef filePath,
                                       CFURLPathStyle pathStyle, Boolean isDirectory)
{
  if (pathStyle != kCFURLPOSIXPathStyle || CFGetTypeID(filePath) != CFStringGetTypeID())
    return nullptr;
  return CreateFileURL(StringText(filePath), isDirectory);
}

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8* buffer,
                                                 CFIndex bufLen, Boolean isDirectory)
{
  if (!buffer || bufLen <= 0) return nullptr;
  const char* bytes = reinterpret_cast<const char*>(buffer);
  std::string path(bytes, strnlen(bytes, static_cast<size_t>(bufLen)));
  return CreateFileURL(path, isDirectory);
}

CFStringRef CFURLGetString(CFURLRef anURL)
{
  const __CFURL* url = URLOf(anURL);
  return url ? url->mString : nullptr;
}

CFURLRef CFURLGetBaseURL(CFURLRef)
{
  return nullptr;
}

CFURLRef CFURLCopyAbsoluteURL(CFURLRef relativeURL)
{
  return URLOf(relativeURL) ? static_cast<CFURLRef>(CFRetain(relativeURL)) : nullptr;
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef anURL, Boolean, UInt8* buffer, CFIndex maxBufLen)
{
  const __CFURL* url = URLOf(anURL);
  if (!url || !buffer || maxBufLen <= 0) return false;
  URLParts parts = url->Parts();
  std::string path = PlainPath(parts);
  if (!IsFileURL(parts) || path.empty() || path.find('\0') != std::string::npos ||
      path.size() >= static_cast<size_t>(maxBufLen))
    return false;
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return true;
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle)
{
  const __CFURL* url = URLOf(anURL);
  if (!url || pathStyle != kCFURLPOSIXPathStyle) return nullptr;
  return CFStringCreateWithCString(nullptr, PlainPath(url->Parts()).c_str(), kCFStringEncodingUTF8);
}

CFStringRef CFURLCopyPath(CFURLRef anURL)
{
  const __CFURL* url = URLOf(anURL);
  return url ? MakeString(url->Parts().path) : nullptr;
}

CFStringRef CFURLCopyScheme(CFURLRef anURL)
{
  const __CFURL* url = URLOf(anURL);
  if (!url) return nullptr;
  URLParts parts = url->Parts();
  return parts.scheme.empty() ? nullptr : MakeString(parts.scheme);
}

CFStringRef CFURLCopyHostName(CFURLRef anURL)
{
  const __CFURL* url = URLOf(anURL);
  if (!url) return nullptr;
  std::string host = url->Parts().authority;
  size_t at = host.rfind('@');
  if (at != std::string::npos) host.erase(0, at + 1);
  size_t colon = host.rfind(':');
  if (colon != std::string::npos && host.find(']', colon) == std::string::npos) host.erase(colon);
  host = Unescape(host);
  return host.empty() ? nullptr
                      : CFStringCreateWithCString(nullptr, host.c_str(), kCFStringEncodingUTF8);
}

Boolean CFURLHasDirectoryPath(CFURLRef anURL)
{
  const __CFURL* url = URLOf(anURL);
  if (!url) return false;
  std::string path = url->Parts().path;
  return !path.empty() && path.back() == '/';
}

CFStringRef CFURLCopyLastPathComponent(CFURLRef anURL)
{
  const __CFURL* url = URLOf(anURL);
  if (!url) return nullptr;
  return CFStringCreateWithCString(nullptr, LastComponent(PlainPath(url->Parts())).c_str(),
                                   kCFStringEncodingUTF8);
}

CFStringRef CFURLCopyPathExtension(CFURLRef anURL)
{
  const __CFURL* url = URLOf(anURL);
  if (!url) return nullptr;
  std::string component = LastComponent(PlainPath(url->Parts()));
  size_t dot = ExtensionDot(component);
  if (dot == std::string::npos) return nullptr;
  return CFStringCreateWithCString(nullptr, component.c_str() + dot + 1, kCFStringEncodingUTF8);
}

CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef, CFURLRef anURL,
                                               CFStringRef pathComponent, Boolean isDirectory)
{
  const __CFURL* url = URLOf(anURL);
  if (!url || CFGetTypeID(pathComponent) != CFStringGetTypeID()) return nullptr;
  std::string path = url->Parts().path;
  if (path.empty() || path.back() != '/') path += '/';
  path += EscapePath(StringText(pathComponent));
  if (isDirectory && path.back() != '/') path += '/';
  return WithPath(url, path);
}

CFURLRef CFURLCreateCopyDeletingLastPathComponent(CFAllocatorRef, CFURLRef anURL)
{
  const __CFURL* url = URLOf(anURL);
  if (!url) return nullptr;
  std::string path = url->Parts().path;
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  size_t slash = path.rfind('/');
  path = slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
  return WithPath(url, path);
}

CFURLRef CFURLCreateCopyAppendingPathExtension(CFAllocatorRef, CFURLRef anURL,
                                               CFStringRef extension)
{
  const __CFURL* url = URLOf(anURL);
  if (!url || CFGetTypeID(extension) != CFStringGetTypeID()) return nullptr;
  std::string path = url->Parts().path;
  bool directory = !path.empty() && path.back() == '/';
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  path += "." + EscapePath(StringText(extension)) + (directory ? "/" : "");
  return WithPath(url, path);
}

CFURLRef CFURLCreateCopyDeletingPathExtension(CFAllocatorRef, CFURLRef anURL)
{
  const __CFURL* url = URLOf(anURL);
  if (!url) return nullptr;
  std::string path = url->Parts().path;
  bool directory = path.size() > 1 && path.back() == '/';
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  size_t slash = path.rfind('/');
  size_t start = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = ExtensionDot(path.substr(start));
  if (dot != std::string::npos) path.erase(start + dot);
  return WithPath(url, path + (directory ? "/" : ""));
}
