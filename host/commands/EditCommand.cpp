// `tolvane edit` shows the plug-in's editor on the screen: the component is
// opened and started as a host does, its view is obtained through the Cocoa
// view property and put in a window of ours, and the program runs until the
// window is closed. With --save the state is written as an .aupreset file
// when the window closes or the program is interrupted (SIGINT, SIGTERM).

#include "host/commands/Commands.h"
#include "host/commands/Options.h"
#include "host/commands/UnitState.h"

#include "host/kit/EditorView.h"
#include "host/kit/HostedUnit.h"
#include "host/kit/PresetFile.h"

#include "platform/window/Window.h"
#include "platform/window/backends/x11/X11Backend.h"

#include <csignal>
#include <cstdio>

namespace
{
struct EditOptions
{
  bool help = false;
  std::string componentPath;
  std::string savePath;
  StateOptions state;
};

volatile std::sig_atomic_t sInterrupted = 0;

void OnInterrupt(int)
{
  sInterrupted = 1;
}

// SIGINT and SIGTERM end the run loop instead of the program; the previous
// handlers come back when this goes.
class InterruptScope
{
public:
  InterruptScope()
  {
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &mOldInt);
    sigaction(SIGTERM, &action, &mOldTerm);
  }
  ~InterruptScope()
  {
    sigaction(SIGINT, &mOldInt, nullptr);
    sigaction(SIGTERM, &mOldTerm, nullptr);
  }

private:
  struct sigaction mOldInt = {}, mOldTerm = {};
};

// The X11 backend installed for as long as this lives.
class InstalledBackend
{
public:
  explicit InstalledBackend(X11Backend* backend) { SetWindowBackend(backend); }
  ~InstalledBackend() { SetWindowBackend(nullptr); }
};

std::vector<OptionSpec> EditOptionSpecs(EditOptions& options)
{
  std::vector<OptionSpec> specs;
  AddStateOptions(specs, options.state);
  specs.push_back({"save", "FILE", "write the state to this .aupreset file when the window\n"
                                   "closes or the program is interrupted",
                   [&options](const std::string& value, std::string&)
                   {
                     options.savePath = value;
                     return true;
                   }});
  specs.push_back(ComponentOption(options.componentPath));
  specs.push_back(HelpOption(options.help));
  return specs;
}

bool SaveState(AudioUnit unit, const std::string& path, std::string& error)
{
  CFRef<CFPropertyListRef> plist;
  if (!CopyClassInfo(unit, plist, error) || !WritePresetFile(path, plist.Get(), error))
    return false;
  std::printf("wrote %s\n", path.c_str());
  return true;
}

int Fail(const std::string& error)
{
  std::fprintf(stderr, "tolvane edit: %s\n", error.c_str());
  return 1;
}

int Run(const std::vector<std::string>& args)
{
  EditOptions options;
  std::string error;
  std::vector<std::string> positional;
  if (!ParseArguments(args, EditOptionSpecs(options), positional, error) ||
      TooManyArguments(positional, 0, error))
    return UsageError(kEditCommand, error);
  if (options.help) return ShowUsage(kEditCommand, EditOptionSpecs(options));

  std::string why;
  std::unique_ptr<X11Backend> backend = X11Backend::Open(nullptr, &why);
  if (!backend) return Fail("no display to show the editor on: " + why);
  InstalledBackend installed(backend.get());

  HostedUnit unit;
  if (!unit.OpenFound(options.componentPath, error) || !unit.Start(StreamSetup(), error) ||
      !ApplyStateOptions(unit.Unit(), options.state, error))
    return Fail(error);

  int status = 0;
  {
    EditorView view;
    if (!view.Open(unit.Unit(), error)) return Fail(error);
    InterruptScope interrupts;
    sInterrupted = 0;
    NSWindow* window = view.Window();
    backend->RunUntil([&] { return sInterrupted || backend->CloseRequested(window); });
    if (!options.savePath.empty() && !SaveState(unit.Unit(), options.savePath, error))
      status = Fail(error);
  }
  return status;
}
} // namespace

const Command kEditCommand = {
    "edit", "[options]",
    "show the plug-in's editor in a window until it is closed (--state, --save)", Run};
