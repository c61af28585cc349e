#include "TestPlug.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
std::vector<double> SnapshotValues(const IPreset* preset)
{
  std::vector<double> values;
  double v;
  for (int pos = 0; (pos = preset->mChunk.Get(&v, pos)) > 0;)
    values.push_back(v);
  return values;
}

std::vector<double> ParamValues(const IPlugBase& plug)
{
  std::vector<double> values;
  for (int i = 0; i < plug.NParams(); ++i)
    values.push_back(plug.GetParam(i)->Value());
  return values;
}

std::string ReadFile(const std::string& path)
{
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Gives each test its own file name and removes the file afterwards.
struct TempFile
{
  std::string path;
  explicit TempFile(const char* tag)
      : path(::testing::TempDir() + "iplug_" + tag + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name())
  {
  }
  ~TempFile() { std::remove(path.c_str()); }
};

// Exposes the preset list for inspection.
struct PresetPlug : TestPlug
{
  using TestPlug::TestPlug;
  IPreset* Preset(int idx) { return mPresets.Get(idx); }
};
} // namespace

TEST(Presets, SlotsStartBlankAndNamedEmpty)
{
  PresetPlug plug(2, "1-1", 3);
  EXPECT_EQ(plug.NPresets(), 3);
  EXPECT_STREQ(plug.GetPresetName(2), "empty");
  EXPECT_STREQ(plug.GetPresetName(3), "");
  EXPECT_FALSE(plug.Preset(0)->mInitialized);
  EXPECT_EQ(plug.Preset(0)->mChunk.Size(), 0);
}

TEST(Presets, NamedParamsReadValuesByKindAndKeepTheRest)
{
  PresetPlug plug(4, "1-1", 3);
  plug.InitDoubles({1.0, 2.0, 3.0});
  plug.GetParam(3)->InitInt("i", 5, 0, 10);
  plug.MakePresetFromNamedParams("Named", 3, 2, 0.5, 3, 7, 2, 0.75);
  EXPECT_TRUE(plug.Preset(0)->mInitialized);
  EXPECT_STREQ(plug.GetPresetName(0), "Named");
  EXPECT_EQ(SnapshotValues(plug.Preset(0)), (std::vector<double>{1.0, 2.0, 0.75, 7.0}));

  // A value equal to the marker counts as not named; values are stored unclamped.
  plug.MakePresetFromNamedParams("Marker", 2, 0, 9.999e-8, 1, 1000.0);
  EXPECT_EQ(SnapshotValues(plug.Preset(1)), (std::vector<double>{1.0, 1000.0, 3.0, 5.0}));
}

TEST(Presets, FactoryPresetsFillBlankSlotsUntilNoneIsLeft)
{
  PresetPlug plug(2, "1-1", 2);
  plug.InitDoubles({10.0, 20.0});
  plug.MakePreset("All", 1.5, 2.5);
  plug.MakeDefaultPreset(); // "Empty" with the current values
  plug.MakePreset("Overflow", 0.0, 0.0);
  EXPECT_EQ(SnapshotValues(plug.Preset(0)), (std::vector<double>{1.5, 2.5}));
  EXPECT_STREQ(plug.GetPresetName(1), "Empty");
  EXPECT_EQ(SnapshotValues(plug.Preset(1)), (std::vector<double>{10.0, 20.0}));
  EXPECT_EQ(plug.NPresets(), 2);

  PresetPlug other(2, "1-1", 3);
  other.MakePreset("First", 1.0, 1.0);
  other.EnsureDefaultPreset();
  EXPECT_STREQ(other.GetPresetName(0), "First");
  EXPECT_STREQ(other.GetPresetName(2), "Empty");
  EXPECT_TRUE(other.Preset(2)->mInitialized);
}

TEST(Presets, LongNamesAreCutToTheField)
{
  PresetPlug plug(1, "1-1", 1);
  const std::string longName(400, 'n');
  plug.MakeDefaultPreset(longName.c_str(), 1);
  EXPECT_EQ(std::string(plug.GetPresetName(0)), longName.substr(0, 255));
}

TEST(Presets, PruneKeepsTheOrderOfInitialisedSlots)
{
  PresetPlug plug(1, "1-1", 5);
  plug.MakeDefaultPreset("a", 1);
  plug.MakeDefaultPreset("b", 1);
  plug.MakeDefaultPreset("c", 1);
  plug.Preset(1)->mInitialized = false; // a hole between "a" and "c"
  plug.PruneUninitializedPresets();
  ASSERT_EQ(plug.NPresets(), 2);
  EXPECT_STREQ(plug.GetPresetName(0), "a");
  EXPECT_STREQ(plug.GetPresetName(1), "c");
}

