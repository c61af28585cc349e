// Registration of the components a bundle declares in its Info.plist.
#include "platform/au/ComponentRegistry.h"

#include <StandInExtensions.h>
#include <AudioUnit/AudioUnit.h>

#include <dlfcn.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using tolvane_au::ComponentRegistry;

namespace
{

thread_local std::string gRegistrationMessage;

OSErr Fail(OSErr err, const std::string& message)
{
  gRegistrationMessage = message;
  return err;
}

// Releases a CF object at the end of a scope unless it was handed on.
struct CFOwner
{
  CFTypeRef object;
  ~CFOwner()
  {
    if (object) CFRelease(object);
  }
};

CFTypeRef ValueOfType(CFDictionaryRef dict, const char* key, CFTypeID type)
{
  CFStringRef cfKey = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  CFTypeRef value = CFDictionaryGetValue(dict, cfKey);
  CFRelease(cfKey);
  return value && CFGetTypeID(value) == type ? value : nullptr;
}

bool StringValue(CFTypeRef value, std::string& out)
{
  if (!value || CFGetTypeID(value) != CFStringGetTypeID()) return false;
  auto text = static_cast<CFStringRef>(value);
  CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(text), kCFStringEncodingUTF8);
  std::vector<char> buffer(static_cast<size_t>(size) + 1);
  if (!CFStringGetCString(text, buffer.data(), size + 1, kCFStringEncodingUTF8)) return false;
  out = buffer.data();
  return true;
}

bool FourCharCode(CFDictionaryRef entry, const char* key, OSType& out)
{
  std::string text;
  if (!StringValue(ValueOfType(entry, key, CFStringGetTypeID()), text) || text.size() != 4)
    return false;
  out = 0;
  for (unsigned char c : text)
    out = (out << 8) | c;
  return true;
}

// One "AudioComponents" entry as read from the Info.plist.
struct ComponentEntry
{
  ComponentDescription description{};
  std::string name;
  long version = 0;
  std::string factoryFunction;
  std::string viewFactoryFunction;
};

OSErr ReadEntry(CFTypeRef value, size_t index, ComponentEntry& entry)
{
  const std::string where = "AudioComponents item " + std::to_string(index);
  if (!value || CFGetTypeID(value) != CFDictionaryGetTypeID())
    return Fail(invalidComponentID, where + " is not a dictionary");
  auto dict = static_cast<CFDictionaryRef>(value);
  ComponentDescription& cd = entry.description;
  if (!FourCharCode(dict, "type", cd.componentType) ||
      !FourCharCode(dict, "subtype", cd.componentSubType) ||
      !FourCharCode(dict, "manufacturer", cd.componentManufacturer))
    return Fail(invalidComponentID,
                where + ": type, subtype and manufacturer must be four-character strings");
  if (!StringValue(ValueOfType(dict, "factoryFunction", CFStringGetTypeID()),
                   entry.factoryFunction) ||
      entry.factoryFunction.empty())
    return Fail(invalidComponentID, where + " has no factoryFunction");
  StringValue(ValueOfType(dict, "viewFactoryFunction", CFStringGetTypeID()),
              entry.viewFactoryFunction);
  StringValue(ValueOfType(dict, "name", CFStringGetTypeID()), entry.name);
  if (auto version = static_cast<CFNumberRef>(ValueOfType(dict, "version", CFNumberGetTypeID())))
  {
    SInt64 number = 0;
    CFNumberGetValue(version, kCFNumberSInt64Type, &number);
    entry.version = static_cast<long>(number);
  }
  return noErr;
}

OSErr ReadEntries(CFBundleRef bundle, std::vector<ComponentEntry>& entries)
{
  auto list = static_cast<CFArrayRef>(
      ValueOfType(CFBundleGetInfoDictionary(bundle), "AudioComponents", CFArrayGetTypeID()));
  if (!list || CFArrayGetCount(list) == 0)
    return Fail(invalidComponentID, "Info.plist has no AudioComponents list");
  entries.resize(static_cast<size_t>(CFArrayGetCount(list)));
  for (size_t i = 0; i < entries.size(); ++i)
    if (OSErr err = ReadEntry(CFArrayGetValueAtIndex(list, static_cast<CFIndex>(i)), i, entries[i]))
      return err;
  return noErr;
}

