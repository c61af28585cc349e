#include "tests/platform/cf/CFTestHelpers.h"
#include "tests/platform/cf/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <unistd.h>

namespace
{

CFURLRef WebURL(const char* text)
{
  Owned<CFStringRef> string(Str(text));
  return CFURLCreateWithString(nullptr, string, nullptr);
}

CFURLRef PathURL(const char* path, bool isDirectory)
{
  Owned<CFStringRef> string(Str(path));
  return CFURLCreateWithFileSystemPath(nullptr, string, kCFURLPOSIXPathStyle, isDirectory);
}

std::string FileSystemPath(CFURLRef url)
{
  UInt8 buffer[PATH_MAX];
  if (!CFURLGetFileSystemRepresentation(url, true, buffer, sizeof(buffer))) return "<none>";
  return reinterpret_cast<const char*>(buffer);
}

std::string CopiedPath(CFURLRef url)
{
  Owned<CFStringRef> path(CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle));
  return Text(path);
}

} // namespace

TEST(CFURL, FilePathsAreEscapedAndComeBackPlain)
{
  Owned<CFURLRef> url(PathURL("/tmp/my folder/TopBig #1.png", false));
  EXPECT_EQ(Text(CFURLGetString(url)), "file:///tmp/my%20folder/TopBig%20%231.png");
  EXPECT_EQ(FileSystemPath(url), "/tmp/my folder/TopBig #1.png");
  EXPECT_EQ(CopiedPath(url), "/tmp/my folder/TopBig #1.png");
  EXPECT_FALSE(CFURLHasDirectoryPath(url));
  Owned<CFStringRef> last(CFURLCopyLastPathComponent(url));
  EXPECT_EQ(Text(last), "TopBig #1.png");
  Owned<CFStringRef> extension(CFURLCopyPathExtension(url));
  EXPECT_EQ(Text(extension), "png");

  Owned<CFURLRef> folder(PathURL("/tmp/Bundles", true));
  EXPECT_EQ(Text(CFURLGetString(folder)), "file:///tmp/Bundles/");
  EXPECT_EQ(FileSystemPath(folder), "/tmp/Bundles");
  Owned<CFURLRef> root(PathURL("/", true));
  EXPECT_EQ(FileSystemPath(root), "/");

  const UInt8 raw[] = "/a/b\0ignored";
  Owned<CFURLRef> fromBytes(
      CFURLCreateFromFileSystemRepresentation(nullptr, raw, sizeof(raw), false));
  EXPECT_EQ(FileSystemPath(fromBytes), "/a/b");
  EXPECT_EQ(PathURL("", false), nullptr);
  Owned<CFStringRef> path(Str("/x"));
  EXPECT_EQ(CFURLCreateWithFileSystemPath(nullptr, path, kCFURLHFSPathStyle, false), nullptr);
}

TEST(CFURL, RelativeFilePathsStartAtTheWorkingDirectory)
{
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
  Owned<CFURLRef> url(PathURL("sub/file.txt", false));
  EXPECT_EQ(FileSystemPath(url), std::string(cwd) + "/sub/file.txt");
}

TEST(CFURL, WebAddressesKeepTheirParts)
{
  Owned<CFURLRef> url(WebURL("http://user@www.example.com:8080/a%20b/c.html?q=1#top"));
  ASSERT_NE(url.get(), nullptr);
  Owned<CFStringRef> scheme(CFURLCopyScheme(url)), host(CFURLCopyHostName(url)),
      rawPath(CFURLCopyPath(url));
  EXPECT_EQ(Text(scheme), "http");
  EXPECT_EQ(Text(host), "www.example.com");
  EXPECT_EQ(Text(rawPath), "/a%20b/c.html");
  EXPECT_EQ(CopiedPath(url), "/a b/c.html");
  EXPECT_EQ(FileSystemPath(url), "<none>"); // not a file URL

  EXPECT_EQ(WebURL("http://bad host/"), nullptr);
  EXPECT_EQ(WebURL("http://x/%zz"), nullptr);
  EXPECT_EQ(WebURL("http://x/%4"), nullptr);
  EXPECT_EQ(WebURL(""), nullptr);
  Owned<CFURLRef> same(WebURL("http://user@www.example.com:8080/a%20b/c.html?q=1#top"));
  EXPECT_TRUE(CFEqual(url, same));
  EXPECT_EQ(CFHash(url), CFHash(same));
}

