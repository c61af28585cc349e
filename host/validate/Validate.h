#pragma once

// The conformance run of `tolvane validate`: checks grouped by subject, each
// on fresh instances of the component, one line per check.

#include "host/kit/Parameters.h"

#include <AudioUnit/AudioUnit.h>

#include <string>
#include <vector>

// A warning is something a developer should look at that is not wrong in
// itself (a sound as designed, a hazard for some hosts); only failures make
// the run fail.
enum class Verdict
{
  Pass,
  Warn,
  Fail
};

struct CheckResult
{
  Verdict verdict = Verdict::Pass;
  std::string text; // a note when passed, the reason otherwise
};

inline CheckResult Pass(std::string note = std::string())
{
  return {Verdict::Pass, std::move(note)};
}
inline CheckResult Warn(std::string reason)
{
  return {Verdict::Warn, std::move(reason)};
}
inline CheckResult Fail(std::string reason)
{
  return {Verdict::Fail, std::move(reason)};
}

// What every check may use: the component, its bundle and its parameters.
class ValidationContext
{
public:
  ValidationContext(Component component, std::string bundlePath)
      : mComponent(component), mBundlePath(std::move(bundlePath))
  {
  }
  // Reads the parameter descriptions from a first instance.
  bool Prepare(std::string& error);

  Component GetComponent() const { return mComponent; }
  const std::string& BundlePath() const { return mBundlePath; }
  const std::vector<ParameterDesc>& Parameters() const { return mParameters; }

private:
  Component mComponent;
  std::string mBundlePath;
  std::vector<ParameterDesc> mParameters;
};

struct Check
{
  const char* name;
  CheckResult (*run)(ValidationContext& context);
};

struct CheckGroup
{
  const char* name;
  std::vector<Check> checks;
};

// One group per file, in the order they run.
CheckGroup OpenChecks();
CheckGroup PropertyChecks();
CheckGroup ParameterChecks();
CheckGroup ChannelChecks();
CheckGroup RenderChecks();
CheckGroup StreamChecks();
CheckGroup NumberChecks();
CheckGroup RealTimeChecks();
CheckGroup ThreadChecks();
CheckGroup StateChecks();
CheckGroup NotificationChecks();
CheckGroup RobustnessChecks();

// `tolvane validate`: every check on the component found from componentPath
// (see FindComponentBundle), one line each under its group's name, and a
// summary; non-zero only when a check fails. A check that takes longer than
// checkSeconds fails, and the run goes on with the next.
const double kDefaultCheckSeconds = 60.0;
int RunValidate(const std::string& componentPath, double checkSeconds = kDefaultCheckSeconds);