TEST(Presets, RestoreByIndex)
{
  PresetPlug plug(3, "1-1", 3);
  plug.InitDoubles({1.0, 2.0, 3.0});
  plug.MakePreset("P", 4.0, 5.0, 6.0);
  plug.paramChanges.clear();
  EXPECT_FALSE(plug.RestorePreset(5));
  EXPECT_FALSE(plug.RestorePreset(-1));
  EXPECT_EQ(ParamValues(plug), (std::vector<double>{1.0, 2.0, 3.0}));
  EXPECT_TRUE(plug.paramChanges.empty());

  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(ParamValues(plug), (std::vector<double>{4.0, 5.0, 6.0}));
  EXPECT_EQ(plug.paramChanges, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(plug.presetsChanged, 1);

  // An unreadable snapshot fails and keeps the current index.
  plug.Preset(1)->mInitialized = true;
  EXPECT_FALSE(plug.RestorePreset(1));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
}

TEST(Presets, BlankSlotsBecomeNumberedUserPresets)
{
  PresetPlug plug(1, "1-1", 4);
  plug.GetParam(0)->InitDouble("p", 3.0, 0.0, 10.0, 1.0);
  EXPECT_TRUE(plug.RestorePreset(1));
  EXPECT_STREQ(plug.GetPresetName(1), "user preset 1");
  EXPECT_EQ(SnapshotValues(plug.Preset(1)), (std::vector<double>{3.0}));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_TRUE(plug.RestorePreset(2));
  EXPECT_STREQ(plug.GetPresetName(2), "user preset 2");

  plug.Preset(0)->SetName("my user presets"); // counts: contains the words
  plug.Preset(0)->mInitialized = true;
  EXPECT_TRUE(plug.RestorePreset(3));
  EXPECT_STREQ(plug.GetPresetName(3), "user preset 4");
}

TEST(Presets, RestoreByNameTakesTheFirstExactMatch)
{
  PresetPlug plug(1, "1-1", 3);
  plug.GetParam(0)->InitDouble("p", 0.0, 0.0, 10.0, 1.0);
  plug.MakePreset("Twin", 1.0);
  plug.MakePreset("Twin", 2.0);
  EXPECT_FALSE(plug.RestorePreset(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(plug.RestorePreset(""));
  EXPECT_FALSE(plug.RestorePreset("twin"));
  EXPECT_TRUE(plug.RestorePreset("Twin"));
  EXPECT_EQ(plug.GetParam(0)->Value(), 1.0);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
}

TEST(Presets, ModifyCurrentPresetStoresTheCurrentValues)
{
  PresetPlug plug(1, "1-1", 2);
  plug.GetParam(0)->InitDouble("p", 0.0, 0.0, 10.0, 1.0);
  plug.MakePreset("Start", 1.0);
  plug.GetParam(0)->Set(9.0);
  plug.ModifyCurrentPreset();
  EXPECT_STREQ(plug.GetPresetName(0), "Start");
  EXPECT_EQ(SnapshotValues(plug.Preset(0)), (std::vector<double>{9.0}));
  plug.ModifyCurrentPreset("Renamed");
  EXPECT_STREQ(plug.GetPresetName(0), "Renamed");
}

TEST(Presets, SerializePresetsLayout)
{
  PresetPlug plug(2, "1-1", 2);
  plug.InitDoubles({1.0, 2.0});
  plug.MakePreset("A", 1.0, 2.0);
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializePresets(&chunk));
  ASSERT_EQ(chunk.Size(), 32);
  const unsigned char head[6] = {1, 0, 0, 0, 'A', 1};
  EXPECT_EQ(0, memcmp(chunk.GetBytes(), head, 6));
  double second;
  chunk.Get(&second, 14);
  EXPECT_EQ(second, 2.0);
  const unsigned char tail[10] = {5, 0, 0, 0, 'e', 'm', 'p', 't', 'y', 0};
  EXPECT_EQ(0, memcmp(chunk.GetBytes() + 22, tail, 10));
}

TEST(Presets, UnserializePresetsRoundTrip)
{
  PresetPlug source(2, "1-1", 3);
  source.InitDoubles({0.0, 0.0});
  source.MakePreset("One", 1.0, 2.0);
  source.MakePreset("Two", 3.0, 4.0);
  ByteChunk chunk;
  source.SerializePresets(&chunk);

  PresetPlug target(2, "1-1", 3);
  target.InitDoubles({0.0, 0.0});
  EXPECT_EQ(target.UnserializePresets(&chunk, 0), chunk.Size());
  EXPECT_STREQ(target.GetPresetName(1), "Two");
  EXPECT_EQ(SnapshotValues(target.Preset(1)), (std::vector<double>{3.0, 4.0}));
  EXPECT_STREQ(target.GetPresetName(2), "empty");
  EXPECT_FALSE(target.Preset(2)->mInitialized);
  // Ends in the current preset's state.
  EXPECT_EQ(ParamValues(target), (std::vector<double>{1.0, 2.0}));
}

TEST(Presets, AnEmptyStoredNameTakesThePreviousOne)
{
  ByteChunk chunk;
  chunk.PutStr("Kept");
  chunk.PutBool(false);
  chunk.PutStr("");
  chunk.PutBool(false);
  PresetPlug plug(1, "1-1", 2);
  plug.UnserializePresets(&chunk, 0);
  EXPECT_STREQ(plug.GetPresetName(1), "Kept");
}

TEST(Presets, UnserializePresetsStopsInsideACutSnapshot)
{
  PresetPlug source(2, "1-1", 2);
  source.InitDoubles({0.0, 0.0});
  source.MakePreset("One", 1.0, 2.0);
  source.MakePreset("Two", 3.0, 4.0);
  ByteChunk full;
  source.SerializePresets(&full);

  ByteChunk cut;
  cut.PutBytes(full.GetBytes(), full.Size() - 4); // ends inside "Two"'s second value
  PresetPlug target(2, "1-1", 2);
  target.InitDoubles({0.0, 0.0});
  target.MakePreset("Old", 8.0, 9.0);
  EXPECT_EQ(target.UnserializePresets(&cut, 0), -1);
  EXPECT_STREQ(target.GetPresetName(0), "One");
  EXPECT_EQ(SnapshotValues(target.Preset(0)), (std::vector<double>{1.0, 2.0}));
  EXPECT_STREQ(target.GetPresetName(1), "empty"); // the cut slot keeps what it had
  EXPECT_FALSE(target.Preset(1)->mInitialized);

  ByteChunk bogus; // a name length far beyond the data
  const int n = 0x7FFFFFF0;
  bogus.Put(&n);
  bogus.PutBytes("abc", 3);
  EXPECT_EQ(target.UnserializePresets(&bogus, 0), -1);
  EXPECT_STREQ(target.GetPresetName(0), "One");
}

TEST(Presets, Base64)
{
  const unsigned char data[5] = {'M', 'a', 'n', 'y', '!'};
  char text[16];
  EXPECT_EQ(Base64EncodedSize(5), 9);
  Base64Encode(data, 3, text);
  EXPECT_STREQ(text, "TWFu");
  Base64Encode(data, 4, text);
  EXPECT_STREQ(text, "TWFueQ==");
  Base64Encode(data, 5, text);
  EXPECT_STREQ(text, "TWFueSE=");
  const unsigned char all[3] = {0xFB, 0xEF, 0xFF};
  Base64Encode(all, 3, text);
  EXPECT_STREQ(text, "++//");

  unsigned char out[8] = {};
  EXPECT_EQ(Base64Decode("TWE=", out, 8), 2);
  EXPECT_EQ(out[1], 'a');
  EXPECT_EQ(Base64Decode("TWFu", out, 2), 2);  // stops at the byte limit
  EXPECT_EQ(Base64Decode("TW Fu", out, 8), 1); // white space ends the text
  EXPECT_EQ(Base64Decode("", out, 8), 0);
}

TEST(Presets, FromBlobPadsToTheGivenSize)
{
  PresetPlug plug(2, "1-1", 1);
  const double values[2] = {1.0, 2.0};
  char text[32];
  Base64Encode(reinterpret_cast<const unsigned char*>(values), 8, text); // first value only
  plug.MakePresetFromBlob("Blob", text, 16);
  EXPECT_STREQ(plug.GetPresetName(0), "Blob");
  EXPECT_EQ(SnapshotValues(plug.Preset(0)), (std::vector<double>{1.0, 0.0}));
}

TEST(Presets, SourceCodeDump)
{
  PresetPlug plug(3, "1-1", 1);
  plug.GetParam(0)->InitInt("i", 7, 0, 10);
  plug.GetParam(1)->InitBool("b", true);
  plug.GetParam(2)->InitDouble("d", 0.25, 0.0, 1.0, 0.01);
  const char* names[3] = {"kInt", "kBool", "kGain"};
  TempFile file("src");
  plug.DumpPresetSrcCode(file.path.c_str(), names);
  EXPECT_EQ(ReadFile(file.path), "  MakePresetFromNamedParams(\"name\", 3,\n"
                                 "    kInt, 7,\n"
                                 "    kBool, true,\n"
                                 "    kGain, 0.250000);\n");
  plug.DumpPresetSrcCode("/nonexistent-dir/x.txt", names); // skipped quietly
}

TEST(Presets, BlobDump)
{
  PresetPlug plug(1, "1-1", 1);
  plug.MakePreset("P", 1.0);
  TempFile file("blob");
  plug.DumpPresetBlob(file.path.c_str());
  EXPECT_EQ(ReadFile(file.path), "MakePresetFromBlob(\"name\", \"AAAAAAAA8D8=\", 8);\n");
}

// A parameter index outside the list is a programming error; where assertions
// are off, no later pair can be read, so the rest keep their current values.
TEST(Presets, NamedParamsWithABadIndex)
{
  PresetPlug plug(2, "1-1", 1);
  plug.InitDoubles({1.0, 2.0});
#ifdef NDEBUG
  plug.MakePresetFromNamedParams("Bad", 2, 5, 9.0, 1, 3.0);
  EXPECT_EQ(SnapshotValues(plug.Preset(0)), (std::vector<double>{1.0, 2.0}));
#else
  EXPECT_DEATH(plug.MakePresetFromNamedParams("Bad", 1, 5, 9.0), "paramIdx >= 0 && paramIdx < n");
#endif
}
