// Property lists to and from XML and binary bytes, through libplist.
#include "platform/cf/BinaryPlistShape.h"
#include "platform/cf/CFObject.h"
#include "platform/cf/XmlPlistShape.h"

#include <plist/plist.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace cf;

namespace
{

// Deeper nesting than this is refused, so hostile input cannot exhaust the stack.
const int kMaxDepth = 512;
// Shared objects in a binary list are expanded once per reference; more values than this in the
// expanded tree are refused, so a small file cannot stand for an enormous tree. A state or preset
// holds a few dozen; a million took seconds to read and write back.
const std::uint64_t kMaxValues = 1u << 16;

void SetError(CFErrorRef* error, CFIndex code, const char* text)
{
  if (!error) return;
  const void* keys[] = {kCFErrorDescriptionKey};
  CFStringRef description = MakeString(text);
  const void* values[] = {description};
  CFDictionaryRef userInfo = CFDictionaryCreate(
      nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  *error = CFErrorCreate(nullptr, kCFErrorDomainCocoa, code, userInfo);
  CFRelease(userInfo);
  CFRelease(description);
}

// The container itself when mutable containers were asked for, else an immutable copy of it.
CFTypeRef Finish(CFTypeRef container, CFOptionFlags mutability)
{
  if (mutability != kCFPropertyListImmutable) return container;
  CFTypeRef copy =
      CFGetTypeID(container) == CFArrayGetTypeID()
          ? static_cast<CFTypeRef>(CFArrayCreateCopy(nullptr, static_cast<CFArrayRef>(container)))
          : CFDictionaryCreateCopy(nullptr, static_cast<CFDictionaryRef>(container));
  CFRelease(container);
  return copy;
}

// ---- reading ----

CFTypeRef FromNode(plist_t node, CFOptionFlags mutability, int depth);

CFTypeRef StringFromBytes(const char* bytes, size_t length, CFOptionFlags mutability)
{
  CFStringRef string =
      CFStringCreateWithBytes(nullptr, reinterpret_cast<const UInt8*>(bytes),
                              static_cast<CFIndex>(length), kCFStringEncodingUTF8, false);
  if (!string || mutability != kCFPropertyListMutableContainersAndLeaves) return string;
  CFMutableStringRef copy = CFStringCreateMutableCopy(nullptr, 0, string);
  CFRelease(string);
  return copy;
}

CFTypeRef DataFromNode(plist_t node, CFOptionFlags mutability)
{
  uint64_t length = 0;
  const char* bytes = plist_get_data_ptr(node, &length);
  CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes),
                                bytes ? static_cast<CFIndex>(length) : 0);
  if (!data || mutability != kCFPropertyListMutableContainersAndLeaves) return data;
  CFMutableDataRef copy = CFDataCreateMutableCopy(nullptr, 0, data);
  CFRelease(data);
  return copy;
}

CFTypeRef ArrayFromNode(plist_t node, CFOptionFlags mutability, int depth)
{
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
  uint32_t count = plist_array_get_size(node);
  for (uint32_t i = 0; i < count; ++i)
  {
    CFTypeRef item = FromNode(plist_array_get_item(node, i), mutability, depth + 1);
    if (!item)
    {
      CFRelease(array);
      return nullptr;
    }
    CFArrayAppendValue(array, item);
    CFRelease(item);
  }
  return Finish(array, mutability);
}

CFTypeRef DictionaryFromNode(plist_t node, CFOptionFlags mutability, int depth)
{
  CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
      nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  plist_dict_iter iterator = nullptr;
  plist_dict_new_iter(node, &iterator);
  bool ok = iterator != nullptr || plist_dict_get_size(node) == 0;
  for (uint32_t i = 0, n = plist_dict_get_size(node); ok && i < n; ++i)
  {
    char* keyText = nullptr;
    plist_t value = nullptr;
    plist_dict_next_item(node, iterator, &keyText, &value);
    CFTypeRef key = keyText
                        ? StringFromBytes(keyText, std::strlen(keyText), kCFPropertyListImmutable)
                        : nullptr;
    std::free(keyText);
    CFTypeRef object = (key && value) ? FromNode(value, mutability, depth + 1) : nullptr;
    ok = object != nullptr;
    if (ok) CFDictionarySetValue(dict, key, object);
    CFRelease(object);
    CFRelease(key);
  }
  std::free(iterator);
  if (!ok)
  {
    CFRelease(dict);
    return nullptr;
  }
  return Finish(dict, mutability);
}

