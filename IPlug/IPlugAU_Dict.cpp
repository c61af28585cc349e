#include "IPlug/IPlugAU_Dict.h"

#include "IPlug/IPlugAU_Strings.h"

#include <climits>

namespace
{
// The value under key if it has the expected type, else null.
CFTypeRef GetTypedValue(CFDictionaryRef dict, const char* key, CFTypeID expectedType)
{
  CFStrLocal cfKey(key);
  CFTypeRef value = CFDictionaryGetValue(dict, cfKey.Get());
  return value && CFGetTypeID(value) == expectedType ? value : nullptr;
}

void PutValue(CFMutableDictionaryRef dict, const char* key, CFTypeRef value)
{
  if (!value) return;
  CFStrLocal cfKey(key);
  CFDictionarySetValue(dict, cfKey.Get(), value);
  CFRelease(value);
}
} // namespace

bool GetNumberFromDict(CFDictionaryRef dict, const char* key, void* out, CFNumberType type)
{
  auto number = static_cast<CFNumberRef>(GetTypedValue(dict, key, CFNumberGetTypeID()));
  if (!number) return false;
  CFNumberGetValue(number, type, out);
  return true;
}

bool GetStrFromDict(CFDictionaryRef dict, const char* key, char* out, int outSize)
{
  if (outSize <= 0) return false;
  out[0] = '\0';
  auto str = static_cast<CFStringRef>(GetTypedValue(dict, key, CFStringGetTypeID()));
  if (!str) return false;
  CStrLocal text(str);
  strncpy(out, text.Get(), static_cast<size_t>(outSize));
  out[outSize - 1] = '\0';
  CutUTF8(out, outSize - 1);
  return true;
}

bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk)
{
  auto data = static_cast<CFDataRef>(GetTypedValue(dict, key, CFDataGetTypeID()));
  if (!data) return false;
  const CFIndex length = CFDataGetLength(data);
  if (length > INT_MAX) return false;
  chunk->Resize(static_cast<int>(length));
  if (length > 0) memcpy(chunk->GetBytes(), CFDataGetBytePtr(data), static_cast<size_t>(length));
  return true;
}

bool DictHasForeignValue(CFDictionaryRef dict, const char* key, CFTypeID expectedType)
{
  CFStrLocal cfKey(key);
  CFTypeRef value = CFDictionaryGetValue(dict, cfKey.Get());
  return value && CFGetTypeID(value) != expectedType;
}

void PutNumberInDict(CFMutableDictionaryRef dict, const char* key, const void* value,
                     CFNumberType type)
{
  PutValue(dict, key, CFNumberCreate(kCFAllocatorDefault, type, value));
}

void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* value)
{
  PutValue(dict, key, MakeCFString(value));
}

void PutDataInDict(CFMutableDictionaryRef dict, const char* key, const ByteChunk* chunk)
{
  PutValue(dict, key, CFDataCreate(kCFAllocatorDefault, chunk->GetBytes(), chunk->Size()));
}
