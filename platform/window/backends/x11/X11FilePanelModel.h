// What the file panel of the X11 backend knows and decides, without a
// screen: the folder shown, its sub-folders and the files of the allowed
// types, the typed path, and what confirming it means (go into a folder,
// choose a file, or stay with a message). "~" stands for the home folder.
//
// Threads: any thread; one model per panel.
#pragma once

#include <string>
#include <vector>

// The home folder: $HOME, else the user database's entry, else "/".
std::string HomeFolder();
// "~" or "~/..." with the home folder put in; other paths unchanged.
std::string ExpandTilde(const std::string& path, const std::string& home);

struct FileEntry
{
  std::string name;
  bool folder = false;
};

// A folder's visible sub-folders, then its files whose extension is one of
// types (any case; all files when types is empty), each group by name.
// Empty when the folder cannot be read.
std::vector<FileEntry> ListFolder(const std::string& folder, const std::vector<std::string>& types);

class FilePanelModel
{
public:
  enum Outcome
  {
    kStay,
    kChosen,
  };

  // folder may start with "~"; a folder that cannot be read shows the home
  // folder instead.
  FilePanelModel(bool save, const std::string& folder, const std::string& file,
                 const std::vector<std::string>& types);

  bool isSave() const { return mSave; }
  const std::string& folder() const { return mFolder; }
  // ".." (unless at the root), then the folder's listing.
  const std::vector<FileEntry>& entries() const { return mEntries; }
  // The path text as it stands, and where the typist edits it.
  std::string typed;
  int selected() const { return mSelected; }
  // What went wrong with the last confirmation ("" when nothing).
  const std::string& message() const { return mMessage; }

  // Shows another folder (typed is cleared); false, and nothing changes,
  // when it cannot be read.
  bool enter(const std::string& folder);
  // Selects entry i: a file's name becomes the typed text.
  void select(int i);
  // Double click or Return on entry i: a folder is entered, a file chosen.
  Outcome activate(int i, std::string* path);
  // The typed text confirmed: a folder is entered; a file is chosen when an
  // open panel finds it, or when a save panel's folder exists (the first
  // allowed type is added when the name has none of them).
  Outcome confirm(std::string* path);
  // The typed text as a full path.
  std::string resolved() const;

private:
  bool hasAllowedType(const std::string& name) const;

  bool mSave;
  std::vector<std::string> mTypes;
  std::string mFolder;
  std::vector<FileEntry> mEntries;
  int mSelected = -1;
  std::string mMessage;
};
