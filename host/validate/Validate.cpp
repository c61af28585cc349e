// `tolvane validate`: runs every check group against fresh instances of the
// component and prints one line per check and a summary.

#include "host/kit/Component.h"
#include "host/validate/Validate.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool ValidationContext::Prepare(std::string& error)
{
  UnitInstance unit;
  return OpenUnit(mComponent, unit, error) && ReadParameters(unit.Get(), mParameters, error);
}

namespace
{
struct PlannedCheck
{
  const char* group;
  Check check;
};

std::vector<PlannedCheck> Plan()
{
  std::vector<PlannedCheck> plan;
  for (const CheckGroup& group :
       {OpenChecks(), PropertyChecks(), ParameterChecks(), ChannelChecks(), RenderChecks(),
        StreamChecks(), NumberChecks(), RealTimeChecks(), ThreadChecks(), StateChecks(),
        NotificationChecks(), RobustnessChecks()})
    for (const Check& check : group.checks)
      plan.push_back({group.name, check});
  return plan;
}

const char kVerdictCodes[] = "PWF"; // in the order of Verdict

// In the worker: runs the checks from `first` on and sends one line per check,
// the verdict's code and the text.
[[noreturn]] void RunWorker(const std::vector<PlannedCheck>& plan, size_t first,
                            ValidationContext& context, int fd)
{
  bool sent = true;
  for (size_t i = first; i < plan.size() && sent; ++i)
  {
    const CheckResult result = plan[i].check.run(context);
    std::string line = kVerdictCodes[static_cast<int>(result.verdict)] + result.text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    line += '\n';
    sent = write(fd, line.data(), line.size()) == ssize_t(line.size());
  }
  close(fd);
  std::exit(sent ? 0 : 1); // exit, not _exit: leak checkers look at the worker too
}

// Runs the checks in a worker process, so that a component that crashes fails
// the check it crashed in instead of ending the run; a new worker carries on
// with the next check. Hands each result to `report` in order.
template <class Report>
void RunIsolated(const std::vector<PlannedCheck>& plan, ValidationContext& context, Report report)
{
  for (size_t next = 0; next < plan.size();)
  {
    int channel[2];
    std::fflush(stdout);
    const pid_t worker = pipe(channel) == 0 ? fork() : -1;
    if (worker < 0)
    {
      report(next, Fail("no worker process for the check"));
      ++next;
      continue;
    }
    if (worker == 0)
    {
      close(channel[0]);
      RunWorker(plan, next, context, channel[1]);
    }
    close(channel[1]);
    FILE* results = fdopen(channel[0], "r");
    char* line = nullptr;
    size_t capacity = 0;
    for (ssize_t length; next < plan.size() && (length = getline(&line, &capacity, results)) > 0;)
    {
      std::string text(line, static_cast<size_t>(length));
      if (text.back() == '\n') text.pop_back();
      const char* code = text.empty() ? nullptr : std::strchr(kVerdictCodes, text[0]);
      if (!code || !*code) continue;
      report(next++, CheckResult{Verdict(code - kVerdictCodes), text.substr(1)});
    }
    std::free(line);
    std::fclose(results);
    int status = 0;
    while (waitpid(worker, &status, 0) < 0 && errno == EINTR)
    {
    }
    if (next >= plan.size()) break;
    if (WIFSIGNALED(status))
      report(next++,
             Fail("the component crashed (signal " + std::to_string(WTERMSIG(status)) + ")"));
    else
      report(next++, Fail("the check ended without a result"));
  }
}

std::string ResultLine(const Check& check, const CheckResult& result)
{
  static const char* const kWords[] = {"PASS", "WARN", "FAIL"};
  std::string line =
      std::string("  ") + kWords[static_cast<int>(result.verdict)] + "  " + check.name;
  if (!result.text.empty())
    line += result.verdict == Verdict::Pass ? " (" + result.text + ")" : ": " + result.text;
  return line;
}

int RunChecks(ValidationContext& context)
{
  const std::vector<PlannedCheck> plan = Plan();
  int counts[3] = {0, 0, 0};
  const char* group = nullptr;
  RunIsolated(plan, context,
              [&](size_t index, const CheckResult& result)
              {
                ++counts[static_cast<int>(result.verdict)];
                if (!group || std::strcmp(group, plan[index].group) != 0)
                  std::printf("%s\n", (group = plan[index].group));
                std::printf("%s\n", ResultLine(plan[index].check, result).c_str());
                std::fflush(stdout);
              });
  const int passed = counts[0], warned = counts[1], failed = counts[2];
  std::printf("validate: %d checks, %d passed, %d %s, %d failed\n", passed + warned + failed,
              passed, warned, warned == 1 ? "warning" : "warnings", failed);
  return failed == 0 ? 0 : 1;
}
} // namespace

int RunValidate(const std::string& componentPath)
{
  std::string bundlePath, error;
  Component component = nullptr;
  if (!FindComponentBundle(componentPath, bundlePath, error) ||
      !LoadComponent(bundlePath, component, error))
  {
    std::fprintf(stderr, "tolvane: %s\n", error.c_str());
    return 1;
  }
  std::printf("validating %s\n", bundlePath.c_str());
  ValidationContext context(component, bundlePath);
  if (!context.Prepare(error))
  {
    std::printf("open\n  FAIL  first instance: %s\n", error.c_str());
    return 1;
  }
  return RunChecks(context);
}
