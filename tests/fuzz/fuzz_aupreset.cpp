// .aupreset files: the input is written to a file, read back through URL
// access, parsed and restored, as a host loads a preset.
#include "tests/fuzz/FuzzEffect.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace
{
std::string PresetPath()
{
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/fuzz_aupreset_" + std::to_string(getpid()) +
         ".aupreset";
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  static const std::string path = PresetPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  CFURLRef url = CFURLCreateFromFileSystemRepresentation(
      nullptr, reinterpret_cast<const UInt8*>(path.c_str()), static_cast<CFIndex>(path.size()),
      false);
  CFDataRef bytes = nullptr;
  SInt32 error = 0;
  const bool read =
      CFURLCreateDataAndPropertiesFromResource(nullptr, url, &bytes, nullptr, nullptr, &error);
  CFRelease(url);
  std::remove(path.c_str());
  if (!read || !bytes) return 0;
  CFPropertyListRef list =
      CFPropertyListCreateWithData(nullptr, bytes, kCFPropertyListImmutable, nullptr, nullptr);
  CFRelease(bytes);
  if (!list) return 0;
  if (CFGetTypeID(list) == CFDictionaryGetTypeID()) RestoreClassInfo(FuzzEffect(), list);
  CFRelease(list);
  return 0;
}
