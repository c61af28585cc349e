// Command-line parsing: option forms, numbers, defaults and the rules that
// tie options together.

#include "host/commands/ArgumentParser.h"
#include "host/commands/Options.h"

#include <gtest/gtest.h>

namespace
{
RenderOptions Render(const std::vector<std::string>& args, bool expectOk = true)
{
  RenderOptions options;
  std::string error;
  EXPECT_EQ(ParseRenderOptions(args, options, error), expectOk) << error;
  return options;
}

std::string RenderError(const std::vector<std::string>& args)
{
  RenderOptions options;
  std::string error;
  EXPECT_FALSE(ParseRenderOptions(args, options, error));
  return error;
}
} // namespace

TEST(HostArguments, NumbersMustBeWholeTexts)
{
  double number = -1.0;
  EXPECT_TRUE(ParseNumber("120.5", number));
  EXPECT_EQ(number, 120.5);
  EXPECT_TRUE(ParseNumber("-3e2", number));
  EXPECT_EQ(number, -300.0);
  for (const char* bad : {"", "12x", "1.0.0", "nan", "inf", "1e999"})
    EXPECT_FALSE(ParseNumber(bad, number)) << bad;

  long integer = 0;
  EXPECT_TRUE(ParseInteger("512", integer));
  EXPECT_EQ(integer, 512);
  for (const char* bad : {"", "5.5", "12 ", "0x10x", "99999999999999999999"})
    EXPECT_FALSE(ParseInteger(bad, integer)) << bad;
}

TEST(HostArguments, RenderDefaultsAndPositionals)
{
  RenderOptions options = Render({"--demo", "out.wav"});
  EXPECT_TRUE(options.demo);
  EXPECT_TRUE(options.inputPath.empty());
  EXPECT_EQ(options.outputPath, "out.wav");
  EXPECT_EQ(options.tempo, 120.0);
  EXPECT_EQ(options.blockFrames, 512u);
  EXPECT_LT(options.tailSeconds, 0.0); // until the echoes die away
  EXPECT_FALSE(options.formatChosen);  // the container's default
  EXPECT_FALSE(options.bypass);
  EXPECT_FALSE(options.mono);

  // Options may come anywhere and take their value either way.
  options = Render({"--tempo=90", "in.aif", "--block", "64", "out.flac", "--bypass", "--tail=0",
                    "--format", "16", "--plot", "p.png", "--component", "C.component", "--mono"});
  EXPECT_EQ(options.inputPath, "in.aif");
  EXPECT_EQ(options.outputPath, "out.flac");
  EXPECT_EQ(options.tempo, 90.0);
  EXPECT_EQ(options.blockFrames, 64u);
  EXPECT_TRUE(options.bypass);
  EXPECT_EQ(options.tailSeconds, 0.0);
  EXPECT_TRUE(options.formatChosen);
  EXPECT_EQ(options.sampleFormat, SampleFormat::Int16);
  EXPECT_TRUE(options.mono);
  EXPECT_FALSE(options.demo);
  EXPECT_EQ(options.plotPath, "p.png");
  EXPECT_EQ(options.componentPath, "C.component");
}

TEST(HostArguments, SetKeepsItsOrderAndSplitsAtTheLastEquals)
{
  const RenderOptions options = Render(
      {"in.wav", "out.wav", "--set", "2LFO intensity=10", "--set=Pan1=0.5", "--set", "a=b=3"});
  ASSERT_EQ(options.state.settings.size(), 3u);
  EXPECT_EQ(options.state.settings[0].name, "2LFO intensity");
  EXPECT_EQ(options.state.settings[0].value, "10");
  EXPECT_EQ(options.state.settings[1].name, "Pan1");
  EXPECT_EQ(options.state.settings[1].value, "0.5");
  EXPECT_EQ(options.state.settings[2].name, "a=b");
  EXPECT_EQ(options.state.settings[2].value, "3");

  EXPECT_EQ(RenderError({"in.wav", "out.wav", "--set", "Pan1"}),
            "--set needs NAME=VALUE, not 'Pan1'");
  EXPECT_EQ(RenderError({"in.wav", "out.wav", "--set", "=5"}), "--set needs NAME=VALUE, not '=5'");
  EXPECT_EQ(RenderError({"in.wav", "out.wav", "--set", "Pan1="}),
            "--set needs a value after '=' (--set Pan1=)");
}

