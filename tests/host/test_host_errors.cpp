// Errors a user can act on: each gives its message and a non-zero exit
// status, and leaves no output behind (an existing one stays as it was).

#include "HostTestSupport.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>

namespace
{
const char kPrecious[] = "an earlier render";

struct ErrorCase
{
  std::vector<std::string> args; // "IN" and "OUT" stand for the files of the case
  std::string message;
  int status = 1;
};

class HostErrors : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(WriteSound(mDir.Path("good.wav"), MakeClick(44100, 2, 0.5, 0.1),
                           SF_FORMAT_WAV | SF_FORMAT_FLOAT));
  }

  // Runs the case with OUT holding an earlier render; afterwards OUT must be
  // unchanged and the folder must hold nothing new.
  void Expect(const ErrorCase& c, const std::string& input)
  {
    const std::string out = mDir.Path("out.wav");
    WriteText(out, kPrecious);
    std::vector<std::string> args;
    for (const std::string& arg : c.args)
      args.push_back(arg == "IN" ? input : arg == "OUT" ? out : arg);
    const size_t filesBefore = CountFiles();
    const RunResult run = RunTolvane(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos)
        << "wanted '" << c.message << "' in: " << run.err;
    EXPECT_EQ(ReadText(out), kPrecious);
    EXPECT_EQ(CountFiles(), filesBefore) << "a file was left behind";
  }

  size_t CountFiles() const
  {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(mDir.Path("")))
      ++count;
    return count;
  }

  TempDir mDir;
};
} // namespace

TEST_F(HostErrors, UnreadableAndUnsupportedFiles)
{
  Expect({{"render", "IN", "OUT"}, "cannot read"}, mDir.Path("missing.wav"));
  WriteText(mDir.Path("text.wav"), "this is not audio at all, just some words in a file");
  Expect({{"render", "IN", "OUT"}, "cannot read"}, mDir.Path("text.wav"));

  const Sound click = MakeClick(44100, 2, 0.5, 0.1);
  ASSERT_TRUE(WriteSound(mDir.Path("sun.au"), click, SF_FORMAT_AU | SF_FORMAT_FLOAT));
  Expect({{"render", "IN", "OUT"}, "is not a WAV, AIFF or FLAC file"}, mDir.Path("sun.au"));

  ASSERT_TRUE(WriteSound(mDir.Path("three.wav"), MakeClick(44100, 3, 0.5, 0.1),
                         SF_FORMAT_WAV | SF_FORMAT_FLOAT));
  Expect({{"render", "IN", "OUT"}, "has 3 channels; tolvane renders mono and stereo files"},
         mDir.Path("three.wav"));

  ASSERT_TRUE(WriteSound(mDir.Path("slow.wav"), MakeClick(4000, 1, 0.5, 0.1),
                         SF_FORMAT_WAV | SF_FORMAT_FLOAT));
  Expect({{"render", "IN", "OUT"}, "sample rate of 4000 Hz"}, mDir.Path("slow.wav"));
}

TEST_F(HostErrors, UnknownNamesAndValuesOutOfRange)
{
  const std::string good = mDir.Path("good.wav");
  Expect({{"render", "IN", "OUT", "--set", "Nope=1"}, "unknown parameter 'Nope'"}, good);
  Expect({{"render", "IN", "OUT", "--preset", "Nope"},
          "unknown preset 'Nope' (factory presets: \"Tolvane Delay\")"},
         good);
  Expect({{"render", "IN", "OUT", "--set", "Feedback1=150"},
          "'150' for parameter 'Feedback1' is neither a value from 0 to 100"},
         good);
  Expect({{"render", "IN", "OUT", "--set", "Feedback1=-0.5"}, "is neither a value"}, good);
  Expect({{"render", "IN", "OUT", "--set", "Feedback1=abc"},
          "'abc' for parameter 'Feedback1' is neither a value from 0 to 100"},
         good);
}

