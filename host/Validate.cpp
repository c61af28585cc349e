// `tolvane validate`: runs every check group against fresh instances of the
// component and prints one line per check and a summary.

#include "host/Commands.h"

#include "host/Component.h"
#include "host/Validate.h"

#include <cstdio>

bool ValidationContext::Prepare(std::string& error)
{
  UnitInstance unit;
  return OpenUnit(mComponent, unit, error) && ReadParameters(unit.Get(), mParameters, error);
}

namespace
{
int RunChecks(ValidationContext& context)
{
  int passed = 0, failed = 0;
  for (const CheckGroup& group :
       {OpenChecks(), PropertyChecks(), ParameterChecks(), ChannelChecks(), RenderChecks(),
        StateChecks(), NotificationChecks(), RobustnessChecks()})
  {
    for (const Check& check : group.checks)
    {
      const CheckResult result = check.run(context);
      ++(result.passed ? passed : failed);
      std::string line =
          std::string(result.passed ? "PASS" : "FAIL") + "  " + group.name + ": " + check.name;
      if (!result.text.empty())
        line += result.passed ? " (" + result.text + ")" : ": " + result.text;
      std::printf("%s\n", line.c_str());
      std::fflush(stdout);
    }
  }
  std::printf("validate: %d checks, %d passed, %d failed\n", passed + failed, passed, failed);
  return failed == 0 ? 0 : 1;
}
} // namespace

int RunValidate(const ComponentOptions& options)
{
  std::string bundlePath, error;
  Component component = nullptr;
  if (!FindComponentBundle(options.componentPath, bundlePath, error) ||
      !LoadComponent(bundlePath, component, error))
  {
    std::fprintf(stderr, "tolvane: %s\n", error.c_str());
    return 1;
  }
  std::printf("validating %s\n", bundlePath.c_str());
  ValidationContext context(component, bundlePath);
  if (!context.Prepare(error))
  {
    std::printf("FAIL  open: first instance: %s\n", error.c_str());
    return 1;
  }
  return RunChecks(context);
}
