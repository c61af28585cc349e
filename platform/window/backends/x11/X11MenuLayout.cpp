#include "platform/window/backends/x11/X11MenuLayout.h"

#include <algorithm>

#include "platform/window/Menu.h"

std::vector<MenuRow> MenuRowsOf(NSMenu* menu)
{
  std::vector<MenuRow> rows;
  for (int i = 0; menu && i < menu->numberOfItems(); ++i)
  {
    const NSMenuItem* item = menu->itemAtIndex(i);
    MenuRow row;
    row.separator = item->isSeparatorItem();
    row.text = row.separator ? "" : item->title();
    row.enabled = !row.separator && item->isEnabled();
    row.checked = item->state() == NSOnState;
    row.indent = item->indentationLevel();
    rows.push_back(row);
  }
  return rows;
}

MenuLayout::MenuLayout(std::vector<MenuRow> rows,
                       const std::function<int(const std::string&)>& textWidth)
    : mRows(std::move(rows))
{
  int y = kBorder, widest = 0;
  for (size_t i = 0; i < mRows.size(); ++i)
  {
    mTops.push_back(y);
    y += rowHeight(int(i));
    if (!mRows[i].separator)
      widest = std::max(widest, textLeft(int(i)) + textWidth(mRows[i].text) + kRightPad);
  }
  mHeight = y + kBorder;
  mWidth = std::max(widest + kBorder, kMinWidth);
}

int MenuLayout::rowHeight(int i) const
{
  return mRows[size_t(i)].separator ? kSeparatorHeight : kRowHeight;
}

int MenuLayout::textLeft(int i) const
{
  return kBorder + kCheckColumn + kIndentStep * std::max(0, mRows[size_t(i)].indent);
}

bool MenuLayout::selectable(int i) const
{
  return i >= 0 && i < count() && !mRows[size_t(i)].separator && mRows[size_t(i)].enabled;
}

int MenuLayout::rowAt(int x, int y) const
{
  if (x < 0 || x >= mWidth) return -1;
  for (int i = 0; i < count(); ++i)
    if (y >= mTops[size_t(i)] && y < mTops[size_t(i)] + rowHeight(i)) return selectable(i) ? i : -1;
  return -1;
}

int MenuLayout::step(int from, int direction) const
{
  const int n = count();
  if (n == 0) return -1;
  int i = from;
  if (i < 0) i = direction > 0 ? -1 : n;
  for (int k = 0; k < n; ++k)
  {
    i = ((i + (direction > 0 ? 1 : -1)) % n + n) % n;
    if (selectable(i)) return i;
  }
  return -1;
}
