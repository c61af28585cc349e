// `tolvane validate`: runs every check group against fresh instances of the
// component and prints one line per check and a summary.

#include "host/kit/Component.h"
#include "host/validate/Validate.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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

// Whole lines from a worker's pipe, each awaited for a limited time.
class LineReader
{
public:
  enum Outcome
  {
    kLine,
    kEnd,
    kTimedOut
  };
  explicit LineReader(int fd) : mFd(fd) {}

  Outcome Next(std::string& line, double seconds)
  {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;)
    {
      const size_t end = mBuffer.find('\n');
      if (end != std::string::npos)
      {
        line = mBuffer.substr(0, end);
        mBuffer.erase(0, end + 1);
        return kLine;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd ready = {mFd, POLLIN, 0};
      const int polled = poll(&ready, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
      if (polled < 0 && errno == EINTR) continue;
      if (polled == 0) return kTimedOut;
      char chunk[4096];
      const ssize_t n = polled > 0 ? read(mFd, chunk, sizeof chunk) : -1;
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return kEnd;
      mBuffer.append(chunk, static_cast<size_t>(n));
    }
  }

private:
  int mFd;
  std::string mBuffer;
};

// Runs the checks in a worker process, so that a component that crashes or
// hangs fails the check it crashed or hung in instead of ending the run; a new
// worker carries on with the next check. Hands each result to `report` in order.
template <class Report>
void RunIsolated(const std::vector<PlannedCheck>& plan, ValidationContext& context,
                 double checkSeconds, Report report)
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
    LineReader results(channel[0]);
    std::string text;
    LineReader::Outcome outcome = LineReader::kLine;
    while (next < plan.size() && (outcome = results.Next(text, checkSeconds)) == LineReader::kLine)
    {
      const char* code = text.empty() ? nullptr : std::strchr(kVerdictCodes, text[0]);
      if (!code || !*code) continue;
      report(next++, CheckResult{Verdict(code - kVerdictCodes), text.substr(1)});
    }
    if (outcome == LineReader::kTimedOut) kill(worker, SIGKILL);
    close(channel[0]);
    int status = 0;
    while (waitpid(worker, &status, 0) < 0 && errno == EINTR)
    {
    }
    if (next >= plan.size()) break;
    if (outcome == LineReader::kTimedOut)
      report(next++, Fail("the check did not finish within " + ValueText(checkSeconds) + " s"));
    else if (WIFSIGNALED(status))
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

int RunChecks(ValidationContext& context, double checkSeconds)
{
  const std::vector<PlannedCheck> plan = Plan();
  int counts[3] = {0, 0, 0};
  const char* group = nullptr;
  RunIsolated(plan, context, checkSeconds,
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

int RunValidate(const std::string& componentPath, double checkSeconds)
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
  return RunChecks(context, checkSeconds);
}
