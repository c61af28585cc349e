// Element callbacks that count their calls, for checking that containers retain on insertion
// and release on removal exactly once.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <cstdio>

struct Counted
{
  int value;
  int references; // the test's own reference plus one per container slot
};

struct CallCounts
{
  int retains = 0;
  int releases = 0;
  int descriptions = 0;
  int equals = 0;
  int hashes = 0;
  CFAllocatorRef lastAllocator = reinterpret_cast<CFAllocatorRef>(1);
};

inline CallCounts gCounts;

inline const void* CountedRetain(CFAllocatorRef allocator, const void* value)
{
  ++gCounts.retains;
  gCounts.lastAllocator = allocator;
  ++static_cast<Counted*>(const_cast<void*>(value))->references;
  return value;
}

inline void CountedRelease(CFAllocatorRef allocator, const void* value)
{
  ++gCounts.releases;
  gCounts.lastAllocator = allocator;
  --static_cast<Counted*>(const_cast<void*>(value))->references;
}

inline CFStringRef CountedDescription(const void* value)
{
  ++gCounts.descriptions;
  return CFStringCreateWithFormat(nullptr, nullptr, CFSTR("#%d"),
                                  static_cast<const Counted*>(value)->value);
}

inline Boolean CountedEqual(const void* a, const void* b)
{
  ++gCounts.equals;
  return static_cast<const Counted*>(a)->value == static_cast<const Counted*>(b)->value;
}

inline CFHashCode CountedHash(const void* value)
{
  ++gCounts.hashes;
  return static_cast<CFHashCode>(static_cast<const Counted*>(value)->value);
}

inline const CFArrayCallBacks kCountedArrayCallBacks = {0, CountedRetain, CountedRelease,
                                                        CountedDescription, CountedEqual};
inline const CFDictionaryKeyCallBacks kCountedKeyCallBacks = {
    0, CountedRetain, CountedRelease, CountedDescription, CountedEqual, CountedHash};
inline const CFDictionaryValueCallBacks kCountedValueCallBacks = {0, CountedRetain, CountedRelease,
                                                                  CountedDescription, CountedEqual};
