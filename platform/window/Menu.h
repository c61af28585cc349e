// Menus shown as context menus. Popping one up is modal: the backend answers
// which item was chosen (the headless backend from its script), and the
// chosen item's action runs before popUpContextMenu returns.
//
// Threads: main thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/window/Event.h"
#include "platform/window/Object.h"

class NSView;

enum
{
  NSOffState = 0,
  NSOnState = 1,
};

class NSMenuItem : public NSObject
{
public:
  typedef std::function<void(NSMenuItem*)> Action;

  NSMenuItem(const std::string& title, Action action, const std::string& keyEquivalent);
  static NSMenuItem* separatorItem();

  const std::string& title() const { return mTitle; }
  bool isSeparatorItem() const { return mSeparator; }
  void setAction(Action action) { mAction = std::move(action); }
  bool hasAction() const { return bool(mAction); }
  void performAction();
  const std::string& keyEquivalent() const { return mKeyEquivalent; }
  void setState(int state) { mState = state; }
  int state() const { return mState; }
  void setEnabled(bool enabled) { mEnabled = enabled; }
  bool isEnabled() const { return mEnabled; }
  void setIndentationLevel(int level) { mIndent = level; }
  int indentationLevel() const { return mIndent; }
  void setTag(int tag) { mTag = tag; }
  int tag() const { return mTag; }

  std::string description() const override { return "NSMenuItem " + mTitle; }

private:
  std::string mTitle, mKeyEquivalent;
  Action mAction;
  bool mSeparator = false;
  int mState = NSOffState;
  bool mEnabled = true;
  int mIndent = 0;
  int mTag = 0;
};

class NSMenu : public NSObject
{
public:
  explicit NSMenu(const std::string& title);

  const std::string& title() const { return mTitle; }
  void setAutoenablesItems(bool autoenables) { mAutoenables = autoenables; }
  bool autoenablesItems() const { return mAutoenables; }
  // Retains the item.
  void addItem(NSMenuItem* item);
  int numberOfItems() const { return int(mItems.size()); }
  NSMenuItem* itemAtIndex(int index) const;
  // Index of the item, or -1.
  int indexOfItem(const NSMenuItem* item) const;

  // Shows the menu at the event's window location over the view; returns
  // once it is closed, after the chosen item's action (if any) has run.
  static void popUpContextMenu(NSMenu* menu, NSEvent* event, NSView* view);

  std::string description() const override { return "NSMenu " + mTitle; }

protected:
  ~NSMenu() override;

private:
  std::string mTitle;
  bool mAutoenables = true;
  std::vector<NSMenuItem*> mItems;
};
