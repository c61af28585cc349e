#include "host/commands/ArgumentParser.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace
{
const OptionSpec* FindSpec(const std::vector<OptionSpec>& specs, const std::string& name)
{
  for (const OptionSpec& spec : specs)
    if (name == spec.name) return &spec;
  return nullptr;
}
} // namespace

namespace
{
// "-h" is the usual short form of "--help".
std::string OptionWord(const std::string& arg)
{
  return arg == "-h" ? std::string("--help") : arg;
}
} // namespace

bool ParseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                    std::vector<std::string>& positional, std::string& error)
{
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i)
  {
    const std::string arg = optionsEnded ? args[i] : OptionWord(args[i]);
    if (optionsEnded || arg.empty() || arg[0] != '-')
    {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--")
    {
      optionsEnded = true;
      continue;
    }
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0)
    {
      error = "unknown option " + arg + " (a file name that starts with '-' goes after '--')";
      return false;
    }
    const size_t equals = arg.find('=');
    const std::string name =
        arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const OptionSpec* spec = FindSpec(specs, name);
    if (!spec)
    {
      error = "unknown option --" + name;
      return false;
    }
    std::string value;
    if (spec->TakesValue())
    {
      if (equals != std::string::npos)
        value = arg.substr(equals + 1);
      else if (i + 1 < args.size())
        value = args[++i];
      else
      {
        error = "--" + name + " needs a value";
        return false;
      }
    }
    else if (equals != std::string::npos)
    {
      error = "--" + name + " takes no value";
      return false;
    }
    if (!spec->apply(value, error)) return false;
  }
  return true;
}

std::string OptionsHelp(const std::vector<OptionSpec>& specs)
{
  const size_t kHelpColumn = 24;
  std::string text;
  for (const OptionSpec& spec : specs)
  {
    std::string line = std::string("  --") + spec.name;
    if (spec.TakesValue()) line += std::string(" ") + spec.valueName;
    line += line.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - line.size(), ' ')
                                           : "\n" + std::string(kHelpColumn, ' ');
    for (const char* c = spec.help; *c; ++c)
      line += *c == '\n' ? "\n" + std::string(kHelpColumn, ' ') : std::string(1, *c);
    text += line + "\n";
  }
  return text;
}

bool ParseNumber(const std::string& text, double& value)
{
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(text.c_str(), &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool ParseInteger(const std::string& text, long& value)
{
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0') return false;
  value = parsed;
  return true;
}
