#pragma once

// Readers and writers of the saved-state dictionary's values. Keys are UTF-8
// text. The readers answer false for a missing key and for a value of another
// type than the one they read.

#include "IPlug/IPlugStructs.h"

#include <CoreFoundation/CoreFoundation.h>

// Converts the number under key into out as the given type.
bool GetNumberFromDict(CFDictionaryRef dict, const char* key, void* out, CFNumberType type);
// Copies the string's UTF-8 form into out (outSize bytes, cut safely); writes an
// empty string when the key gives no string.
bool GetStrFromDict(CFDictionaryRef dict, const char* key, char* out, int outSize);
// Replaces the chunk's contents with the data's bytes.
bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk);
// True when key holds a value whose type is not expectedType.
bool DictHasForeignValue(CFDictionaryRef dict, const char* key, CFTypeID expectedType);

// Each stores a new value under key, replacing any value there.
void PutNumberInDict(CFMutableDictionaryRef dict, const char* key, const void* value,
                     CFNumberType type);
void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* value);
void PutDataInDict(CFMutableDictionaryRef dict, const char* key, const ByteChunk* chunk);