TEST_F(HostErrors, StateFilesTheComponentRefuses)
{
  const std::string good = mDir.Path("good.wav");
  const std::string foreign = mDir.Path("foreign.aupreset");
  ASSERT_EQ(RunTolvane({"preset", "save", foreign}).status, 0);
  std::string xml = ReadText(foreign);
  const std::string manufacturer =
      "<integer>" + std::to_string(0x74566c6c) + "</integer>"; // 'tVll'
  ASSERT_NE(xml.find(manufacturer), std::string::npos);
  xml.replace(xml.find(manufacturer), manufacturer.size(), "<integer>42</integer>");
  WriteText(foreign, xml);
  Expect({{"render", "IN", "OUT", "--state", foreign},
          "the component refuses the state in " + foreign + ": status -10851"},
         good);

  WriteText(mDir.Path("list.aupreset"),
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>");
  Expect({{"render", "IN", "OUT", "--state", mDir.Path("list.aupreset")},
          "does not hold a preset dictionary"},
         good);
  Expect({{"render", "IN", "OUT", "--state", mDir.Path("none.aupreset")}, "cannot read"}, good);
}

TEST_F(HostErrors, AFailingPlotKeepsTheAudioFromBeingWritten)
{
  Expect({{"render", "IN", "OUT", "--plot", mDir.Path("no/such/folder.png")}, "cannot write"},
         mDir.Path("good.wav"));
}

TEST_F(HostErrors, UsageMistakes)
{
  const std::string good = mDir.Path("good.wav");
  Expect({{"render"}, "render needs an input and an output file", 2}, good);
  Expect({{"render", "IN", "OUT", "extra"}, "unexpected argument 'extra'", 2}, good);
  Expect({{"render", "IN", "OUT", "--loud"}, "unknown option --loud", 2}, good);
  Expect({{"render", "IN", "OUT", "--tempo", "0"}, "--tempo needs a number from 1 to 999", 2},
         good);
  Expect({{"render", "IN", "OUT", "--block", "0"}, "--block needs a whole number", 2}, good);
  Expect({{"render", "IN", "OUT", "--format", "mp3"}, "unknown sample format 'mp3'", 2}, good);
  Expect({{"render", "IN", "OUT", "--preset", "Tolvane Delay", "--state", "x"},
          "cannot be combined",
          2},
         good);
  Expect({{"render", "IN", "OUT", "--component", mDir.Path("nothing")}, "no component bundle at"},
         good);
  Expect({{"fly"}, "unknown command 'fly'", 2}, good);
}

TEST_F(HostErrors, TheInputIsNeverWritten)
{
  const std::string input = mDir.Path("take.wav");
  ASSERT_TRUE(WriteSound(input, MakeClick(44100, 2, 0.5, 0.1), SF_FORMAT_WAV | SF_FORMAT_FLOAT));
  const std::string original = ReadText(input);
  // One name: no demo is rendered into it.
  RunResult run = RunTolvane({"render", input});
  EXPECT_EQ(run.status, 2);
  // The same file as output, under its own name and under another spelling.
  for (const std::string& out : {input, mDir.Path("./take.wav"), mDir.Path("sub/../take.wav")})
  {
    std::filesystem::create_directory(mDir.Path("sub"));
    run = RunTolvane({"render", input, out});
    EXPECT_EQ(run.status, 1) << out;
    EXPECT_TRUE(Contains(run.err, "is the input file")) << run.err;
    run = RunTolvane({"render", input, mDir.Path("o.wav"), "--plot", out});
    EXPECT_EQ(run.status, 1) << out;
  }
  EXPECT_EQ(ReadText(input), original);
  EXPECT_FALSE(FileExists(mDir.Path("o.wav")));
}

TEST_F(HostErrors, DashWordsWriteNothing)
{
  // "-h" asks for help; nothing named "-h" appears.
  RunResult run = RunTolvane({"render", "-h"}, mDir.Path(""));
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(Contains(run.out, "usage: tolvane render"));
  EXPECT_FALSE(FileExists(mDir.Path("-h")));
  run = RunTolvane({"render", "--demo", "-x"}, mDir.Path(""));
  EXPECT_EQ(run.status, 2);
  EXPECT_FALSE(FileExists(mDir.Path("-x")));
}

TEST_F(HostErrors, DamagedAndWronglyNamedFiles)
{
  const std::string good = mDir.Path("good.wav");
  const std::string whole = ReadText(good);
  WriteText(mDir.Path("cut.wav"), whole.substr(0, 100));
  Expect({{"render", "IN", "OUT"}, "cut.wav"}, mDir.Path("cut.wav"));
  WriteText(mDir.Path("short.wav"), whole.substr(0, whole.size() / 2));
  Expect({{"render", "IN", "OUT"}, "short.wav"}, mDir.Path("short.wav"));
  // The output's extension chooses the container; a float FLAC does not exist.
  RunResult run = RunTolvane({"render", good, mDir.Path("out.mp3")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, ".wav, .aif, .aiff or .flac")) << run.err;
  EXPECT_FALSE(FileExists(mDir.Path("out.mp3")));
  run = RunTolvane({"render", good, mDir.Path("out.flac"), "--format", "float"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "FLAC files cannot hold float samples")) << run.err;
  EXPECT_FALSE(FileExists(mDir.Path("out.flac")));
  // --mono is for mono inputs.
  run = RunTolvane({"render", good, mDir.Path("m.wav"), "--mono"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "is stereo")) << run.err;
}

TEST_F(HostErrors, UnknownParametersNameTheClosestOnes)
{
  const RunResult run =
      RunTolvane({"render", mDir.Path("good.wav"), mDir.Path("o.wav"), "--set", "Levle1=3"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "unknown parameter 'Levle1' (closest: Level1, Level2")) << run.err;
}