CFTypeRef FromNode(plist_t node, CFOptionFlags mutability, int depth)
{
  if (!node || depth > kMaxDepth) return nullptr;
  switch (plist_get_node_type(node))
  {
  case PLIST_BOOLEAN:
  {
    uint8_t value = 0;
    plist_get_bool_val(node, &value);
    return value ? kCFBooleanTrue : kCFBooleanFalse;
  }
  case PLIST_UINT:
  {
    // libplist keeps integers as 64-bit patterns; negative values read back as such.
    uint64_t bits = 0;
    plist_get_uint_val(node, &bits);
    SInt64 value = static_cast<SInt64>(bits);
    return CFNumberCreate(nullptr, kCFNumberSInt64Type, &value);
  }
  case PLIST_REAL:
  {
    double value = 0;
    plist_get_real_val(node, &value);
    return CFNumberCreate(nullptr, kCFNumberFloat64Type, &value);
  }
  case PLIST_STRING:
  {
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return text ? StringFromBytes(text, static_cast<size_t>(length), mutability) : nullptr;
  }
  case PLIST_DATA:
    return DataFromNode(node, mutability);
  case PLIST_ARRAY:
    return ArrayFromNode(node, mutability, depth);
  case PLIST_DICT:
    return DictionaryFromNode(node, mutability, depth);
  default:
    return nullptr; // dates, UIDs and stray keys have no counterpart here
  }
}

// ---- writing ----

plist_t ToNode(CFTypeRef object, int depth);

bool HasNul(const std::string& text)
{
  return text.find('\0') != std::string::npos;
}

plist_t NumberToNode(CFNumberRef number)
{
  if (CFNumberIsFloatType(number))
  {
    double value = 0;
    CFNumberGetValue(number, kCFNumberFloat64Type, &value);
    return plist_new_real(value);
  }
  SInt64 value = 0;
  CFNumberGetValue(number, kCFNumberSInt64Type, &value);
  return plist_new_uint(static_cast<uint64_t>(value));
}

plist_t ArrayToNode(CFArrayRef array, int depth)
{
  plist_t node = plist_new_array();
  for (CFIndex i = 0, n = CFArrayGetCount(array); i < n; ++i)
  {
    plist_t item = ToNode(CFArrayGetValueAtIndex(array, i), depth + 1);
    if (!item)
    {
      plist_free(node);
      return nullptr;
    }
    plist_array_append_item(node, item);
  }
  return node;
}

// Keys are written in sorted order so that equal dictionaries give equal bytes.
plist_t DictionaryToNode(CFDictionaryRef dict, int depth)
{
  CFIndex count = CFDictionaryGetCount(dict);
  std::vector<const void*> keys(static_cast<size_t>(count)), values(static_cast<size_t>(count));
  CFDictionaryGetKeysAndValues(dict, keys.data(), values.data());
  std::vector<size_t> order(keys.size());
  for (size_t i = 0; i < order.size(); ++i)
  {
    if (CFGetTypeID(keys[i]) != CFStringGetTypeID()) return nullptr;
    order[i] = i;
  }
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b)
            {
              return CFStringCompare(static_cast<CFStringRef>(keys[a]),
                                     static_cast<CFStringRef>(keys[b]), 0) < 0;
            });
  plist_t node = plist_new_dict();
  for (size_t i : order)
  {
    const std::string& key = StringText(static_cast<CFStringRef>(keys[i]));
    plist_t value = HasNul(key) ? nullptr : ToNode(values[i], depth + 1);
    if (!value)
    {
      plist_free(node);
      return nullptr;
    }
    plist_dict_set_item(node, key.c_str(), value);
  }
  return node;
}

