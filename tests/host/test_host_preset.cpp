// tolvane preset save / show and --state: .aupreset files as XML property
// lists, their keys, and round trips through the component.

#include "HostTestSupport.h"

#include <gtest/gtest.h>
#include <sndfile.h>

TEST(HostPreset, SaveWritesTheClassInfoDictionaryAsXML)
{
  TempDir dir;
  const RunResult save = RunTolvane({"preset", "save", dir.Path("p.aupreset")});
  ASSERT_EQ(save.status, 0) << save.err;
  const std::string xml = ReadText(dir.Path("p.aupreset"));
  EXPECT_EQ(xml.compare(0, 5, "<?xml"), 0);
  for (const char* key : {"version", "type", "subtype", "manufacturer", "name", "data"})
    EXPECT_TRUE(Contains(xml, std::string("<key>") + key + "</key>")) << key;
  EXPECT_TRUE(Contains(xml, "<string>Tolvane Delay</string>"));

  const RunResult show = RunTolvane({"preset", "show", dir.Path("p.aupreset")});
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_TRUE(Contains(show.out, "'aufx'"));
  EXPECT_TRUE(Contains(show.out, "'Tvdl'"));
  EXPECT_TRUE(Contains(show.out, "'tVll'"));
  EXPECT_TRUE(Contains(show.out, "65536 (1.0.0)"));
  EXPECT_TRUE(Contains(show.out, "\"Tolvane Delay\""));
  EXPECT_TRUE(Contains(show.out, "Feedback1          75 (shows 0.75)")) << show.out;
}

TEST(HostPreset, SavedValuesShowAndRenderAsTheyWereSet)
{
  TempDir dir;
  ASSERT_EQ(RunTolvane({"preset", "save", dir.Path("p.aupreset"), "--preset", "Tolvane Delay",
                        "--set", "Feedback1=12.5", "--set", "2LFO intensity=33.25"})
                .status,
            0);
  const RunResult show = RunTolvane({"preset", "show", dir.Path("p.aupreset")});
  // Values that differ from the factory preset are marked, with what it has.
  EXPECT_TRUE(Contains(show.out, "Feedback1        * 12.5 (shows 0.12)   factory 75 (shows 0.75)"))
      << show.out;
  EXPECT_TRUE(Contains(show.out, "2LFO intensity   * 33.25")) << show.out;
  EXPECT_TRUE(Contains(show.out, "Level1             47 (shows 0.47)")) << show.out;

  // Rendering with the state equals rendering with the same values set.
  ASSERT_TRUE(WriteSound(dir.Path("in.wav"), MakeTestNoise(44100, 2, 1.0, 0.5f),
                         SF_FORMAT_WAV | SF_FORMAT_FLOAT));
  ASSERT_EQ(RunTolvane({"render", dir.Path("in.wav"), dir.Path("a.wav"), "--tail", "0.5", "--state",
                        dir.Path("p.aupreset")})
                .status,
            0);
  ASSERT_EQ(RunTolvane({"render", dir.Path("in.wav"), dir.Path("b.wav"), "--tail", "0.5", "--set",
                        "Feedback1=12.5", "--set", "2LFO intensity=33.25"})
                .status,
            0);
  Sound a, b;
  ASSERT_TRUE(ReadSound(dir.Path("a.wav"), a));
  ASSERT_TRUE(ReadSound(dir.Path("b.wav"), b));
  EXPECT_EQ(a.channels, b.channels);
}

TEST(HostPreset, LoadingAndSavingAgainGivesTheSameFile)
{
  TempDir dir;
  ASSERT_EQ(RunTolvane({"preset", "save", dir.Path("1.aupreset"), "--set", "Pan1=30"}).status, 0);
  ASSERT_EQ(
      RunTolvane({"preset", "save", dir.Path("2.aupreset"), "--state", dir.Path("1.aupreset")})
          .status,
      0);
  EXPECT_EQ(ReadText(dir.Path("1.aupreset")), ReadText(dir.Path("2.aupreset")));
}

TEST(HostPreset, ShowRefusesWhatIsNotAPresetOfThisComponent)
{
  TempDir dir;
  ASSERT_EQ(RunTolvane({"preset", "save", dir.Path("p.aupreset")}).status, 0);
  std::string xml = ReadText(dir.Path("p.aupreset"));
  // Another subtype: the dictionary still shows, but the component refuses it.
  const std::string subtype = "<integer>" + std::to_string(0x5476646c) + "</integer>"; // 'Tvdl'
  ASSERT_NE(xml.find(subtype), std::string::npos);
  xml.replace(xml.find(subtype), subtype.size(), "<integer>1111111111</integer>");
  WriteText(dir.Path("foreign.aupreset"), xml);
  RunResult show = RunTolvane({"preset", "show", dir.Path("foreign.aupreset")});
  EXPECT_NE(show.status, 0);
  EXPECT_TRUE(Contains(show.out, "subtype"));
  EXPECT_TRUE(Contains(show.err, "refuses the state")) << show.err;
  EXPECT_TRUE(Contains(show.err, "-10851")) << show.err;

  WriteText(dir.Path("text.aupreset"), "not a property list");
  show = RunTolvane({"preset", "show", dir.Path("text.aupreset")});
  EXPECT_NE(show.status, 0);
  EXPECT_TRUE(Contains(show.err, "is not a property-list file")) << show.err;
}

TEST(HostPreset, SaveNamesThePresetAndTakesTheTextsTheEffectShows)
{
  TempDir dir;
  // 5000 is no value of 0 to 100, but the text LP1 shows at 25; the name goes inside the file.
  const RunResult save = RunTolvane({"preset", "save", dir.Path("p.aupreset"), "--name",
                                     "Dark Echo", "--set", "lp1=5000", "--set", "HP1=1000"});
  ASSERT_EQ(save.status, 0) << save.err;
  EXPECT_TRUE(Contains(ReadText(dir.Path("p.aupreset")), "<string>Dark Echo</string>"));
  const RunResult show = RunTolvane({"preset", "show", dir.Path("p.aupreset")});
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_TRUE(Contains(show.out, "\"Dark Echo\"")) << show.out;
  EXPECT_TRUE(Contains(show.out, "LP1              * 25 (shows 5000)")) << show.out;

  // A text no value shows is refused with what the parameter takes.
  const RunResult bad =
      RunTolvane({"preset", "save", dir.Path("q.aupreset"), "--set", "LP1=5000.5"});
  EXPECT_NE(bad.status, 0);
  EXPECT_TRUE(Contains(bad.err, "'5000.5' for parameter 'LP1' is neither a value from 0 to 100"))
      << bad.err;
  EXPECT_FALSE(FileExists(dir.Path("q.aupreset")));
}
