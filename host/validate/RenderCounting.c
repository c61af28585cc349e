#define _GNU_SOURCE
#include "host/validate/RenderCounting.h"

#include <dlfcn.h>
#include <pthread.h>
#include <semaphore.h>
#include <stdio.h>
#include <time.h>
#include <stdarg.h>
#include <stddef.h>
#include <sys/types.h>

static __thread int armed;
static __thread struct RenderCounts counts;

void RenderCountingArm(void)
{
  struct RenderCounts none = {0, 0, 0};
  counts = none;
  armed = 1;
}

struct RenderCounts RenderCountingDisarm(void)
{
  armed = 0;
  return counts;
}

/* ---- allocations: glibc's own entry points underneath ---- */
extern void* __libc_malloc(size_t);
extern void* __libc_calloc(size_t, size_t);
extern void* __libc_realloc(void*, size_t);
extern void* __libc_memalign(size_t, size_t);
extern void __libc_free(void*);

void* malloc(size_t n)
{
  if (armed) ++counts.allocations;
  return __libc_malloc(n);
}
void* calloc(size_t n, size_t size)
{
  if (armed) ++counts.allocations;
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n)
{
  if (armed) ++counts.allocations;
  return __libc_realloc(p, n);
}
int posix_memalign(void** out, size_t alignment, size_t n)
{
  if (armed) ++counts.allocations;
  *out = __libc_memalign(alignment, n);
  return *out ? 0 : 12;
}
void* aligned_alloc(size_t alignment, size_t n)
{
  if (armed) ++counts.allocations;
  return __libc_memalign(alignment, n);
}
void free(void* p)
{
  if (armed && p) ++counts.allocations;
  __libc_free(p);
}

/* ---- locks and system calls: counted, then passed on ---- */
#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

#define COUNTED(counter, ret, name, params, args)                                                  \
  ret name params                                                                                  \
  {                                                                                                \
    static __typeof__(&name) next;                                                                 \
    if (!next) next = NEXT(name);                                                                  \
    if (armed) ++counts.counter;                                                                   \
    return next args;                                                                              \
  }
#define COUNT_LOCK(name, type) COUNTED(locks, int, name, (type * l), (l))
#define COUNT_CALL(ret, name, params, args) COUNTED(systemCalls, ret, name, params, args)

COUNT_LOCK(pthread_mutex_lock, pthread_mutex_t)
COUNT_LOCK(pthread_mutex_trylock, pthread_mutex_t)
COUNT_LOCK(pthread_rwlock_rdlock, pthread_rwlock_t)
COUNT_LOCK(pthread_rwlock_wrlock, pthread_rwlock_t)
COUNT_LOCK(pthread_spin_lock, pthread_spinlock_t)
COUNT_LOCK(sem_wait, sem_t)

COUNT_CALL(ssize_t, read, (int fd, void* b, size_t n), (fd, b, n))
COUNT_CALL(ssize_t, write, (int fd, const void* b, size_t n), (fd, b, n))
COUNT_CALL(int, close, (int fd), (fd))
COUNT_CALL(void*, mmap, (void* a, size_t n, int p, int f, int fd, off_t o), (a, n, p, f, fd, o))
COUNT_CALL(int, munmap, (void* a, size_t n), (a, n))
COUNT_CALL(int, mprotect, (void* a, size_t n, int p), (a, n, p))
COUNT_CALL(int, madvise, (void* a, size_t n, int advice), (a, n, advice))
COUNT_CALL(int, sched_yield, (void), ())
COUNT_CALL(int, usleep, (unsigned u), (u))
COUNT_CALL(int, nanosleep, (const struct timespec* t, struct timespec* r), (t, r))
COUNT_CALL(int, clock_nanosleep, (clockid_t c, int f, const struct timespec* t, struct timespec* r),
           (c, f, t, r))
COUNT_CALL(FILE*, fopen, (const char* path, const char* mode), (path, mode))
COUNT_CALL(int, pthread_cond_wait, (pthread_cond_t * c, pthread_mutex_t* m), (c, m))
COUNT_CALL(int, pthread_cond_signal, (pthread_cond_t * c), (c))
COUNT_CALL(int, pthread_cond_broadcast, (pthread_cond_t * c), (c))

int open(const char* path, int flags, ...)
{
  static __typeof__(&open) next;
  if (!next) next = NEXT(open);
  va_list args;
  va_start(args, flags);
  const int mode = va_arg(args, int);
  va_end(args);
  if (armed) ++counts.systemCalls;
  return next(path, flags, mode);
}

long syscall(long number, ...)
{
  static __typeof__(&syscall) next;
  if (!next) next = NEXT(syscall);
  va_list args;
  va_start(args, number);
  long a[6];
  for (int i = 0; i < 6; ++i)
    a[i] = va_arg(args, long);
  va_end(args);
  if (armed) ++counts.systemCalls;
  return next(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}
