/* Relocatable memory blocks (handles): a Handle points at the block's current address. */
#ifndef TOLVANE_MACMEMORY_H
#define TOLVANE_MACMEMORY_H

#include <MacTypes.h>

#ifdef __cplusplus
extern "C"
{
#endif

  typedef long Size;

  /* A new block of byteCount bytes (NewHandleClear: zeroed); null when it cannot be had. */
  Handle NewHandle(Size byteCount);
  Handle NewHandleClear(Size byteCount);
  /* Null is ignored. */
  void DisposeHandle(Handle h);
  /* 0 for null. */
  Size GetHandleSize(Handle h);
  /* Keeps the leading bytes, new bytes are zero; *h may move. Ignored for null or a negative size.
   */
  void SetHandleSize(Handle h, Size newSize);
  /* memFullErr, nilHandleErr or noErr for the last handle call on this thread. */
  OSErr MemError(void);
  /* Accepted and otherwise ignored: a block moves only in SetHandleSize. */
  void HLock(Handle h);
  void HUnlock(Handle h);

#ifdef __cplusplus
}
#endif

#endif
