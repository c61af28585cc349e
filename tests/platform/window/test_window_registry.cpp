#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/window/AUCocoaUIBase.h"
#include "platform/window/ClassRegistry.h"

namespace
{
class TestFactory : public AUCocoaUIBase
{
public:
  unsigned interfaceVersion() override { return 0; }
  NSView* uiViewForAudioUnit(AudioUnit, NSSize size) override
  {
    return new NSView(NSMakeRect(0, 0, size.width, size.height));
  }
  std::string description() const override { return "Test View"; }
};

NSObject* makeFactory()
{
  return new TestFactory;
}
NSObject* makeOther()
{
  return new TestFactory;
}

ClassRegistration sRegistered("RegistryTest_StaticView", makeFactory);
} // namespace

TEST(ClassRegistry, AModuleRegistersItsClassesWhenLoaded)
{
  Class cls = NSClassFromString("RegistryTest_StaticView");
  ASSERT_NE(nullptr, cls);
  EXPECT_STREQ("RegistryTest_StaticView", class_getName(cls));
  EXPECT_EQ(cls, ClassNamedInImage("/proc/self/exe", "RegistryTest_StaticView"));
  EXPECT_EQ(nullptr, ClassNamedInImage("/usr/lib/nothing-here.so", "RegistryTest_StaticView"));
  EXPECT_EQ(nullptr, NSClassFromString("RegistryTest_Missing"));
  EXPECT_EQ(nullptr, NSClassFromString(nullptr));
}

TEST(ClassRegistry, InstancesAnswerTheViewProtocol)
{
  NSObject* object = class_createInstance(NSClassFromString("RegistryTest_StaticView"));
  ASSERT_NE(nullptr, object);
  ASSERT_TRUE(object->conformsToProtocol(AUCocoaUIBaseProtocol));
  EXPECT_FALSE(object->conformsToProtocol("NSCoding"));
  AUCocoaUIBase* factory = static_cast<AUCocoaUIBase*>(object);
  NSView* view = factory->uiViewForAudioUnit(nullptr, NSMakeSize(595, 433));
  EXPECT_EQ(595, view->pixelWidth());
  view->release();
  object->release();
  EXPECT_EQ(nullptr, class_createInstance(nullptr));
}

TEST(ClassRegistry, OneNamePerImageAndUnregistering)
{
  EXPECT_TRUE(RegisterClass("RegistryTest_Dynamic", makeOther));
  EXPECT_FALSE(RegisterClass("RegistryTest_Dynamic", makeFactory)); // same image, same name
  EXPECT_FALSE(RegisterClass(nullptr, makeOther));
  Class cls = NSClassFromString("RegistryTest_Dynamic");
  ASSERT_NE(nullptr, cls);
  EXPECT_NE(std::string::npos, std::string(class_getImageName(cls)).find("test_window_registry"));
  UnregisterClass("RegistryTest_Dynamic", makeFactory); // not the registered factory
  EXPECT_NE(nullptr, NSClassFromString("RegistryTest_Dynamic"));
  UnregisterClass("RegistryTest_Dynamic", makeOther);
  EXPECT_EQ(nullptr, NSClassFromString("RegistryTest_Dynamic"));
}
