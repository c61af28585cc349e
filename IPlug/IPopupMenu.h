#pragma once

// The model of a popup menu: items with text and flags, an optional numbering
// prefix, and the index of the item the user chose (set by the window
// binding). User-interface thread only.

#include "IPlug/Containers.h"

class IPopupMenu;

class IPopupMenuItem
{
public:
  enum Flags
  {
    kNoFlags = 0,
    kDisabled = 1,
    kTitle = 2,
    kChecked = 4,
    kSeparator = 8
  };

  IPopupMenuItem(const char* text, int flags = kNoFlags) : mText(text ? text : ""), mFlags(flags) {}

  const char* GetText() const { return mText.Get(); }
  void SetText(const char* text) { mText.Set(text ? text : ""); }
  int GetFlags() const { return mFlags; }
  bool GetEnabled() const { return !(mFlags & kDisabled); }
  bool GetIsTitle() const { return mFlags & kTitle; }
  bool GetChecked() const { return mFlags & kChecked; }
  bool GetIsSeparator() const { return mFlags & kSeparator; }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }
  void SetSubmenu(IPopupMenu* submenu) { mSubmenu = submenu; } // not owned

private:
  WDL_String mText;
  IPopupMenu* mSubmenu = nullptr;
  int mFlags;
};

class IPopupMenu
{
public:
  IPopupMenu() = default;
  virtual ~IPopupMenu() {}
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // index -1 appends; any other index inserts there, limited to 0 ... count.
  // The menu owns the item.
  virtual IPopupMenuItem* AddItem(IPopupMenuItem* item, int index = -1);
  virtual IPopupMenuItem* AddItem(const char* text, int index = -1,
                                  int flags = IPopupMenuItem::kNoFlags);
  virtual IPopupMenuItem* AddSeparator(int index = -1);

  IPopupMenuItem* GetItem(int index) const { return mMenuItems.Get(index); }
  int GetNItems() const { return mMenuItems.GetSize(); }
  // Numbering of shown items: 0 none, 1 "%1d: ", 2 "%02d: ", 3 "%03d: ";
  // other values are ignored.
  void SetPrefix(int prefix)
  {
    if (prefix >= 0 && prefix <= 3) mPrefix = prefix;
  }
  int GetPrefix() const { return mPrefix; }
  void SetChosenItemIdx(int index) { mChosenItemIdx = index; }
  int GetChosenItemIdx() const { return mChosenItemIdx; }

  // The text an item is shown with: the numbering prefix for 1-based number
  // itemNumber, then the item's text.
  void GetItemTextWithPrefix(int itemNumber, const IPopupMenuItem* item, WDL_String* out) const;

private:
  int mPrefix = 0;
  int mChosenItemIdx = -1;
  WDL_PtrList<IPopupMenuItem> mMenuItems;
};
