#include "host/commands/Options.h"

namespace
{
bool ParseSetting(const std::string& text, ParameterSetting& setting, std::string& error)
{
  const size_t equals = text.rfind('=');
  if (equals == std::string::npos || equals == 0)
  {
    error = "--set needs NAME=VALUE, not '" + text + "'";
    return false;
  }
  setting.name = text.substr(0, equals);
  setting.value = text.substr(equals + 1);
  if (setting.value.empty())
  {
    error = "--set needs a value after '=' (--set " + text + ")";
    return false;
  }
  return true;
}
} // namespace

OptionSpec HelpOption(bool& help)
{
  return {"help", nullptr, "this command's usage",
          [&help](const std::string&, std::string&)
          {
            help = true;
            return true;
          }};
}

OptionSpec ComponentOption(std::string& path)
{
  return {"component", "PATH", "the TolvaneDelay.component bundle to load",
          [&path](const std::string& value, std::string&)
          {
            path = value;
            return true;
          }};
}

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
  specs.push_back(
      {"preset", "NAME", "a factory preset", exclusive(state.presetName, state.stateFile)});
  specs.push_back({"state", "FILE", "a state from an .aupreset file",
                   exclusive(state.stateFile, state.presetName)});
  specs.push_back({"set", "NAME=VALUE",
                   "a parameter by name (any case), 0 to 100 or the text the\neffect "
                   "shows for it, e.g. LP1=5000 (repeatable)",
                   [&state](const std::string& value, std::string& error)
                   {
                     ParameterSetting setting;
                     if (!ParseSetting(value, setting, error)) return false;
                     state.settings.push_back(setting);
                     return true;
                   }});
}

bool TooManyArguments(const std::vector<std::string>& positional, size_t allowed,
                      std::string& error)
{
  if (positional.size() <= allowed) return false;
  error = "unexpected argument '" + positional[allowed] + "'";
  return true;
}

std::vector<OptionSpec> ComponentOptionSpecs(ComponentOptions& options)
{
  return {ComponentOption(options.componentPath), HelpOption(options.help)};
}

bool ParseComponentOptions(const std::vector<std::string>& args, ComponentOptions& options,
                           std::string& error)
{
  std::vector<std::string> positional;
  if (!ParseArguments(args, ComponentOptionSpecs(options), positional, error)) return false;
  return options.help || !TooManyArguments(positional, 0, error);
}
