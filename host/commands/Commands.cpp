#include "host/commands/Commands.h"

#include <cstdio>

const std::vector<const Command*>& AllCommands()
{
  static const std::vector<const Command*> commands = {&kRenderCommand, &kInfoCommand,
                                                       &kPresetCommand, &kSnapshotCommand,
                                                       &kEditCommand, &kValidateCommand};
  return commands;
}

std::string CommandUsage(const Command& command, const std::vector<OptionSpec>& specs)
{
  std::string text = std::string("usage: tolvane ") + command.name + " " + command.synopsis + "\n" +
                     command.summary + "\n";
  if (!specs.empty()) text += "\noptions:\n" + OptionsHelp(specs);
  return text;
}

std::string ProgramUsage()
{
  std::string text = "usage: tolvane <command> [options]\n\ncommands:\n";
  for (const Command* command : AllCommands())
    text += std::string("  ") + command->name + " " + command->synopsis + "\n      " +
            command->summary + "\n";
  text += "\n'tolvane <command> --help' shows a command's options; 'tolvane --version' the "
          "version.\n";
  return text;
}

int UsageError(const Command& command, const std::string& message)
{
  std::fprintf(stderr, "tolvane %s: %s\n", command.name, message.c_str());
  std::fprintf(stderr, "run 'tolvane %s --help' for its options\n", command.name);
  return kUsageErrorStatus;
}

int ShowUsage(const Command& command, const std::vector<OptionSpec>& specs)
{
  std::fputs(CommandUsage(command, specs).c_str(), stdout);
  return 0;
}
