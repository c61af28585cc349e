#pragma once

// The validator's real-time worker: a second run of the program, started by
// the real-time checks with the render-counting library loaded ahead of the C
// library, that renders through the component and prints what each render
// cost besides arithmetic (allocations, locks, system calls).
//
// The worker's own (main) thread does everything; nothing here is for an
// audio thread of a real host.

#include "host/validate/Validate.h"

#include <string>

// The counts of one render path, as the worker prints them.
struct RenderPathCounts
{
  bool available = false; // the component offers this path
  long renders = 0;
  long allocations = 0;
  long locks = 0;
  long systemCalls = 0;
};

struct RenderProbeReport
{
  bool countingWorks = false; // the library saw a known allocation
  RenderPathCounts entry;     // through the component entry
  RenderPathCounts fast;      // through the fast-dispatch render procedure
};

// In the worker: renders through both paths of a fresh instance of the
// bundle's component and prints the report; 0 when it could.
int RunRenderProbe(const std::string& bundlePath);

// In the validator: starts the worker on the bundle and reads its report;
// false with a message when there is no counting library or no worker.
bool ProbeRenders(const std::string& bundlePath, RenderProbeReport& report, std::string& error);

// The verdict on one path: any allocation fails; more than `allowedLocks`
// locks per render, or any system call, warns.
CheckResult JudgeRenderCounts(const RenderPathCounts& counts, long allowedLocks);

// The text the worker prints, and reading it back.
std::string FormatProbeReport(const RenderProbeReport& report);
bool ParseProbeReport(const std::string& text, RenderProbeReport& report);
