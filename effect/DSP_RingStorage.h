#pragma once

// The samples of one delay line: the ring in use and a spare of the same
// size, so that a reset can trade a written ring for a clean one at once and
// leave the clearing for later.
//
// Threads: get() and clear() belong to whoever holds the plug-in mutex (the
// audio thread while it renders). cleanSpare() runs outside that mutex, one
// caller at a time (the owner's reset guard serialises them); it touches only
// the spare, which no render reads. spareClean() may be asked from any thread.
// Nothing here allocates after construction or makes a system call.

#include <atomic>
#include <cstddef>

class RingStorage
{
public:
  // Both rings zeroed by the allocator, so pages never reached are never
  // touched (a spare that is never used costs address space only). Rings of
  // 2 MiB or more are mapped on 2 MiB boundaries and offered large pages.
  explicit RingStorage(std::size_t slots);
  ~RingStorage();
  RingStorage(const RingStorage&) = delete;
  RingStorage& operator=(const RingStorage&) = delete;

  float* get() const { return mRing; }
  float& operator[](std::size_t i) const { return mRing[i]; }

  // Makes the ring read zero everywhere, given that only its first 'written'
  // slots can hold anything. With a clean spare the two trade places and
  // nothing is cleared now: the old ring waits as the spare for cleanSpare.
  // Otherwise the written slots are cleared in place. Returns the number of
  // slots cleared now.
  std::size_t clear(std::size_t written);

  // Clears what a trade left in the spare; the number of slots cleared.
  std::size_t cleanSpare();
  bool spareClean() const { return mSpareClean.load(std::memory_order_acquire); }

  std::size_t slots() const { return mSlots; }

  // Writes every page of the ring in use with the value it holds, so that the
  // system backs it now rather than on the audio thread's first pass. Not
  // while a render runs.
  void touchPages() const;

private:
  std::size_t mSlots;
  float* mRing;
  float* mSpare;
  // Slots of the spare that may hold samples; read by cleanSpare only while
  // the spare is marked dirty, written by clear only while it is clean.
  std::size_t mSpareWritten = 0;
  std::atomic<bool> mSpareClean{true};
};
