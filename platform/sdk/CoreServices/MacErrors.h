/* Status codes of the component manager and the system services it stands on. */
#ifndef TOLVANE_MACERRORS_H
#define TOLVANE_MACERRORS_H

#include <MacTypes.h>

enum
{
  paramErr = -50,
  memFullErr = -108,
  nilHandleErr = -109,
  fnfErr = -43,
  resNotFound = -192,
  cfragNoLibraryErr = -2801,
  cfragNoSymbolErr = -2804,
  invalidComponentID = -3000,
  validInstancesExist = -3001,
  componentNotCaptured = -3002,
  componentDontRegister = -3003,
  unresolvedComponentDLLErr = -3004,
  retryComponentRegistrationErr = -3005,
  coreFoundationUnknownErr = -4960
};

/* Component results outside the 16-bit range. */
#define badComponentInstance ((SInt32)0x80008001)
#define badComponentSelector ((SInt32)0x80008002)

#endif
