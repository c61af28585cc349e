#pragma once

// Command-line parsing: options "--name VALUE", "--name=VALUE" or flags
// "--name", anywhere among the positional arguments.

#include <functional>
#include <string>
#include <vector>

struct OptionSpec
{
  const char* name; // without the leading "--"
  bool takesValue;
  // Stores the value; false with a message for a bad one.
  std::function<bool(const std::string& value, std::string& error)> apply;
};

bool ParseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                    std::vector<std::string>& positional, std::string& error);

// Whole-text numbers: false for empty text, trailing characters or non-finite values.
bool ParseNumber(const std::string& text, double& value);
bool ParseInteger(const std::string& text, long& value);
