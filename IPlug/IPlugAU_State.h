#pragma once

// Saved-state helpers of the wrapper: dictionary values and factory preset
// records. Any thread; no shared state.

#include "IPlug/IPlugStructs.h"

#include <CoreFoundation/CoreFoundation.h>
#include <AudioUnit/AudioUnit.h>

// Readers and writers of the saved-state dictionary's values. Keys are UTF-8
// text. The readers answer false for a missing key and for a value of another
// type than the one they read.

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

// Reference-counted factory preset records, the elements of the factory preset
// array handed to the host. The first two fields have the layout of AUPreset,
// so the host reads every element as an AUPreset.

struct CFAUPreset
{
  AUPreset auPreset;        // presetNumber, presetName (the record's own copy, or null)
  UInt32 reserved;          // always 0
  CFAllocatorRef allocator; // where the record came from and returns to
  SInt32 retainCount;       // 1 at creation
};

// Null when the allocator gives no memory.
CFAUPreset* CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber, CFStringRef name);
// Retains the name with the record; null is passed through.
CFAUPreset* CFAUPresetRetain(CFAUPreset* preset);
// When the count reaches 0 the record returns to its allocator.
void CFAUPresetRelease(CFAUPreset* preset);

// Array callbacks for CFAUPreset elements.
extern const CFArrayCallBacks kCFAUPresetArrayCallBacks;
