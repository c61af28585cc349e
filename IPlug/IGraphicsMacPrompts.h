#pragma once

// The rules the window binding applies when it asks the user for something:
// how popup-menu items are titled and which of them are shown, what a text
// entry accepts while typing, and the defaults and results of file panels.
// Plain functions of the user-interface thread's data; any thread.

#include "IPlug/Containers.h"
#include "IPlug/IGraphicsStructs.h"

class IParam;

namespace MacPrompts
{
// ---- Popup menus -------------------------------------------------------------

// The title an item is shown with: its text after the menu's numbering
// ("%1d: ", "%02d: " or "%03d: " of itemIdx + 1 for prefixes 1 to 3).
void MenuItemTitle(int prefix, int itemIdx, const char* text, WDL_String* title);

// ---- Text entry ----------------------------------------------------------------

// What a text entry for the parameter lets the user type: digits, signs and
// the point for a double parameter, digits and signs for a boolean, integer or
// enumerated one, nothing for a parameter without a type. Null for no
// parameter (anything goes).
const char* EntryCharacterSet(const IParam* param);

// Filters each partial string while the user types. An empty set, or a
// length or value of 0, sets no limit of that kind.
struct EntryFormatter
{
  const char* characters = nullptr; // null: any character
  int maxLength = 0;
  int maxValue = 0;

  bool IsPartialStringValid(const char* partial) const;
};

// ---- File panels ----------------------------------------------------------------

constexpr const char* kDefaultPanelDirectory = "~/Desktop";

// What to show a panel: the default file name and the start directory. Empties
// fileName, and sets an empty dir to the default directory.
struct FilePanelRequest
{
  WDL_String defaultFile;
  WDL_String startDir;
  WDL_PtrList<WDL_String> types; // extensions split at single spaces
  bool save = false;
};
void PrepareFilePanel(WDL_String* fileName, EFileAction action, WDL_String* dir,
                      const char* extensions, FilePanelRequest* request);
// A confirmed panel: fileName = the path, dir = its directory followed by "/".
void FinishFilePanel(const char* chosenPath, WDL_String* fileName, WDL_String* dir);
} // namespace MacPrompts
