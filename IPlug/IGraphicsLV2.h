#pragma once

// The editor of the LV2 edition's UI: the same window binding as the
// component's, with its pictures and paths taken from a folder (the UI
// module's bundle) instead of a registered bundle.
//
// Threads: the host's user-interface thread, like IGraphicsMac.

#include "IPlug/IGraphicsMac.h"

#include <string>

class IGraphicsLV2 : public IGraphicsMac
{
public:
  // resourceDir: the folder that picture names are relative to, e.g. the
  // bundle folder for "resources/img/knob.png".
  IGraphicsLV2(IPlugBase* plug, int w, int h, int refreshFPS, const char* resourceDir);

  // The PNG at resourceDir/name; null when the name leaves the folder, is no
  // PNG name, or the file is missing or not a PNG.
  LICE_IBitmap* OSLoadBitmap(int ID, const char* name) override;
  // Both the bundle folder, with a trailing '/'.
  void PluginPath(WDL_String* path) override;
  void HostPath(WDL_String* path) override;

private:
  std::string mResourceDir;
};

// The folder of the module (shared library) that holds this code, with no
// trailing '/'; "" when it cannot be found.
std::string LV2ModuleFolder();
