/* Core object model: type references, retain/release, equality, hashing, descriptions, allocators.
 */
#ifndef TOLVANE_CFBASE_H
#define TOLVANE_CFBASE_H

#include <MacTypes.h>
#include <stdarg.h>
#include <stddef.h>

#ifdef __cplusplus
#define CF_EXTERN_C_BEGIN                                                                          \
  extern "C"                                                                                       \
  {
#define CF_EXTERN_C_END }
#else
#define CF_EXTERN_C_BEGIN
#define CF_EXTERN_C_END
#endif

#define CF_EXPORT extern

CF_EXTERN_C_BEGIN

typedef const void* CFTypeRef;
typedef unsigned long CFTypeID;
typedef unsigned long CFOptionFlags;
typedef unsigned long CFHashCode;
typedef signed long CFIndex;

typedef struct
{
  CFIndex location;
  CFIndex length;
} CFRange;

static inline CFRange CFRangeMake(CFIndex location, CFIndex length)
{
  CFRange range;
  range.location = location;
  range.length = length;
  return range;
}

enum
{
  kCFNotFound = -1
};

typedef CFIndex CFComparisonResult;
enum
{
  kCFCompareLessThan = -1,
  kCFCompareEqualTo = 0,
  kCFCompareGreaterThan = 1
};

typedef const struct __CFString* CFStringRef;
typedef struct __CFString* CFMutableStringRef;
typedef const struct __CFAllocator* CFAllocatorRef;
typedef CFTypeRef CFPropertyListRef;

/* Allocators are accepted everywhere and otherwise ignored: every object comes from the C++ heap.
   kCFAllocatorDefault is null, as on the real system. CFAllocatorAllocate/Deallocate use
   malloc/free; kCFAllocatorNull allocates nothing. */
CF_EXPORT const CFAllocatorRef kCFAllocatorDefault;
CF_EXPORT const CFAllocatorRef kCFAllocatorSystemDefault;
CF_EXPORT const CFAllocatorRef kCFAllocatorMalloc;
CF_EXPORT const CFAllocatorRef kCFAllocatorNull;

CF_EXPORT CFTypeID CFAllocatorGetTypeID(void);
CF_EXPORT CFAllocatorRef CFAllocatorGetDefault(void);
CF_EXPORT void* CFAllocatorAllocate(CFAllocatorRef allocator, CFIndex size, CFOptionFlags hint);
CF_EXPORT void* CFAllocatorReallocate(CFAllocatorRef allocator, void* ptr, CFIndex newsize,
                                      CFOptionFlags hint);
CF_EXPORT void CFAllocatorDeallocate(CFAllocatorRef allocator, void* ptr);

/* Reference counting is real and atomic. Every Create/Copy returns +1, Get returns a borrowed
   reference. Constant objects (CFSTR strings, kCFBoolean values, allocators) ignore retain and
   release. Unlike the real library, a null argument is ignored instead of crashing. */
CF_EXPORT CFTypeRef CFRetain(CFTypeRef cf);
CF_EXPORT void CFRelease(CFTypeRef cf);
CF_EXPORT CFIndex CFGetRetainCount(CFTypeRef cf);
CF_EXPORT CFTypeID CFGetTypeID(CFTypeRef cf);
CF_EXPORT Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2);
CF_EXPORT CFHashCode CFHash(CFTypeRef cf);
CF_EXPORT CFStringRef CFCopyDescription(CFTypeRef cf);
CF_EXPORT CFStringRef CFCopyTypeIDDescription(CFTypeID typeID);
/* Writes the description to stderr (debugging aid). */
CF_EXPORT void CFShow(CFTypeRef obj);

/* The null object (kCFNull), used in arrays and dictionaries where a value must be present. */
typedef const struct __CFNull* CFNullRef;
CF_EXPORT const CFNullRef kCFNull;
CF_EXPORT CFTypeID CFNullGetTypeID(void);

CF_EXTERN_C_END

#endif
