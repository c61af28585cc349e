// Bundles: folders described by an Info.plist, found again through a process-wide registry.
#include "platform/cf/CFObject.h"

#include <climits>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace cf;

namespace
{

bool IsDirectory(const std::string& path)
{
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path)
{
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

bool IsRegularFile(const std::string& path)
{
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

CFURLRef FileURL(const std::string& path, bool isDirectory)
{
  return CFURLCreateFromFileSystemRepresentation(nullptr,
                                                 reinterpret_cast<const UInt8*>(path.c_str()),
                                                 static_cast<CFIndex>(path.size()), isDirectory);
}

std::string Folder(const std::string& path)
{
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name)
{
  return folder == "/" ? "/" + name : folder + "/" + name;
}

CFMutableDictionaryRef EmptyDictionary()
{
  return CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                   &kCFTypeDictionaryValueCallBacks);
}

// The Info.plist's dictionary; an empty one when the file is missing, damaged or not a dictionary.
CFDictionaryRef ReadInfoDictionary(const std::string& plistPath)
{
  CFURLRef url = FileURL(plistPath, false);
  CFDataRef data = nullptr;
  CFURLCreateDataAndPropertiesFromResource(nullptr, url, &data, nullptr, nullptr, nullptr);
  CFRelease(url);
  CFPropertyListRef plist =
      data ? CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, nullptr, nullptr)
           : nullptr;
  CFRelease(data);
  if (CFGetTypeID(plist) == CFDictionaryGetTypeID()) return static_cast<CFDictionaryRef>(plist);
  CFRelease(plist);
  return EmptyDictionary();
}

} // namespace

struct __CFBundle : CFObject
{
  static constexpr CFTypeID kTypeID = kTypeBundle;

  // contents: the folder holding Info.plist and MacOS/; executable: a fixed executable path
  // (main bundle) or empty to take it from the info dictionary.
  __CFBundle(const std::string& path, const std::string& contents, const std::string& resources,
             const std::string& executable, CFDictionaryRef info, bool constant)
      : CFObject(kTypeID, constant), mPath(path), mContents(contents), mResources(resources),
        mExecutable(executable), mURL(FileURL(path, true)), mInfo(info)
  {
  }

  ~__CFBundle() override;

  std::string Describe() const override
  {
    CFStringRef identifier = Identifier();
    return "CFBundle <" + mPath + "> (" + (identifier ? StringText(identifier) : "no identifier") +
           ")";
  }

  CFStringRef Identifier() const
  {
    CFTypeRef value = CFDictionaryGetValue(mInfo, CFSTR("CFBundleIdentifier"));
    return CFGetTypeID(value) == CFStringGetTypeID() ? static_cast<CFStringRef>(value) : nullptr;
  }

  bool HasIdentifier(CFStringRef identifier) const
  {
    CFStringRef own = Identifier();
    return own && CFEqual(own, identifier);
  }

  std::string ExecutablePath() const
  {
    if (!mExecutable.empty()) return mExecutable;
    CFTypeRef name = CFDictionaryGetValue(mInfo, CFSTR("CFBundleExecutable"));
    if (CFGetTypeID(name) != CFStringGetTypeID()) return std::string();
    const std::string& file = StringText(static_cast<CFStringRef>(name));
    if (file.empty()) return std::string();
    return mContents == mPath ? Join(mPath, file) : Join(Join(mContents, "MacOS"), file);
  }

  const std::string mPath;
  const std::string mContents;
  const std::string mResources;
  const std::string mExecutable;
  const CFURLRef mURL;
  const CFDictionaryRef mInfo;
};

namespace
{

// Live bundles made by CFBundleCreate. Allocated once and never freed.
class BundleRegistry
{
public:
  static BundleRegistry& Instance()
  {
    static BundleRegistry* instance = new BundleRegistry;
    return *instance;
  }

  CFBundleRef Create(const std::string& path)
  {
    std::lock_guard<std::mutex> lock(mMutex);
    for (__CFBundle* bundle : mBundles)
      if (bundle->mPath == path && bundle->TryRetain()) return bundle;
    std::string contents = IsDirectory(Join(path, "Contents")) ? Join(path, "Contents") : path;
    std::string resources = contents == path ? path : Join(contents, "Resources");
    CFDictionaryRef info = ReadInfoDictionary(Join(contents, "Info.plist"));
    __CFBundle* bundle = new __CFBundle(path, contents, resources, std::string(), info, false);
    mBundles.push_back(bundle);
    return bundle;
  }

  void Remove(const __CFBundle* bundle)
  {
    std::lock_guard<std::mutex> lock(mMutex);
    for (size_t i = 0; i < mBundles.size(); ++i)
      if (mBundles[i] == bundle)
      {
        mBundles.erase(mBundles.begin() + static_cast<std::ptrdiff_t>(i));
        return;
      }
  }

