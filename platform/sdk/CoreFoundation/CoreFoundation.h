/* The CoreFoundation stand-in: reference-counted strings, numbers, data, arrays, dictionaries,
   URLs, bundles and property lists. */
#ifndef TOLVANE_COREFOUNDATION_H
#define TOLVANE_COREFOUNDATION_H

#include <MacTypes.h>
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFData.h>
#include <CoreFoundation/CFError.h>
#include <CoreFoundation/CFURL.h>
#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFPropertyList.h>

#endif
