// tolvane: the offline host of the Tolvane Delay Audio Unit.

#include "host/Commands.h"
#include "host/Options.h"
#include "host/RenderJob.h"

#include <malloc.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
const char kUsage[] =
    "usage: tolvane <command> [options]\n"
    "\n"
    "  render [IN] OUT        render IN (WAV, AIFF or FLAC; mono or stereo) through Tolvane\n"
    "                         Delay into OUT; without IN, the built-in demo\n"
    "      --tempo BPM        host tempo (default 120)\n"
    "      --block N          frames per slice (default 512)\n"
    "      --preset NAME      a factory preset\n"
    "      --state FILE       a state from an .aupreset file\n"
    "      --set NAME=VALUE   a parameter by name, 0 to 100 (repeatable)\n"
    "      --bypass           render with the effect bypassed\n"
    "      --tail SECONDS     silence after the input (default: until the echoes are\n"
    "                         below -90 dBFS, at most 30 s)\n"
    "      --plot FILE.png    plot the input and output waveforms\n"
    "      --format FORMAT    wav-float (default), wav-16, wav-24, aiff-float, aiff-16,\n"
    "                         aiff-24, flac-16, flac-24\n"
    "  info                   what the component tells a host\n"
    "  preset save FILE       write the state as an .aupreset file (--preset, --set)\n"
    "  preset show FILE       show an .aupreset file\n"
    "  validate               conformance checks of the component\n"
    "\n"
    "  every command: --component PATH   the TolvaneDelay.component bundle to load\n";

const int kUsageError = 2;

int UsageError(const std::string& message)
{
  std::fprintf(stderr, "tolvane: %s\n", message.c_str());
  std::fprintf(stderr, "run 'tolvane help' for the commands and options\n");
  return kUsageError;
}

template <class Options, class Parse, class Run>
int ParseAndRun(const std::vector<std::string>& args, Parse parse, Run run)
{
  Options options;
  std::string error;
  if (!parse(args, options, error)) return UsageError(error);
  return run(options);
}

// Each instance of the effect allocates tens of megabytes of delay line.
// Keeping freed memory in the heap lets the next instance (the echo probe's
// successor, the validator's many instances) reuse it instead of faulting in
// fresh pages.
void KeepFreedMemory()
{
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
}
} // namespace

int main(int argc, char** argv)
{
  KeepFreedMemory();
  if (argc < 2) return UsageError("no command given");
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);

  if (command == "help" || command == "--help" || command == "-h")
  {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "render") return ParseAndRun<RenderOptions>(args, ParseRenderOptions, RunRender);
  if (command == "info") return ParseAndRun<ComponentOptions>(args, ParseComponentOptions, RunInfo);
  if (command == "preset") return ParseAndRun<PresetOptions>(args, ParsePresetOptions, RunPreset);
  if (command == "validate")
    return ParseAndRun<ComponentOptions>(args, ParseComponentOptions, RunValidate);
  return UsageError("unknown command '" + command + "'");
}
