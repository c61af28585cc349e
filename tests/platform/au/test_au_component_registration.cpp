#include "tests/platform/au/TestBundles.h"

#include <gtest/gtest.h>

#include <StandInExtensions.h>
#include <string>

using namespace au_test;

namespace
{

const OSType kTest = 0x74457374; // 'tEst'
const OSType kFake = 0x46616b65; // 'Fake'

std::string PascalString(Handle h)
{
  return std::string(*h + 1, static_cast<unsigned char>(**h));
}

OSErr RegisterWritten(const std::string& bundle, Component* out = nullptr)
{
  Component ignored = nullptr;
  return RegisterComponentBundle(bundle.c_str(), out ? out : &ignored);
}

long CountWithSubtype(OSType subtype)
{
  ComponentDescription looking = {0, subtype, kTest, 0, 0};
  return CountComponents(&looking);
}

} // namespace

TEST(ComponentRegistration, RegistersEveryDeclaredComponentOnceWithItsViewAndBundle)
{
  Component first = nullptr;
  ASSERT_EQ(noErr, RegisterComponentBundle(FAKE_UNIT_BUNDLE, &first));
  EXPECT_STREQ("", GetComponentRegistrationMessage());
  EXPECT_EQ(first, FakeComponent());

  Component again = nullptr;
  EXPECT_EQ(noErr, RegisterComponentBundle(FAKE_UNIT_BUNDLE, &again));
  EXPECT_EQ(first, again);

  ComponentDescription view = {kAudioUnitCarbonViewComponentType, kFake, kTest, 0, 0};
  EXPECT_EQ(1, CountComponents(&view));
  ComponentDescription effects = {kAudioUnitType_Effect, 0, kTest, 0, 0};
  EXPECT_EQ(2, CountComponents(&effects));
  EXPECT_NE(nullptr, CFBundleGetBundleWithIdentifier(CFSTR("com.tolvane.tests.FakeUnit")));
}

TEST(ComponentRegistration, FindNextMatchesWithWildcardsAndFlagMask)
{
  Component fake = FakeComponent();
  Component failing = FailingOpenComponent();
  ASSERT_NE(nullptr, fake);
  ASSERT_NE(nullptr, failing);

  ComponentDescription effects = {kAudioUnitType_Effect, 0, kTest, 0, 0};
  EXPECT_EQ(fake, FindNextComponent(nullptr, &effects));
  EXPECT_EQ(failing, FindNextComponent(fake, &effects));
  EXPECT_EQ(nullptr, FindNextComponent(failing, &effects));

  ComponentDescription instruments = {kAudioUnitType_MusicDevice, 0, kTest, 0, 0};
  EXPECT_EQ(nullptr, FindNextComponent(nullptr, &instruments));
  EXPECT_EQ(0, CountComponents(&instruments));

  // Registered components have no flags: a mask bit that asks for one excludes them.
  ComponentDescription flagged = {kAudioUnitType_Effect, kFake, kTest, 1, 1};
  EXPECT_EQ(0, CountComponents(&flagged));
  flagged.componentFlagsMask = 0;
  EXPECT_EQ(1, CountComponents(&flagged));

  EXPECT_GE(CountComponents(nullptr), 3);
  EXPECT_NE(nullptr, FindNextComponent(nullptr, nullptr));
}

TEST(ComponentRegistration, ComponentInfoGivesDescriptionAndPascalName)
{
  Component fake = FakeComponent();
  ComponentDescription cd = {};
  Handle name = NewHandle(0);
  Handle info = NewHandle(4);
  ASSERT_EQ(noErr, GetComponentInfo(fake, &cd, name, info, nullptr));
  EXPECT_EQ(static_cast<OSType>(kAudioUnitType_Effect), cd.componentType);
  EXPECT_EQ(kFake, cd.componentSubType);
  EXPECT_EQ(kTest, cd.componentManufacturer);
  EXPECT_EQ(0u, cd.componentFlags);
  EXPECT_EQ(0u, cd.componentFlagsMask);
  EXPECT_EQ("tEst: FakeUnit", PascalString(name));
  EXPECT_EQ(15, GetHandleSize(name));
  EXPECT_EQ(1, GetHandleSize(info));
  EXPECT_EQ(0, **info);
  EXPECT_EQ(noErr, GetComponentInfo(fake, nullptr, nullptr, nullptr, nullptr));
  DisposeHandle(name);
  DisposeHandle(info);

  // An instance handle stands for its component.
  ComponentInstance instance = OpenComponent(fake);
  ASSERT_NE(nullptr, instance);
  ComponentDescription fromInstance = {};
  EXPECT_EQ(noErr, GetComponentInfo(reinterpret_cast<Component>(instance), &fromInstance, nullptr,
                                    nullptr, nullptr));
  EXPECT_EQ(kFake, fromInstance.componentSubType);
  EXPECT_EQ(noErr, CloseComponent(instance));

  EXPECT_EQ(invalidComponentID, GetComponentInfo(nullptr, &cd, nullptr, nullptr, nullptr));
  alignas(8) unsigned char notAComponent[64] = {};
  EXPECT_EQ(invalidComponentID, GetComponentInfo(reinterpret_cast<Component>(notAComponent), &cd,
                                                 nullptr, nullptr, nullptr));
}