OSErr LoadModule(CFBundleRef bundle, void*& module)
{
  CFOwner url{CFBundleCopyExecutableURL(bundle)};
  char path[4096];
  if (!url.object || !CFURLGetFileSystemRepresentation(static_cast<CFURLRef>(url.object), true,
                                                       reinterpret_cast<UInt8*>(path), sizeof path))
    return Fail(fnfErr, "the bundle's module (Contents/MacOS/<CFBundleExecutable>) is missing");
  module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!module)
  {
    const char* reason = dlerror();
    return Fail(unresolvedComponentDLLErr,
                std::string("cannot load ") + path + ": " + (reason ? reason : "unknown reason"));
  }
  return noErr;
}

OSErr LookUpEntry(void* module, const std::string& symbol, ComponentRoutineProcPtr& entry)
{
  entry = reinterpret_cast<ComponentRoutineProcPtr>(dlsym(module, symbol.c_str()));
  if (!entry) return Fail(cfragNoSymbolErr, "the module has no entry point " + symbol);
  return noErr;
}

std::unique_ptr<ComponentRecord> MakeRecord(const ComponentEntry& entry, OSType type,
                                            ComponentRoutineProcPtr routine, CFBundleRef bundle,
                                            const std::string& identifier)
{
  auto record = std::make_unique<ComponentRecord>();
  record->description = entry.description;
  record->description.componentType = type;
  record->name = entry.name;
  record->version = entry.version;
  record->entry = routine;
  record->bundle = static_cast<CFBundleRef>(const_cast<void*>(CFRetain(bundle)));
  record->bundleIdentifier = identifier;
  return record;
}

// Records for every entry: the component itself and, with a view factory, its view component.
OSErr MakeRecords(const std::vector<ComponentEntry>& entries, void* module, CFBundleRef bundle,
                  const std::string& identifier,
                  std::vector<std::unique_ptr<ComponentRecord>>& records)
{
  for (const ComponentEntry& entry : entries)
  {
    ComponentRoutineProcPtr routine = nullptr;
    if (OSErr err = LookUpEntry(module, entry.factoryFunction, routine)) return err;
    records.push_back(
        MakeRecord(entry, entry.description.componentType, routine, bundle, identifier));
    if (entry.viewFactoryFunction.empty()) continue;
    if (OSErr err = LookUpEntry(module, entry.viewFactoryFunction, routine)) return err;
    records.push_back(
        MakeRecord(entry, kAudioUnitCarbonViewComponentType, routine, bundle, identifier));
  }
  return noErr;
}

void ReleaseRecords(std::vector<std::unique_ptr<ComponentRecord>>& records)
{
  for (auto& record : records)
    CFRelease(record->bundle);
  records.clear();
}

OSErr Register(CFBundleRef bundle, Component* outComponent)
{
  std::string identifier;
  if (!StringValue(CFBundleGetIdentifier(bundle), identifier) || identifier.empty())
    return Fail(invalidComponentID, "Info.plist has no CFBundleIdentifier");
  ComponentRegistry& registry = ComponentRegistry::Get();
  ComponentRecord* first = registry.FindBundle(identifier);
  if (!first)
  {
    std::vector<ComponentEntry> entries;
    if (OSErr err = ReadEntries(bundle, entries)) return err;
    void* module = nullptr;
    if (OSErr err = LoadModule(bundle, module)) return err;
    std::vector<std::unique_ptr<ComponentRecord>> records;
    if (OSErr err = MakeRecords(entries, module, bundle, identifier, records))
    {
      ReleaseRecords(records);
      dlclose(module);
      return err;
    }
    first = registry.AddBundle(records);
    ReleaseRecords(records); // left over only when another thread registered the bundle first
  }
  if (outComponent) *outComponent = first;
  return noErr;
}

} // namespace

extern "C"
{

  OSErr RegisterComponentBundle(const char* bundlePath, Component* outComponent)
  {
    gRegistrationMessage.clear();
    if (outComponent) *outComponent = nullptr;
    if (!bundlePath || !*bundlePath) return Fail(paramErr, "no bundle path given");
    CFOwner url{CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<const UInt8*>(bundlePath),
        static_cast<CFIndex>(std::strlen(bundlePath)), true)};
    CFOwner bundle{url.object ? CFBundleCreate(nullptr, static_cast<CFURLRef>(url.object))
                              : nullptr};
    if (!bundle.object) return Fail(fnfErr, std::string("no bundle folder at ") + bundlePath);
    return Register(static_cast<CFBundleRef>(const_cast<void*>(bundle.object)), outComponent);
  }

  const char* GetComponentRegistrationMessage(void)
  {
    return gRegistrationMessage.c_str();
  }

} // extern "C"
