// PNG resources of the main bundle, found through the CoreFoundation bundle
// services.
#include <CoreFoundation/CoreFoundation.h>

#include <cstring>
#include <string>

#include "lice/lice_png.h"

namespace
{
const size_t kMaxNameLength = 400;
const int kMaxBundlePathBytes = 1536;
} // namespace

LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bmp)
{
  if (!name || std::strlen(name) > kMaxNameLength) return nullptr;
  CFBundleRef bundle = CFBundleGetMainBundle();
  if (!bundle) return nullptr;
  CFURLRef url = CFBundleCopyBundleURL(bundle);
  if (!url) return nullptr;
  char path[kMaxBundlePathBytes];
  const bool found =
      CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof(path));
  CFRelease(url);
  if (!found) return nullptr;
  return LICE_LoadPNG((std::string(path) + "/Contents/Resources/" + name).c_str(), bmp);
}