TEST(ComponentRegistration, BadBundlesAreRefusedWithClearErrors)
{
  TempFolder temp;
  const std::string& dir = temp.Path();
  ASSERT_FALSE(dir.empty());
  const std::string module = FakeModulePath();
  Component out = reinterpret_cast<Component>(&out);

  EXPECT_EQ(paramErr, RegisterComponentBundle(nullptr, &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(paramErr, RegisterComponentBundle("", nullptr));
  EXPECT_EQ(fnfErr, RegisterWritten(dir + "/Missing.component"));
  EXPECT_NE(std::string::npos, std::string(GetComponentRegistrationMessage()).find("Missing"));

  EXPECT_EQ(invalidComponentID,
            RegisterWritten(WriteBundle(dir, "NoList", "com.tolvane.tests.NoList", "", module)));
  EXPECT_EQ(invalidComponentID,
            RegisterWritten(WriteBundle(
                dir, "NoId", "", ComponentEntryXml("aufx", "NoId", "FakeUnit_Entry"), module)));
  EXPECT_EQ(invalidComponentID, RegisterWritten(WriteBundle(
                                    dir, "LongCode", "com.tolvane.tests.LongCode",
                                    ComponentEntryXml("aufxx", "Long", "FakeUnit_Entry"), module)));
  EXPECT_EQ(invalidComponentID,
            RegisterWritten(WriteBundle(dir, "NoEntry", "com.tolvane.tests.NoEntry",
                                        ComponentEntryXml("aufx", "NoEn", ""), module)));
  EXPECT_EQ(fnfErr, RegisterWritten(WriteBundle(dir, "NoModule", "com.tolvane.tests.NoModule",
                                                ComponentEntryXml("aufx", "NoMo", "X_Entry"), "")));

  const std::string notAModule = dir + "/not-a-module";
  FILE* text = fopen(notAModule.c_str(), "w");
  ASSERT_NE(nullptr, text);
  fputs("not a shared library\n", text);
  fclose(text);
  EXPECT_EQ(unresolvedComponentDLLErr,
            RegisterWritten(WriteBundle(dir, "TextModule", "com.tolvane.tests.TextModule",
                                        ComponentEntryXml("aufx", "Text", "X_Entry"), notAModule)));
  EXPECT_NE(std::string::npos, std::string(GetComponentRegistrationMessage()).find("TextModule"));

  for (OSType subtype : {0x4e6f4964u, 0x4c6f6e67u, 0x4e6f456eu, 0x4e6f4d6fu, 0x54657874u})
    EXPECT_EQ(0, CountWithSubtype(subtype));
}

TEST(ComponentRegistration, AMissingEntrySymbolRegistersNothingOfTheBundle)
{
  TempFolder temp;
  const std::string entries = ComponentEntryXml("aufx", "Good", "FakeUnit_Entry") +
                              ComponentEntryXml("aufx", "Nope", "Nope_Entry");
  Component out = nullptr;
  EXPECT_EQ(cfragNoSymbolErr,
            RegisterWritten(WriteBundle(temp.Path(), "HalfGood", "com.tolvane.tests.HalfGood",
                                        entries, FakeModulePath()),
                            &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_NE(std::string::npos, std::string(GetComponentRegistrationMessage()).find("Nope_Entry"));
  EXPECT_EQ(0, CountWithSubtype(0x476f6f64)); // 'Good'
  EXPECT_EQ(nullptr, CFBundleGetBundleWithIdentifier(CFSTR("com.tolvane.tests.HalfGood")));
}

TEST(ComponentRegistration, UnregisterWaitsForInstancesAndHidesTheComponent)
{
  TempFolder temp;
  Component component = nullptr;
  ASSERT_EQ(noErr, RegisterWritten(WriteBundle(temp.Path(), "Leaving", "com.tolvane.tests.Leaving",
                                               ComponentEntryXml("aufx", "Leav", "FakeUnit_Entry"),
                                               FakeModulePath()),
                                   &component));
  ComponentInstance instance = OpenComponent(component);
  ASSERT_NE(nullptr, instance);
  EXPECT_EQ(validInstancesExist, UnregisterComponent(component));
  EXPECT_EQ(noErr, CloseComponent(instance));
  EXPECT_EQ(noErr, UnregisterComponent(component));
  EXPECT_EQ(invalidComponentID, UnregisterComponent(component));
  EXPECT_EQ(0, CountWithSubtype(0x4c656176)); // 'Leav'
  EXPECT_EQ(nullptr, OpenComponent(component));
}
