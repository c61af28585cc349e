// Host automation of every parameter from another thread while the editor's
// view draws at its timer rate: the thread sanitizer build runs this and
// must report nothing; in every build the editor must end up showing the
// last values the host set.

#include "tests/effect/EditorHost.h"

#include "IPlug/IControl.h"
#include "effect/TolvaneDelayParams.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(EffectEditorThreads, HostAutomationWhileTheViewDraws)
{
  EditorHost host;
  ASSERT_TRUE(host.Open()) << host.Failure();
  std::atomic<bool> done{false};
  std::thread automation(
      [&]
      {
        for (int round = 0; round < 40; ++round)
          for (int id = 0; id < kNumParams; ++id)
            host.SetParameter(id, static_cast<float>((round * 37 + id * 11) % 101));
        for (int id = 0; id < kNumParams; ++id)
          host.SetParameter(id, 25.0f);
        done = true;
      });
  int ticks = 0;
  while (!done || ticks < 3)
  {
    host.Tick();
    if (done) ++ticks;
  }
  automation.join();

  host.Tick();
  IGraphics* gui = host.Graphics();
  for (int i = 0; i < gui->NControls(); ++i)
  {
    IControl* c = gui->GetControl(i);
    if (c->ParamIdx() >= 0) EXPECT_DOUBLE_EQ(c->GetValue(), 0.25) << "control " << i;
    EXPECT_FALSE(c->IsDirty()) << "control " << i;
  }
  // "switch" at 25 selects the loop engine: the stereo panel is blocked.
  EXPECT_FALSE(gui->GetControl(52)->IsHidden());
  EXPECT_TRUE(gui->GetControl(55)->IsHidden());
}