plist_t ToNode(CFTypeRef object, int depth)
{
  if (!object || depth > kMaxDepth) return nullptr;
  CFTypeID type = CFGetTypeID(object);
  if (type == CFStringGetTypeID())
  {
    const std::string& text = StringText(static_cast<CFStringRef>(object));
    return HasNul(text) ? nullptr : plist_new_string(text.c_str());
  }
  if (type == CFNumberGetTypeID()) return NumberToNode(static_cast<CFNumberRef>(object));
  if (type == CFBooleanGetTypeID())
    return plist_new_bool(CFBooleanGetValue(static_cast<CFBooleanRef>(object)) ? 1 : 0);
  if (type == CFDataGetTypeID())
  {
    CFDataRef data = static_cast<CFDataRef>(object);
    const UInt8* bytes = CFDataGetBytePtr(data);
    return plist_new_data(
        reinterpret_cast<const char*>(bytes ? bytes : reinterpret_cast<const UInt8*>("")),
        static_cast<uint64_t>(CFDataGetLength(data)));
  }
  if (type == CFArrayGetTypeID()) return ArrayToNode(static_cast<CFArrayRef>(object), depth);
  if (type == CFDictionaryGetTypeID())
    return DictionaryToNode(static_cast<CFDictionaryRef>(object), depth);
  return nullptr;
}

bool Serialise(plist_t node, CFPropertyListFormat format, std::string& out)
{
  char* bytes = nullptr;
  uint32_t length = 0;
  if (format == kCFPropertyListXMLFormat_v1_0)
  {
    plist_to_xml(node, &bytes, &length);
    if (bytes) out.assign(bytes, length);
    plist_to_xml_free(bytes);
  }
  else
  {
    plist_to_bin(node, &bytes, &length);
    if (bytes) out.assign(bytes, length);
    plist_to_bin_free(bytes);
  }
  return bytes != nullptr;
}

// ---- deep copy ----

CFTypeRef DeepCopy(CFTypeRef object, CFOptionFlags mutability, int depth);

CFTypeRef CopyArray(CFArrayRef array, CFOptionFlags mutability, int depth)
{
  CFMutableArrayRef copy = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
  for (CFIndex i = 0, n = CFArrayGetCount(array); i < n; ++i)
  {
    CFTypeRef item = DeepCopy(CFArrayGetValueAtIndex(array, i), mutability, depth + 1);
    if (!item)
    {
      CFRelease(copy);
      return nullptr;
    }
    CFArrayAppendValue(copy, item);
    CFRelease(item);
  }
  return Finish(copy, mutability);
}

CFTypeRef CopyDictionary(CFDictionaryRef dict, CFOptionFlags mutability, int depth)
{
  CFIndex count = CFDictionaryGetCount(dict);
  std::vector<const void*> keys(static_cast<size_t>(count)), values(static_cast<size_t>(count));
  CFDictionaryGetKeysAndValues(dict, keys.data(), values.data());
  CFMutableDictionaryRef copy = CFDictionaryCreateMutable(
      nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  for (size_t i = 0; i < keys.size(); ++i)
  {
    CFTypeRef key = DeepCopy(keys[i], kCFPropertyListImmutable, depth + 1);
    CFTypeRef value = key ? DeepCopy(values[i], mutability, depth + 1) : nullptr;
    if (value) CFDictionarySetValue(copy, key, value);
    CFRelease(key);
    CFRelease(value);
    if (!value)
    {
      CFRelease(copy);
      return nullptr;
    }
  }
  return Finish(copy, mutability);
}

CFTypeRef DeepCopy(CFTypeRef object, CFOptionFlags mutability, int depth)
{
  if (!object || depth > kMaxDepth) return nullptr;
  bool leaves = mutability == kCFPropertyListMutableContainersAndLeaves;
  CFTypeID type = CFGetTypeID(object);
  if (type == CFStringGetTypeID())
  {
    CFStringRef string = static_cast<CFStringRef>(object);
    return leaves ? CFStringCreateMutableCopy(nullptr, 0, string) : MakeString(StringText(string));
  }
  if (type == CFDataGetTypeID())
    return leaves ? CFDataCreateMutableCopy(nullptr, 0, static_cast<CFDataRef>(object))
                  : CFDataCreateCopy(nullptr, static_cast<CFDataRef>(object));
  if (type == CFNumberGetTypeID() || type == CFBooleanGetTypeID()) return CFRetain(object);
  if (type == CFArrayGetTypeID())
    return CopyArray(static_cast<CFArrayRef>(object), mutability, depth);
  if (type == CFDictionaryGetTypeID())
    return CopyDictionary(static_cast<CFDictionaryRef>(object), mutability, depth);
  return nullptr;
}

} // namespace

