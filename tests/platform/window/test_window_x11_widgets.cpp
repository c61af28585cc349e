// The X11 backend's widgets without a screen: menu layout and picking, file
// panel decisions, pixel conversion, and the text field's editing keys.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/window/Menu.h"
#include "platform/window/TextField.h"
#include "platform/window/backends/x11/X11FilePanelModel.h"
#include "platform/window/backends/x11/X11MenuLayout.h"
#include "platform/window/backends/x11/X11PixelFormat.h"

// ---- Menus -------------------------------------------------------------------------

namespace
{
int tenPerChar(const std::string& s)
{
  return int(s.size()) * 10;
}

MenuRow item(const std::string& text, bool enabled = true, bool checked = false)
{
  MenuRow r;
  r.text = text;
  r.enabled = enabled;
  r.checked = checked;
  return r;
}

MenuRow separator()
{
  MenuRow r;
  r.separator = true;
  r.enabled = false;
  return r;
}
} // namespace

TEST(X11Menu, RowsOfAMenuCarryTheirStates)
{
  NSMenu* menu = new NSMenu("m");
  NSMenuItem* a = new NSMenuItem("01: One", nullptr, "");
  a->setState(NSOnState);
  NSMenuItem* b = new NSMenuItem("Two", nullptr, "");
  b->setEnabled(false);
  b->setIndentationLevel(1);
  NSMenuItem* line = NSMenuItem::separatorItem();
  menu->addItem(a);
  menu->addItem(line);
  menu->addItem(b);
  a->release();
  line->release();
  b->release();
  const std::vector<MenuRow> rows = MenuRowsOf(menu);
  ASSERT_EQ(3u, rows.size());
  EXPECT_EQ("01: One", rows[0].text);
  EXPECT_TRUE(rows[0].checked);
  EXPECT_TRUE(rows[1].separator);
  EXPECT_FALSE(rows[2].enabled);
  EXPECT_EQ(1, rows[2].indent);
  menu->release();
}

TEST(X11Menu, LayoutStacksRowsAndSeparators)
{
  MenuLayout layout({item("Short"), separator(), item("A much longer item")}, tenPerChar);
  EXPECT_EQ(MenuLayout::kBorder, layout.rowTop(0));
  EXPECT_EQ(MenuLayout::kBorder + MenuLayout::kRowHeight, layout.rowTop(1));
  EXPECT_EQ(layout.rowTop(1) + MenuLayout::kSeparatorHeight, layout.rowTop(2));
  EXPECT_EQ(layout.rowTop(2) + MenuLayout::kRowHeight + MenuLayout::kBorder, layout.height());
  // Wide enough for the widest text after the check column.
  EXPECT_GE(layout.width(), layout.textLeft(2) + 180);
  EXPECT_EQ(MenuLayout::kMinWidth, MenuLayout({item("x")}, tenPerChar).width());
  MenuRow indented = item("In");
  indented.indent = 2;
  EXPECT_EQ(layout.textLeft(0) + 2 * MenuLayout::kIndentStep,
            MenuLayout({indented}, tenPerChar).textLeft(0));
}

TEST(X11Menu, OnlyEnabledItemsCanBePicked)
{
  MenuLayout layout({item("A"), separator(), item("B", false), item("C")}, tenPerChar);
  EXPECT_EQ(0, layout.rowAt(5, layout.rowTop(0) + 3));
  EXPECT_EQ(-1, layout.rowAt(5, layout.rowTop(1) + 3)); // separator
  EXPECT_EQ(-1, layout.rowAt(5, layout.rowTop(2) + 3)); // disabled
  EXPECT_EQ(3, layout.rowAt(5, layout.rowTop(3) + 3));
  EXPECT_EQ(-1, layout.rowAt(-1, layout.rowTop(0) + 3));
  EXPECT_EQ(-1, layout.rowAt(layout.width(), layout.rowTop(0) + 3));
  EXPECT_EQ(-1, layout.rowAt(5, layout.height()));
}

TEST(X11Menu, ArrowKeysSkipWhatCannotBeChosenAndWrap)
{
  MenuLayout layout({separator(), item("A"), item("B", false), item("C")}, tenPerChar);
  EXPECT_EQ(1, layout.step(-1, 1));
  EXPECT_EQ(3, layout.step(1, 1));
  EXPECT_EQ(1, layout.step(3, 1));
  EXPECT_EQ(3, layout.step(-1, -1));
  EXPECT_EQ(1, layout.step(3, -1));
  EXPECT_EQ(-1, MenuLayout({separator(), item("x", false)}, tenPerChar).step(-1, 1));
  EXPECT_EQ(-1, MenuLayout({}, tenPerChar).step(-1, 1));
}

// ---- File panels ---------------------------------------------------------------------

