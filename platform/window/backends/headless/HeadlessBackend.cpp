#include "platform/window/backends/headless/HeadlessBackend.h"

#include <cmath>

#include "platform/window/FilePanel.h"
#include "platform/window/Menu.h"
#include "platform/window/TextField.h"
#include "platform/window/Timer.h"
#include "platform/window/Window.h"

namespace
{
// The text split into its UTF-8 characters.
std::vector<std::string> characters(const std::string& text)
{
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();)
  {
    size_t n = 1;
    while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xc0) == 0x80)
      ++n;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}
} // namespace

HeadlessBackend& HeadlessBackend::instance()
{
  static HeadlessBackend backend;
  return backend;
}

void HeadlessBackend::advanceClockTo(double time)
{
  if (time > mClock) mClock = time;
}

void HeadlessBackend::reset()
{
  mMenuAnswers.clear();
  mPanelAnswers.clear();
  mTextAnswers.clear();
  mMenus.clear();
  mPanels.clear();
  mURLs.clear();
  mUnhandledKeys.clear();
  mDisplays = 0;
  mLastPress = -1;
  mClicks = 0;
}

void HeadlessBackend::scriptMenuChoice(int index)
{
  mMenuAnswers.push_back(MenuAnswer{index, std::string()});
}

void HeadlessBackend::scriptMenuChoiceTitled(const std::string& title)
{
  mMenuAnswers.push_back(MenuAnswer{-1, title});
}

void HeadlessBackend::scriptFilePanel(const std::string& path)
{
  mPanelAnswers.push_back(path);
}

void HeadlessBackend::scriptTextEntry(const std::string& text)
{
  mTextAnswers.push_back(text);
}

int HeadlessBackend::popUpMenu(NSMenu* menu, NSPoint locationInWindow, NSWindow* window)
{
  (void)window;
  ShownMenu shown{menu->title(), {}, locationInWindow, -1};
  for (int i = 0; i < menu->numberOfItems(); ++i)
  {
    NSMenuItem* item = menu->itemAtIndex(i);
    shown.items.push_back(item->isSeparatorItem() ? "-" : item->title());
  }
  if (!mMenuAnswers.empty())
  {
    const MenuAnswer answer = mMenuAnswers.front();
    mMenuAnswers.pop_front();
    if (answer.title.empty())
      shown.chosen = answer.index >= 0 && answer.index < menu->numberOfItems() ? answer.index : -1;
    else
      for (int i = 0; i < menu->numberOfItems() && shown.chosen < 0; ++i)
        if (!menu->itemAtIndex(i)->isSeparatorItem() &&
            menu->itemAtIndex(i)->title() == answer.title)
          shown.chosen = i;
  }
  mMenus.push_back(shown);
  return shown.chosen;
}

bool HeadlessBackend::runFilePanel(NSSavePanel* panel, std::string* path)
{
  ShownPanel shown{panel->isOpenPanel(), panel->directory(), panel->proposedFile(),
                   panel->allowedFileTypes(), false};
  if (!mPanelAnswers.empty())
  {
    *path = mPanelAnswers.front();
    mPanelAnswers.pop_front();
    shown.confirmed = !path->empty();
  }
  mPanels.push_back(shown);
  return shown.confirmed;
}

void HeadlessBackend::textFieldBeganEditing(NSTextField* field)
{
  if (mTextAnswers.empty()) return;
  const std::string text = mTextAnswers.front();
  mTextAnswers.pop_front();
  field->retain();
  NSRunLoop::currentRunLoop()->performLater(
      [field, text]
      {
        if (field->window())
        {
          for (const std::string& ch : characters(text))
            field->insertText(ch);
          field->endEditing();
        }
        field->release();
      });
}

bool HeadlessBackend::openURL(const std::string& url)
{
  mURLs.push_back(url);
  return true;
}

void HeadlessBackend::unhandledKey(const NSEvent& event)
{
  mUnhandledKeys.push_back(event);
}

