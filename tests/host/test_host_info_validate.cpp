// tolvane info shows what a host learns from the component; tolvane validate
// passes every conformance check.

#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
// The whole line of the text that starts with `start`; "" when none does.
std::string LineOf(const std::string& text, const std::string& start)
{
  const size_t at = text.find("\n" + start);
  if (at == std::string::npos) return std::string();
  const size_t end = text.find('\n', at + 1);
  return text.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
}
} // namespace

TEST(HostInfo, ShowsDescriptionChannelsParametersAndPresets)
{
  const RunResult run = RunTolvane({"info"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "TolvaneDelay.component"));
  EXPECT_TRUE(Contains(run.out, "tVll: TolvaneDelay"));
  EXPECT_TRUE(Contains(run.out, "type 'aufx', subtype 'Tvdl', manufacturer 'tVll'"));
  EXPECT_TRUE(Contains(run.out, "1.0.0 (0x00010000)"));
  EXPECT_TRUE(Contains(run.out, "1 in 1 out, 2 in 2 out"));
  EXPECT_TRUE(Contains(run.out, "latency       0 s"));
  EXPECT_TRUE(Contains(run.out, "parameters (28;"));
  EXPECT_TRUE(Contains(run.out, "\"switch\" selects the stereo engine")) << run.out;
  // Index, name, panel, unit, range, the factory preset's value as the host
  // reads it, the text the effect shows for it and, when stepped, its steps.
  EXPECT_EQ(LineOf(run.out, "     20  Feedback1 "),
            "     20  Feedback1        stereo engine  %     0-100      75       0.75       -");
  EXPECT_EQ(LineOf(run.out, "      7  2LFO intensity "),
            "      7  2LFO intensity   loop engine    %     0-100      0        0.00       -");
  EXPECT_EQ(LineOf(run.out, "     19  Delay1 "),
            "     19  Delay1           stereo engine  %     0-100      16.36    3.0        16");
  EXPECT_EQ(LineOf(run.out, "     13  switch "),
            "     13  switch           both           %     0-100      100      -          -");
  EXPECT_TRUE(Contains(run.out, "factory presets (1):\n      0  Tolvane Delay"));
}

