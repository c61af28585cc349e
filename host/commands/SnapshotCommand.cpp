// `tolvane snapshot OUT.png [--preset NAME | --state FILE] [--set NAME=VALUE]...`
// opens the component, sets its state, obtains the editor's view as a host
// does (the Cocoa view property, the factory class, the view in a window),
// lets one tick of the editor's timer draw it and writes the view's pixels.

#include "host/commands/Commands.h"
#include "host/commands/Options.h"
#include "host/commands/UnitState.h"

#include "host/kit/Component.h"
#include "host/kit/EditorView.h"
#include "lice/lice.h"
#include "lice/lice_png.h"

#include <cstdio>
#include <cstring>

namespace
{
struct SnapshotOptions
{
  bool help = false;
  std::string componentPath;
  std::string outputPath;
  StateOptions state;
};

std::vector<OptionSpec> SnapshotOptionSpecs(SnapshotOptions& options)
{
  std::vector<OptionSpec> specs;
  AddStateOptions(specs, options.state);
  specs.push_back(ComponentOption(options.componentPath));
  specs.push_back(HelpOption(options.help));
  return specs;
}

bool ParseSnapshotOptions(const std::vector<std::string>& args, SnapshotOptions& options,
                          std::string& error)
{
  std::vector<std::string> positional;
  if (!ParseArguments(args, SnapshotOptionSpecs(options), positional, error)) return false;
  if (options.help) return true;
  if (positional.empty())
  {
    error = "snapshot needs OUT.png";
    return false;
  }
  if (TooManyArguments(positional, 1, error)) return false;
  options.outputPath = positional[0];
  return true;
}

// The view's pixels are the raster layer's words already.
bool WriteViewPNG(const EditorView& view, const std::string& path, std::string& error)
{
  LICE_MemBitmap bitmap(view.Width(), view.Height());
  const uint32_t* pixels = view.Pixels();
  for (int y = 0; y < view.Height(); ++y)
    std::memcpy(bitmap.getBits() + y * bitmap.getRowSpan(), pixels + y * view.Width(),
                sizeof(uint32_t) * static_cast<size_t>(view.Width()));
  if (LICE_WritePNG(path.c_str(), &bitmap)) return true;
  error = "cannot write " + path;
  return false;
}

bool TakeSnapshot(const SnapshotOptions& options, std::string& error)
{
  Component component = nullptr;
  UnitInstance unit;
  if (!FindAndLoadComponent(options.componentPath, component, error) ||
      !OpenUnit(component, unit, error) || !ApplyStateOptions(unit.Get(), options.state, error))
    return false;
  EditorView view;
  if (!view.Open(unit.Get(), error)) return false;
  // The editor's first tick draws what is dirty: everything.
  if (!view.RunUntilDrawn(1.0))
  {
    error = "the editor's view did not draw within a second";
    return false;
  }
  if (!WriteViewPNG(view, options.outputPath, error)) return false;
  std::printf("wrote %s (%d x %d)\n", options.outputPath.c_str(), view.Width(), view.Height());
  return true;
}

int Run(const std::vector<std::string>& args)
{
  SnapshotOptions options;
  std::string error;
  if (!ParseSnapshotOptions(args, options, error)) return UsageError(kSnapshotCommand, error);
  if (options.help) return ShowUsage(kSnapshotCommand, SnapshotOptionSpecs(options));
  if (TakeSnapshot(options, error)) return 0;
  std::fprintf(stderr, "tolvane: %s\n", error.c_str());
  return 1;
}
} // namespace

const Command kSnapshotCommand = {
    "snapshot", "OUT.png [options]",
    "draw the editor as a host shows it (--preset, --state, --set) and write its pixels", Run};
