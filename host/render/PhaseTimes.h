#pragma once

// Wall-clock time spent in each phase of a render, for `tolvane render
// --timings`. Phases that run on another thread beside the main one are
// recorded with their own duration; the total is the main thread's time from
// start to end. Thread-safe: Add may come from any thread.

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

class PhaseTimes
{
public:
  using Clock = std::chrono::steady_clock;

  explicit PhaseTimes(Clock::time_point start) : mStart(start), mLast(start) {}

  // The phase on the main thread that ends now, since the previous mark.
  void Mark(const std::string& phase);
  // Time measured elsewhere: added to the phase of that name (created at the end).
  void Add(const std::string& phase, double seconds);
  // One line per phase in milliseconds, then the total.
  std::string Format() const;

private:
  struct Phase
  {
    std::string name;
    double seconds;
  };
  mutable std::mutex mMutex;
  Clock::time_point mStart, mLast;
  std::vector<Phase> mPhases;
};

// Adds the time from its construction to its destruction to a running sum;
// when off, reads no clock.
class ScopedTimer
{
public:
  explicit ScopedTimer(double& sum, bool on = true)
      : mSum(sum), mOn(on), mStart(on ? PhaseTimes::Clock::now() : PhaseTimes::Clock::time_point())
  {
  }
  ~ScopedTimer()
  {
    if (mOn) mSum += std::chrono::duration<double>(PhaseTimes::Clock::now() - mStart).count();
  }
  ScopedTimer(const ScopedTimer&) = delete;
  ScopedTimer& operator=(const ScopedTimer&) = delete;

private:
  double& mSum;
  bool mOn;
  PhaseTimes::Clock::time_point mStart;
};