  CFBundleRef Find(CFStringRef identifier)
  {
    std::lock_guard<std::mutex> lock(mMutex);
    for (__CFBundle* bundle : mBundles)
      if (bundle->HasIdentifier(identifier)) return bundle;
    return nullptr;
  }

private:
  std::mutex mMutex;
  std::vector<__CFBundle*> mBundles;
};

std::string RunningExecutable()
{
  char buffer[PATH_MAX + 1];
  ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
  return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

__CFBundle* MakeMainBundle()
{
  std::string executable = RunningExecutable();
  std::string folder = executable.empty() ? std::string("/") : Folder(executable);
  CFMutableDictionaryRef info = EmptyDictionary();
  const char* identifier = std::getenv("TOLVANE_MAIN_BUNDLE_ID");
  if (identifier && *identifier)
  {
    CFStringRef value = CFStringCreateWithCString(nullptr, identifier, kCFStringEncodingUTF8);
    if (value) CFDictionarySetValue(info, CFSTR("CFBundleIdentifier"), value);
    CFRelease(value);
  }
  return new __CFBundle(folder, folder, folder, executable, info, true);
}

const __CFBundle* BundleOf(CFBundleRef ref)
{
  return As<__CFBundle>(ref);
}

} // namespace

__CFBundle::~__CFBundle()
{
  BundleRegistry::Instance().Remove(this);
  CFRelease(mURL);
  CFRelease(mInfo);
}

const CFStringRef kCFBundleIdentifierKey = CFSTR("CFBundleIdentifier");
const CFStringRef kCFBundleNameKey = CFSTR("CFBundleName");
const CFStringRef kCFBundleExecutableKey = CFSTR("CFBundleExecutable");
const CFStringRef kCFBundleVersionKey = CFSTR("CFBundleVersion");
const CFStringRef kCFBundleInfoDictionaryVersionKey = CFSTR("CFBundleInfoDictionaryVersion");

CFTypeID CFBundleGetTypeID(void)
{
  return kTypeBundle;
}

CFBundleRef CFBundleGetMainBundle(void)
{
  static __CFBundle* mainBundle = MakeMainBundle();
  return mainBundle;
}

CFBundleRef CFBundleCreate(CFAllocatorRef, CFURLRef bundleURL)
{
  UInt8 path[PATH_MAX + 1];
  char resolved[PATH_MAX + 1];
  if (!CFURLGetFileSystemRepresentation(bundleURL, true, path, sizeof(path)) ||
      !realpath(reinterpret_cast<const char*>(path), resolved) || !IsDirectory(resolved))
    return nullptr;
  return BundleRegistry::Instance().Create(resolved);
}

CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID)
{
  if (CFGetTypeID(bundleID) != CFStringGetTypeID()) return nullptr;
  __CFBundle* mainBundle = const_cast<__CFBundle*>(BundleOf(CFBundleGetMainBundle()));
  if (mainBundle->HasIdentifier(bundleID)) return mainBundle;
  return BundleRegistry::Instance().Find(bundleID);
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle)
{
  const __CFBundle* object = BundleOf(bundle);
  return object ? object->Identifier() : nullptr;
}

CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle)
{
  const __CFBundle* object = BundleOf(bundle);
  return object ? object->mInfo : nullptr;
}

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key)
{
  return CFDictionaryGetValue(CFBundleGetInfoDictionary(bundle), key);
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle)
{
  const __CFBundle* object = BundleOf(bundle);
  return object ? static_cast<CFURLRef>(CFRetain(object->mURL)) : nullptr;
}

CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle)
{
  const __CFBundle* object = BundleOf(bundle);
  return object ? FileURL(object->mResources, true) : nullptr;
}

CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle)
{
  const __CFBundle* object = BundleOf(bundle);
  if (!object) return nullptr;
  std::string path = object->ExecutablePath();
  return (!path.empty() && IsRegularFile(path)) ? FileURL(path, false) : nullptr;
}

CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName,
                                 CFStringRef resourceType, CFStringRef subDirName)
{
  const __CFBundle* object = BundleOf(bundle);
  const std::string& name = StringText(resourceName);
  if (!object || name.empty()) return nullptr;
  std::string type = StringText(resourceType);
  if (!type.empty() && type[0] == '.') type.erase(0, 1);
  std::string folder = object->mResources;
  if (!StringText(subDirName).empty()) folder = Join(folder, StringText(subDirName));
  std::string path = Join(folder, type.empty() ? name : name + "." + type);
  return Exists(path) ? FileURL(path, IsDirectory(path)) : nullptr;
}