namespace
{
class TempFolder
{
public:
  TempFolder()
  {
    char name[] = "/tmp/tolvane-panel-XXXXXX";
    mPath = mkdtemp(name);
  }
  ~TempFolder() { std::system(("rm -rf '" + mPath + "'").c_str()); }
  const std::string& path() const { return mPath; }
  void file(const std::string& name) { std::ofstream(mPath + "/" + name) << "x"; }
  void folder(const std::string& name) { mkdir((mPath + "/" + name).c_str(), 0700); }

private:
  std::string mPath;
};

std::vector<std::string> names(const std::vector<FileEntry>& entries)
{
  std::vector<std::string> out;
  for (const FileEntry& e : entries)
    out.push_back(e.folder ? e.name + "/" : e.name);
  return out;
}
} // namespace

TEST(X11FilePanel, TildeIsTheHomeFolder)
{
  EXPECT_EQ("/home/u", ExpandTilde("~", "/home/u"));
  EXPECT_EQ("/home/u/Desktop", ExpandTilde("~/Desktop", "/home/u"));
  EXPECT_EQ("/home/u/x", ExpandTilde("~/x", "/home/u/"));
  EXPECT_EQ("~other/x", ExpandTilde("~other/x", "/home/u"));
  EXPECT_EQ("/abs", ExpandTilde("/abs", "/home/u"));
}

TEST(X11FilePanel, ListingShowsFoldersThenMatchingFiles)
{
  TempFolder t;
  t.file("b.fxp");
  t.file("a.FXB");
  t.file("notes.txt");
  t.file(".hidden.fxp");
  t.folder("zeta");
  t.folder("alpha");
  EXPECT_EQ((std::vector<std::string>{"alpha/", "zeta/", "a.FXB", "b.fxp"}),
            names(ListFolder(t.path(), {"fxp", "fxb"})));
  EXPECT_EQ(5u, ListFolder(t.path(), {}).size());
  EXPECT_TRUE(ListFolder(t.path() + "/missing", {}).empty());
}

TEST(X11FilePanel, OpenPanelChoosesExistingFilesAndEntersFolders)
{
  TempFolder t;
  t.file("one.fxp");
  t.folder("sub");
  t.file("sub/two.fxp");
  FilePanelModel model(false, t.path(), "", {"fxp"});
  EXPECT_EQ("..", model.entries()[0].name);
  std::string path;
  model.typed = "missing.fxp";
  EXPECT_EQ(FilePanelModel::kStay, model.confirm(&path));
  EXPECT_NE("", model.message());
  model.typed = "sub";
  EXPECT_EQ(FilePanelModel::kStay, model.confirm(&path));
  EXPECT_EQ(t.path() + "/sub", model.folder());
  EXPECT_EQ("", model.typed);
  ASSERT_EQ(2u, model.entries().size());
  model.select(1);
  EXPECT_EQ("two.fxp", model.typed);
  EXPECT_EQ(FilePanelModel::kChosen, model.confirm(&path));
  EXPECT_EQ(t.path() + "/sub/two.fxp", path);
  // ".." goes back up; a file activated by a double click is chosen.
  EXPECT_EQ(FilePanelModel::kStay, model.activate(0, &path));
  EXPECT_EQ(t.path(), model.folder());
  EXPECT_EQ(FilePanelModel::kChosen, model.activate(2, &path));
  EXPECT_EQ(t.path() + "/one.fxp", path);
}

TEST(X11FilePanel, SavePanelNamesNewFilesWithAnAllowedType)
{
  TempFolder t;
  FilePanelModel model(true, t.path(), "Preset", {"fxp"});
  EXPECT_EQ("Preset", model.typed);
  std::string path;
  EXPECT_EQ(FilePanelModel::kChosen, model.confirm(&path));
  EXPECT_EQ(t.path() + "/Preset.fxp", path);
  model.typed = "Kept.FXP";
  EXPECT_EQ(FilePanelModel::kChosen, model.confirm(&path));
  EXPECT_EQ(t.path() + "/Kept.FXP", path);
  model.typed = "nowhere/x.fxp";
  EXPECT_EQ(FilePanelModel::kStay, model.confirm(&path));
  model.typed = "";
  EXPECT_EQ(FilePanelModel::kStay, model.confirm(&path));
}

TEST(X11FilePanel, TildeFoldersAndMissingFolders)
{
  TempFolder t;
  const char* old = std::getenv("HOME");
  const std::string saved = old ? old : "";
  setenv("HOME", t.path().c_str(), 1);
  t.folder("Desktop");
  EXPECT_EQ(t.path() + "/Desktop", FilePanelModel(false, "~/Desktop", "", {}).folder());
  // A folder that is not there shows the home folder.
  EXPECT_EQ(t.path(), FilePanelModel(false, "~/NoSuchFolder", "", {}).folder());
  FilePanelModel model(true, "~", "", {});
  model.typed = "~/Desktop/a.fxb";
  EXPECT_EQ(t.path() + "/Desktop/a.fxb", model.resolved());
  if (old)
    setenv("HOME", saved.c_str(), 1);
  else
    unsetenv("HOME");
}

// ---- Pixels ----------------------------------------------------------------------------

