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

OptionSpec FormatOption(FileFormat& format)
{
  return {"format", "FORMAT",
          "wav-float (default), wav-16, wav-24, aiff-float, aiff-16,\naiff-24, flac-16, flac-24",
          [&format](const std::string& value, std::string& error)
          {
            if (ParseFileFormat(value, format)) return true;
            error = "unknown format '" + value + "' (formats: " + FileFormatNames() + ")";
            return false;
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
    "render", "[options] [IN] OUT",
    "render IN (WAV, AIFF or FLAC; mono or stereo) through Tolvane Delay into OUT;\n"
    "      without IN, the built-in demo",
    Run};

std::vector<OptionSpec> RenderOptionSpecs(RenderOptions& options)
{
  std::vector<OptionSpec> specs = {
      RangedNumber("tempo", "BPM", "host tempo (default 120)", kMinTempo, kMaxTempo,
                   options.tempo, " beats per minute"),
      BlockOption(options.blockFrames),
      {"bypass", nullptr, "render with the effect bypassed",
       [&options](const std::string&, std::string&)
       {
         options.bypass = true;
         return true;
       }},
      RangedNumber("tail", "SECONDS", "silence after the input (default: until the echoes are\n"
                                      "below -90 dBFS, at most 30 s)",
                   0.0, kMaxTailSeconds, options.tailSeconds, " seconds"),
      {"plot", "FILE.png", "plot the input and output waveforms",
       [&options](const std::string& value, std::string&)
       {
         options.plotPath = value;
         return true;
       }},
      FormatOption(options.format)};
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
  if (positional.empty())
  {
    error = "render needs an output file: tolvane render [IN] OUT";
    return false;
  }
  if (TooManyArguments(positional, 2, error)) return false;
  options.outputPath = positional.back();
  if (positional.size() == 2) options.inputPath = positional[0];
  return true;
}
