// A library that stands ahead of the C library (linked by the tests that count,
// loaded first into the validator's real-time worker) and counts, on the
// thread that armed it, the allocations, mutex locks and system calls made
// while armed. Arm and disarm on the thread whose calls are to be counted.
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
