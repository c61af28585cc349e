#include "IPlug/IGraphicsCocoa.h"

#include "IPlug/IControl.h"
#include "IPlug/IGraphicsMacInput.h"
#include "IPlug/IGraphicsMacPrompts.h"
#include "IPlug/IParam.h"
#include "IPlug/IPopupMenu.h"

#include <cmath>

IGraphicsCocoa_vTolvaneDelay_au::IGraphicsCocoa_vTolvaneDelay_au(IGraphicsMac* graphics)
    : NSView(NSMakeRect(0, 0, graphics->Width(), graphics->Height())), mGraphics(graphics)
{
  const double period = 1.0 / graphics->FPS();
  mTimer = NSTimer::scheduledTimer(period, [this](NSTimer* timer) { onTimer(timer); }, true);
}

IGraphicsCocoa_vTolvaneDelay_au::~IGraphicsCocoa_vTolvaneDelay_au()
{
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
  mTimer->invalidate();
  mTimer = nullptr;
}

void IGraphicsCocoa_vTolvaneDelay_au::detachGraphics()
{
  mGraphics = nullptr;
  endUserInput();
}

void IGraphicsCocoa_vTolvaneDelay_au::removeFromSuperview()
{
  endUserInput();
  if (IGraphicsMac* graphics = mGraphics) graphics->CloseWindow();
  NSView::removeFromSuperview();
}

// ---- Mouse and keys --------------------------------------------------------------

void IGraphicsCocoa_vTolvaneDelay_au::getMouseXY(NSEvent* event, int* x, int* y)
{
  const NSPoint p = convertPointFromView(event->locationInWindow(), nullptr);
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
  IMouseMod mod = MacInput::GetMouseMod(event->modifierFlags());
  if (event->clickCount() > 1)
    mGraphics->OnMouseDblClick(x, y, &mod);
  else
    mGraphics->OnMouseDown(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::mouseUp(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetMouseMod(event->modifierFlags());
  mGraphics->OnMouseUp(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::mouseDragged(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetMouseMod(event->modifierFlags());
  if (!mTextFieldView) mGraphics->OnMouseDrag(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::rightMouseDown(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetRightMouseMod(event->modifierFlags());
  mGraphics->OnMouseDown(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::rightMouseUp(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetRightMouseMod(event->modifierFlags());
  mGraphics->OnMouseUp(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::rightMouseDragged(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetRightMouseMod(event->modifierFlags());
  if (!mTextFieldView) mGraphics->OnMouseDrag(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::mouseMoved(NSEvent* event)
{
  if (!mGraphics) return;
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetMouseMod(event->modifierFlags());
  mGraphics->OnMouseOver(x, y, &mod);
}

void IGraphicsCocoa_vTolvaneDelay_au::scrollWheel(NSEvent* event)
{
  if (!mGraphics) return;
  if (mTextFieldView) endUserInput();
  int x, y;
  getMouseXY(event, &x, &y);
  IMouseMod mod = MacInput::GetMouseMod(event->modifierFlags());
  mGraphics->OnMouseWheel(x, y, &mod, static_cast<int>(event->deltaY()));
}

void IGraphicsCocoa_vTolvaneDelay_au::keyDown(NSEvent* event)
{
  const int key = MacInput::KeyCode(event->keyCode(), event->charactersIgnoringModifiers());
  const bool handled =
      mGraphics && key != MacInput::kKeyNone && mGraphics->OnKeyDown(mPrevX, mPrevY, key);
  if (!handled) NSView::keyDown(event); // on to the next responder: the host
}

// ---- Text entry -------------------------------------------------------------------

void IGraphicsCocoa_vTolvaneDelay_au::createTextEntry(IControl* control, IParam* param,
                                                      IText* text, const char* str,
                                                      NSRect areaRect)
{
  if (!control || mTextFieldView) return;
  NSTextField* field = new NSTextField(areaRect);
  field->setFont(text->mFont, IGraphicsMac::AdjustFontSize(text->mSize));
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
    MacPrompts::EntryFormatter formatter;
    formatter.characters = MacPrompts::EntryCharacterSet(param);
    formatter.maxLength = control->GetTextEntryLength();
    field->setFormatter([formatter](const char* partial)
                        { return formatter.IsPartialStringValid(partial); });
  }
  field->setTextColor(IGraphicsMac::ToNSColor(&text->mColor));
  field->setStringValue(str);
  field->setBordered(false);
  field->setDelegate([this](NSTextField* f) { controlTextDidEndEditing(f); });
  addSubview(field);
  if (NSWindow* w = window())
  {
    w->makeKeyAndOrderFront();
    w->makeFirstResponder(field);
  }
  mTextFieldView = field;
  mEdControl = control;
  mEdParam = param;
}

void IGraphicsCocoa_vTolvaneDelay_au::controlTextDidEndEditing(NSTextField* field)
{
  if (field != mTextFieldView) return;
  WDL_String txt(field->stringValue());
  if (mGraphics)
  {
    if (mEdParam)
      mGraphics->SetFromStringAfterPrompt(mEdControl, mEdParam, txt.Get());
    else
      mEdControl->TextFromTextEntry(txt.Get());
  }
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
  field->removeFromSuperview();
  if (NSWindow* w = window()) w->makeFirstResponder(this);
  delete field;
}

// ---- Popup menus ----------------------------------------------------------------------

IPopupMenu* IGraphicsCocoa_vTolvaneDelay_au::createIPopupMenu(IPopupMenu* menu, NSRect areaRect)
{
  NSMenu nsMenu("IPlug Popup Menu");
  nsMenu.setAutoenablesItems(false);
  WDL_String title;
  for (int i = 0; i < menu->GetNItems(); ++i)
  {
    IPopupMenuItem* item = menu->GetItem(i);
    if (item->GetSubmenu()) continue; // submenus are not shown
    if (item->GetIsSeparator())
    {
      nsMenu.addSeparator();
      continue;
    }
    MacPrompts::MenuItemTitle(menu->GetPrefix(), i, item->GetText(), &title);
    NSMenuItem* entry = nsMenu.addItem(title.Get());
    entry->setIndentationLevel(item->GetIsTitle() ? 1 : 0);
    entry->setState(item->GetChecked());
    entry->setEnabled(item->GetEnabled());
  }
  // Pops up 5 points below the area's lower-left corner.
  const int chosen =
      nsMenu.popUpContextMenu(NSMakePoint(areaRect.origin.x, areaRect.origin.y - 5), this);
  if (chosen < 0) return nullptr;
  menu->SetChosenItemIdx(chosen);
  return menu;
}
