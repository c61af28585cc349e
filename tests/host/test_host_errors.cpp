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
          "value 150 for parameter 'Feedback1' is outside 0 to 100"},
         good);
  Expect({{"render", "IN", "OUT", "--set", "Feedback1=-0.5"}, "is outside 0 to 100"}, good);
  Expect({{"render", "IN", "OUT", "--set", "Feedback1=abc"}, "'abc' is not a number", 2}, good);
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
  Expect({{"render"}, "render needs an output file", 2}, good);
  Expect({{"render", "IN", "OUT", "extra"}, "unexpected argument 'extra'", 2}, good);
  Expect({{"render", "IN", "OUT", "--loud"}, "unknown option --loud", 2}, good);
  Expect({{"render", "IN", "OUT", "--tempo", "0"}, "--tempo needs a number from 1 to 999", 2},
         good);
  Expect({{"render", "IN", "OUT", "--block", "0"}, "--block needs a whole number", 2}, good);
  Expect({{"render", "IN", "OUT", "--format", "mp3"}, "unknown format 'mp3'", 2}, good);
  Expect({{"render", "IN", "OUT", "--preset", "Tolvane Delay", "--state", "x"},
          "cannot be combined",
          2},
         good);
  Expect({{"render", "IN", "OUT", "--component", mDir.Path("nothing")}, "no component bundle at"},
         good);
  Expect({{"fly"}, "unknown command 'fly'", 2}, good);
}
