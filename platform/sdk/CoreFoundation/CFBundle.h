/* Bundles: a folder with Contents/Info.plist, Contents/MacOS/<executable> and
   Contents/Resources/ (a flat folder with Info.plist at its top also works). */
#ifndef TOLVANE_CFBUNDLE_H
#define TOLVANE_CFBUNDLE_H

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFURL.h>

CF_EXTERN_C_BEGIN

typedef struct __CFBundle* CFBundleRef;

CF_EXPORT const CFStringRef kCFBundleIdentifierKey; /* "CFBundleIdentifier" */
CF_EXPORT const CFStringRef kCFBundleNameKey;       /* "CFBundleName" */
CF_EXPORT const CFStringRef kCFBundleExecutableKey; /* "CFBundleExecutable" */
CF_EXPORT const CFStringRef kCFBundleVersionKey;    /* "CFBundleVersion" */
CF_EXPORT const CFStringRef kCFBundleInfoDictionaryVersionKey;

CF_EXPORT CFTypeID CFBundleGetTypeID(void);

/* The process's main bundle (borrowed, lives for the process): the folder of the running
   executable. Its identifier is null, or the value of the environment variable
   TOLVANE_MAIN_BUNDLE_ID read at the first call. */
CF_EXPORT CFBundleRef CFBundleGetMainBundle(void);

/* Reads the bundle's Info.plist (a missing or damaged one gives an empty info dictionary); null
   when the URL is not a file URL of an existing folder. Every live bundle is listed in a
   process-wide registry: creating a bundle for a folder that already has a live one returns that
   one, retained. A bundle leaves the registry when its last reference is released, so keep a
   reference for as long as CFBundleGetBundleWithIdentifier should find it. */
CF_EXPORT CFBundleRef CFBundleCreate(CFAllocatorRef allocator, CFURLRef bundleURL);
/* Borrowed: the main bundle or a live created bundle with that identifier (the first created
   wins); null if none. */
CF_EXPORT CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID);

/* Borrowed, may be null. */
CF_EXPORT CFStringRef CFBundleGetIdentifier(CFBundleRef bundle);
/* Borrowed, never null for a bundle (possibly empty). */
CF_EXPORT CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle);
/* Borrowed, null when absent. */
CF_EXPORT CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key);

/* Copies the caller owns. */
CF_EXPORT CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);
CF_EXPORT CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle);
/* Contents/MacOS/<CFBundleExecutable> if that file exists (for the main bundle: the running
   executable); null otherwise. */
CF_EXPORT CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle);
/* Resources/[subDirName/]resourceName[.resourceType] if that file or folder exists; null
   otherwise. A null or empty type means resourceName is the whole file name. */
CF_EXPORT CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName,
                                           CFStringRef resourceType, CFStringRef subDirName);

CF_EXTERN_C_END

#endif
