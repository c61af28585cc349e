// A library linked ahead of the C library that counts, on the thread that
// armed it, the allocations, mutex locks and system calls made while armed.
#pragma once

#ifdef __cplusplus
extern "C"
{
#endif

  struct RenderCounts
  {
    long allocations;
    long locks;
    long systemCalls;
  };

  void RenderCountingArm(void);
  // Disarms and returns what was counted since arming.
  struct RenderCounts RenderCountingDisarm(void);

#ifdef __cplusplus
}
#endif
