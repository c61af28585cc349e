// Dictionaries: entries kept in insertion order, found by hash then by the key equal callback.
#include "platform/cf/CFObject.h"

#include <vector>

using namespace cf;

struct __CFDictionary : CFObject
{
  static constexpr CFTypeID kTypeID = kTypeDictionary;

  struct Entry
  {
    const void* key;
    const void* value;
    CFHashCode hash;
  };

  __CFDictionary(CFAllocatorRef allocator, const CFDictionaryKeyCallBacks* keyCallBacks,
                 const CFDictionaryValueCallBacks* valueCallBacks, bool isMutable, CFIndex capacity)
      : CFObject(kTypeID), mAllocator(allocator), mMutable(isMutable), mCapacity(capacity)
  {
    if (keyCallBacks) mKeys = *keyCallBacks;
    if (valueCallBacks) mValues = *valueCallBacks;
  }

  ~__CFDictionary() override { ReleaseAll(mEntries); }

  bool Equals(const CFObject& other) const override
  {
    const __CFDictionary& dict = static_cast<const __CFDictionary&>(other);
    if (dict.mEntries.size() != mEntries.size()) return false;
    for (const Entry& entry : mEntries)
    {
      const Entry* theirs = dict.Find(entry.key);
      if (!theirs || !ValuesEqual(entry.value, theirs->value)) return false;
    }
    return true;
  }

  CFHashCode Hash() const override { return mEntries.size(); }

  std::string Describe() const override
  {
    std::string out = "{";
    for (const Entry& entry : mEntries)
      out += "\n    " + Indent(DescribeElement(mKeys.copyDescription, entry.key)) + " = " +
             Indent(DescribeElement(mValues.copyDescription, entry.value)) + ";";
    return out + "\n}";
  }

  CFHashCode HashKey(const void* key) const
  {
    return mKeys.hash ? mKeys.hash(key) : reinterpret_cast<CFHashCode>(key);
  }

  bool KeysEqual(const void* a, const void* b) const
  {
    return a == b || (mKeys.equal && mKeys.equal(a, b));
  }

  bool ValuesEqual(const void* a, const void* b) const
  {
    return a == b || (mValues.equal && mValues.equal(a, b));
  }

  const Entry* Find(const void* key) const
  {
    CFHashCode hash = HashKey(key);
    for (const Entry& entry : mEntries)
      if (entry.hash == hash && KeysEqual(entry.key, key)) return &entry;
    return nullptr;
  }

  Entry* Find(const void* key)
  {
    return const_cast<Entry*>(static_cast<const __CFDictionary*>(this)->Find(key));
  }

  const void* RetainKey(const void* key) const
  {
    return mKeys.retain ? mKeys.retain(mAllocator, key) : key;
  }

  const void* RetainValue(const void* value) const
  {
    return mValues.retain ? mValues.retain(mAllocator, value) : value;
  }

  void ReleaseKey(const void* key) const
  {
    if (mKeys.release) mKeys.release(mAllocator, key);
  }

  void ReleaseValue(const void* value) const
  {
    if (mValues.release) mValues.release(mAllocator, value);
  }

  void ReleaseAll(const std::vector<Entry>& entries) const
  {
    for (const Entry& entry : entries)
    {
      ReleaseKey(entry.key);
      ReleaseValue(entry.value);
    }
  }

  void Add(const void* key, const void* value)
  {
    if (mCapacity > 0 && mEntries.size() >= static_cast<size_t>(mCapacity)) return;
    CFHashCode hash = HashKey(key);
    mEntries.push_back({RetainKey(key), RetainValue(value), hash});
  }

  void Replace(Entry& entry, const void* value)
  {
    const void* old = entry.value;
    entry.value = RetainValue(value);
    ReleaseValue(old);
  }

  CFAllocatorRef mAllocator;
  CFDictionaryKeyCallBacks mKeys = {0, nullptr, nullptr, nullptr, nullptr, nullptr};
  CFDictionaryValueCallBacks mValues = {0, nullptr, nullptr, nullptr, nullptr};
  std::vector<Entry> mEntries;
  const bool mMutable;
  const CFIndex mCapacity; // 0: unbounded
};

namespace
{

const void* RetainStringCopy(CFAllocatorRef allocator, const void* key)
{
  if (CFGetTypeID(key) == CFStringGetTypeID())
    return CFStringCreateCopy(allocator, static_cast<CFStringRef>(key));
  return CFRetain(key);
}

__CFDictionary* CopyDictionary(CFAllocatorRef allocator, const __CFDictionary* dict, bool isMutable,
                               CFIndex capacity)
{
  __CFDictionary* copy =
      new __CFDictionary(allocator, &dict->mKeys, &dict->mValues, isMutable, capacity);
  for (const __CFDictionary::Entry& entry : dict->mEntries)
    copy->Add(entry.key, entry.value);
  return copy;
}

} // namespace

const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {
    0, RetainCallBack, ReleaseCallBack, CopyDescriptionCallBack, EqualCallBack, HashCallBack};
const CFDictionaryKeyCallBacks kCFCopyStringDictionaryKeyCallBacks = {
    0, RetainStringCopy, ReleaseCallBack, CopyDescriptionCallBack, EqualCallBack, HashCallBack};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {
    0, RetainCallBack, ReleaseCallBack, CopyDescriptionCallBack, EqualCallBack};