TEST(HostArguments, RangesAndExclusions)
{
  EXPECT_EQ(Render({"in.wav", "o", "--tempo", "1"}).tempo, 1.0);
  EXPECT_EQ(Render({"in.wav", "o", "--tempo", "999"}).tempo, 999.0);
  EXPECT_NE(
      RenderError({"in.wav", "o", "--tempo", "1000"}).find("--tempo needs a number from 1 to 999"),
      std::string::npos);
  EXPECT_EQ(Render({"in.wav", "o", "--block", "16384"}).blockFrames, 16384u);
  EXPECT_NE(RenderError({"in.wav", "o", "--block", "16385"}).find("--block"), std::string::npos);
  EXPECT_NE(RenderError({"in.wav", "o", "--block", "-1"}).find("--block"), std::string::npos);
  EXPECT_NE(RenderError({"in.wav", "o", "--tail", "-1"}).find("--tail"), std::string::npos);
  EXPECT_EQ(Render({"in.wav", "o", "--tail", "600"}).tailSeconds, 600.0);

  EXPECT_EQ(RenderError({"in.wav", "o", "--preset", "A", "--state", "s"}),
            "--preset and --state cannot be combined");
  EXPECT_EQ(RenderError({"in.wav", "o", "--state", "s", "--preset", "A"}),
            "--preset and --state cannot be combined");
  EXPECT_EQ(RenderError({"in.wav", "o", "--tempo"}), "--tempo needs a value");
  EXPECT_EQ(RenderError({"in.wav", "o", "--bypass=yes"}), "--bypass takes no value");
  EXPECT_EQ(RenderError({"in.wav", "o", "--tmepo", "3"}), "unknown option --tmepo");
  // One name is never taken as the output of a demo: the user's file stays untouched.
  EXPECT_EQ(RenderError({"take.wav"}).find("render needs an input and an output file"), 0u);
  EXPECT_EQ(RenderError({"--demo"}),
            "render --demo needs an output file: tolvane render --demo OUT");
  EXPECT_EQ(RenderError({"--demo", "in.wav", "out.wav"}), "unexpected argument 'out.wav'");
  EXPECT_EQ(RenderError({"a", "b", "c"}), "unexpected argument 'c'");
  EXPECT_NE(RenderError({"a", "b", "--format", "flac-16"}).find("unknown sample format 'flac-16'"),
            std::string::npos);
}

TEST(HostArguments, PresetAndComponentCommands)
{
  PresetOptions preset;
  std::string error;
  ASSERT_TRUE(ParsePresetOptions({"save", "p.aupreset", "--preset", "X", "--set", "Pan1=3"}, preset,
                                 error));
  EXPECT_EQ(preset.action, "save");
  EXPECT_EQ(preset.path, "p.aupreset");
  EXPECT_EQ(preset.state.presetName, "X");
  EXPECT_EQ(preset.state.settings.size(), 1u);

  PresetOptions show;
  EXPECT_TRUE(ParsePresetOptions({"--component", "C", "show", "p.aupreset"}, show, error));
  EXPECT_EQ(show.componentPath, "C");
  EXPECT_FALSE(ParsePresetOptions({"show", "p.aupreset", "--set", "Pan1=3"}, show, error));
  EXPECT_EQ(error, "preset show takes no --preset, --state, --set or --name");
  EXPECT_FALSE(ParsePresetOptions({"load", "p.aupreset"}, show, error));
  EXPECT_FALSE(ParsePresetOptions({"save"}, show, error));

  ComponentOptions component;
  EXPECT_TRUE(ParseComponentOptions({"--component", "X.component"}, component, error));
  EXPECT_EQ(component.componentPath, "X.component");
  EXPECT_FALSE(ParseComponentOptions({"extra"}, component, error));
  EXPECT_EQ(error, "unexpected argument 'extra'");
}

TEST(HostArguments, DashWordsAreOptionsUntilDoubleDash)
{
  // A word that starts with '-' is never an output file name ...
  EXPECT_EQ(RenderError({"-h2", "out.wav"}).find("unknown option -h2"), 0u);
  EXPECT_TRUE(Render({"-h"}).help);
  EXPECT_TRUE(Render({"--help"}).help);
  // ... unless it follows "--".
  const RenderOptions dashed = Render({"--tempo", "90", "--", "-in.wav", "--out.wav"});
  EXPECT_EQ(dashed.inputPath, "-in.wav");
  EXPECT_EQ(dashed.outputPath, "--out.wav");
  EXPECT_EQ(dashed.tempo, 90.0);
  // A negative value is the value of its option, not an option.
  EXPECT_NE(RenderError({"in.wav", "o", "--tempo", "-5"}).find("--tempo needs a number"),
            std::string::npos);
}

TEST(HostArguments, UsageComesFromTheOptionTables)
{
  RenderOptions render;
  const std::string help = OptionsHelp(RenderOptionSpecs(render));
  // Every option of the table appears with its value name and help line.
  for (const OptionSpec& spec : RenderOptionSpecs(render))
  {
    std::string entry = std::string("--") + spec.name;
    if (spec.TakesValue()) entry += std::string(" ") + spec.valueName;
    EXPECT_NE(help.find(entry), std::string::npos) << entry;
    const std::string firstLine =
        std::string(spec.help).substr(0, std::string(spec.help).find('\n'));
    EXPECT_NE(help.find(firstLine), std::string::npos) << firstLine;
  }
  // Continuation lines are indented under the help column.
  EXPECT_NE(help.find("\n                        below -90 dBFS"), std::string::npos) << help;
}
