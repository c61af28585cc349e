/* Audio data types. */
#ifndef TOLVANE_COREAUDIO_H
#define TOLVANE_COREAUDIO_H

#include <CoreAudio/CoreAudioTypes.h>

#endif
