// The effect's editor in a real window (a private X server) while a host
// automates every parameter from another thread and the mouse works the
// knobs: the thread sanitizer build runs this and must report nothing; in
// every build the window ends up showing the last values the host set.

// Google Test comes before the X11 headers, whose macros clash with its names.
#include <gtest/gtest.h>

#include "host/kit/EditorView.h"
#include "host/kit/HostedUnit.h"
#include "tests/support/XvfbServer.h"

#include "platform/window/Window.h"
#include "platform/window/backends/x11/X11Backend.h"


#include <atomic>
#include <thread>

TEST(EffectWindowThreads, HostAutomationWhileTheWindowDrawsAndTheMouseDrags)
{
  XvfbServer server;
  ASSERT_TRUE(server.ok()) << "Xvfb could not be started";
  std::string error;
  std::unique_ptr<X11Backend> backend = X11Backend::Open(nullptr, &error);
  ASSERT_TRUE(backend) << error;
  SetWindowBackend(backend.get());
  {
    HostedUnit unit;
    ASSERT_TRUE(unit.OpenFound("", error)) << error;
    EditorView view;
    ASSERT_TRUE(view.Open(unit.Unit(), error)) << error;
    const std::string id = std::to_string(backend->NativeWindowOf(view.Window()));
    backend->RunUntil([] { return false; }, 0.3);

    // The mouse drags a knob of each panel up and down meanwhile.
    std::vector<std::string> drag = {"xdotool", "mousemove", "--window", id, "38", "314",
                                     "mousedown", "1"};
    for (int i = 0; i < 30; ++i)
      for (const char* a : {"mousemove_relative", "--", "0", i % 2 ? "6" : "-6", "sleep", "0.01"})
        drag.push_back(a);
    drag.push_back("mouseup");
    drag.push_back("1");
    const pid_t mouse = StartProgram(drag);

    std::atomic<bool> done{false};
    const int kParams = 28;
    std::thread automation(
        [&]
        {
          for (int round = 0; round < 30; ++round)
            for (int id = 0; id < kParams; ++id)
              unit.SetParameter(id, static_cast<float>((round * 37 + id * 11) % 101));
          done = true;
        });
    backend->RunUntil([&] { return done.load(); }, 20.0);
    automation.join();
    WaitProgram(mouse);
    backend->RunUntil([] { return false; }, 0.2);

    // The last word is the host's.
    for (int id = 0; id < kParams; ++id)
      unit.SetParameter(id, 25.0f);
    backend->RunUntil([] { return false; }, 0.3);
    for (int id = 0; id < kParams; ++id)
    {
      AudioUnitParameterValue v = -1;
      AudioUnitGetParameter(unit.Unit(), id, kAudioUnitScope_Global, 0, &v);
      EXPECT_EQ(v, 25.0f) << "parameter " << id;
    }
    // What the window shows is what the editor drew last.
    int w = 0, h = 0;
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_TRUE(dpy);
    const std::vector<uint32_t> shot =
        GrabWindow(dpy, Window(backend->NativeWindowOf(view.Window())), &w, &h);
    XCloseDisplay(dpy);
    ASSERT_EQ(size_t(w) * size_t(h), size_t(view.Width()) * size_t(view.Height()));
    int differing = 0;
    for (size_t i = 0; i < shot.size(); ++i)
      differing += (shot[i] | 0xff) != (view.Pixels()[i] | 0xff);
    EXPECT_EQ(differing, 0);
  }
  SetWindowBackend(nullptr);
}
