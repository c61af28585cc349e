#include "platform/window/Timer.h"

#include <algorithm>

#include "platform/window/Window.h"
#include "platform/window/WindowBackend.h"

const char* const NSRunLoopCommonModes = "kCFRunLoopCommonModes";
const char* const NSDefaultRunLoopMode = "kCFRunLoopDefaultMode";

NSTimer::NSTimer(double seconds, Action action, bool repeats)
    : mInterval(seconds > 0.0001 ? seconds : 0.0001), mAction(std::move(action)), mRepeats(repeats)
{
}

NSTimer* NSTimer::timerWithTimeInterval(double seconds, Action action, bool repeats)
{
  return new NSTimer(seconds, std::move(action), repeats);
}

void NSTimer::invalidate()
{
  mValid = false;
  if (mScheduled) NSRunLoop::currentRunLoop()->remove(this);
}

NSRunLoop* NSRunLoop::currentRunLoop()
{
  static NSRunLoop loop;
  return &loop;
}

double NSRunLoop::now() const
{
  return GetWindowBackend()->now();
}

double NSRunLoop::nextFireDate() const
{
  double next = -1;
  for (const NSTimer* t : mTimers)
    if (t->mValid && (next < 0 || t->mFireDate < next)) next = t->mFireDate;
  return next;
}

void NSRunLoop::addTimer(NSTimer* timer, const char* mode)
{
  (void)mode;
  if (!timer || !timer->mValid || timer->mScheduled) return;
  timer->retain();
  timer->mScheduled = true;
  timer->mFireDate = now() + timer->mInterval;
  mTimers.push_back(timer);
}

void NSRunLoop::remove(NSTimer* timer)
{
  auto it = std::find(mTimers.begin(), mTimers.end(), timer);
  if (it == mTimers.end()) return;
  mTimers.erase(it);
  timer->mScheduled = false;
  timer->release();
}

void NSRunLoop::performLater(std::function<void()> work)
{
  mWork.push_back(std::move(work));
}

void NSRunLoop::runPendingWork()
{
  std::vector<std::function<void()>> work;
  work.swap(mWork);
  for (auto& w : work)
    w();
}

NSTimer* NSRunLoop::nextDue(double until)
{
  NSTimer* due = nullptr;
  for (NSTimer* t : mTimers)
    if (t->mValid && t->mFireDate <= until && (!due || t->mFireDate < due->mFireDate)) due = t;
  return due;
}

void NSRunLoop::fire(NSTimer* timer)
{
  timer->retain();
  timer->mAction(timer);
  if (timer->mValid)
  {
    if (timer->mRepeats)
    {
      timer->mFireDate += timer->mInterval;
      // A late loop fires once, not once for every missed interval.
      if (timer->mFireDate <= now()) timer->mFireDate = now() + timer->mInterval;
    }
    else
      timer->invalidate();
  }
  timer->release();
}

void NSRunLoop::runPass()
{
  runPendingWork();
  const double t = now();
  while (NSTimer* due = nextDue(t))
    fire(due);
  const std::vector<NSWindow*> windows = NSWindow::windows();
  for (NSWindow* w : windows)
    w->displayIfNeeded();
}

void NSRunLoop::runForSeconds(double seconds)
{
  WindowBackend* backend = GetWindowBackend();
  if (!backend->clockIsManual())
  {
    runPass();
    return;
  }
  const double target = now() + seconds;
  while (NSTimer* due = nextDue(target))
  {
    backend->advanceClockTo(due->mFireDate);
    runPass();
  }
  backend->advanceClockTo(target);
  runPass();
}
