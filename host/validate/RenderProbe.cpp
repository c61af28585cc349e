#include "host/validate/RenderProbe.h"

#include "host/validate/RenderCounting.h"
#include "host/validate/ValidateSupport.h"

#include <dlfcn.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

extern char** environ;

namespace
{
const UInt32 kProbeFrames = 256;
const int kSettleRenders = 8;
const int kCountedRenders = 64;
const char kLibraryName[] = "libtolvane_render_counting.so";

using ArmFn = void (*)();
using DisarmFn = RenderCounts (*)();

struct Counter
{
  ArmFn arm = nullptr;
  DisarmFn disarm = nullptr;

  // The library is there only when it was loaded ahead of the program.
  bool Find()
  {
    arm = reinterpret_cast<ArmFn>(dlsym(RTLD_DEFAULT, "RenderCountingArm"));
    disarm = reinterpret_cast<DisarmFn>(dlsym(RTLD_DEFAULT, "RenderCountingDisarm"));
    return arm && disarm;
  }
  // One allocation and its release, through a pointer the compiler cannot see through.
  bool SeesAllocations() const
  {
    void* (*volatile allocate)(size_t) = std::malloc;
    arm();
    std::free(allocate(16));
    return disarm().allocations == 2;
  }
};

// Renders settle blocks, then counted ones; between counted blocks (not
// counted) a parameter moves across its range and, now and then, the tempo.
void CountPath(ValidationContext& context, UnitRenderer& renderer, const Counter& counter,
               RenderPathCounts& counts)
{
  std::vector<float> inL(kProbeFrames), inR(kProbeFrames), outL(kProbeFrames), outR(kProbeFrames);
  const float* in[] = {inL.data(), inR.data()};
  float* out[] = {outL.data(), outR.data()};
  unsigned seed = 12345u;
  const auto fill = [&]
  {
    for (size_t i = 0; i < kProbeFrames; ++i)
    {
      seed = seed * 1664525u + 1013904223u;
      inL[i] = inR[i] = 0.5f * (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f);
    }
  };
  const std::vector<ParameterDesc>& params = context.Parameters();
  for (int i = 0; i < kSettleRenders; ++i)
  {
    fill();
    renderer.Render(in, out, kProbeFrames);
  }
  counts.available = true;
  for (int i = 0; i < kCountedRenders; ++i)
  {
    fill();
    if (!params.empty())
    {
      const ParameterDesc& desc = params[static_cast<size_t>(i) % params.size()];
      const double fraction = static_cast<double>((i * 7) % 11) / 10.0;
      AudioUnitSetParameter(renderer.Unit(), desc.id, kAudioUnitScope_Global, 0,
                            static_cast<AudioUnitParameterValue>(
                                desc.minValue + fraction * (desc.maxValue - desc.minValue)),
                            0);
    }
    if (i % 10 == 5) renderer.SetTempo(60.0 + i);
    counter.arm();
    const ComponentResult status = renderer.Render(in, out, kProbeFrames);
    const RenderCounts counted = counter.disarm();
    if (status != noErr) continue;
    ++counts.renders;
    counts.allocations += counted.allocations;
    counts.locks += counted.locks;
    counts.systemCalls += counted.systemCalls;
  }
}

std::string OwnExecutable()
{
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

// Beside an installed program (lib/tolvane next to its bin/), then the build's own.
std::string CountingLibrary(const std::string& executable)
{
  const size_t slash = executable.rfind('/');
  if (slash != std::string::npos)
  {
    const std::string installed = executable.substr(0, slash) + "/../lib/tolvane/" + kLibraryName;
    if (access(installed.c_str(), R_OK) == 0) return installed;
  }
#ifdef TOLVANE_RENDER_COUNTING_LIBRARY
  if (access(TOLVANE_RENDER_COUNTING_LIBRARY, R_OK) == 0) return TOLVANE_RENDER_COUNTING_LIBRARY;
#endif
  return std::string();
}

// The environment of this process with the library loaded first.
std::vector<std::string> WorkerEnvironment(const std::string& library)
{
  std::vector<std::string> environment;
  std::string preload = "LD_PRELOAD=" + library;
  for (char** entry = environ; entry && *entry; ++entry)
  {
    if (std::strncmp(*entry, "LD_PRELOAD=", 11) == 0)
      preload += std::string(" ") + (*entry + 11);
    else
      environment.push_back(*entry);
  }
  environment.push_back(preload);
  return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
  std::vector<char*> pointers;
  for (std::string& s : strings)
    pointers.push_back(&s[0]);
  pointers.push_back(nullptr);
  return pointers;
}

std::string FormatPath(const char* name, const RenderPathCounts& c)
{
  if (!c.available) return std::string(name) + " none\n";
  return std::string(name) + " " + std::to_string(c.renders) + " " + std::to_string(c.allocations) +
         " " + std::to_string(c.locks) + " " + std::to_string(c.systemCalls) + "\n";
}

bool ParsePath(std::istream& line, RenderPathCounts& c)
{
  std::string word;
  if (!(line >> word)) return false;
  if (word == "none") return true;
  c.available = true;
  c.renders = std::strtol(word.c_str(), nullptr, 10);
  return static_cast<bool>(line >> c.allocations >> c.locks >> c.systemCalls);
}
} // namespace

std::string FormatProbeReport(const RenderProbeReport& report)
{
  return std::string("counting ") + (report.countingWorks ? "works" : "blind") + "\n" +
         FormatPath("entry", report.entry) + FormatPath("fast", report.fast);
}

bool ParseProbeReport(const std::string& text, RenderProbeReport& report)
{
  std::istringstream lines(text);
  std::string line;
  int seen = 0;
  while (std::getline(lines, line))
  {
    std::istringstream words(line);
    std::string key, value;
    words >> key;
    if (key == "counting" && words >> value)
    {
      report.countingWorks = value == "works";
      seen |= 1;
    }
    else if (key == "entry" && ParsePath(words, report.entry))
      seen |= 2;
    else if (key == "fast" && ParsePath(words, report.fast))
      seen |= 4;
  }
  return seen == 7;
}

int RunRenderProbe(const std::string& bundlePath)
{
  Counter counter;
  Component component = nullptr;
  std::string error;
  if (!counter.Find())
    error = "the render-counting library is not loaded";
  else if (LoadComponent(bundlePath, component, error))
  {
    RenderProbeReport report;
    report.countingWorks = counter.SeesAllocations();
    ValidationContext context(component, bundlePath);
    PlayingUnit entry, fast;
    const StreamSetup setup = StereoSetup(44100.0, kProbeFrames);
    if (context.Prepare(error) && entry.Start(context, setup, error) &&
        fast.Start(context, setup, error))
    {
      CountPath(context, entry.Renderer(), counter, report.entry);
      if (fast.Renderer().UseFastDispatch())
        CountPath(context, fast.Renderer(), counter, report.fast);
      std::fputs(FormatProbeReport(report).c_str(), stdout);
      return 0;
    }
  }
  std::fprintf(stderr, "tolvane: %s\n", error.c_str());
  return 1;
}

bool ProbeRenders(const std::string& bundlePath, RenderProbeReport& report, std::string& error)
{
  const std::string executable = OwnExecutable();
  const std::string library = CountingLibrary(executable);
  if (library.empty())
  {
    error = "this build has no render-counting library";
    return false;
  }
  std::vector<std::string> args = {executable, "validate", "--component", bundlePath,
                                   "--render-probe"};
  std::vector<std::string> environment = WorkerEnvironment(library);
  std::vector<char*> argv = Pointers(args), envp = Pointers(environment);
  int channel[2];
  std::fflush(stdout);
  const pid_t worker = pipe(channel) == 0 ? fork() : -1;
  if (worker < 0)
  {
    error = "no worker process for the counts";
    return false;
  }
  if (worker == 0)
  {
    prctl(PR_SET_PDEATHSIG, SIGKILL); // ends with the check that started it
    dup2(channel[1], STDOUT_FILENO);
    close(channel[0]);
    close(channel[1]);
    execve(executable.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(channel[1]);
  std::string text;
  char buffer[512];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) != 0;)
  {
    if (n > 0)
      text.append(buffer, static_cast<size_t>(n));
    else if (errno != EINTR)
      break;
  }
  close(channel[0]);
  int status = 0;
  while (waitpid(worker, &status, 0) < 0 && errno == EINTR)
  {
  }
  if (WIFSIGNALED(status))
    error = "the counting worker crashed (signal " + std::to_string(WTERMSIG(status)) + ")";
  else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !ParseProbeReport(text, report))
    error = "the counting worker gave no counts (exit status " +
            std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")";
  else
    return true;
  return false;
}
