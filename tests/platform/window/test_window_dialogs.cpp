#include "WindowTestSupport.h"

#include "platform/window/FilePanel.h"
#include "platform/window/Menu.h"
#include "platform/window/TextField.h"
#include "platform/window/Timer.h"

namespace
{
class DigitsOnly : public NSFormatter
{
public:
  bool isPartialStringValid(const std::string& s) const override
  {
    return s.size() <= 3 && s.find_first_not_of("0123456789") == std::string::npos;
  }
};

class EndRecorder : public NSTextFieldDelegate
{
public:
  std::vector<std::string> ended;
  void controlTextDidEndEditing(NSTextField* field) override
  {
    ended.push_back(field->stringValue());
    field->removeFromSuperview();
  }
};
class DialogTest : public WindowTest
{
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    window = new NSWindow(NSMakeRect(0, 0, 200, 100));
    window->makeKeyAndOrderFront();
  }
  void TearDown() override { window->close(); }

  NSMenu* makeMenu(std::vector<int>* chosen)
  {
    NSMenu* menu = new NSMenu("Choices");
    const char* titles[] = {"one", "", "two", "three"};
    for (int i = 0; i < 4; ++i)
    {
      NSMenuItem* item =
          *titles[i] ? new NSMenuItem(
                           titles[i], [chosen, i](NSMenuItem*) { chosen->push_back(i); }, "")
                     : NSMenuItem::separatorItem();
      menu->addItem(item);
      item->release();
    }
    menu->itemAtIndex(3)->setEnabled(false);
    return menu;
  }
  void popUp(NSMenu* menu)
  {
    NSEvent e;
    e.type = NSApplicationDefined;
    e.locationInWindow = NSMakePoint(30, 40);
    NSMenu::popUpContextMenu(menu, &e, window->contentView());
  }
  // A field taking up to three digits, open for typing in the window.
  NSTextField* openDigitField(EndRecorder* recorder, const std::string& text)
  {
    NSTextField* field = new NSTextField(NSMakeRect(10, 10, 50, 20));
    DigitsOnly* digits = new DigitsOnly;
    field->setFormatter(digits);
    digits->release();
    field->setDelegate(recorder);
    field->setStringValue(text);
    window->contentView()->addSubview(field);
    field->release();
    EXPECT_TRUE(window->makeFirstResponder(field));
    return field;
  }
  NSWindow* window = nullptr;
};

} // namespace

TEST_F(DialogTest, MenusRunTheScriptedChoice)
{
  std::vector<int> chosen;
  NSMenu* menu = makeMenu(&chosen);
  backend().scriptMenuChoice(2);
  backend().scriptMenuChoiceTitled("one");
  backend().scriptMenuChoice(1);  // the separator: nothing
  backend().scriptMenuChoice(3);  // disabled: nothing
  backend().scriptMenuChoice(-1); // dismissed
  for (int i = 0; i < 6; ++i)     // the last finds no answer: dismissed
    popUp(menu);
  EXPECT_EQ((std::vector<int>{2, 0}), chosen);
  const auto& shown = backend().shownMenus();
  ASSERT_EQ(6u, shown.size());
  EXPECT_EQ("Choices", shown[0].title);
  EXPECT_EQ((std::vector<std::string>{"one", "-", "two", "three"}), shown[0].items);
  EXPECT_EQ(30, shown[0].location.x);
  EXPECT_EQ(40, shown[0].location.y);
  EXPECT_EQ(-1, shown[5].chosen);
  menu->release();
}

TEST_F(DialogTest, TextFieldsFilterTypingAndReportTheEnd)
{
  EndRecorder recorder;
  NSTextField* field = openDigitField(&recorder, "1");

  headless::typeText(window, "2x34");
  EXPECT_EQ("123", field->stringValue());
  EXPECT_EQ(2, field->refusedKeystrokes()); // a letter, then one too many
  headless::keyDown(window, kVK_Delete, "\x7f");
  headless::typeText(window, "9\r");
  EXPECT_EQ((std::vector<std::string>{"129"}), recorder.ended);
  EXPECT_EQ(nullptr, window->firstResponder());
  EXPECT_TRUE(window->contentView()->subviews().empty());
}

TEST_F(DialogTest, AScriptedEntryIsTypedAtTheNextPass)
{
  backend().scriptTextEntry("4a2");
  EndRecorder recorder;
  openDigitField(&recorder, "");
  EXPECT_TRUE(recorder.ended.empty()); // never inside the call that opened it
  NSRunLoop::currentRunLoop()->runPass();
  EXPECT_EQ((std::vector<std::string>{"42"}), recorder.ended);
}

TEST_F(DialogTest, FilePanelsAnswerFromTheScript)
{
  backend().scriptFilePanel("/tmp/x/song.fxp");
  backend().scriptFilePanel("");
  NSSavePanel* save = NSSavePanel::savePanel();
  save->setAllowedFileTypes({"fxp", "fxb"});
  EXPECT_EQ(NSOKButton, save->runModalForDirectory("~/Desktop", "preset.fxp"));
  EXPECT_EQ("/tmp/x/song.fxp", save->filename());
  EXPECT_EQ(NSCancelButton, save->runModalForDirectory("/tmp", ""));
  EXPECT_EQ("", save->filename());
  save->release();

  NSOpenPanel* open = NSOpenPanel::openPanel();
  EXPECT_EQ(NSCancelButton, open->runModalForDirectory("/tmp", "")); // no answer left
  open->release();
  const auto& panels = backend().shownPanels();
  ASSERT_EQ(3u, panels.size());
  EXPECT_FALSE(panels[0].open);
  EXPECT_EQ("~/Desktop", panels[0].directory);
  EXPECT_EQ("preset.fxp", panels[0].file);
  EXPECT_EQ((std::vector<std::string>{"fxp", "fxb"}), panels[0].types);
  EXPECT_TRUE(panels[0].confirmed);
  EXPECT_TRUE(panels[2].open);

  EXPECT_TRUE(NSWorkspace::sharedWorkspace()->openURL("http://example.org"));
  EXPECT_FALSE(NSWorkspace::sharedWorkspace()->openURL(""));
  EXPECT_EQ((std::vector<std::string>{"http://example.org"}), backend().openedURLs());
}
