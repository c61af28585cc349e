#pragma once

// Containers and locks used throughout the framework: an owned string, typed and
// raw growable buffers, a list of owned object pointers, and a recursive mutex
// with its scope guard.

#include <pthread.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <vector>

// Bytes, terminator included, that a function writing into a caller's text
// buffer (parameter display texts, version texts) writes at most. Callers
// pass buffers of at least this size.
constexpr int kTextBufferSize = 128;

// Typed growable array. Resizing never shrinks the storage, so a buffer sized
// once outside the audio thread can be resized within that size without
// allocating. New elements are value-initialised (zero for plain types).
template <class T> class WDL_TypedBuf
{
public:
  T* Get() { return mItems.empty() ? nullptr : mItems.data(); }
  const T* Get() const { return mItems.empty() ? nullptr : mItems.data(); }
  int GetSize() const { return static_cast<int>(mItems.size()); }

  // A negative size counts as 0.
  T* Resize(int newSize)
  {
    mItems.resize(newSize > 0 ? static_cast<size_t>(newSize) : 0);
    return Get();
  }

  T* Add(const T& item)
  {
    mItems.push_back(item);
    return &mItems.back();
  }

private:
  std::vector<T> mItems;
};

// Raw growable byte buffer.
class WDL_HeapBuf
{
public:
  void* Get() { return mBytes.Get(); }
  int GetSize() const { return mBytes.GetSize(); }
  void* Resize(int newSize) { return mBytes.Resize(newSize); }

private:
  WDL_TypedBuf<unsigned char> mBytes;
};

// Owned, growable, NUL-terminated string. Get() never returns null.
class WDL_String
{
public:
  WDL_String(const char* text = "", int maxLen = 0) { Set(text, maxLen); }

  // Copies text up to its terminator; a maxLen above 0 limits the copy to that
  // many characters.
  void Set(const char* text, int maxLen = 0)
  {
    mChars.Resize(1);
    mChars.Get()[0] = '\0';
    Append(text, maxLen);
  }

  void Append(const char* text, int maxLen = 0)
  {
    if (!text) return;
    // With a limit, text need not be terminated within it.
    const size_t n = maxLen > 0 ? strnlen(text, static_cast<size_t>(maxLen)) : std::strlen(text);
    const int oldLen = GetLength();
    mChars.Resize(oldLen + static_cast<int>(n) + 1);
    std::memcpy(mChars.Get() + oldLen, text, n);
    mChars.Get()[oldLen + n] = '\0';
  }

  // printf-style; the result is cut at maxLen characters.
  void SetFormatted(int maxLen, const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 3, 4)))
#endif
  {
    if (maxLen < 0) maxLen = 0;
    mChars.Resize(maxLen + 1);
    va_list args;
    va_start(args, format);
    std::vsnprintf(mChars.Get(), static_cast<size_t>(maxLen) + 1, format, args);
    va_end(args);
    mChars.Resize(static_cast<int>(std::strlen(mChars.Get())) + 1);
  }

  const char* Get() const
  {
    return mChars.Get();
  }
  char* Get()
  {
    return mChars.Get();
  }
  int GetLength() const
  {
    return static_cast<int>(std::strlen(mChars.Get()));
  }

private:
  WDL_TypedBuf<char> mChars;
};

// Ordered list of owned object pointers. The list deletes what it still holds
// when it is destroyed; Empty(true) deletes from last to first.
template <class T> class WDL_PtrList
{
public:
  WDL_PtrList() = default;
  WDL_PtrList(const WDL_PtrList&) = delete;
  WDL_PtrList& operator=(const WDL_PtrList&) = delete;
  ~WDL_PtrList() { Empty(true); }

  // Null for an index outside the list.
  T* Get(int idx) const
  {
    return idx >= 0 && idx < GetSize() ? mItems[static_cast<size_t>(idx)] : nullptr;
  }
  int GetSize() const { return static_cast<int>(mItems.size()); }
  T* const* GetList() const { return mItems.data(); }

  T* Add(T* item)
  {
    mItems.push_back(item);
    return item;
  }

  // Inserts at idx, limited to 0 ... size.
  T* Insert(int idx, T* item)
  {
    if (idx < 0) idx = 0;
    if (idx > GetSize()) idx = GetSize();
    mItems.insert(mItems.begin() + idx, item);
    return item;
  }

  int Find(const T* item) const
  {
    for (int i = 0; i < GetSize(); ++i)
      if (mItems[static_cast<size_t>(i)] == item) return i;
    return -1;
  }

  // Removes the entry at idx (nothing for an index outside the list); with
  // wantDelete the object is deleted, otherwise the caller takes it over.
  void Delete(int idx, bool wantDelete = false)
  {
    if (idx < 0 || idx >= GetSize()) return;
    T* item = mItems[static_cast<size_t>(idx)];
    mItems.erase(mItems.begin() + idx);
    if (wantDelete) DeleteItem(item);
  }

  void Empty(bool wantDelete = false)
  {
    if (wantDelete)
      while (!mItems.empty())
      {
        T* item = mItems.back();
        mItems.pop_back();
        DeleteItem(item);
      }
    mItems.clear();
  }

private:
  static void DeleteItem(T* item)
  {
    static_assert(sizeof(T) > 0, "WDL_PtrList needs the complete type to delete its objects");
    delete item;
  }

  std::vector<T*> mItems;
};

// Recursive mutex: a thread that owns it may enter again; it is released when
// every Enter has been matched by a Leave.
class WDL_Mutex
{
public:
  WDL_Mutex() { pthread_mutex_init(&m_mutex, nullptr); }
  ~WDL_Mutex() { pthread_mutex_destroy(&m_mutex); }
  WDL_Mutex(const WDL_Mutex&) = delete;
  WDL_Mutex& operator=(const WDL_Mutex&) = delete;

  void Enter()
  {
    ++_debug_cnt;
    const pthread_t self = pthread_self();
    if (pthread_equal(m_ownerthread.load(std::memory_order_relaxed), self))
    {
      ++m_lockcnt;
      return;
    }
    pthread_mutex_lock(&m_mutex);
    m_ownerthread.store(self, std::memory_order_relaxed);
    m_lockcnt = 0;
  }

  // Whether the calling thread holds the mutex (only the owner can store
  // its own thread as the owner, so the answer is exact for the caller).
  bool HeldByThisThread() const
  {
    return pthread_equal(m_ownerthread.load(std::memory_order_relaxed), pthread_self()) != 0;
  }

  void Leave()
  {
    --_debug_cnt;
    if (--m_lockcnt >= 0) return;
    m_ownerthread.store(pthread_t(), std::memory_order_relaxed);
    pthread_mutex_unlock(&m_mutex);
  }

private:
  // Other threads read the owner while testing for recursion, so the owner and
  // the counter every caller touches are atomic. No owner is the zero thread
  // value, which no running thread has.
  std::atomic<int> _debug_cnt{0};
  pthread_mutex_t m_mutex;
  std::atomic<pthread_t> m_ownerthread{pthread_t()};
  int m_lockcnt = 0;
};

// Enters the mutex for the length of a scope; a null mutex locks nothing.
class WDL_MutexLock
{
public:
  explicit WDL_MutexLock(WDL_Mutex* mutex) : mMutex(mutex)
  {
    if (mMutex) mMutex->Enter();
  }
  ~WDL_MutexLock()
  {
    if (mMutex) mMutex->Leave();
  }
  WDL_MutexLock(const WDL_MutexLock&) = delete;
  WDL_MutexLock& operator=(const WDL_MutexLock&) = delete;

private:
  WDL_Mutex* mMutex;
};
