#include "platform/window/FilePanel.h"

#include "platform/window/WindowBackend.h"

int NSSavePanel::runModalForDirectory(const std::string& directory, const std::string& file)
{
  mDirectory = directory;
  mFile = file;
  mChosen.clear();
  std::string path;
  if (!GetWindowBackend()->runFilePanel(this, &path) || path.empty()) return NSCancelButton;
  mChosen = path;
  return NSOKButton;
}

NSWorkspace* NSWorkspace::sharedWorkspace()
{
  static NSWorkspace workspace;
  return &workspace;
}

bool NSWorkspace::openURL(const std::string& url)
{
  return !url.empty() && GetWindowBackend()->openURL(url);
}
