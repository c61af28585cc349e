// Saved-state dictionaries read from property-list bytes, then written back in
// both formats and restored into the unit.
#include "tests/fuzz/FuzzEffect.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  CFDataRef bytes = CFDataCreate(nullptr, data, static_cast<CFIndex>(size));
  CFPropertyListRef list =
      CFPropertyListCreateWithData(nullptr, bytes, kCFPropertyListImmutable, nullptr, nullptr);
  CFRelease(bytes);
  if (!list) return 0;
  for (CFPropertyListFormat format :
       {kCFPropertyListXMLFormat_v1_0, kCFPropertyListBinaryFormat_v1_0})
    if (CFDataRef written = CFPropertyListCreateData(nullptr, list, format, 0, nullptr))
      CFRelease(written);
  RestoreClassInfo(FuzzEffect(), list);
  CFRelease(list);
  return 0;
}
