#pragma once

// UTF-8 text of CoreFoundation strings.

#include <CoreFoundation/CoreFoundation.h>

#include <string>

// The whole UTF-8 text of a string; "" for null.
std::string CFStringText(CFStringRef string);
