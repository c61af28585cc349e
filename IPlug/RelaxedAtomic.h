#pragma once

// A value that one thread writes while another reads it without a lock, where
// the reader only needs some recent value: the editor's control values and
// dirty flags, written by the host's thread under the plug-in lock and read by
// the drawing thread (a change arriving between the dirty scan and the draw is
// shown one tick later). Reads and writes are relaxed atomics; compound
// assignments are a read and a write, not one atomic step.

#include <atomic>

template <class T> class RelaxedAtomic
{
public:
  RelaxedAtomic(T value = T()) : mValue(value) {}
  RelaxedAtomic(const RelaxedAtomic& other) : mValue(other.load()) {}
  RelaxedAtomic& operator=(const RelaxedAtomic& other)
  {
    store(other.load());
    return *this;
  }

  T load() const { return mValue.load(std::memory_order_relaxed); }
  void store(T value) { mValue.store(value, std::memory_order_relaxed); }

  operator T() const { return load(); }
  RelaxedAtomic& operator=(T value)
  {
    store(value);
    return *this;
  }
  RelaxedAtomic& operator+=(T delta)
  {
    store(load() + delta);
    return *this;
  }
  RelaxedAtomic& operator-=(T delta)
  {
    store(load() - delta);
    return *this;
  }

private:
  std::atomic<T> mValue;
};
