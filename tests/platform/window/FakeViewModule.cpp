// A module the way a plug-in ships its view factory: it registers a class
// when loaded and forgets it when unloaded, and its views run their timer on
// the loading program's run loop. It links nothing of the window stand-in.
#include "platform/window/AUCocoaUIBase.h"
#include "platform/window/ClassRegistry.h"
#include "platform/window/Timer.h"

namespace
{
class FakeView : public NSView
{
public:
  explicit FakeView(NSSize size) : NSView(NSMakeRect(0, 0, size.width, size.height))
  {
    mTimer = NSTimer::timerWithTimeInterval(
        0.04, [this](NSTimer*) { ++ticks; }, true);
    NSRunLoop::currentRunLoop()->addTimer(mTimer, NSRunLoopCommonModes);
  }
  int ticks = 0;

protected:
  ~FakeView() override
  {
    mTimer->invalidate();
    mTimer->release();
  }

private:
  NSTimer* mTimer;
};

class FakeFactory : public AUCocoaUIBase
{
public:
  unsigned interfaceVersion() override { return 0; }
  NSView* uiViewForAudioUnit(AudioUnit, NSSize size) override { return new FakeView(size); }
};

NSObject* makeFactory()
{
  return new FakeFactory;
}

ClassRegistration sFactory("FakeModule_View", makeFactory);
} // namespace
