/* Property lists: dictionaries (string keys), arrays, strings, data, numbers and booleans,
   read from and written to XML and binary property-list bytes. */
#ifndef TOLVANE_CFPROPERTYLIST_H
#define TOLVANE_CFPROPERTYLIST_H

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFData.h>
#include <CoreFoundation/CFError.h>
#include <CoreFoundation/CFString.h>

CF_EXTERN_C_BEGIN

typedef CFIndex CFPropertyListFormat;
enum
{
  kCFPropertyListOpenStepFormat = 1, /* not supported */
  kCFPropertyListXMLFormat_v1_0 = 100,
  kCFPropertyListBinaryFormat_v1_0 = 200
};

typedef CFOptionFlags CFPropertyListMutabilityOptions;
enum
{
  kCFPropertyListImmutable = 0,
  kCFPropertyListMutableContainers = 1,
  kCFPropertyListMutableContainersAndLeaves = 2
};

enum
{
  kCFPropertyListReadCorruptError = 3840,
  kCFPropertyListReadUnknownVersionError = 3841,
  kCFPropertyListWriteStreamError = 3851,
  kCFPropertyListWriteInvalidError = 3852 /* unsupported object or format */
};

/* Parses XML or binary bytes (the format found is stored in *format). Damaged or unsupported
   content (dates, UIDs, non-string keys) gives null and, when error is not null, a new error
   in *error (domain kCFErrorDomainCocoa, code kCFPropertyListReadCorruptError). Integers come
   back as kCFNumberSInt64Type numbers (values above INT64_MAX wrap, as the reader keeps 64-bit
   patterns), reals as Float64. The XML reader is lenient in one place: a dictionary key
   without a value is dropped. */
CF_EXPORT CFPropertyListRef CFPropertyListCreateWithData(CFAllocatorRef allocator, CFDataRef data,
                                                         CFOptionFlags options,
                                                         CFPropertyListFormat* format,
                                                         CFErrorRef* error);
/* Serialises in the XML or binary format; null (and an error) for objects that are not
   property-list types or for other formats. */
CF_EXPORT CFDataRef CFPropertyListCreateData(CFAllocatorRef allocator,
                                             CFPropertyListRef propertyList,
                                             CFPropertyListFormat format, CFOptionFlags options,
                                             CFErrorRef* error);
CF_EXPORT Boolean CFPropertyListIsValid(CFPropertyListRef plist, CFPropertyListFormat format);
CF_EXPORT CFPropertyListRef CFPropertyListCreateDeepCopy(CFAllocatorRef allocator,
                                                         CFPropertyListRef propertyList,
                                                         CFOptionFlags mutabilityOption);

/* Older forms: XML only for writing; errorString receives a new message string on failure. */
CF_EXPORT CFPropertyListRef CFPropertyListCreateFromXMLData(CFAllocatorRef allocator,
                                                            CFDataRef xmlData,
                                                            CFOptionFlags mutabilityOption,
                                                            CFStringRef* errorString);
CF_EXPORT CFDataRef CFPropertyListCreateXMLData(CFAllocatorRef allocator,
                                                CFPropertyListRef propertyList);

CF_EXTERN_C_END

#endif
