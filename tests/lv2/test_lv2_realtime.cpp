// run() in real-time conditions: over thousands of blocks with changing
// controls, time positions and a right input coming and going, the plug-in
// allocates nothing, takes no lock and makes no system call. The counting
// library stands ahead of the C library and counts while run() executes.

#include "tests/lv2/LV2Host.h"

#include <gtest/gtest.h>

#include "host/validate/RenderCounting.h"

#include <sys/resource.h>

TEST(LV2RealTime, RunAllocatesNothingAndTakesNoLock)
{
  LV2Host host;
  ASSERT_TRUE(host.Ok());
  host.LoadDefaults();
  host.Activate();
  float* rightIn = host.Audio(1);
  long allocations = 0, locks = 0, systemCalls = 0;
  for (int block = 0; block < 6000; ++block)
  {
    // Controls sweep their range, a few at a time, engine switch included.
    for (int k = 0; k < 3; ++k)
    {
      const int param = (block * 3 + k) % kLV2NParams;
      host.Control(param) = static_cast<float>((block * 7 + k * 13) % 101);
    }
    host.Tempo() = static_cast<float>(60 + block % 120);
    if (block % 50 == 0) host.SendTempo(80.0 + block % 90);
    if (block % 400 == 0) host.Connect(1, block % 800 == 0 ? nullptr : rightIn);
    const uint32_t frames = block % 10 == 0 ? 4000u : 64u + static_cast<uint32_t>(block % 512);
    for (uint32_t i = 0; i < frames; ++i)
      host.Audio(0)[i] = rightIn[i] = (i % 997 == 0) ? 0.5f : 0.0f;
    RenderCountingArm();
    host.Run(frames);
    const RenderCounts counts = RenderCountingDisarm();
    allocations += counts.allocations;
    locks += counts.locks;
    systemCalls += counts.systemCalls;
    host.ClearTimeEvents();
  }
  EXPECT_EQ(0, allocations);
  EXPECT_EQ(0, locks);
  EXPECT_EQ(0, systemCalls);
}

// The delay lines are backed with memory when the host activates, so that
// run() never waits for the system to supply a page, even on its first pass
// over every line and after a second activation.
TEST(LV2RealTime, RunFaultsInNoPageOfTheDelayLines)
{
  LV2Host host(96000.0);
  ASSERT_TRUE(host.Ok());
  host.LoadDefaults();
  for (int activation = 0; activation < 2; ++activation)
  {
    host.Activate();
    for (uint32_t i = 0; i < 512; ++i)
      host.Audio(0)[i] = host.Audio(1)[i] = (i % 101 == 0) ? 0.5f : 0.0f;
    host.Run(512); // the first run's own one-off work is not counted
    rusage before{}, after{};
    getrusage(RUSAGE_THREAD, &before);
    for (int block = 0; block < 96000 * 17 / 512; ++block) // longer than the lines
      host.Run(512);
    getrusage(RUSAGE_THREAD, &after);
    // Without the pages backed, the first pass faults in thousands of them.
    EXPECT_LT(after.ru_minflt - before.ru_minflt, 16) << "activation " << activation;
    host.Deactivate();
  }
}
