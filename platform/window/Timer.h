// Timers and the main run loop. The loop's clock is the window backend's:
// with the headless backend the caller advances it, and every timer that falls
// due fires in time order, each firing followed by the drawing of every
// window that needs it, as the window system does after each pass.
//
// Threads: main thread only.
#pragma once

#include <functional>
#include <vector>

#include "platform/window/Object.h"

class NSTimer : public NSObject
{
public:
  typedef std::function<void(NSTimer*)> Action;

  // A timer not yet scheduled; add it to a run loop to start it.
  static NSTimer* timerWithTimeInterval(double seconds, Action action, bool repeats);

  double timeInterval() const { return mInterval; }
  double fireDate() const { return mFireDate; }
  bool isValid() const { return mValid; }
  // Stops the timer for good and takes it off its run loop.
  void invalidate();

  std::string description() const override { return "NSTimer"; }

private:
  friend class NSRunLoop;
  NSTimer(double seconds, Action action, bool repeats);
  double mInterval;
  Action mAction;
  bool mRepeats;
  bool mValid = true;
  bool mScheduled = false;
  double mFireDate = 0;
};

extern const char* const NSRunLoopCommonModes;
extern const char* const NSDefaultRunLoopMode;

class NSRunLoop
{
public:
  static NSRunLoop* currentRunLoop();
  static NSRunLoop* mainRunLoop() { return currentRunLoop(); }

  // Retains the timer; it first fires one interval from now.
  void addTimer(NSTimer* timer, const char* mode);
  // Work to do at the loop's next pass (never inside the caller).
  void performLater(std::function<void()> work);

  // One pass at the clock's present time: pending work, due timers, drawing.
  void runPass();
  // Moves the clock forward through every due firing up to now + seconds
  // (headless clocks only: a real clock is not moved).
  void runForSeconds(double seconds);
  double now() const;
  // When the next timer falls due on the loop's clock; -1 with none scheduled.
  double nextFireDate() const;
  int timerCount() const { return int(mTimers.size()); }

private:
  friend class NSTimer;
  void remove(NSTimer* timer);
  NSTimer* nextDue(double until);
  void fire(NSTimer* timer);
  void runPendingWork();

  std::vector<NSTimer*> mTimers;
  std::vector<std::function<void()>> mWork;
};
