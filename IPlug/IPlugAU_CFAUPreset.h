#pragma once

// Reference-counted factory preset records, the elements of the factory preset
// array handed to the host. The first two fields have the layout of AUPreset,
// so the host reads every element as an AUPreset.

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

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
