#pragma once

// Command-line parsing: options "--name VALUE", "--name=VALUE" or flags
// "--name", anywhere among the positional arguments; "--" ends the options.
// A word that starts with "-" is never taken as a positional argument (a file
// name) unless it follows "--". Each option carries its own help line, from
// which the usage text is made.

#include <functional>
#include <string>
#include <vector>

struct OptionSpec
{
  const char* name;      // without the leading "--"
  const char* valueName; // "BPM", "FILE", ...; null for a flag
  const char* help;      // one line; "\n" starts a continuation line
  // Stores the value; false with a message for a bad one.
  std::function<bool(const std::string& value, std::string& error)> apply;

  bool TakesValue() const { return valueName != nullptr; }
};

bool ParseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                    std::vector<std::string>& positional, std::string& error);

// One line per option ("  --tempo BPM        host tempo (default 120)"), continuation
// lines indented under the help column.
std::string OptionsHelp(const std::vector<OptionSpec>& specs);

// Whole-text numbers: false for empty text, trailing characters or non-finite values.
bool ParseNumber(const std::string& text, double& value);
bool ParseInteger(const std::string& text, long& value);
