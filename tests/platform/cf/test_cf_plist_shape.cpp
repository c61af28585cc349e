// Hostile property lists: deep nesting, shared subtrees, cycles and keys holding a NUL are
// refused with an error before the bytes reach the parser.
#include "tests/platform/cf/BinaryPlistBuilder.h"
#include "tests/platform/cf/CFTestHelpers.h"

#include <gtest/gtest.h>

namespace
{

using B = BinaryPlistBuilder;

// Parses the bytes; true when a list came back. A refusal must come with a read error.
bool Accepted(const std::string& bytes)
{
  Owned<CFDataRef> data(
      CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()), (CFIndex)bytes.size()));
  CFErrorRef error = nullptr;
  Owned<CFPropertyListRef> list(
      CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, nullptr, &error));
  if (list.get()) return true;
  EXPECT_NE(error, nullptr);
  if (error)
  {
    EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListReadCorruptError);
    CFRelease(error);
  }
  return false;
}

// A dictionary whose one key is the given string object and whose value is true.
std::string DictWithKey(const std::string& key)
{
  B b;
  b.Add(B::Dict({1}, {2}));
  b.Add(key);
  b.Add("\x09");
  return b.Finish(0);
}

std::string Repeat(const std::string& text, int times)
{
  std::string out;
  for (int i = 0; i < times; ++i)
    out += text;
  return out;
}

std::string XmlNested(int levels, const std::string& inner = "")
{
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist>\n<plist version=\"1.0\">" +
         Repeat("<array>", levels) + inner + Repeat("</array>", levels) + "</plist>";
}

} // namespace

TEST(BinaryPlistShape, NestingUpToTheLimitReadsAndDeeperIsRefused)
{
  EXPECT_TRUE(Accepted(NestedArrays(400)));
  EXPECT_FALSE(Accepted(NestedArrays(600)));
  // 90,000 levels in 810 KB used to exhaust the parser's stack.
  const std::string deep = NestedArrays(90000);
  EXPECT_EQ(deep.size(), 810036u);
  EXPECT_FALSE(Accepted(deep));
}

TEST(BinaryPlistShape, KeysHoldingNulAreRefused)
{
  EXPECT_TRUE(Accepted(DictWithKey(B::Utf16({'k', 0xe9}))));
  EXPECT_TRUE(Accepted(DictWithKey(B::Ascii("name"))));
  // The parser aborts the process on such a key.
  EXPECT_FALSE(Accepted(DictWithKey(B::Utf16({'k', 0x0000, 'y'}))));
  EXPECT_FALSE(Accepted(DictWithKey(B::Ascii(std::string("k\0y", 3)))));
  // Keys must be strings.
  EXPECT_FALSE(Accepted(DictWithKey("\x10\x07")));
}

TEST(BinaryPlistShape, SharedSubtreesAreCountedAsExpanded)
{
  // A string shared by many dictionaries, as writers that unique values make them.
  B shared;
  const std::uint32_t key = 0;
  shared.Add(B::Ascii("name"));
  std::vector<std::uint32_t> items;
  for (std::uint32_t i = 0; i < 100; ++i)
    items.push_back(shared.Add(B::Dict({key}, {key})));
  const std::uint32_t root = shared.Add(B::Array(items));
  EXPECT_TRUE(Accepted(shared.Finish(root)));

  // n arrays each holding the next twice stand for 2^(n+1) - 1 values: 60 of them for 2^61,
  // 19 (a file of a few hundred bytes) for a million, which took seconds to read and write back.
  const auto doubling = [](std::uint32_t n) {
    B b;
    for (std::uint32_t i = 0; i < n; ++i)
      b.Add(B::Array({i + 1, i + 1}));
    b.Add(B::Array({}));
    return b.Finish(0);
  };
  EXPECT_FALSE(Accepted(doubling(60)));
  EXPECT_FALSE(Accepted(doubling(19)));
  EXPECT_FALSE(Accepted(doubling(16)));
  EXPECT_TRUE(Accepted(doubling(14)));
}

TEST(BinaryPlistShape, CyclesAndReferencesOutsideTheTableAreRefused)
{
  B cycle;
  cycle.Add(B::Array({1}));
  cycle.Add(B::Array({0}));
  EXPECT_FALSE(Accepted(cycle.Finish(0)));

  B outside;
  outside.Add(B::Array({7}));
  EXPECT_FALSE(Accepted(outside.Finish(0)));

  // An element count that runs past the objects.
  B counted;
  counted.Add(B::Marker(0xa, 1000000) + B::Ref(0));
  EXPECT_FALSE(Accepted(counted.Finish(0)));

  // Root outside the table, and a truncated trailer.
  EXPECT_FALSE(Accepted(NestedArrays(3).substr(0, 50)));
  std::string badRoot = NestedArrays(2);
  badRoot[badRoot.size() - 9] = 9;
  EXPECT_FALSE(Accepted(badRoot));
}

TEST(XmlPlistShape, NestingUpToTheLimitReadsAndDeeperIsRefused)
{
  EXPECT_TRUE(Accepted(XmlNested(400, "<array/><dict></dict><dict/>")));
  EXPECT_FALSE(Accepted(XmlNested(600)));
  EXPECT_FALSE(Accepted(XmlNested(
      505, "<dict><key>k</key>" + Repeat("<array>", 10) + Repeat("</array>", 10) + "</dict>")));
  // A million levels (15 MB) used to exhaust the stack when the parsed tree was freed.
  EXPECT_FALSE(Accepted(XmlNested(1000000)));
}

TEST(XmlPlistShape, ContainerTagsInCommentsAndTextDoNotCount)
{
  const std::string many = Repeat("<array>", 600);
  EXPECT_TRUE(Accepted(XmlNested(2, "<!-- " + many + " -->")));
  EXPECT_TRUE(Accepted(XmlNested(2, "<string><![CDATA[" + many + "]]></string>")));
  EXPECT_TRUE(Accepted(XmlNested(2, "<string>" + Repeat("&lt;array&gt;", 600) + "</string>")));
}
