// Where a popup menu's rows go and which row the pointer or the keyboard
// picks: rows of text (with a check mark column and an indent), thin
// separators, disabled rows that cannot be chosen. Pure: text widths come
// from the caller.
//
// Threads: any thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

class NSMenu;

struct MenuRow
{
  std::string text;
  bool separator = false;
  bool enabled = true;
  bool checked = false;
  int indent = 0;
};

// The rows of a menu as it is shown.
std::vector<MenuRow> MenuRowsOf(NSMenu* menu);

class MenuLayout
{
public:
  static constexpr int kRowHeight = 20, kSeparatorHeight = 9, kCheckColumn = 20,
                       kIndentStep = 12, kRightPad = 16, kMinWidth = 100, kBorder = 1;

  MenuLayout(std::vector<MenuRow> rows, const std::function<int(const std::string&)>& textWidth);

  int width() const { return mWidth; }
  int height() const { return mHeight; }
  int count() const { return int(mRows.size()); }
  const MenuRow& row(int i) const { return mRows[size_t(i)]; }
  // Top and height of row i in the menu window.
  int rowTop(int i) const { return mTops[size_t(i)]; }
  int rowHeight(int i) const;
  // Left edge of row i's text.
  int textLeft(int i) const;
  bool selectable(int i) const;
  // The selectable row under a point of the menu window; -1 for none.
  int rowAt(int x, int y) const;
  // The next selectable row from `from` going by step (+1 down, -1 up),
  // wrapping round; from -1 starts at the top (or the bottom going up);
  // -1 when no row is selectable.
  int step(int from, int direction) const;

private:
  std::vector<MenuRow> mRows;
  std::vector<int> mTops;
  int mWidth = 0, mHeight = 0;
};
