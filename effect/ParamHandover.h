#pragma once

// Hands parameter values from the parameter hook to the audio thread without a
// lock. The hook (any thread) stores a value per slot; the audio thread takes
// every slot once per block and applies the ones that changed since it last
// looked, so the engines are only ever touched by the thread that renders.
// Applying the latest of several values gives what applying each in turn gave,
// because every engine setter sets its state from the value alone.

#include <atomic>
#include <cmath>
#include <cstring>

template <int N> class ParamHandover
{
public:
  ParamHandover()
  {
    for (int i = 0; i < N; ++i)
    {
      mSlots[i].store(NAN, std::memory_order_relaxed);
      mTaken[i] = NAN; // so that the first value stored is always applied
    }
  }

  // Parameter hook: the value for the next block. NaN is never applied.
  void Store(int slot, float value) { mSlots[slot].store(value, std::memory_order_release); }
  // Any thread: the last stored value (NaN before the first).
  float Latest(int slot) const { return mSlots[slot].load(std::memory_order_acquire); }

  // Audio thread (or a caller that excludes it): apply(slot, value) for each
  // slot whose value differs from the one applied before.
  template <class Apply> void TakeChanges(Apply&& apply)
  {
    for (int i = 0; i < N; ++i)
    {
      const float value = mSlots[i].load(std::memory_order_acquire);
      if (std::isnan(value) || SameBits(value, mTaken[i])) continue;
      mTaken[i] = value;
      apply(i, value);
    }
  }

private:
  static bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

  std::atomic<float> mSlots[N];
  float mTaken[N]; // audio thread only
  static_assert(std::atomic<float>::is_always_lock_free, "the audio thread takes no lock");
};
