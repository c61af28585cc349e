#pragma once

// Status codes of the component manager and the Audio Unit API as text a user
// can look up: "-10851 (invalid property value)".
//
// Any thread.

#include <MacTypes.h>

#include <string>

std::string StatusText(SInt32 status);

// A four-character code as its characters, e.g. 'aufx' -> "aufx".
std::string FourCCText(UInt32 code);
