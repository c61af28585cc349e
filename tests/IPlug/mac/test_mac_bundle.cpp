// The binding's services from the plug-in's bundle: the module's path, the
// folder holding the bundle, and PNG resources found by name.

#include "IPlug/IGraphicsMac.h"
#include "tests/IPlug/editor/EditorTestSupport.h"

#include <CoreServices/CoreServices.h>
#if __has_include(<StandInExtensions.h>)
#include <StandInExtensions.h>
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace
{
const char* const kBundleID = "com.tolvane.audiounit.TolvaneDelay";

std::string ComponentsDir()
{
  const char* dir = std::getenv("TOLVANE_COMPONENTS_DIR");
  return dir ? dir : TOLVANE_COMPONENTS_DIR_DEFAULT;
}

class MacBundle : public ::testing::Test
{
protected:
  void SetUp() override
  {
    const std::string bundle = ComponentsDir() + "/TolvaneDelay.component";
    ASSERT_EQ(RegisterComponentBundle(bundle.c_str(), nullptr), noErr)
        << GetComponentRegistrationMessage();
    gui.SetBundleID(kBundleID);
  }

  GesturePlug plug{1};
  IGraphicsMac gui{&plug, 100, 100, 0};
};
} // namespace

TEST_F(MacBundle, PathsOfTheModuleAndOfTheFolderHoldingTheBundle)
{
  WDL_String host, plugin;
  gui.HostPath(&host);
  gui.PluginPath(&plugin);
  const std::string dir = ComponentsDir();
  EXPECT_EQ(std::string(host.Get()), dir + "/TolvaneDelay.component/Contents/MacOS/TolvaneDelay");
  EXPECT_EQ(std::string(plugin.Get()), dir + "/");
}

TEST_F(MacBundle, PicturesLoadByTheirLastPathComponent)
{
  std::unique_ptr<LICE_IBitmap> knob(LoadImgFromResourceOSX(kBundleID, "resources/img/TopBig.png"));
  ASSERT_NE(knob, nullptr);
  EXPECT_GT(knob->getWidth(), 0);
  std::unique_ptr<LICE_IBitmap> upper(gui.OSLoadBitmap(0, "elsewhere/TopBig.PNG"));
  EXPECT_NE(upper, nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX(kBundleID, "resources/img/TopBig.jpg"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX(kBundleID, "resources/img/TopBig"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX(kBundleID, "resources/img/Nothing.png"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX("org.example.unknown", "resources/img/TopBig.png"), nullptr);
}
