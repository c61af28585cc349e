// Validation: what a render costs the audio thread besides arithmetic. A
// worker renders with a counting library loaded ahead of the C library: any
// allocation fails; a lock beyond the one the component entry may take around
// a render, or any system call, is a warning.

#include "host/validate/RenderProbe.h"
#include "host/validate/ValidateSupport.h"

namespace
{
std::string Counted(long count, const char* what)
{
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}
} // namespace

CheckResult JudgeRenderCounts(const RenderPathCounts& counts, long allowedLocks)
{
  if (counts.renders == 0) return Fail("no render succeeded");
  const std::string in = " in " + Counted(counts.renders, "render");
  if (counts.allocations > 0) return Fail(Counted(counts.allocations, "allocator call") + in);
  const std::string usage =
      Counted(counts.locks, "lock") + ", " + Counted(counts.systemCalls, "system call") + in;
  if (counts.locks > allowedLocks * counts.renders || counts.systemCalls > 0)
    return Warn(usage + " (at most " + Counted(allowedLocks, "lock") + " per render is expected)");
  return Pass("0 allocator calls, " + usage);
}

namespace
{
CheckResult WithCounts(ValidationContext& context, bool fast)
{
  RenderProbeReport report;
  std::string error;
  if (!ProbeRenders(context.BundlePath(), report, error)) return Warn("not counted: " + error);
  if (!report.countingWorks)
    return Warn("not counted: the counting library sees no allocation in this build");
  if (fast && !report.fast.available) return Pass("the component offers no such procedure");
  return JudgeRenderCounts(fast ? report.fast : report.entry, fast ? 0 : 1);
}

CheckResult ThroughTheEntry(ValidationContext& context)
{
  return WithCounts(context, false);
}

CheckResult ThroughFastDispatch(ValidationContext& context)
{
  return WithCounts(context, true);
}
} // namespace

CheckGroup RealTimeChecks()
{
  return {"real time",
          {{"rendering through the entry allocates nothing, takes at most the plug-in mutex",
            ThroughTheEntry},
           {"rendering through the fast-dispatch procedure allocates and locks nothing",
            ThroughFastDispatch}}};
}
