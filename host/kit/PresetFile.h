#pragma once

// .aupreset files: the unit's class-info dictionary written as an XML property
// list, the interchange form hosts use for Audio Unit presets.
//
// The host's thread, never while the unit renders on another.

#include "host/kit/CFRef.h"

#include <AudioUnit/AudioUnit.h>

#include <string>

// The whole file parsed; refuses files that are not a property list holding a dictionary.
bool ReadPresetFile(const std::string& path, CFRef<CFPropertyListRef>& plist, std::string& error);
// Written under a temporary name and renamed into place.
bool WritePresetFile(const std::string& path, CFPropertyListRef plist, std::string& error);

// The unit's class-info dictionary.
bool CopyClassInfo(AudioUnit unit, CFRef<CFPropertyListRef>& plist, std::string& error);
ComponentResult RestoreClassInfo(AudioUnit unit, CFPropertyListRef plist);
// Reads the file and hands its dictionary to the unit.
bool LoadPresetFile(AudioUnit unit, const std::string& path, std::string& error);
