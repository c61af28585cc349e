// `tolvane render`: its options and its entry; the work is in render/.

#include "host/commands/Commands.h"
#include "host/commands/Options.h"
#include "host/render/RenderJob.h"

namespace
{
// A number option within [min, max].
OptionSpec RangedNumber(const char* name, const char* valueName, const char* help, double min,
                        double max, double& target, const char* unit)
{
  return {name, valueName, help,
          [=, &target](const std::string& value, std::string& error)
          {
            double number = 0.0;
            if (!ParseNumber(value, number) || number < min || number > max)
            {
              error = std::string("--") + name + " needs a number from " + ValueText(min) + " to " +
                      ValueText(max) + unit + ", not '" + value + "'";
              return false;
            }
            target = number;
            return true;
          }};
}

OptionSpec BlockOption(unsigned& frames)
{
  return {"block", "N", "frames per slice (default 512)",
          [&frames](const std::string& value, std::string& error)
          {
            long number = 0;
            if (!ParseInteger(value, number) || number < 1 || number > long(kMaxBlockFrames))
            {
              error = "--block needs a whole number of frames from 1 to " +
                      std::to_string(kMaxBlockFrames) + ", not '" + value + "'";
              return false;
            }
            frames = static_cast<unsigned>(number);
            return true;
          }};
}

OptionSpec FormatOption(RenderOptions& options)
{
  return {"format", "SAMPLES",
          "sample format: float, 16 or 24 (default: float for WAV and\nAIFF, 24 for FLAC); "
          "the container comes from OUT's extension",
          [&options](const std::string& value, std::string& error)
          {
            options.formatChosen = true;
            if (ParseSampleFormat(value, options.sampleFormat)) return true;
            error = "unknown sample format '" + value +
                    "' (sample formats: " + SampleFormatNames() +
                    "; the container comes from the file name)";
            return false;
          }};
}

OptionSpec Flag(const char* name, const char* help, bool& flag)
{
  return {name, nullptr, help,
          [&flag](const std::string&, std::string&)
          {
            flag = true;
            return true;
          }};
}

int Run(const std::vector<std::string>& args)
{
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(args, options, error)) return UsageError(kRenderCommand, error);
  if (options.help) return ShowUsage(kRenderCommand, RenderOptionSpecs(options));
  return RunRender(options);
}
} // namespace

const Command kRenderCommand = {
    "render", "[options] IN OUT | render --demo [options] OUT",
    "render IN (WAV, AIFF or FLAC; mono or stereo) through Tolvane Delay into OUT\n"
    "      (.wav, .aif, .aiff or .flac); a mono IN gives a stereo OUT unless --mono;\n"
    "      NaN or infinite input samples are rendered as silence and counted",
    Run};

std::vector<OptionSpec> RenderOptionSpecs(RenderOptions& options)
{
  std::vector<OptionSpec> specs = {
      RangedNumber("tempo", "BPM", "host tempo (default 120)", kMinTempo, kMaxTempo, options.tempo,
                   " beats per minute"),
      BlockOption(options.blockFrames),
      Flag("demo", "render the built-in demo (four bars at 120 bpm) instead of IN", options.demo),
      Flag("mono", "render a mono IN through the mono configuration into a mono OUT", options.mono),
      Flag("bypass", "render with the effect bypassed", options.bypass),
      RangedNumber("tail", "SECONDS",
                   "silence after the input (default: until the echoes are\n"
                   "below -90 dBFS, at most 30 s)",
                   0.0, kMaxTailSeconds, options.tailSeconds, " seconds"),
      {"plot", "FILE.png", "plot the input and output waveforms",
       [&options](const std::string& value, std::string&)
       {
         options.plotPath = value;
         return true;
       }},
      FormatOption(options),
      Flag("timings", "print the time each phase of the render took on standard\nerror",
           options.timings)};
  AddStateOptions(specs, options.state);
  specs.push_back(ComponentOption(options.componentPath));
  specs.push_back(HelpOption(options.help));
  return specs;
}

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error)
{
  std::vector<std::string> positional;
  if (!ParseArguments(args, RenderOptionSpecs(options), positional, error)) return false;
  if (options.help) return true;
  const size_t wanted = options.demo ? 1 : 2;
  if (positional.size() < wanted)
  {
    error = options.demo ? "render --demo needs an output file: tolvane render --demo OUT"
                         : "render needs an input and an output file: tolvane render IN OUT "
                           "(the built-in demo: tolvane render --demo OUT)";
    return false;
  }
  if (TooManyArguments(positional, wanted, error)) return false;
  options.outputPath = positional.back();
  if (!options.demo) options.inputPath = positional[0];
  return true;
}
