// `tolvane validate`: its options and its entry; the checks are in validate/.

#include "host/commands/Commands.h"
#include "host/commands/Options.h"
#include "host/kit/Component.h"
#include "host/validate/RenderProbe.h"
#include "host/validate/Validate.h"

namespace
{
struct ValidateOptions
{
  ComponentOptions component;
  bool renderProbe = false;
  double checkSeconds = kDefaultCheckSeconds;
};

const double kMaxCheckSeconds = 3600.0;

std::vector<OptionSpec> ValidateOptionSpecs(ValidateOptions& options)
{
  std::vector<OptionSpec> specs = ComponentOptionSpecs(options.component);
  specs.push_back(
      {"timeout", "SECONDS", "the longest one check may take before it fails (default 60)",
       [&options](const std::string& value, std::string& error)
       {
         double seconds = 0.0;
         if (ParseNumber(value, seconds) && seconds > 0.0 && seconds <= kMaxCheckSeconds)
         {
           options.checkSeconds = seconds;
           return true;
         }
         error = "--timeout needs seconds above 0 and up to 3600, not '" + value + "'";
         return false;
       }});
  specs.push_back({"render-probe", nullptr,
                   "the validator's own real-time worker: render and print what each\n"
                   "render cost (started by the validator with its counting library)",
                   [&options](const std::string&, std::string&)
                   {
                     options.renderProbe = true;
                     return true;
                   }});
  return specs;
}

int Run(const std::vector<std::string>& args)
{
  ValidateOptions options;
  std::vector<std::string> positional;
  std::string error;
  if (!ParseArguments(args, ValidateOptionSpecs(options), positional, error) ||
      (!options.component.help && TooManyArguments(positional, 0, error)))
    return UsageError(kValidateCommand, error);
  if (options.component.help) return ShowUsage(kValidateCommand, ValidateOptionSpecs(options));
  if (options.renderProbe)
  {
    std::string bundlePath;
    if (!FindComponentBundle(options.component.componentPath, bundlePath, error))
      return UsageError(kValidateCommand, error);
    return RunRenderProbe(bundlePath);
  }
  return RunValidate(options.component.componentPath, options.checkSeconds);
}
} // namespace

const Command kValidateCommand = {"validate", "[options]", "conformance checks of the component",
                                  Run};
