// The binding's services that come from the plug-in's bundle: its paths, its
// picture resources, and the system version.

#include "IPlug/IGraphicsMac.h"

#include "lice/lice_png.h"

#include <CoreServices/CoreServices.h>

#include <cstring>
#include <strings.h>

namespace
{
constexpr int kMaxPath = 4096;

// A host string made from UTF-8 text for the length of a scope.
class CFStrLocal
{
public:
  explicit CFStrLocal(const char* text)
      : mCFStr(CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8))
  {
  }
  ~CFStrLocal()
  {
    if (mCFStr) CFRelease(mCFStr);
  }
  CFStrLocal(const CFStrLocal&) = delete;
  CFStrLocal& operator=(const CFStrLocal&) = delete;

  CFStringRef Get() const { return mCFStr; }

private:
  CFStringRef mCFStr;
};

// Holds a URL the caller owns for the length of a scope.
class URLLocal
{
public:
  explicit URLLocal(CFURLRef url) : mURL(url) {}
  ~URLLocal()
  {
    if (mURL) CFRelease(mURL);
  }
  URLLocal(const URLLocal&) = delete;
  URLLocal& operator=(const URLLocal&) = delete;

  // The URL's file path; false (path untouched) when there is none.
  bool GetPath(WDL_String* path) const
  {
    if (!mURL) return false;
    char text[kMaxPath];
    if (!CFURLGetFileSystemRepresentation(mURL, true, reinterpret_cast<UInt8*>(text), kMaxPath) ||
        !text[0])
      return false;
    path->Set(text);
    return true;
  }

private:
  CFURLRef mURL;
};

CFBundleRef FindBundle(const char* bundleID)
{
  if (!bundleID || !bundleID[0]) return nullptr;
  CFStrLocal cfID(bundleID);
  return cfID.Get() ? CFBundleGetBundleWithIdentifier(cfID.Get()) : nullptr;
}

bool IsPNGName(const char* name)
{
  const char* dot = std::strrchr(name, '.');
  return dot && !strcasecmp(dot + 1, "png");
}
} // namespace

LICE_IBitmap* LoadImgFromResourceOSX(const char* bundleID, const char* name)
{
  if (!name || !IsPNGName(name)) return nullptr;
  CFBundleRef bundle = FindBundle(bundleID);
  if (!bundle) return nullptr;
  // "resources/img/TopBig.png" is the bundle's resource "TopBig" of type "png".
  const char* slash = std::strrchr(name, '/');
  const char* base = slash ? slash + 1 : name;
  const int stemLen = static_cast<int>(std::strrchr(base, '.') - base);
  WDL_String stem;
  if (stemLen) stem.Set(base, stemLen); // a length of 0 would mean "all"
  CFStrLocal cfStem(stem.Get());
  if (!cfStem.Get()) return nullptr;
  URLLocal url(CFBundleCopyResourceURL(bundle, cfStem.Get(), CFSTR("png"), nullptr));
  WDL_String path;
  if (!url.GetPath(&path)) return nullptr;
  return LICE_LoadPNG(path.Get());
}

LICE_IBitmap* IGraphicsMac::OSLoadBitmap(int, const char* name)
{
  return LoadImgFromResourceOSX(mBundleID.Get(), name);
}

void IGraphicsMac::HostPath(WDL_String* path)
{
  if (CFBundleRef bundle = FindBundle(mBundleID.Get()))
    URLLocal(CFBundleCopyExecutableURL(bundle)).GetPath(path);
}

void IGraphicsMac::PluginPath(WDL_String* path)
{
  CFBundleRef bundle = FindBundle(mBundleID.Get());
  WDL_String bundlePath;
  if (!bundle || !URLLocal(CFBundleCopyBundleURL(bundle)).GetPath(&bundlePath)) return;
  const char* slash = std::strrchr(bundlePath.Get(), '/');
  path->Set("");
  if (slash && slash != bundlePath.Get())
    path->Append(bundlePath.Get(), static_cast<int>(slash - bundlePath.Get()));
  path->Append("/");
}

int IGraphicsMac::GetUserOSVersion()
{
  SInt32 version = 0;
  if (Gestalt(gestaltSystemVersion, &version) != noErr) return 0;
  return version;
}