CFTypeID CFDictionaryGetTypeID(void)
{
  return kTypeDictionary;
}

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef allocator, const void** keys, const void** values,
                                   CFIndex numValues, const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks)
{
  if (numValues < 0 || ((!keys || !values) && numValues > 0)) return nullptr;
  __CFDictionary* dict = new __CFDictionary(allocator, keyCallBacks, valueCallBacks, false, 0);
  for (CFIndex i = 0; i < numValues; ++i)
  {
    __CFDictionary::Entry* entry = dict->Find(keys[i]);
    if (entry)
      dict->Replace(*entry, values[i]);
    else
      dict->Add(keys[i], values[i]);
  }
  return dict;
}

CFDictionaryRef CFDictionaryCreateCopy(CFAllocatorRef allocator, CFDictionaryRef theDict)
{
  const __CFDictionary* dict = As<__CFDictionary>(theDict);
  return dict ? CopyDictionary(allocator, dict, false, 0) : nullptr;
}

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef allocator, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks)
{
  if (capacity < 0) return nullptr;
  return new __CFDictionary(allocator, keyCallBacks, valueCallBacks, true, capacity);
}

CFMutableDictionaryRef CFDictionaryCreateMutableCopy(CFAllocatorRef allocator, CFIndex capacity,
                                                     CFDictionaryRef theDict)
{
  const __CFDictionary* dict = As<__CFDictionary>(theDict);
  if (!dict || capacity < 0) return nullptr;
  if (capacity > 0 && dict->mEntries.size() > static_cast<size_t>(capacity)) return nullptr;
  return CopyDictionary(allocator, dict, true, capacity);
}

CFIndex CFDictionaryGetCount(CFDictionaryRef theDict)
{
  const __CFDictionary* dict = As<__CFDictionary>(theDict);
  return dict ? static_cast<CFIndex>(dict->mEntries.size()) : 0;
}

CFIndex CFDictionaryGetCountOfKey(CFDictionaryRef theDict, const void* key)
{
  return CFDictionaryContainsKey(theDict, key) ? 1 : 0;
}

CFIndex CFDictionaryGetCountOfValue(CFDictionaryRef theDict, const void* value)
{
  const __CFDictionary* dict = As<__CFDictionary>(theDict);
  if (!dict) return 0;
  CFIndex count = 0;
  for (const __CFDictionary::Entry& entry : dict->mEntries)
    count += dict->ValuesEqual(entry.value, value) ? 1 : 0;
  return count;
}

Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void* key)
{
  const __CFDictionary* dict = As<__CFDictionary>(theDict);
  return dict && dict->Find(key);
}

Boolean CFDictionaryContainsValue(CFDictionaryRef theDict, const void* value)
{
  return CFDictionaryGetCountOfValue(theDict, value) > 0;
}

const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key)
{
  const void* value = nullptr;
  CFDictionaryGetValueIfPresent(theDict, key, &value);
  return value;
}

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void* key, const void** value)
{
  const __CFDictionary* dict = As<__CFDictionary>(theDict);
  const __CFDictionary::Entry* entry = dict ? dict->Find(key) : nullptr;
  if (!entry) return false;
  if (value) *value = entry->value;
  return true;
}

void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void** keys, const void** values)
{
  const __CFDictionary* dict = As<__CFDictionary>(theDict);
  if (!dict) return;
  for (size_t i = 0; i < dict->mEntries.size(); ++i)
  {
    if (keys) keys[i] = dict->mEntries[i].key;
    if (values) values[i] = dict->mEntries[i].value;
  }
}

void CFDictionaryApplyFunction(CFDictionaryRef theDict, CFDictionaryApplierFunction applier,
                               void* context)
{
  const __CFDictionary* dict = As<__CFDictionary>(theDict);
  if (!dict || !applier) return;
  for (const __CFDictionary::Entry& entry : dict->mEntries)
    applier(entry.key, entry.value, context);
}

void CFDictionaryAddValue(CFMutableDictionaryRef theDict, const void* key, const void* value)
{
  __CFDictionary* dict = AsWritable<__CFDictionary>(theDict);
  if (dict && !dict->Find(key)) dict->Add(key, value);
}

void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key, const void* value)
{
  __CFDictionary* dict = AsWritable<__CFDictionary>(theDict);
  if (!dict) return;
  __CFDictionary::Entry* entry = dict->Find(key);
  if (entry)
    dict->Replace(*entry, value);
  else
    dict->Add(key, value);
}

void CFDictionaryReplaceValue(CFMutableDictionaryRef theDict, const void* key, const void* value)
{
  __CFDictionary* dict = AsWritable<__CFDictionary>(theDict);
  __CFDictionary::Entry* entry = dict ? dict->Find(key) : nullptr;
  if (entry) dict->Replace(*entry, value);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void* key)
{
  __CFDictionary* dict = AsWritable<__CFDictionary>(theDict);
  __CFDictionary::Entry* entry = dict ? dict->Find(key) : nullptr;
  if (!entry) return;
  std::vector<__CFDictionary::Entry> removed(1, *entry);
  dict->mEntries.erase(dict->mEntries.begin() + (entry - dict->mEntries.data()));
  dict->ReleaseAll(removed);
}

void CFDictionaryRemoveAllValues(CFMutableDictionaryRef theDict)
{
  __CFDictionary* dict = AsWritable<__CFDictionary>(theDict);
  if (!dict) return;
  std::vector<__CFDictionary::Entry> removed;
  removed.swap(dict->mEntries);
  dict->ReleaseAll(removed);
}
