// tolvane info shows what a host learns from the component; tolvane validate
// passes every conformance check.

#include "HostTestSupport.h"

#include <gtest/gtest.h>

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

TEST(HostValidate, EveryCheckPasses)
{
  const RunResult run = RunTolvane({"validate"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_FALSE(Contains(run.out, "FAIL")) << run.out;
  EXPECT_TRUE(Contains(run.out, "passed, 0 failed")) << run.out;
  EXPECT_TRUE(Contains(run.out, "PASS  state: the class-info round trip restores every parameter"));
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
  EXPECT_TRUE(Contains(run.out, "PASS  open: ten instances open and close"));
  EXPECT_TRUE(Contains(run.out, "FAIL  open: unknown selectors are refused"));
  EXPECT_TRUE(Contains(run.out, "FAIL  parameters: info records: no parameters"));
  // Even a check that crashes the component leaves the run to finish.
  EXPECT_TRUE(Contains(run.out, "validate: 45 checks, ")) << run.out;
}
