#pragma once

// The wrapper a plug-in class derives from, chosen when the plug-in is built:
// the LV2 edition's targets define IPLUG_LV2, the Audio Unit component's
// nothing. Both wrappers take the same constructor arguments.

#if defined(IPLUG_LV2)
#include "IPlug/IPlugLV2.h"
using IPlugEdition = IPlugLV2;
#else
#include "IPlug/IPlugAU.h"
using IPlugEdition = IPlugAU;
#endif