TEST(CFURL, RelativeReferencesResolveAgainstTheBase)
{
  Owned<CFURLRef> base(WebURL("http://a/b/c/d;p?q"));
  auto resolve = [&](const char* reference)
  {
    Owned<CFStringRef> string(Str(reference));
    Owned<CFURLRef> url(CFURLCreateWithString(nullptr, string, base));
    return Text(CFURLGetString(url));
  };
  EXPECT_EQ(resolve("g"), "http://a/b/c/g");
  EXPECT_EQ(resolve("./g/"), "http://a/b/c/g/");
  EXPECT_EQ(resolve("/g"), "http://a/g");
  EXPECT_EQ(resolve("//g"), "http://g");
  EXPECT_EQ(resolve("?y"), "http://a/b/c/d;p?y");
  EXPECT_EQ(resolve("#s"), "http://a/b/c/d;p?q#s");
  EXPECT_EQ(resolve("../../g"), "http://a/g");
  EXPECT_EQ(resolve("../../../g"), "http://a/g");
  EXPECT_EQ(resolve("https://other/x"), "https://other/x");
}

TEST(CFURL, PathComponentsAppendAndDelete)
{
  Owned<CFURLRef> folder(PathURL("/bundles/TolvaneDelay.component", true));
  Owned<CFURLRef> contents(
      CFURLCreateCopyAppendingPathComponent(nullptr, folder, CFSTR("Contents"), true));
  Owned<CFURLRef> plist(
      CFURLCreateCopyAppendingPathComponent(nullptr, contents, CFSTR("Info.plist"), false));
  EXPECT_EQ(FileSystemPath(plist), "/bundles/TolvaneDelay.component/Contents/Info.plist");
  Owned<CFURLRef> up(CFURLCreateCopyDeletingLastPathComponent(nullptr, plist));
  EXPECT_EQ(Text(CFURLGetString(up)), "file:///bundles/TolvaneDelay.component/Contents/");
  Owned<CFURLRef> stem(CFURLCreateCopyDeletingPathExtension(nullptr, plist));
  EXPECT_EQ(FileSystemPath(stem), "/bundles/TolvaneDelay.component/Contents/Info");
  Owned<CFURLRef> png(CFURLCreateCopyAppendingPathExtension(nullptr, stem, CFSTR("png")));
  EXPECT_EQ(FileSystemPath(png), "/bundles/TolvaneDelay.component/Contents/Info.png");

  Owned<CFURLRef> web(WebURL("http://host?x=1"));
  Owned<CFURLRef> page(CFURLCreateCopyAppendingPathComponent(nullptr, web, CFSTR("a b"), false));
  EXPECT_EQ(Text(CFURLGetString(page)), "http://host/a%20b?x=1");
}

TEST(CFURL, FilesAreReadAndReplacedWhole)
{
  TempFolder temp;
  std::string path = temp.Write("data.bin", std::string("\0\1\2three", 8));
  Owned<CFURLRef> url(PathURL(path.c_str(), false));
  CFDataRef data = nullptr;
  CFDictionaryRef properties = reinterpret_cast<CFDictionaryRef>(1);
  SInt32 error = 1;
  ASSERT_TRUE(
      CFURLCreateDataAndPropertiesFromResource(nullptr, url, &data, &properties, nullptr, &error));
  EXPECT_EQ(error, 0);
  EXPECT_EQ(properties, nullptr);
  EXPECT_EQ(CFDataGetLength(data), 8);

  Owned<CFURLRef> copyURL(PathURL((temp.Path() + "/copy.bin").c_str(), false));
  EXPECT_TRUE(CFURLWriteDataAndPropertiesToResource(copyURL, data, nullptr, &error));
  CFDataRef back = nullptr;
  EXPECT_TRUE(
      CFURLCreateDataAndPropertiesFromResource(nullptr, copyURL, &back, nullptr, nullptr, &error));
  EXPECT_TRUE(CFEqual(back, data));
  CFRelease(back);
  CFRelease(data);

  Owned<CFURLRef> missing(PathURL((temp.Path() + "/missing").c_str(), false));
  data = reinterpret_cast<CFDataRef>(1);
  EXPECT_FALSE(
      CFURLCreateDataAndPropertiesFromResource(nullptr, missing, &data, nullptr, nullptr, &error));
  EXPECT_EQ(error, kCFURLResourceNotFoundError);
  EXPECT_EQ(data, nullptr);
  Owned<CFURLRef> folder(PathURL(temp.Path().c_str(), true));
  EXPECT_FALSE(
      CFURLCreateDataAndPropertiesFromResource(nullptr, folder, &data, nullptr, nullptr, &error));
  Owned<CFURLRef> web(WebURL("http://example.com/x"));
  EXPECT_FALSE(
      CFURLCreateDataAndPropertiesFromResource(nullptr, web, &data, nullptr, nullptr, &error));
  EXPECT_EQ(error, kCFURLUnknownSchemeError);
  Owned<CFURLRef> noFolder(PathURL((temp.Path() + "/none/x.bin").c_str(), false));
  Owned<CFDataRef> small(CFDataCreate(nullptr, reinterpret_cast<const UInt8*>("x"), 1));
  EXPECT_FALSE(CFURLWriteDataAndPropertiesToResource(noFolder, small, nullptr, &error));
  EXPECT_EQ(error, kCFURLResourceNotFoundError);
}
