#include "platform/window/Menu.h"

#include "platform/window/View.h"
#include "platform/window/Window.h"
#include "platform/window/WindowBackend.h"

NSMenuItem::NSMenuItem(const std::string& title, Action action, const std::string& keyEquivalent)
    : mTitle(title), mKeyEquivalent(keyEquivalent), mAction(std::move(action))
{
}

NSMenuItem* NSMenuItem::separatorItem()
{
  NSMenuItem* item = new NSMenuItem("", nullptr, "");
  item->mSeparator = true;
  item->mEnabled = false;
  return item;
}

void NSMenuItem::performAction()
{
  if (mAction) mAction(this);
}

NSMenu::NSMenu(const std::string& title) : mTitle(title) {}

NSMenu::~NSMenu()
{
  for (NSMenuItem* item : mItems)
    item->release();
}

void NSMenu::addItem(NSMenuItem* item)
{
  if (!item) return;
  item->retain();
  mItems.push_back(item);
}

NSMenuItem* NSMenu::itemAtIndex(int index) const
{
  return index >= 0 && index < int(mItems.size()) ? mItems[size_t(index)] : nullptr;
}

int NSMenu::indexOfItem(const NSMenuItem* item) const
{
  for (size_t i = 0; i < mItems.size(); ++i)
    if (mItems[i] == item) return int(i);
  return -1;
}

void NSMenu::popUpContextMenu(NSMenu* menu, NSEvent* event, NSView* view)
{
  if (!menu || !event) return;
  NSWindow* window = view && view->window() ? view->window() : event->window;
  if (!window) return;
  menu->retain();
  const int chosen = GetWindowBackend()->popUpMenu(menu, event->locationInWindow, window);
  NSMenuItem* item = menu->itemAtIndex(chosen);
  if (item && !item->isSeparatorItem() && item->isEnabled()) item->performAction();
  menu->release();
}
