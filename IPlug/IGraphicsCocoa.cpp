#include "IPlug/IGraphicsCocoa.h"

#include "IPlug/IControl.h"
#include "IPlug/IGraphicsMacInput.h"
#include "IPlug/IGraphicsMacPrompts.h"
#include "IPlug/IParam.h"
#include "IPlug/IPopupMenu.h"

#include "platform/window/Menu.h"
#include "platform/window/Window.h"

namespace
{
// The target of popup menu items: remembers the chosen one.
class DummyCocoaView_vTolvaneDelay_au : public NSView
{
public:
  explicit DummyCocoaView_vTolvaneDelay_au(NSRect frame) : NSView(frame) {}
  void OnMenuSelection(NSMenuItem* item) { nsMenuItem = item; }
  NSMenuItem* nsMenuItem = nullptr;
  std::string description() const override { return "DummyCocoaView_vTolvaneDelay_au"; }
};
} // namespace

// ---- Text entry filter ------------------------------------------------------------------

CocoaFormatter_vTolvaneDelay_au::CocoaFormatter_vTolvaneDelay_au(const char* filterCharacterSet,
                                                                 int maxLength, int maxValue)
    : mFilterCharacterSet(filterCharacterSet ? filterCharacterSet : ""),
      mFilter(filterCharacterSet != nullptr), mMaxLength(maxLength), mMaxValue(maxValue)
{
}

bool CocoaFormatter_vTolvaneDelay_au::isPartialStringValid(const std::string& partial) const
{
  MacPrompts::EntryFormatter rules;
  rules.characters = mFilter ? mFilterCharacterSet.c_str() : nullptr;
  rules.maxLength = mMaxLength;
  rules.maxValue = mMaxValue;
  return rules.IsPartialStringValid(partial.c_str());
}

// ---- The view -----------------------------------------------------------------------------

IGraphicsCocoa_vTolvaneDelay_au::IGraphicsCocoa_vTolvaneDelay_au(IGraphicsMac* graphics)
    : NSView(NSMakeRect(0, 0, graphics->Width(), graphics->Height())), mGraphics(graphics)
{
  const double period = 1.0 / graphics->FPS();
  mTimer = NSTimer::timerWithTimeInterval(
      period, [this](NSTimer* timer) { onTimer(timer); }, true);
  NSRunLoop::currentRunLoop()->addTimer(mTimer, NSRunLoopCommonModes);
}

IGraphicsCocoa_vTolvaneDelay_au::~IGraphicsCocoa_vTolvaneDelay_au()
{
  // The host let go of the view while the editor still had it open.
  if (IGraphicsMac* graphics = mGraphics) graphics->CloseWindow();
  killTimer();
  endUserInput();
}

void IGraphicsCocoa_vTolvaneDelay_au::viewDidMoveToWindow()
{
  if (NSWindow* w = window())
  {
    w->makeFirstResponder(this);
    w->setAcceptsMouseMovedEvents(true);
  }
}

// ---- Redraw ----------------------------------------------------------------------

void IGraphicsCocoa_vTolvaneDelay_au::onTimer(NSTimer* timer)
{
  if (timer != mTimer || !mGraphics) return;
  IRECT r;
  if (mGraphics->IsDirty(&r)) setNeedsDisplayInRect(IGraphicsMac::ToNSRect(mGraphics, &r));
}

void IGraphicsCocoa_vTolvaneDelay_au::drawRect(NSRect rect)
{
  if (!mGraphics) return;
  IRECT r = IGraphicsMac::ToIRECT(mGraphics, &rect);
  mGraphics->Draw(&r);
}

void IGraphicsCocoa_vTolvaneDelay_au::killTimer()
{
  if (!mTimer) return;
  NSTimer* timer = mTimer;
  mTimer = nullptr;
  timer->invalidate();
  timer->release();
}

void IGraphicsCocoa_vTolvaneDelay_au::detachGraphics()
{
  mGraphics = nullptr;
  endUserInput();
}

void IGraphicsCocoa_vTolvaneDelay_au::removeFromSuperview()
{
  if (!superview()) return; // not in a view: nothing to leave
  // Closing the editor's window may let go of this view too (a Carbon
  // binding holds its pane): it lives until it has left.
  retain();
  endUserInput();
  if (IGraphicsMac* graphics = mGraphics) graphics->CloseWindow();
  NSView::removeFromSuperview();
  release(); // may delete this view: nothing may follow
}

// ---- Mouse and keys --------------------------------------------------------------

void IGraphicsCocoa_vTolvaneDelay_au::getMouseXY(NSEvent* event, int* x, int* y)
{
  const NSPoint p = convertPointFromView(event->locationInWindow, nullptr);
  *x = static_cast<int>(p.x) - 2;
  *y = mGraphics->Height() - static_cast<int>(p.y) - 3;
  mPrevX = *x;
  mPrevY = *y;
}

