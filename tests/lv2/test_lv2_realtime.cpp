// run() in real-time conditions: over thousands of blocks with changing
// controls, time positions and a right input coming and going, the plug-in
// allocates nothing, takes no lock and makes none of the blocking calls
// counted here. The program interposes the allocator and those calls and
// counts them while run() is executing.

#include "tests/lv2/LV2Host.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <atomic>

namespace
{
thread_local bool tCounting = false;
std::atomic<int> gAllocations{0}, gLocks{0}, gBlockingCalls{0};

template <class Fn> Fn Next(const char* name)
{
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

void Note(std::atomic<int>& counter)
{
  if (tCounting) ++counter;
}

// Counts what happens on this thread while it lives.
class Counting
{
public:
  Counting()
  {
    gAllocations = gLocks = gBlockingCalls = 0;
    tCounting = true;
  }
  ~Counting() { tCounting = false; }
};
} // namespace

extern "C"
{
  void* __libc_malloc(size_t);
  void* __libc_calloc(size_t, size_t);
  void* __libc_realloc(void*, size_t);
  void* __libc_memalign(size_t, size_t);
  void __libc_free(void*);

  void* malloc(size_t n)
  {
    Note(gAllocations);
    return __libc_malloc(n);
  }
  void* calloc(size_t n, size_t size)
  {
    Note(gAllocations);
    return __libc_calloc(n, size);
  }
  void* realloc(void* p, size_t n)
  {
    Note(gAllocations);
    return __libc_realloc(p, n);
  }
  void* aligned_alloc(size_t alignment, size_t n)
  {
    Note(gAllocations);
    return __libc_memalign(alignment, n);
  }
  int posix_memalign(void** p, size_t alignment, size_t n)
  {
    Note(gAllocations);
    *p = __libc_memalign(alignment, n);
    return *p || n == 0 ? 0 : 12; // ENOMEM
  }
  void free(void* p)
  {
    Note(gAllocations);
    __libc_free(p);
  }

  int pthread_mutex_lock(pthread_mutex_t* m)
  {
    static auto next = Next<int (*)(pthread_mutex_t*)>("pthread_mutex_lock");
    Note(gLocks);
    return next(m);
  }
  int pthread_mutex_trylock(pthread_mutex_t* m)
  {
    static auto next = Next<int (*)(pthread_mutex_t*)>("pthread_mutex_trylock");
    Note(gLocks);
    return next(m);
  }
  int pthread_rwlock_rdlock(pthread_rwlock_t* l)
  {
    static auto next = Next<int (*)(pthread_rwlock_t*)>("pthread_rwlock_rdlock");
    Note(gLocks);
    return next(l);
  }
  int pthread_rwlock_wrlock(pthread_rwlock_t* l)
  {
    static auto next = Next<int (*)(pthread_rwlock_t*)>("pthread_rwlock_wrlock");
    Note(gLocks);
    return next(l);
  }

  ssize_t write(int fd, const void* data, size_t n)
  {
    static auto next = Next<ssize_t (*)(int, const void*, size_t)>("write");
    Note(gBlockingCalls);
    return next(fd, data, n);
  }
  int nanosleep(const struct timespec* request, struct timespec* remaining)
  {
    static auto next = Next<int (*)(const struct timespec*, struct timespec*)>("nanosleep");
    Note(gBlockingCalls);
    return next(request, remaining);
  }
  int sched_yield()
  {
    static auto next = Next<int (*)()>("sched_yield");
    Note(gBlockingCalls);
    return next();
  }
}

TEST(LV2RealTime, TheCountersSeeWhatTheyCount)
{
  // Resolve the forwarding pointers first: dlsym itself may allocate.
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
  pthread_mutex_lock(&mutex);
  pthread_mutex_unlock(&mutex);
  Counting counting;
  void* volatile p = malloc(16);
  free(p);
  pthread_mutex_lock(&mutex);
  pthread_mutex_unlock(&mutex);
  sched_yield();
  EXPECT_EQ(2, gAllocations.load());
  EXPECT_EQ(1, gLocks.load());
  EXPECT_EQ(1, gBlockingCalls.load());
}

TEST(LV2RealTime, RunAllocatesNothingAndTakesNoLock)
{
  LV2Host host;
  ASSERT_TRUE(host.Ok());
  host.LoadDefaults();
  host.Activate();
  float* rightIn = host.Audio(1);
  int allocations = 0, locks = 0, blockingCalls = 0;
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
    {
      Counting counting;
      host.Run(frames);
      allocations += gAllocations;
      locks += gLocks;
      blockingCalls += gBlockingCalls;
    }
    host.ClearTimeEvents();
  }
  EXPECT_EQ(0, allocations);
  EXPECT_EQ(0, locks);
  EXPECT_EQ(0, blockingCalls);
}
