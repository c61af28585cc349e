#include <gtest/gtest.h>

#include <dlfcn.h>

#include "platform/window/AUCocoaUIBase.h"
#include "platform/window/ClassRegistry.h"
#include "platform/window/Timer.h"

TEST(ClassRegistryModules, AHostFindsTheViewFactoryInTheModuleItLoaded)
{
  ASSERT_EQ(nullptr, NSClassFromString("FakeModule_View"));
  void* module = dlopen(FAKE_VIEW_MODULE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(nullptr, module) << dlerror();

  Class cls = ClassNamedInImage(FAKE_VIEW_MODULE, "FakeModule_View");
  ASSERT_NE(nullptr, cls);
  EXPECT_EQ(cls, NSClassFromString("FakeModule_View"));
  EXPECT_EQ(nullptr, ClassNamedInImage("/proc/self/exe", "FakeModule_View"));

  NSObject* object = class_createInstance(cls);
  ASSERT_TRUE(object && object->conformsToProtocol(AUCocoaUIBaseProtocol));
  const int timersBefore = NSRunLoop::currentRunLoop()->timerCount();
  NSView* view =
      static_cast<AUCocoaUIBase*>(object)->uiViewForAudioUnit(nullptr, NSMakeSize(595, 433));
  ASSERT_NE(nullptr, view);
  EXPECT_EQ(595, view->pixelWidth());
  // The module's view scheduled its timer on this program's run loop.
  EXPECT_EQ(timersBefore + 1, NSRunLoop::currentRunLoop()->timerCount());
  view->release();
  object->release();
  EXPECT_EQ(timersBefore, NSRunLoop::currentRunLoop()->timerCount());

  dlclose(module);
  EXPECT_EQ(nullptr, NSClassFromString("FakeModule_View"));
}
