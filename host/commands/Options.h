#pragma once

// What the user asked each command to do, and the option tables that fill it
// in: the options several commands share are made here, the others beside
// their command.

#include "host/commands/ArgumentParser.h"
#include "host/kit/Parameters.h"
#include "host/render/AudioFile.h"

#include <string>
#include <vector>

// The plug-in's state before a render or a preset save: a factory preset or a
// state file, then single parameter values on top.
struct StateOptions
{
  std::string presetName;
  std::string stateFile;
  std::vector<ParameterSetting> settings;
};

struct RenderOptions
{
  bool help = false;
  std::string componentPath;
  bool demo = false;     // the built-in demo instead of an input file
  bool mono = false;     // a mono input through the 1-1 configuration
  std::string inputPath; // empty for the demo
  std::string outputPath;
  double tempo = 120.0;
  unsigned blockFrames = 512;
  StateOptions state;
  bool bypass = false;
  double tailSeconds = -1.0; // negative: until the echoes have died away
  std::string plotPath;
  bool formatChosen = false; // otherwise the container's default
  SampleFormat sampleFormat = SampleFormat::Float;
  bool timings = false; // the time of each phase on standard error
};

struct PresetOptions
{
  bool help = false;
  std::string componentPath;
  std::string action; // "save" or "show"
  std::string path;
  std::string presetName; // save: the name inside the file
  StateOptions state;
};

// Commands that take only the component.
struct ComponentOptions
{
  bool help = false;
  std::string componentPath;
};

const double kMinTempo = 1.0;
const double kMaxTempo = 999.0;
const unsigned kMaxBlockFrames = 16384;
const double kMaxTailSeconds = 600.0;
const double kDefaultMaxTailSeconds = 30.0;

// The option table of each command (its entries refer to options).
std::vector<OptionSpec> RenderOptionSpecs(RenderOptions& options);
std::vector<OptionSpec> PresetOptionSpecs(PresetOptions& options);
std::vector<OptionSpec> ComponentOptionSpecs(ComponentOptions& options);

// Options shared by several commands.
OptionSpec HelpOption(bool& help);
OptionSpec ComponentOption(std::string& path);
// --preset, --state and --set; the first two exclude each other.
void AddStateOptions(std::vector<OptionSpec>& specs, StateOptions& state);
// False with a message when there are more positional arguments than allowed.
bool TooManyArguments(const std::vector<std::string>& positional, size_t allowed,
                      std::string& error);

// Each parses a command's arguments; with --help set, the positional
// arguments are not checked.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);
bool ParsePresetOptions(const std::vector<std::string>& args, PresetOptions& options,
                        std::string& error);
bool ParseComponentOptions(const std::vector<std::string>& args, ComponentOptions& options,
                           std::string& error);
