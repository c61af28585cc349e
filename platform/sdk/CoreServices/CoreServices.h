/* The part of the system services the audio components use: status codes, handles and the
   component manager. */
#ifndef TOLVANE_CORESERVICES_H
#define TOLVANE_CORESERVICES_H

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/MacErrors.h>
#include <CoreServices/MacMemory.h>
#include <CoreServices/Components.h>
#include <CoreServices/Gestalt.h>

#endif
