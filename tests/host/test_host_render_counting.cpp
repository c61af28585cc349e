// The counting library the validator loads into its real-time worker sees the
// calls it is there to see, and only on the thread that armed it.

#include "host/validate/RenderCounting.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

TEST(RenderCounting, SeesAllocationsLocksAndSystemCalls)
{
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
  const int fd = open("/dev/null", O_WRONLY);
  ASSERT_GE(fd, 0);
  // Through a pointer the compiler cannot see through, so the pair is kept.
  void* (*volatile allocate)(size_t) = std::malloc;
  const timespec none = {0, 0};
  RenderCountingArm();
  std::free(allocate(32));
  pthread_mutex_lock(&mutex);
  pthread_mutex_unlock(&mutex);
  EXPECT_EQ(write(fd, "x", 1), 1);
  nanosleep(&none, nullptr);
  const RenderCounts counts = RenderCountingDisarm();
  close(fd);
  EXPECT_EQ(counts.allocations, 2);
  EXPECT_EQ(counts.locks, 1);
  EXPECT_EQ(counts.systemCalls, 2);
}

TEST(RenderCounting, CountsOnlyTheArmedThreadAndOnlyWhileArmed)
{
  RenderCountingArm();
  std::thread other(
      []
      {
        void* (*volatile allocate)(size_t) = std::malloc;
        for (int i = 0; i < 100; ++i)
          std::free(allocate(64));
      });
  other.join(); // its allocations are its own; starting it is this thread's
  const RenderCounts armed = RenderCountingDisarm();
  void* (*volatile allocate)(size_t) = std::malloc;
  std::free(allocate(16)); // disarmed
  RenderCountingArm();
  const RenderCounts fresh = RenderCountingDisarm();
  EXPECT_EQ(fresh.allocations, 0);
  EXPECT_EQ(fresh.locks, 0);
  EXPECT_EQ(fresh.systemCalls, 0);
  EXPECT_LT(armed.allocations, 20) << armed.allocations; // the start-up, not the 200 calls
}