void IGraphicsCocoa_vTolvaneDelay_au::mouseDown(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetMouseMod(event->modifierFlags);
  if (event->clickCount > 1)
    mGraphics->OnMouseDblClick(x, y, &mod);
  else
    mGraphics->OnMouseDown(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::mouseUp(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetMouseMod(event->modifierFlags);
  mGraphics->OnMouseUp(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::mouseDragged(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetMouseMod(event->modifierFlags);
  if (!mTextFieldView) mGraphics->OnMouseDrag(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::rightMouseDown(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetRightMouseMod(event->modifierFlags);
  mGraphics->OnMouseDown(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::rightMouseUp(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetRightMouseMod(event->modifierFlags);
  mGraphics->OnMouseUp(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::rightMouseDragged(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetRightMouseMod(event->modifierFlags);
  if (!mTextFieldView) mGraphics->OnMouseDrag(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::mouseMoved(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetMouseMod(event->modifierFlags);
  mGraphics->OnMouseOver(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::scrollWheel(NSEvent* event)
{
  if (!mGraphics) return;
  if (mTextFieldView) endUserInput();
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetMouseMod(event->modifierFlags);
  mGraphics->OnMouseWheel(x, y, &mod, static_cast<int>(event->deltaY));
}

void IGraphicsCocoa_vTolvaneDelay_au::keyDown(NSEvent* event)
{
  const int key = MacInput::KeyCode(event->keyCode, event->charactersIgnoringModifiers.c_str());
  const bool handled =
      mGraphics && key != MacInput::kKeyNone && mGraphics->OnKeyDown(mPrevX, mPrevY, key);
  if (!handled) NSView::keyDown(event); // on to the next responder: the host
}

// ---- Text entry -------------------------------------------------------------------

void IGraphicsCocoa_vTolvaneDelay_au::createTextEntry(IControl* control, IParam* param, IText* text,
                                                      const char* str, NSRect areaRect)
{
  if (!control || mTextFieldView) return;
  NSTextField* field = new NSTextField(areaRect);
  field->setFont(
      NSFont{text->mFont, static_cast<CGFloat>(IGraphicsMac::AdjustFontSize(text->mSize))});
  switch (text->mAlign)
  {
  case IText::kAlignNear:
    field->setAlignment(NSLeftTextAlignment);
    break;
  case IText::kAlignCenter:
    field->setAlignment(NSCenterTextAlignment);
    break;
  case IText::kAlignFar:
    field->setAlignment(NSRightTextAlignment);
    break;
  }
  if (param)
  {
    auto* formatter = new CocoaFormatter_vTolvaneDelay_au(MacPrompts::EntryCharacterSet(param),
                                                          control->GetTextEntryLength(), 0);
    field->setFormatter(formatter); // retained by the field
    formatter->release();
  }
  field->setLineBreakMode(NSLineBreakByTruncatingTail);
  field->setAllowsEditingTextAttributes(false);
  field->setFocusRingVisible(false);
  field->setTextColor(IGraphicsMac::ToNSColor(&text->mColor));
  field->setStringValue(str);
  field->setBordered(false);
  field->setDelegate(this);
  addSubview(field); // retained by the view
  field->release();
  mTextFieldView = field;
  mEdControl = control;
  mEdParam = param;
  if (NSWindow* w = window())
  {
    w->makeKeyAndOrderFront();
    w->makeFirstResponder(field);
  }
}

void IGraphicsCocoa_vTolvaneDelay_au::controlTextDidEndEditing(NSTextField* field)
{
  if (field != mTextFieldView) return;
  const std::string txt = field->stringValue();
  if (mGraphics)
  {
    if (mEdParam)
      mGraphics->SetFromStringAfterPrompt(mEdControl, mEdParam, txt.c_str());
    else
      mEdControl->TextFromTextEntry(txt.c_str());
  }
  endUserInput();
  setNeedsDisplay(true);
}

void IGraphicsCocoa_vTolvaneDelay_au::controlTextDidCancelEditing(NSTextField* field)
{
  if (field != mTextFieldView) return;
  endUserInput();
  setNeedsDisplay(true);
}

void IGraphicsCocoa_vTolvaneDelay_au::endUserInput()
{
  if (!mTextFieldView) return;
  NSTextField* field = mTextFieldView;
  mTextFieldView = nullptr;
  mEdControl = nullptr;
  mEdParam = nullptr;
  field->setDelegate(nullptr);
  field->removeFromSuperview(); // the view's reference goes: the field is gone
  if (NSWindow* w = window()) w->makeFirstResponder(this);
}

// ---- Popup menus ----------------------------------------------------------------------

IPopupMenu* IGraphicsCocoa_vTolvaneDelay_au::createIPopupMenu(IPopupMenu* menu, NSRect areaRect)
{
  NSMenu* nsMenu = new NSMenu("IPlug Popup Menu");
  nsMenu->setAutoenablesItems(false);
  auto* target = new DummyCocoaView_vTolvaneDelay_au(areaRect);
  WDL_String title;
  for (int i = 0; i < menu->GetNItems(); ++i)
  {
    IPopupMenuItem* item = menu->GetItem(i);
    if (item->GetSubmenu()) continue; // submenus are not shown
    NSMenuItem* entry;
    if (item->GetIsSeparator())
      entry = NSMenuItem::separatorItem();
    else
    {
      MacPrompts::MenuItemTitle(menu->GetPrefix(), i, item->GetText(), &title);
      entry = new NSMenuItem(
          title.Get(), [target](NSMenuItem* chosen) { target->OnMenuSelection(chosen); }, "");
      entry->setIndentationLevel(item->GetIsTitle() ? 1 : 0);
      entry->setState(item->GetChecked() ? NSOnState : NSOffState);
      entry->setEnabled(item->GetEnabled());
    }
    nsMenu->addItem(entry);
    entry->release();
  }

  // Pops up 5 points below the area's lower-left corner.
  NSEvent event;
  event.type = NSApplicationDefined;
  event.locationInWindow =
      convertPointToWindow(NSMakePoint(areaRect.origin.x, areaRect.origin.y - 5));
  event.window = window();
  NSMenu::popUpContextMenu(nsMenu, &event, this);

  const int chosen = target->nsMenuItem ? nsMenu->indexOfItem(target->nsMenuItem) : -1;
  target->release();
  nsMenu->release();
  if (chosen < 0) return nullptr;
  menu->SetChosenItemIdx(chosen);
  return menu;
}
