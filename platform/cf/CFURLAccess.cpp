// Whole-file reading and writing through file URLs.
#include "platform/cf/CFObject.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

SInt32 ErrorFromErrno(int error)
{
  switch (error)
  {
  case ENOENT:
  case ENOTDIR:
    return kCFURLResourceNotFoundError;
  case EACCES:
  case EPERM:
  case EROFS:
    return kCFURLResourceAccessViolationError;
  default:
    return kCFURLUnknownError;
  }
}

// The file path of a file URL; false (with the error code) for other URLs.
bool FilePath(CFURLRef url, std::string& path, SInt32& error)
{
  std::vector<UInt8> buffer(PATH_MAX + 1);
  if (!CFURLGetFileSystemRepresentation(url, true, buffer.data(),
                                        static_cast<CFIndex>(buffer.size())))
  {
    error = kCFURLUnknownSchemeError;
    return false;
  }
  path = reinterpret_cast<const char*>(buffer.data());
  return true;
}

bool ReadFile(const std::string& path, std::vector<UInt8>& bytes, SInt32& error)
{
  struct stat info;
  if (stat(path.c_str(), &info) != 0)
  {
    error = ErrorFromErrno(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode))
  {
    error = kCFURLResourceAccessViolationError;
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file)
  {
    error = ErrorFromErrno(errno);
    return false;
  }
  UInt8 chunk[65536];
  size_t count;
  while ((count = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + count);
  bool ok = !std::ferror(file);
  std::fclose(file);
  if (!ok) error = kCFURLUnknownError;
  return ok;
}

bool WriteAll(int descriptor, const UInt8* bytes, size_t length)
{
  size_t written = 0;
  while (written < length)
  {
    ssize_t n = write(descriptor, bytes + written, length - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

// An existing file keeps its permissions; a new one is readable by everyone.
mode_t ModeFor(const std::string& path)
{
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0644;
}

// Writes a temporary file beside the target and renames it over the target, so that a failed
// write leaves the old file intact.
bool WriteFile(const std::string& path, const UInt8* bytes, size_t length, SInt32& error)
{
  std::string temporary = path + ".XXXXXX";
  int descriptor = mkstemp(&temporary[0]);
  if (descriptor < 0)
  {
    error = ErrorFromErrno(errno);
    return false;
  }
  bool ok = WriteAll(descriptor, bytes, length);
  ok = fchmod(descriptor, ModeFor(path)) == 0 && ok;
  ok = close(descriptor) == 0 && ok;
  if (ok && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  error = ErrorFromErrno(errno);
  unlink(temporary.c_str());
  return false;
}

} // namespace

Boolean CFURLCreateDataAndPropertiesFromResource(CFAllocatorRef alloc, CFURLRef url,
                                                 CFDataRef* resourceData,
                                                 CFDictionaryRef* properties, CFArrayRef,
                                                 SInt32* errorCode)
{
  SInt32 error = 0;
  std::string path;
  std::vector<UInt8> bytes;
  if (resourceData) *resourceData = nullptr;
  if (properties) *properties = nullptr;
  bool ok = FilePath(url, path, error) && ReadFile(path, bytes, error);
  if (ok && resourceData)
    *resourceData = CFDataCreate(alloc, bytes.data(), static_cast<CFIndex>(bytes.size()));
  if (errorCode) *errorCode = error;
  return ok;
}

Boolean CFURLWriteDataAndPropertiesToResource(CFURLRef url, CFDataRef dataToWrite, CFDictionaryRef,
                                              SInt32* errorCode)
{
  SInt32 error = 0;
  std::string path;
  bool ok = FilePath(url, path, error);
  if (ok && CFGetTypeID(dataToWrite) != CFDataGetTypeID())
  {
    error = kCFURLUnknownError;
    ok = false;
  }
  if (ok)
    ok = WriteFile(path, CFDataGetBytePtr(dataToWrite),
                   static_cast<size_t>(CFDataGetLength(dataToWrite)), error);
  if (errorCode) *errorCode = error;
  return ok;
}
