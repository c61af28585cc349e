#pragma once

// The program's commands. Each parses its own arguments from its option table,
// answers --help with its own usage, and returns the program's exit status.

#include "host/commands/ArgumentParser.h"

#include <string>
#include <vector>

struct Command
{
  const char* name;
  const char* synopsis; // the arguments after the name: "[options] [IN] OUT"
  const char* summary;  // one line
  int (*run)(const std::vector<std::string>& args);
};

extern const Command kRenderCommand;
extern const Command kInfoCommand;
extern const Command kPresetCommand;
extern const Command kValidateCommand;
extern const Command kSnapshotCommand;
extern const Command kEditCommand;

// Every command, in the order the usage lists them.
const std::vector<const Command*>& AllCommands();

const int kUsageErrorStatus = 2;

// "usage: tolvane NAME SYNOPSIS", the summary and the options.
std::string CommandUsage(const Command& command, const std::vector<OptionSpec>& specs);
// The program's usage: every command with its synopsis and summary.
std::string ProgramUsage();
// Prints the message and a hint to stderr; kUsageErrorStatus.
int UsageError(const Command& command, const std::string& message);
// Prints the command's usage to stdout; 0.
int ShowUsage(const Command& command, const std::vector<OptionSpec>& specs);
