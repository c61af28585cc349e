#include "host/kit/PresetFile.h"

#include "host/kit/AUProperty.h"
#include "host/kit/AtomicFile.h"
#include "host/kit/StatusText.h"

bool ReadPresetFile(const std::string& path, CFRef<CFPropertyListRef>& plist, std::string& error)
{
  std::string bytes;
  if (!ReadWholeFile(path, bytes, error)) return false;
  const CFRef<CFDataRef> data(CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()),
                                           static_cast<CFIndex>(bytes.size())));
  CFRef<CFErrorRef> parseError;
  CFPropertyListFormat format = 0;
  plist.Reset(CFPropertyListCreateWithData(nullptr, data.Get(), kCFPropertyListImmutable, &format,
                                           parseError.Receive()));
  if (!plist)
  {
    error = path + " is not a property-list file";
    return false;
  }
  if (CFGetTypeID(plist.Get()) != CFDictionaryGetTypeID())
  {
    error = path + " does not hold a preset dictionary";
    plist.Reset();
    return false;
  }
  return true;
}

bool WritePresetFile(const std::string& path, CFPropertyListRef plist, std::string& error)
{
  CFRef<CFErrorRef> writeError;
  const CFRef<CFDataRef> data(CFPropertyListCreateData(
      nullptr, plist, kCFPropertyListXMLFormat_v1_0, 0, writeError.Receive()));
  if (!data)
  {
    error = "the component's state cannot be written as a property list";
    return false;
  }
  return WriteFileAtomically(path, CFDataGetBytePtr(data.Get()),
                             static_cast<size_t>(CFDataGetLength(data.Get())), error);
}

bool CopyClassInfo(AudioUnit unit, CFRef<CFPropertyListRef>& plist, std::string& error)
{
  const ComponentResult status =
      GetGlobalProperty(unit, kAudioUnitProperty_ClassInfo, *plist.Receive());
  if (status != noErr || !plist)
  {
    error = "the component's state cannot be read: status " + StatusText(status);
    return false;
  }
  return true;
}

ComponentResult RestoreClassInfo(AudioUnit unit, CFPropertyListRef plist)
{
  return SetGlobalProperty(unit, kAudioUnitProperty_ClassInfo, plist);
}

bool LoadPresetFile(AudioUnit unit, const std::string& path, std::string& error)
{
  CFRef<CFPropertyListRef> plist;
  if (!ReadPresetFile(path, plist, error)) return false;
  const ComponentResult status = RestoreClassInfo(unit, plist.Get());
  if (status != noErr)
  {
    error = "the component refuses the state in " + path + ": status " + StatusText(status);
    return false;
  }
  return true;
}
