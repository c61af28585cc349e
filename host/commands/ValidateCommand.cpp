// `tolvane validate`: its options and its entry; the checks are in validate/.

#include "host/commands/Commands.h"
#include "host/commands/Options.h"
#include "host/validate/Validate.h"

namespace
{
int Run(const std::vector<std::string>& args)
{
  ComponentOptions options;
  std::string error;
  if (!ParseComponentOptions(args, options, error)) return UsageError(kValidateCommand, error);
  if (options.help) return ShowUsage(kValidateCommand, ComponentOptionSpecs(options));
  return RunValidate(options.componentPath);
}
} // namespace

const Command kValidateCommand = {"validate", "[options]", "conformance checks of the component",
                                  Run};