TEST(X11Pixels, CommonTrueColourLayout)
{
  X11PixelFormat f;
  const uint32_t word = 0xff | 0x11u << 8 | 0x22u << 16 | 0x33u << 24; // A R G B
  uint8_t out[4];
  f.convertRow(&word, 1, out);
  EXPECT_EQ(0x33, out[0]);
  EXPECT_EQ(0x22, out[1]);
  EXPECT_EQ(0x11, out[2]);
  EXPECT_EQ(0x112233u, f.pixelValue(word));
  f.msbFirst = true;
  f.convertRow(&word, 1, out);
  EXPECT_EQ(0x00, out[0]);
  EXPECT_EQ(0x11, out[1]);
  EXPECT_EQ(0x33, out[3]);
}

TEST(X11Pixels, SixteenBitsAndOtherMasks)
{
  X11PixelFormat f;
  f.bitsPerPixel = 16;
  f.redMask = 0xf800;
  f.greenMask = 0x07e0;
  f.blueMask = 0x001f;
  EXPECT_TRUE(f.supported());
  const uint32_t white = 0xffffffff, red = 0xff | 0xffu << 8;
  EXPECT_EQ(0xffffu, f.pixelValue(white));
  EXPECT_EQ(0xf800u, f.pixelValue(red));
  uint8_t out[2];
  f.convertRow(&red, 1, out);
  EXPECT_EQ(0x00, out[0]);
  EXPECT_EQ(0xf8, out[1]);
  X11PixelFormat bgr;
  bgr.redMask = 0xff;
  bgr.blueMask = 0xff0000;
  EXPECT_EQ(0xffu, bgr.pixelValue(red));
  X11PixelFormat odd;
  odd.bitsPerPixel = 8;
  EXPECT_FALSE(odd.supported());
}

// ---- The text field's editing keys -------------------------------------------------------

namespace
{
class Recorder : public NSTextFieldDelegate
{
public:
  int ended = 0, cancelled = 0;
  void controlTextDidEndEditing(NSTextField*) override { ++ended; }
  void controlTextDidCancelEditing(NSTextField*) override { ++cancelled; }
};

class DigitsOnly : public NSFormatter
{
public:
  bool isPartialStringValid(const std::string& s) const override
  {
    return s.size() <= 5 && s.find_first_not_of("0123456789") == std::string::npos;
  }
};

void press(NSTextField* f, uint16_t code, const std::string& chars = "")
{
  NSEvent e;
  e.type = NSKeyDown;
  e.keyCode = code;
  e.characters = e.charactersIgnoringModifiers = chars;
  f->keyDown(&e);
}
} // namespace

TEST(X11TextField, CaretMovesAndTypingGoesInAtIt)
{
  NSTextField* f = new NSTextField(NSMakeRect(0, 0, 50, 20));
  Recorder r;
  f->setDelegate(&r);
  f->setStringValue("12");
  EXPECT_EQ(2u, f->caret());
  press(f, kVK_LeftArrow);
  press(f, 0xffff, "9");
  EXPECT_EQ("192", f->stringValue());
  press(f, kVK_Home);
  press(f, kVK_ForwardDelete);
  EXPECT_EQ("92", f->stringValue());
  press(f, kVK_End);
  press(f, kVK_Delete, "\x7f");
  EXPECT_EQ("9", f->stringValue());
  press(f, kVK_RightArrow); // at the end already
  press(f, kVK_Home);
  press(f, kVK_Delete, "\x7f"); // nothing before the caret
  press(f, kVK_LeftArrow);
  EXPECT_EQ("9", f->stringValue());
  EXPECT_EQ(0u, f->caret());
  press(f, kVK_Escape, "\x1b");
  EXPECT_EQ(1, r.cancelled);
  press(f, kVK_Return, "\r");
  EXPECT_EQ(1, r.ended);
  f->release();
}

TEST(X11TextField, FormatterRulesHoldInTheMiddleToo)
{
  NSTextField* f = new NSTextField(NSMakeRect(0, 0, 50, 20));
  DigitsOnly* digits = new DigitsOnly;
  f->setFormatter(digits);
  digits->release();
  f->setStringValue("1234");
  f->setCaret(1);
  EXPECT_FALSE(f->insertText("a"));
  EXPECT_TRUE(f->insertText("0"));
  EXPECT_EQ("10234", f->stringValue());
  EXPECT_FALSE(f->insertText("5")); // longer than five
  EXPECT_EQ(2, f->refusedKeystrokes());
  f->release();
}

TEST(X11TextField, CaretStaysOnCharacterBoundaries)
{
  NSTextField* f = new NSTextField(NSMakeRect(0, 0, 50, 20));
  f->setStringValue("a\xc3\xa9z"); // a é z
  f->setCaret(2);                  // inside é: back to its start
  EXPECT_EQ(1u, f->caret());
  f->moveRight();
  EXPECT_EQ(3u, f->caret());
  f->deleteBackward();
  EXPECT_EQ("az", f->stringValue());
  f->setCaret(99);
  EXPECT_EQ(2u, f->caret());
  f->release();
}
