/* Asking the system about itself. Any thread. */
#ifndef TOLVANE_GESTALT_H
#define TOLVANE_GESTALT_H

#include <MacTypes.h>

#ifdef __cplusplus
extern "C"
{
#endif

  enum
  {
    gestaltSystemVersion = 0x73797376, /* 'sysv': 0x0000MMmP, e.g. 0x1068 for 10.6.8 */
    gestaltUndefSelectorErr = -5551
  };

  /* Writes the answer for the selector; gestaltUndefSelectorErr for an unknown selector or a
     null response (nothing written). */
  OSErr Gestalt(OSType selector, SInt32* response);

#ifdef __cplusplus
}
#endif

#endif
