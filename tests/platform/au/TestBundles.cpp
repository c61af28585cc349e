#include "tests/platform/au/TestBundles.h"

#include <gtest/gtest.h>

#include <StandInExtensions.h>
#include <dlfcn.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace au_test
{

namespace fs = std::filesystem;

namespace
{

Component FindFake(OSType subtype)
{
  Component first = nullptr;
  EXPECT_EQ(noErr, RegisterComponentBundle(FAKE_UNIT_BUNDLE, &first))
      << GetComponentRegistrationMessage();
  ComponentDescription looking = {kAudioUnitType_Effect, subtype, 0x74457374 /* 'tEst' */, 0, 0};
  return FindNextComponent(nullptr, &looking);
}

} // namespace

Component FakeComponent()
{
  return FindFake(0x46616b65); // 'Fake'
}

Component FailingOpenComponent()
{
  return FindFake(0x4661696c); // 'Fail'
}

std::string FakeModulePath()
{
  return std::string(FAKE_UNIT_BUNDLE) + "/Contents/MacOS/FakeUnit";
}

FakeUnitCounters& Counters()
{
  FakeComponent();
  void* module = dlopen(FakeModulePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
  auto counters = reinterpret_cast<FakeUnitCounters* (*)()>(dlsym(module, "FakeUnit_Counters"));
  dlclose(module); // drops only the reference taken here
  return *counters();
}

FakeUnitState* StateOf(ComponentInstance instance)
{
  return reinterpret_cast<FakeUnitState*>(GetComponentInstanceStorage(instance));
}

TempFolder::TempFolder()
{
  std::string pattern = (fs::temp_directory_path() / "tolvane_au_XXXXXX").string();
  mPath = mkdtemp(pattern.data()) ? pattern : std::string();
}

TempFolder::~TempFolder()
{
  std::error_code ignored;
  if (!mPath.empty()) fs::remove_all(mPath, ignored);
}

std::string ComponentEntryXml(const std::string& type, const std::string& subtype,
                              const std::string& factoryFunction)
{
  std::string xml = "<dict><key>type</key><string>" + type + "</string><key>subtype</key><string>" +
                    subtype +
                    "</string><key>manufacturer</key><string>tEst</string>"
                    "<key>name</key><string>tEst: " +
                    subtype + "</string>";
  if (!factoryFunction.empty())
    xml += "<key>factoryFunction</key><string>" + factoryFunction + "</string>";
  return xml + "</dict>";
}

std::string WriteBundle(const std::string& folder, const std::string& name,
                        const std::string& identifier, const std::string& componentsXml,
                        const std::string& moduleSource)
{
  const fs::path bundle = fs::path(folder) / (name + ".component");
  fs::create_directories(bundle / "Contents" / "MacOS");
  std::ofstream plist(bundle / "Contents" / "Info.plist");
  plist << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>";
  if (!identifier.empty())
    plist << "<key>CFBundleIdentifier</key><string>" << identifier << "</string>";
  plist << "<key>CFBundleExecutable</key><string>" << name << "</string>";
  if (!componentsXml.empty())
    plist << "<key>AudioComponents</key><array>" << componentsXml << "</array>";
  plist << "</dict></plist>\n";
  if (!moduleSource.empty()) fs::copy_file(moduleSource, bundle / "Contents" / "MacOS" / name);
  return bundle.string();
}

} // namespace au_test
