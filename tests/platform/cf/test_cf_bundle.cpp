#include "tests/platform/cf/CFTestHelpers.h"
#include "tests/platform/cf/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace
{

// The main bundle reads its identifier once, so the variable is set before any test runs.
const bool kMainBundleIdSet = setenv("TOLVANE_MAIN_BUNDLE_ID", "com.tolvane.tests.host", 1) == 0;

const char* const kInfoPlist = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
  <key>CFBundleIdentifier</key><string>com.tolvane.tests.Sample</string>
  <key>CFBundleName</key><string>Sample</string>
  <key>CFBundleExecutable</key><string>Sample</string>
  <key>CFBundleVersion</key><string>1.0.0</string>
  <key>AudioComponents</key>
  <array><dict><key>version</key><integer>65536</integer></dict></array>
</dict>
</plist>
)";

// Lays out Sample.component with Info.plist, module and two resources.
std::string MakeBundle(const TempFolder& temp, const char* info = kInfoPlist)
{
  std::string bundle = temp.MakeFolder("Sample.component");
  temp.MakeFolder("Sample.component/Contents/MacOS");
  temp.MakeFolder("Sample.component/Contents/Resources/img");
  temp.Write("Sample.component/Contents/Info.plist", info);
  temp.Write("Sample.component/Contents/MacOS/Sample", "module");
  temp.Write("Sample.component/Contents/Resources/TopBig.png", "png");
  temp.Write("Sample.component/Contents/Resources/img/Knob.png", "png");
  return bundle;
}

CFBundleRef OpenBundle(const std::string& path)
{
  Owned<CFStringRef> string(Str(path.c_str()));
  Owned<CFURLRef> url(CFURLCreateWithFileSystemPath(nullptr, string, kCFURLPOSIXPathStyle, true));
  return CFBundleCreate(nullptr, url);
}

std::string PathOf(CFURLRef url)
{
  UInt8 buffer[PATH_MAX];
  if (!url || !CFURLGetFileSystemRepresentation(url, true, buffer, sizeof(buffer))) return "<none>";
  return reinterpret_cast<const char*>(buffer);
}

std::string ResourcePath(CFBundleRef bundle, CFStringRef name, CFStringRef type, CFStringRef sub)
{
  Owned<CFURLRef> url(CFBundleCopyResourceURL(bundle, name, type, sub));
  return PathOf(url);
}

} // namespace

TEST(CFBundle, ReadsInfoPlistAndFindsItsFiles)
{
  TempFolder temp;
  std::string path = MakeBundle(temp);
  Owned<CFBundleRef> bundle(OpenBundle(path));
  ASSERT_NE(bundle.get(), nullptr);
  EXPECT_EQ(Text(CFBundleGetIdentifier(bundle)), "com.tolvane.tests.Sample");
  EXPECT_TRUE(
      CFEqual(CFBundleGetValueForInfoDictionaryKey(bundle, kCFBundleNameKey), CFSTR("Sample")));
  CFArrayRef components = static_cast<CFArrayRef>(
      CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("AudioComponents")));
  ASSERT_EQ(CFGetTypeID(components), CFArrayGetTypeID());
  EXPECT_EQ(CFArrayGetCount(components), 1);
  EXPECT_EQ(CFDictionaryGetCount(CFBundleGetInfoDictionary(bundle)), 5);

  Owned<CFURLRef> bundleURL(CFBundleCopyBundleURL(bundle));
  EXPECT_EQ(PathOf(bundleURL), path);
  Owned<CFURLRef> executable(CFBundleCopyExecutableURL(bundle));
  EXPECT_EQ(PathOf(executable), path + "/Contents/MacOS/Sample");
  Owned<CFURLRef> resources(CFBundleCopyResourcesDirectoryURL(bundle));
  EXPECT_EQ(PathOf(resources), path + "/Contents/Resources");

  EXPECT_EQ(ResourcePath(bundle, CFSTR("TopBig"), CFSTR("png"), nullptr),
            path + "/Contents/Resources/TopBig.png");
  EXPECT_EQ(ResourcePath(bundle, CFSTR("TopBig.png"), nullptr, nullptr),
            path + "/Contents/Resources/TopBig.png");
  EXPECT_EQ(ResourcePath(bundle, CFSTR("Knob"), CFSTR(".png"), CFSTR("img")),
            path + "/Contents/Resources/img/Knob.png");
  EXPECT_EQ(ResourcePath(bundle, CFSTR("Knob"), CFSTR("png"), nullptr), "<none>");
  EXPECT_EQ(ResourcePath(bundle, CFSTR("TopBig"), CFSTR("jpg"), nullptr), "<none>");
}

TEST(CFBundle, RegistryFindsLiveBundlesByIdentifier)
{
  TempFolder temp;
  std::string path = MakeBundle(temp);
  Owned<CFStringRef> identifier(Str("com.tolvane.tests.Sample"));
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(identifier), nullptr);
  CFBundleRef bundle = OpenBundle(path);
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(identifier), bundle);
  EXPECT_EQ(CFGetRetainCount(bundle), 1); // lookups borrow

  CFBundleRef again = OpenBundle(path + "/"); // same folder: the same bundle, retained
  EXPECT_EQ(again, bundle);
  EXPECT_EQ(CFGetRetainCount(bundle), 2);
  CFRelease(again);
  CFRelease(bundle);
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(identifier), nullptr);
}

TEST(CFBundle, DamagedOrMissingInfoGivesAnEmptyDictionary)
{
  TempFolder temp;
  Owned<CFBundleRef> damaged(OpenBundle(MakeBundle(temp, "<plist><dict><key>x")));
  ASSERT_NE(damaged.get(), nullptr);
  EXPECT_EQ(CFBundleGetIdentifier(damaged), nullptr);
  EXPECT_EQ(CFDictionaryGetCount(CFBundleGetInfoDictionary(damaged)), 0);
  EXPECT_EQ(CFBundleCopyExecutableURL(damaged), nullptr);

  std::string flat = temp.MakeFolder("Flat");
  temp.Write("Flat/Info.plist", kInfoPlist);
  temp.Write("Flat/image.png", "png");
  Owned<CFBundleRef> flatBundle(OpenBundle(flat));
  EXPECT_EQ(Text(CFBundleGetIdentifier(flatBundle)), "com.tolvane.tests.Sample");
  EXPECT_EQ(ResourcePath(flatBundle, CFSTR("image"), CFSTR("png"), nullptr), flat + "/image.png");
  EXPECT_EQ(CFBundleCopyExecutableURL(flatBundle), nullptr); // no Sample file beside it

  EXPECT_EQ(OpenBundle(temp.Path() + "/nothing-here"), nullptr);
  EXPECT_EQ(OpenBundle(temp.Write("file", "x")), nullptr);
  Owned<CFURLRef> web(CFURLCreateWithString(nullptr, CFSTR("http://example.com/"), nullptr));
  EXPECT_EQ(CFBundleCreate(nullptr, web), nullptr);
}

TEST(CFBundle, MainBundleIsTheRunningProgram)
{
  ASSERT_TRUE(kMainBundleIdSet);
  CFBundleRef main = CFBundleGetMainBundle();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(CFBundleGetMainBundle(), main);
  EXPECT_EQ(Text(CFBundleGetIdentifier(main)), "com.tolvane.tests.host");
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.tolvane.tests.host")), main);
  Owned<CFURLRef> executable(CFBundleCopyExecutableURL(main));
  char self[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
  ASSERT_GT(length, 0);
  self[length] = 0;
  EXPECT_EQ(PathOf(executable), self);
}
