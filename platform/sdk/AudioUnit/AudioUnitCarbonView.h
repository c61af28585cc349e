/* The view component of a unit (type 'auvw'): it creates the unit's editor inside a host window. */
#ifndef TOLVANE_AUDIOUNITCARBONVIEW_H
#define TOLVANE_AUDIOUNITCARBONVIEW_H

#include <AudioUnit/AUComponent.h>

#ifdef __cplusplus
extern "C"
{
#endif

  /* Window-system handles, opaque here. */
  typedef struct OpaqueWindowPtr* WindowRef;
  typedef struct OpaqueControlRef* ControlRef;

/* A system type; whichever header defines it first sets the guard. */
#ifndef TOLVANE_FLOAT32POINT_DEFINED
#define TOLVANE_FLOAT32POINT_DEFINED
  typedef struct Float32Point
  {
    Float32 x;
    Float32 y;
  } Float32Point;
#endif

  typedef ComponentInstance AudioUnitCarbonView;

  enum
  {
    kAudioUnitCarbonViewComponentType = 0x61757677, /* 'auvw' */
    kAUCarbonViewSubType_Generic = 0x676e7263       /* 'gnrc' */
  };

  enum
  {
    kAudioUnitCarbonViewRange = 0x0300,
    kAudioUnitCarbonViewCreateSelect = 0x0301,
    kAudioUnitCarbonViewSetEventListenerSelect = 0x0302
  };

  /* Arguments in this order: view, unit, window, parent control, location, size, control out. */
  OSStatus AudioUnitCarbonViewCreate(AudioUnitCarbonView inView, AudioUnit inAudioUnit,
                                     WindowRef inWindow, ControlRef inParentControl,
                                     const Float32Point* inLocation, const Float32Point* inSize,
                                     ControlRef* outControl);

#ifdef __cplusplus
}
#endif

#endif
