/* The Audio Unit API and its listener utilities. */
#ifndef TOLVANE_AUDIOTOOLBOX_H
#define TOLVANE_AUDIOTOOLBOX_H

#include <AudioUnit/AudioUnit.h>
#include <AudioToolbox/AudioUnitUtilities.h>

#endif