CFPropertyListRef CFPropertyListCreateWithData(CFAllocatorRef, CFDataRef data,
                                               CFOptionFlags options, CFPropertyListFormat* format,
                                               CFErrorRef* error)
{
  if (error) *error = nullptr;
  CFIndex length = CFDataGetLength(data);
  if (CFGetTypeID(data) != CFDataGetTypeID() || length <= 0 || length > INT32_MAX)
  {
    SetError(error, kCFPropertyListReadCorruptError, "The data is not a property list.");
    return nullptr;
  }
  // A terminated copy: the XML reader must never run past the end of the bytes.
  std::string bytes(reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                    static_cast<size_t>(length));
  bool binary = plist_is_binary(bytes.data(), static_cast<uint32_t>(bytes.size())) != 0;
  plist_t root = nullptr;
  // The parser recurses per level: hostile nesting is refused before it runs.
  const bool safe =
      binary ? BinaryPlistShapeIsSafe(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                      bytes.size(), {kMaxDepth + 1, kMaxValues})
             : XmlPlistNestingIsSafe(bytes.data(), bytes.size(), kMaxDepth + 1);
  if (!safe)
    root = nullptr;
  else if (binary)
    plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  else
    plist_from_xml(bytes.c_str(), static_cast<uint32_t>(bytes.size()), &root);
  CFTypeRef result = root ? FromNode(root, options, 0) : nullptr;
  if (root) plist_free(root);
  if (!result)
  {
    SetError(error, kCFPropertyListReadCorruptError,
             "The data is damaged or holds unsupported values.");
    return nullptr;
  }
  if (format) *format = binary ? kCFPropertyListBinaryFormat_v1_0 : kCFPropertyListXMLFormat_v1_0;
  return result;
}

CFDataRef CFPropertyListCreateData(CFAllocatorRef, CFPropertyListRef propertyList,
                                   CFPropertyListFormat format, CFOptionFlags, CFErrorRef* error)
{
  if (error) *error = nullptr;
  if (format != kCFPropertyListXMLFormat_v1_0 && format != kCFPropertyListBinaryFormat_v1_0)
  {
    SetError(error, kCFPropertyListWriteInvalidError, "The format is not supported.");
    return nullptr;
  }
  plist_t root = ToNode(propertyList, 0);
  std::string bytes;
  bool ok = root && Serialise(root, format, bytes);
  if (root) plist_free(root);
  if (!ok)
  {
    SetError(error, kCFPropertyListWriteInvalidError, "The object is not a property list.");
    return nullptr;
  }
  return CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()),
                      static_cast<CFIndex>(bytes.size()));
}

Boolean CFPropertyListIsValid(CFPropertyListRef plist, CFPropertyListFormat format)
{
  if (format != kCFPropertyListXMLFormat_v1_0 && format != kCFPropertyListBinaryFormat_v1_0)
    return false;
  plist_t root = ToNode(plist, 0);
  if (root) plist_free(root);
  return root != nullptr;
}

CFPropertyListRef CFPropertyListCreateDeepCopy(CFAllocatorRef, CFPropertyListRef propertyList,
                                               CFOptionFlags mutabilityOption)
{
  return DeepCopy(propertyList, mutabilityOption, 0);
}

CFPropertyListRef CFPropertyListCreateFromXMLData(CFAllocatorRef allocator, CFDataRef xmlData,
                                                  CFOptionFlags mutabilityOption,
                                                  CFStringRef* errorString)
{
  CFErrorRef error = nullptr;
  CFPropertyListRef result =
      CFPropertyListCreateWithData(allocator, xmlData, mutabilityOption, nullptr, &error);
  if (errorString) *errorString = error ? CFErrorCopyDescription(error) : nullptr;
  CFRelease(error);
  return result;
}

CFDataRef CFPropertyListCreateXMLData(CFAllocatorRef allocator, CFPropertyListRef propertyList)
{
  return CFPropertyListCreateData(allocator, propertyList, kCFPropertyListXMLFormat_v1_0, 0,
                                  nullptr);
}
