#include "host/Options.h"

#include "host/ArgumentParser.h"

namespace
{
OptionSpec ComponentOption(std::string& path)
{
  return {"component", true,
          [&path](const std::string& value, std::string&)
          {
            path = value;
            return true;
          }};
}

bool ParseSetting(const std::string& text, ParameterSetting& setting, std::string& error)
{
  const size_t equals = text.rfind('=');
  if (equals == std::string::npos || equals == 0)
  {
    error = "--set needs NAME=VALUE, not '" + text + "'";
    return false;
  }
  setting.name = text.substr(0, equals);
  const std::string value = text.substr(equals + 1);
  if (!ParseNumber(value, setting.value))
  {
    error = "'" + value + "' is not a number (--set " + text + ")";
    return false;
  }
  return true;
}

// --preset, --state and --set; the first two exclude each other.
void AddStateOptions(std::vector<OptionSpec>& specs, StateOptions& state)
{
  // Stores a value that excludes the other one of the pair.
  const auto exclusive = [](std::string& target, const std::string& other)
  {
    return [&target, &other](const std::string& value, std::string& error)
    {
      target = value;
      if (!other.empty()) error = "--preset and --state cannot be combined";
      return other.empty();
    };
  };
  specs.push_back({"preset", true, exclusive(state.presetName, state.stateFile)});
  specs.push_back({"state", true, exclusive(state.stateFile, state.presetName)});
  specs.push_back({"set", true,
                   [&state](const std::string& value, std::string& error)
                   {
                     ParameterSetting setting;
                     if (!ParseSetting(value, setting, error)) return false;
                     state.settings.push_back(setting);
                     return true;
                   }});
}

// A number option within [min, max].
OptionSpec RangedNumber(const char* name, double min, double max, double& target, const char* unit)
{
  return {name, true,
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
  return {"block", true,
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
  return {"format", true,
          [&format](const std::string& value, std::string& error)
          {
            if (ParseFileFormat(value, format)) return true;
            error = "unknown format '" + value + "' (formats: " + FileFormatNames() + ")";
            return false;
          }};
}

bool TooManyArguments(const std::vector<std::string>& positional, size_t allowed,
                      std::string& error)
{
  if (positional.size() <= allowed) return false;
  error = "unexpected argument '" + positional[allowed] + "'";
  return true;
}
} // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error)
{
  std::vector<OptionSpec> specs = {
      ComponentOption(options.componentPath),
      RangedNumber("tempo", kMinTempo, kMaxTempo, options.tempo, " beats per minute"),
      BlockOption(options.blockFrames),
      {"bypass", false,
       [&options](const std::string&, std::string&)
       {
         options.bypass = true;
         return true;
       }},
      RangedNumber("tail", 0.0, kMaxTailSeconds, options.tailSeconds, " seconds"),
      {"plot", true,
       [&options](const std::string& value, std::string&)
       {
         options.plotPath = value;
         return true;
       }},
      FormatOption(options.format)};
  AddStateOptions(specs, options.state);

  std::vector<std::string> positional;
  if (!ParseArguments(args, specs, positional, error)) return false;
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

bool ParsePresetOptions(const std::vector<std::string>& args, PresetOptions& options,
                        std::string& error)
{
  std::vector<OptionSpec> specs = {ComponentOption(options.componentPath)};
  AddStateOptions(specs, options.state);
  std::vector<std::string> positional;
  if (!ParseArguments(args, specs, positional, error)) return false;
  if (positional.size() < 2 || (positional[0] != "save" && positional[0] != "show"))
  {
    error = "usage: tolvane preset save FILE.aupreset [--preset NAME] [--set NAME=VALUE]... | "
            "tolvane preset show FILE.aupreset";
    return false;
  }
  if (TooManyArguments(positional, 2, error)) return false;
  options.action = positional[0];
  options.path = positional[1];
  const StateOptions& state = options.state;
  if (options.action == "show" &&
      (!state.presetName.empty() || !state.stateFile.empty() || !state.settings.empty()))
  {
    error = "preset show takes no --preset, --state or --set";
    return false;
  }
  return true;
}

bool ParseComponentOptions(const std::vector<std::string>& args, ComponentOptions& options,
                           std::string& error)
{
  std::vector<OptionSpec> specs = {ComponentOption(options.componentPath)};
  std::vector<std::string> positional;
  if (!ParseArguments(args, specs, positional, error)) return false;
  return !TooManyArguments(positional, 0, error);
}
