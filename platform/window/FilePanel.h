// Open and save panels. Running one is modal: the backend answers with a path
// or a cancel (the headless backend from its script).
//
// Threads: main thread only.
#pragma once

#include <string>
#include <vector>

#include "platform/window/Object.h"

enum
{
  NSCancelButton = 0,
  NSOKButton = 1,
};

class NSSavePanel : public NSObject
{
public:
  static NSSavePanel* savePanel() { return new NSSavePanel; }

  virtual bool isOpenPanel() const { return false; }
  // Empty: any type.
  void setAllowedFileTypes(const std::vector<std::string>& types) { mTypes = types; }
  const std::vector<std::string>& allowedFileTypes() const { return mTypes; }
  // Runs the panel in the directory with the file name proposed; NSOKButton
  // when a file was chosen.
  int runModalForDirectory(const std::string& directory, const std::string& file);
  const std::string& directory() const { return mDirectory; }
  const std::string& proposedFile() const { return mFile; }
  // The chosen path (empty until one is chosen).
  const std::string& filename() const { return mChosen; }

  std::string description() const override { return "NSSavePanel"; }

protected:
  NSSavePanel() = default;

private:
  std::vector<std::string> mTypes;
  std::string mDirectory, mFile, mChosen;
};

class NSOpenPanel : public NSSavePanel
{
public:
  static NSOpenPanel* openPanel() { return new NSOpenPanel; }

  bool isOpenPanel() const override { return true; }
  void setCanChooseFiles(bool can) { mFiles = can; }
  bool canChooseFiles() const { return mFiles; }
  void setCanChooseDirectories(bool can) { mDirectories = can; }
  bool canChooseDirectories() const { return mDirectories; }
  void setResolvesAliases(bool resolves) { mResolves = resolves; }
  bool resolvesAliases() const { return mResolves; }

  std::string description() const override { return "NSOpenPanel"; }

private:
  NSOpenPanel() = default;
  bool mFiles = true, mDirectories = false, mResolves = true;
};

// Opening web and file URLs with the user's applications.
class NSWorkspace
{
public:
  static NSWorkspace* sharedWorkspace();
  // "http://..." or "file://..."; true when it was opened.
  bool openURL(const std::string& url);
};