TEST(HostInfo, TheVersionIsTheProgramsOwn)
{
  const RunResult run = RunTolvane({"--version"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "tolvane 1.0.0\n");
}

TEST(HostInfo, TheEnvironmentNamesTheComponentsFolder)
{
  const RunResult run = RunTolvane({"info"}, ".", {"TOLVANE_COMPONENTS_DIR=/nonexistent/place"});
  // The environment's folder does not have it; the build tree's does.
  ASSERT_EQ(run.status, 0) << run.err;
  const RunResult bad = RunTolvane({"info", "--component", "/nonexistent/TolvaneDelay.component"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(Contains(bad.err, "no component bundle at /nonexistent/TolvaneDelay.component"));
}

// Every line of the run is a group's name, a check's verdict or the frame
// around them; the summary is the last line.
void ExpectGroupedOutput(const std::string& out)
{
  std::istringstream lines(out);
  std::string line, last;
  int checks = 0;
  while (std::getline(lines, line))
  {
    last = line;
    if (line.rfind("  PASS  ", 0) == 0 || line.rfind("  WARN  ", 0) == 0 ||
        line.rfind("  FAIL  ", 0) == 0)
      ++checks;
    else
      EXPECT_TRUE(line.rfind("validat", 0) == 0 || (!line.empty() && line[0] != ' ')) << line;
  }
  EXPECT_EQ(last.rfind("validate: " + std::to_string(checks) + " checks, ", 0), 0u) << last;
}

TEST(HostValidate, NoCheckFailsAndWarningsLeaveTheStatusAtZero)
{
  const RunResult run = RunTolvane({"validate"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_FALSE(Contains(run.out, "FAIL")) << run.out;
  ExpectGroupedOutput(run.out);
  EXPECT_TRUE(Contains(run.out, "\nstate\n  PASS  factory presets are numbered")) << run.out;
  EXPECT_TRUE(Contains(run.out, "  PASS  the class-info round trip restores every parameter"));
  // Maximum feedback with continuous full-scale input builds up: the sound as designed.
  EXPECT_TRUE(Contains(run.out, "  WARN  sustained full-scale input stays finite: every "
                                "parameter at its maximum: grows over full scale"))
      << run.out;
  if (!RENDER_COUNTING)
  {
    // Sanitizer builds replace the allocator and go without the counting library.
    EXPECT_TRUE(Contains(run.out, "  WARN  rendering through the entry allocates nothing, takes at "
                                  "most the plug-in mutex: not counted: this build has no "
                                  "render-counting library"))
        << run.out;
    EXPECT_TRUE(Contains(run.out, " passed, 4 warnings, 0 failed\n")) << run.out;
  }
  else
  {
    EXPECT_TRUE(Contains(run.out, " passed, 2 warnings, 0 failed\n")) << run.out;
    // Counted in the worker: the plug-in mutex once per render through the
    // entry, nothing at all through the fast-dispatch procedure.
    EXPECT_TRUE(Contains(run.out, "takes at most the plug-in mutex (0 allocator calls, 64 locks, "
                                  "0 system calls in 64 renders)"))
        << run.out;
    EXPECT_TRUE(Contains(run.out, "allocates and locks nothing (0 allocator calls, 0 locks, 0 "
                                  "system calls in 64 renders)"))
        << run.out;
  }
  for (const char* check :
       {"block sizes with matching maximum frames give the same output (1, 17, 2027 and 16384",
        "extreme and fractional sample rates are refused or rendered well",
        "non-finite input does not outlive a reset", "a unit never reset renders as a reset one",
        "output holds no NaN, infinity or subnormal",
        "parameters and state set from another thread while rendering",
        "saving and restoring reproduces the state byte for byte"})
    EXPECT_TRUE(Contains(run.out, std::string("  PASS  ") + check)) << check;
}

TEST(HostValidate, TakesTheBundleToValidateAndRefusesWhatIsNone)
{
  const RunResult run = RunTolvane({"validate", "--component", COMPONENT_BUNDLE});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_TRUE(Contains(run.out, "validating ")) << run.out;
  EXPECT_TRUE(Contains(run.out, " 0 failed\n")) << run.out;

  TempDir dir;
  const std::pair<std::string, std::string> refusals[] = {
      {"/nonexistent/Other.component", "no component bundle at /nonexistent/Other.component"},
      {dir.Path(""), " is not a component bundle (it has no Contents/Info.plist)"},
      {"/etc/hostname", "no component bundle at /etc/hostname"}};
  for (const auto& [path, message] : refusals)
  {
    const RunResult bad = RunTolvane({"validate", "--component", path});
    EXPECT_EQ(bad.status, 1) << path;
    EXPECT_TRUE(Contains(bad.err, message)) << bad.err;
    EXPECT_FALSE(Contains(bad.out, "PASS")) << bad.out;
  }
  for (const char* timeout : {"0", "-1", "nan", "3601"})
  {
    const RunResult bad = RunTolvane({"validate", "--timeout", timeout});
    EXPECT_EQ(bad.status, 2) << timeout;
    EXPECT_TRUE(Contains(bad.err, "--timeout needs seconds above 0 and up to 3600")) << bad.err;
  }
}

TEST(HostHelp, ListsTheCommands)
{
  const RunResult run = RunTolvane({"help"});
  EXPECT_EQ(run.status, 0);
  for (const char* command : {"render [options] IN OUT", "render --demo", "info", "preset save",
                              "preset show", "validate"})
    EXPECT_TRUE(Contains(run.out, command)) << command;
}

TEST(HostHelp, EveryCommandAnswersHelpWithItsOwnUsage)
{
  const std::pair<const char*, const char*> commands[] = {{"render", "--tempo BPM"},
                                                          {"info", "--component PATH"},
                                                          {"preset", "--set NAME=VALUE"},
                                                          {"validate", "--component PATH"}};
  for (const auto& [command, option] : commands)
  {
    const RunResult run = RunTolvane({command, "--help"});
    EXPECT_EQ(run.status, 0) << command << run.err;
    EXPECT_TRUE(Contains(run.out, std::string("usage: tolvane ") + command)) << run.out;
    EXPECT_TRUE(Contains(run.out, option)) << command << "\n" << run.out;
  }
  // A usage error names the command and where its help is.
  const RunResult bad = RunTolvane({"info", "--loud"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_TRUE(Contains(bad.err, "tolvane info: unknown option --loud")) << bad.err;
  EXPECT_TRUE(Contains(bad.err, "tolvane info --help")) << bad.err;
}

TEST(HostValidate, FindsFaultWithAFaultyComponentAndRunsToTheEnd)
{
  const std::string bundle = FAULTY_BUNDLE;
  if (bundle.empty() || !FileExists(bundle)) GTEST_SKIP() << "no faulty component in this build";
  // The test component answers every call with noErr and fills in nothing.
  const RunResult run = RunTolvane({"validate", "--component", bundle});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(Contains(run.out, "open\n  PASS  ten instances open and close"));
  EXPECT_TRUE(Contains(run.out, "  FAIL  unknown selectors are refused"));
  EXPECT_TRUE(Contains(run.out, "parameters\n  FAIL  info records: no parameters"));
  // It replaces scratch memory in every render, and takes any slice size.
  if (RENDER_COUNTING)
  {
    EXPECT_TRUE(Contains(run.out, "  FAIL  rendering through the entry allocates nothing, takes "
                                  "at most the plug-in mutex: 128 allocator calls in 64 renders"))
        << run.out;
  }
  EXPECT_TRUE(Contains(run.out, "2 frames with a maximum of 1 frame is accepted")) << run.out;
  // Even a check that crashes the component leaves the run to finish.
  EXPECT_TRUE(Contains(run.out, "validate: 56 checks, ")) << run.out;
  ExpectGroupedOutput(run.out);
}

TEST(HostValidate, FindsBrokenNumbersInAComponent)
{
  // Its feedback memory keeps a NaN through a reset, its gain is wrong until
  // a reset, its decay passes through subnormal numbers, it allocates in every
  // render and it hangs on slices of 17 frames.
  const RunResult run = RunTolvane({"validate", "--component", BROKEN_BUNDLE, "--timeout", "5"});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(Contains(run.out, "  FAIL  block sizes with matching maximum frames give the same "
                                "output: the check did not finish within 5 s\n  WARN  extreme "))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "  FAIL  non-finite input does not outlive a reset: factory "
                                "settings: after the reset 44100 NaN or infinite samples"))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "  FAIL  a unit never reset renders as a reset one: factory "
                                "settings: differs from a reset unit by "))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "  WARN  output holds no NaN, infinity or subnormal: factory "
                                "settings: "))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "  PASS  sustained full-scale input stays finite")) << run.out;
  if (RENDER_COUNTING)
  {
    EXPECT_TRUE(Contains(run.out, "  FAIL  rendering through the entry allocates nothing"));
  }
  ExpectGroupedOutput(run.out);
}
