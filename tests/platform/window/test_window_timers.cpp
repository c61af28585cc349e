#include "WindowTestSupport.h"

#include "platform/window/Timer.h"

namespace
{
class TimerTest : public WindowTest
{
protected:
  void TearDown() override
  {
    for (NSTimer* t : made)
    {
      t->invalidate();
      t->release();
    }
  }
  NSTimer* schedule(double seconds, NSTimer::Action action, bool repeats = true)
  {
    NSTimer* t = NSTimer::timerWithTimeInterval(seconds, std::move(action), repeats);
    made.push_back(t);
    NSRunLoop::currentRunLoop()->addTimer(t, NSRunLoopCommonModes);
    return t;
  }
  std::vector<NSTimer*> made;
};
} // namespace

TEST_F(TimerTest, TimersFireAtTheirTimesAsTheClockIsAdvanced)
{
  const double start = backend().now();
  std::vector<double> fired;
  NSTimer* timer = schedule(0.04, [&](NSTimer*) { fired.push_back(backend().now() - start); });
  NSRunLoop::currentRunLoop()->runForSeconds(0.03);
  EXPECT_TRUE(fired.empty());
  NSRunLoop::currentRunLoop()->runForSeconds(0.1);
  ASSERT_EQ(3u, fired.size());
  EXPECT_NEAR(0.04, fired[0], 1e-9);
  EXPECT_NEAR(0.08, fired[1], 1e-9);
  EXPECT_NEAR(0.12, fired[2], 1e-9);
  EXPECT_NEAR(0.13, backend().now() - start, 1e-9);

  timer->invalidate();
  EXPECT_FALSE(timer->isValid());
  NSRunLoop::currentRunLoop()->runForSeconds(1.0);
  EXPECT_EQ(3u, fired.size());
  EXPECT_EQ(1, timer->retainCount()); // the loop let go
}

TEST_F(TimerTest, OneShotsInvalidationFromInsideAndUnscheduledTimers)
{
  int once = 0, selfStopping = 0;
  schedule(
      0.01, [&](NSTimer*) { ++once; }, false);
  schedule(0.01,
           [&](NSTimer* t)
           {
             if (++selfStopping == 2) t->invalidate();
           });
  NSTimer* idle = NSTimer::timerWithTimeInterval(
      0.01, [&](NSTimer*) { FAIL(); }, true);
  made.push_back(idle);
  NSRunLoop::currentRunLoop()->runForSeconds(0.2);
  EXPECT_EQ(1, once);
  EXPECT_EQ(2, selfStopping);
  EXPECT_EQ(0, NSRunLoop::currentRunLoop()->timerCount());
}

TEST_F(TimerTest, EachFiringIsFollowedByDrawingWhatItMadeDirty)
{
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 100, 100));
  RecordingView* view = new RecordingView(NSMakeRect(0, 0, 100, 100));
  window->setContentView(view);
  view->release();
  window->makeKeyAndOrderFront();
  view->drawn.clear();
  int ticks = 0;
  schedule(0.04,
           [&](NSTimer*)
           {
             if (++ticks == 2) view->setNeedsDisplayInRect(NSMakeRect(10, 20, 5, 6));
           });
  NSRunLoop::currentRunLoop()->runForSeconds(0.21);
  EXPECT_EQ(5, ticks);
  ASSERT_EQ(1u, view->drawn.size());
  EXPECT_EQ(10, view->drawn[0].origin.x);
  EXPECT_EQ(6, view->drawn[0].size.height);
  window->close();
}

TEST_F(TimerTest, WorkForLaterRunsAtTheNextPassNotBefore)
{
  int runs = 0;
  NSRunLoop::currentRunLoop()->performLater([&] { ++runs; });
  EXPECT_EQ(0, runs);
  NSRunLoop::currentRunLoop()->runPass();
  NSRunLoop::currentRunLoop()->runPass();
  EXPECT_EQ(1, runs);
}
