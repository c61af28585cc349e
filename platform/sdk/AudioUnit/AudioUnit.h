/* The Audio Unit API: component types and calls, properties, music devices and view components. */
#ifndef TOLVANE_AUDIOUNIT_H
#define TOLVANE_AUDIOUNIT_H

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>
#include <CoreAudio/CoreAudioTypes.h>
#include <AudioUnit/AUComponent.h>
#include <AudioUnit/AudioUnitProperties.h>
#include <AudioUnit/MusicDevice.h>
#include <AudioUnit/AudioUnitCarbonView.h>

#endif