void HeadlessBackend::windowDisplayed(NSWindow* window)
{
  (void)window;
  ++mDisplays;
}

int HeadlessBackend::nextClickCount(bool right, NSPoint at)
{
  const bool continues = mLastPress >= 0 && right == mLastPressRight &&
                         mClock - mLastPress <= kDoubleClickSeconds &&
                         std::fabs(at.x - mLastPressAt.x) <= kDoubleClickDistance &&
                         std::fabs(at.y - mLastPressAt.y) <= kDoubleClickDistance;
  mClicks = continues ? mClicks + 1 : 1;
  mLastPress = mClock;
  mLastPressRight = right;
  mLastPressAt = at;
  return mClicks;
}

namespace headless
{
namespace
{
NSEvent makeEvent(NSEventType type, NSWindow* window, NSPoint at, uint32_t modifiers)
{
  NSEvent e;
  e.type = type;
  e.window = window;
  e.locationInWindow = at;
  e.modifierFlags = modifiers;
  e.timestamp = HeadlessBackend::instance().now();
  return e;
}

void send(NSWindow* window, NSEvent e)
{
  if (window) window->sendEvent(&e);
}
} // namespace

void mouseDown(NSWindow* window, NSPoint at, uint32_t modifiers, bool right)
{
  NSEvent e = makeEvent(right ? NSRightMouseDown : NSLeftMouseDown, window, at, modifiers);
  e.clickCount = HeadlessBackend::instance().nextClickCount(right, at);
  send(window, e);
}

void mouseUp(NSWindow* window, NSPoint at, uint32_t modifiers, bool right)
{
  NSEvent e = makeEvent(right ? NSRightMouseUp : NSLeftMouseUp, window, at, modifiers);
  e.clickCount = HeadlessBackend::instance().clickCount();
  send(window, e);
}

void mouseDragged(NSWindow* window, NSPoint at, uint32_t modifiers, bool right)
{
  send(window, makeEvent(right ? NSRightMouseDragged : NSLeftMouseDragged, window, at, modifiers));
}

void mouseMoved(NSWindow* window, NSPoint at, uint32_t modifiers)
{
  send(window, makeEvent(NSMouseMoved, window, at, modifiers));
}

void scrollWheel(NSWindow* window, NSPoint at, CGFloat deltaY, uint32_t modifiers)
{
  NSEvent e = makeEvent(NSScrollWheel, window, at, modifiers);
  e.deltaY = deltaY;
  send(window, e);
}

void keyDown(NSWindow* window, uint16_t keyCode, const std::string& characters, uint32_t modifiers)
{
  NSEvent e = makeEvent(NSKeyDown, window, NSMakePoint(0, 0), modifiers);
  e.keyCode = keyCode;
  e.characters = e.charactersIgnoringModifiers = characters;
  send(window, e);
}

uint16_t keyCodeForCharacter(char c)
{
  // The US keyboard's layout, by row.
  static const char* const keys = "asdfhgzxcv\x01"
                                  "bqweryt123465=97-80]ou[ip\x01lj'k;\\,/nm.";
  if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  switch (c)
  {
  case ' ':
    return kVK_Space;
  case '\r':
  case '\n':
    return kVK_Return;
  case '\t':
    return kVK_Tab;
  case '\x7f':
    return kVK_Delete;
  case '\x1b':
    return kVK_Escape;
  case '`':
    return 0x32;
  default:
    break;
  }
  for (int i = 0; keys[i]; ++i)
    if (keys[i] == c && c != '\x01') return uint16_t(i);
  return 0xffff;
}

void typeText(NSWindow* window, const std::string& text, uint32_t modifiers)
{
  for (const std::string& ch : characters(text))
    keyDown(window, ch.size() == 1 ? keyCodeForCharacter(ch[0]) : 0xffff, ch == "\n" ? "\r" : ch,
            modifiers);
}
} // namespace headless
