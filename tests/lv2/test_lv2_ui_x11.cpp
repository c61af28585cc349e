// The editor's UI through its descriptor on a private X server: it sits in
// the host's parent window at the editor's size, draws when the host's idle
// calls drive it, follows port events, survives its parent going first, and
// hands the program back its X error handler once the last editor is gone.

// Google Test and our own headers come before the X11 headers, whose macros
// clash with their names.
#include <gtest/gtest.h>

#include "IPlug/IPlugLV2UI.h"
#include "effect/IPlug_include_in_plug_src.h"
#include "effect/TolvaneDelay.h"

#include "platform/window/WindowBackend.h"
#include "platform/window/backends/x11/X11Backend.h"

#include "tests/support/WindowPictures.h"
#include "tests/support/XvfbServer.h"

#include <cstdint>

namespace
{
const int kW = 595, kH = 433;

int IgnoreXErrors(Display*, XErrorEvent*)
{
  return 0;
}

struct Resizes
{
  int w = 0, h = 0;
};

int RecordResize(LV2UI_Feature_Handle handle, int w, int h)
{
  static_cast<Resizes*>(handle)->w = w;
  static_cast<Resizes*>(handle)->h = h;
  return 0;
}

void NoWrite(LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {}

class EditorInHostWindow : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(server.ok()) << "Xvfb could not be started";
    XSetErrorHandler(IgnoreXErrors);
    dpy = XOpenDisplay(nullptr);
    ASSERT_TRUE(dpy);
    descriptor = lv2ui_descriptor(0);
    ASSERT_TRUE(descriptor);
    idle =
        static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    ASSERT_TRUE(idle);
  }
  void TearDown() override
  {
    if (dpy) XCloseDisplay(dpy);
  }

  // A host window at x on the screen, beside the others (a covered window's
  // pixels cannot be read).
  Window HostWindow(int x)
  {
    const Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), x, 0, 600, 440, 0, 0, 0);
    XMapWindow(dpy, w);
    XSync(dpy, False);
    return w;
  }
  LV2UI_Handle Open(Window parent, Window* widget)
  {
    LV2_Feature parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(uintptr_t(parent))};
    LV2UI_Resize resize = {&resizes, RecordResize};
    LV2_Feature resizeFeature = {LV2_UI__resize, &resize};
    const LV2_Feature* features[] = {&parentFeature, &resizeFeature, nullptr};
    LV2UI_Widget w = nullptr;
    LV2UI_Handle handle =
        descriptor->instantiate(descriptor, kTolvaneLV2URI, "", NoWrite, nullptr, &w, features);
    *widget = Window(reinterpret_cast<uintptr_t>(w));
    return handle;
  }
  // The host's idle calls for a while, then the window's pixels.
  std::vector<uint32_t> Picture(LV2UI_Handle handle, Window widget)
  {
    for (int i = 0; i < 50; ++i)
    {
      idle->idle(handle);
      usleep(10000);
    }
    int w = 0, h = 0;
    return GrabWindow(dpy, widget, &w, &h);
  }
  Window ParentOf(Window w)
  {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &children, &n)) return 0;
    if (children) XFree(children);
    return parent;
  }

  XvfbServer server{1280, 480};
  Display* dpy = nullptr;
  const LV2UI_Descriptor* descriptor = nullptr;
  const LV2UI_Idle_Interface* idle = nullptr;
  Resizes resizes;
};
} // namespace

TEST_F(EditorInHostWindow, TwoEditorsShareTheDisplayAndLetGoOfIt)
{
  const Window host1 = HostWindow(0), host2 = HostWindow(620);
  Window widget1 = 0, widget2 = 0;
  LV2UI_Handle ui1 = Open(host1, &widget1);
  ASSERT_TRUE(ui1);
  EXPECT_EQ(kW, resizes.w);
  EXPECT_EQ(kH, resizes.h);
  LV2UI_Handle ui2 = Open(host2, &widget2);
  ASSERT_TRUE(ui2);
  EXPECT_EQ(host1, ParentOf(widget1));
  EXPECT_EQ(host2, ParentOf(widget2));

  // The factory state as the headless editor draws it, pictures from the
  // folder beside the program.
  const std::vector<uint32_t> factory = Picture(ui1, widget1);
  EXPECT_LE(PixelsBeyond(factory, ReadPicture(EDITOR_REFERENCE, kW, kH), kGoldenLevels),
            GoldenPictureBudget(kW, kH));

  // The host chooses the loop engine: the panels change places.
  std::unique_ptr<IPlugLV2> probe(MakePlug());
  const float loop = 0.0f;
  descriptor->port_event(ui1, probe->Ports().ParamPort(kSwitch), sizeof loop, 0, &loop);
  EXPECT_GT(DifferingPixels(factory, Picture(ui1, widget1)), kW * kH / 10);

  // The first editor goes; the second goes on drawing after its parent went.
  descriptor->cleanup(ui1);
  XWindowAttributes a;
  EXPECT_FALSE(XGetWindowAttributes(dpy, widget1, &a));
  ASSERT_TRUE(dynamic_cast<X11Backend*>(GetWindowBackend()));
  XDestroyWindow(dpy, host2);
  XSync(dpy, False);
  Picture(ui2, widget2);
  descriptor->cleanup(ui2);

  EXPECT_FALSE(dynamic_cast<X11Backend*>(GetWindowBackend()));
  EXPECT_EQ(&IgnoreXErrors, XSetErrorHandler(nullptr));
  XDestroyWindow(dpy, host1);
}
