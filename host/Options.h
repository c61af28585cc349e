#pragma once

// What the user asked each command to do.

#include "host/AudioFile.h"
#include "host/Parameters.h"

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
  std::string componentPath;
  std::string inputPath; // empty: the built-in demo
  std::string outputPath;
  double tempo = 120.0;
  unsigned blockFrames = 512;
  StateOptions state;
  bool bypass = false;
  double tailSeconds = -1.0; // negative: until the echoes have died away
  std::string plotPath;
  FileFormat format = FileFormat::WavFloat;
};

struct PresetOptions
{
  std::string componentPath;
  std::string action; // "save" or "show"
  std::string path;
  StateOptions state;
};

// Commands that take only the component.
struct ComponentOptions
{
  std::string componentPath;
};

const double kMinTempo = 1.0;
const double kMaxTempo = 999.0;
const unsigned kMaxBlockFrames = 16384;
const double kMaxTailSeconds = 600.0;
const double kDefaultMaxTailSeconds = 30.0;

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);
bool ParsePresetOptions(const std::vector<std::string>& args, PresetOptions& options,
                        std::string& error);
bool ParseComponentOptions(const std::vector<std::string>& args, ComponentOptions& options,
                           std::string& error);
