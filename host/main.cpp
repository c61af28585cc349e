// tolvane: the offline host of the Tolvane Delay Audio Unit.

#include "host/commands/Commands.h"

#include <malloc.h>

#include <cstdio>
#include <string>
#include <vector>

#ifndef TOLVANE_VERSION
#define TOLVANE_VERSION "unknown"
#endif

namespace
{
int ProgramUsageError(const std::string& message)
{
  std::fprintf(stderr, "tolvane: %s\n", message.c_str());
  std::fprintf(stderr, "run 'tolvane help' for the commands\n");
  return kUsageErrorStatus;
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
  if (argc < 2) return ProgramUsageError("no command given");
  const std::string name = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);

  if (name == "help" || name == "--help" || name == "-h")
  {
    std::fputs(ProgramUsage().c_str(), stdout);
    return 0;
  }
  if (name == "--version" || name == "version")
  {
    std::printf("tolvane %s\n", TOLVANE_VERSION);
    return 0;
  }
  for (const Command* command : AllCommands())
    if (name == command->name) return command->run(args);
  return ProgramUsageError("unknown command '" + name + "'");
}
