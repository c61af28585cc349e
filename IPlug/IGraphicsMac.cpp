#include "IPlug/IGraphicsMac.h"

#include "IPlug/IGraphicsCocoa.h"
#include "IPlug/IGraphicsMacPrompts.h"

#include "platform/window/FilePanel.h"
#include "platform/window/Object.h"
#include "platform/window/GraphicsContext.h"

#include <cstring>
#include <string>
#include <vector>

IGraphicsMac::IGraphicsMac(IPlugBase* plug, int w, int h, int refreshFPS)
    : IGraphics(plug, w, h, refreshFPS)
{
  NSApplicationLoad();
}

IGraphicsMac::~IGraphicsMac()
{
  CloseWindow();
}

// ---- The view ------------------------------------------------------------------------

void* IGraphicsMac::OpenWindow(void* parentView)
{
  CloseWindow();
  mGraphicsCocoa = new IGraphicsCocoa_vTolvaneDelay_au(this);
  if (parentView) static_cast<NSView*>(parentView)->addSubview(mGraphicsCocoa);
  return mGraphicsCocoa;
}

void IGraphicsMac::CloseWindow()
{
  if (!mGraphicsCocoa) return;
  IGraphicsCocoa_vTolvaneDelay_au* view = mGraphicsCocoa;
  mGraphicsCocoa = nullptr;
  view->killTimer();
  view->detachGraphics();
  // The host owns the view it asked for and releases it.
}

void* IGraphicsMac::GetWindow()
{
  return mGraphicsCocoa;
}

bool IGraphicsMac::WindowIsOpen()
{
  return mGraphicsCocoa != nullptr;
}

const char* IGraphicsMac::GetGUIAPI()
{
  return "Cocoa gui";
}

void IGraphicsMac::Resize(int w, int h)
{
  IGraphics::Resize(w, h);
  if (mDrawBitmap) mDrawBitmap->resize(w, h);
  if (mGraphicsCocoa) mGraphicsCocoa->setFrameSize(NSMakeSize(w, h));
}

bool IGraphicsMac::DrawScreen(IRECT*)
{
  if (!mGraphicsCocoa || !mDrawBitmap) return false;
  NSGraphicsContext* context = NSGraphicsContext::currentContext();
  if (!context) return false;
  // The whole bitmap each time; the window system clips to the area it paints.
  context->drawImage(mDrawBitmap->getBits(), mDrawBitmap->getWidth(), mDrawBitmap->getHeight(),
                     mDrawBitmap->getRowSpan(), NSMakeRect(0, 0, Width(), Height()));
  return true;
}

// ---- Coordinates -------------------------------------------------------------------------

NSRect IGraphicsMac::ToNSRect(IGraphics* graphics, IRECT* rect)
{
  const int h = graphics->Height();
  return NSMakeRect(rect->L, h - rect->B - 1, rect->W() + 1, rect->H() + 1);
}

IRECT IGraphicsMac::ToIRECT(IGraphics* graphics, NSRect* rect)
{
  const int h = graphics->Height();
  const int x = static_cast<int>(rect->origin.x), y = static_cast<int>(rect->origin.y);
  const int w = static_cast<int>(rect->size.width), rh = static_cast<int>(rect->size.height);
  return IRECT(x, h - y - rh, x + w, h - y);
}

NSColor IGraphicsMac::ToNSColor(IColor* color)
{
  return NSColor::colorWithCalibratedRed(color->R / 255.0, color->G / 255.0, color->B / 255.0,
                                         color->A / 255.0);
}

// ---- Prompts ---------------------------------------------------------------------------

void IGraphicsMac::ForceEndUserEdit()
{
  if (mGraphicsCocoa) mGraphicsCocoa->endUserInput();
}

IPopupMenu* IGraphicsMac::CreateIPopupMenu(IPopupMenu* menu, IRECT* area)
{
  ReleaseMouseCapture();
  if (!mGraphicsCocoa || !menu || !area) return nullptr;
  return mGraphicsCocoa->createIPopupMenu(menu, ToNSRect(this, area));
}

void IGraphicsMac::CreateTextEntry(IControl* control, IText* text, IRECT* area, const char* str,
                                   IParam* param)
{
  if (!mGraphicsCocoa || !text || !area) return;
  mGraphicsCocoa->createTextEntry(control, param, text, str ? str : "", ToNSRect(this, area));
}

void IGraphicsMac::PromptForFile(WDL_String* fileName, EFileAction action, WDL_String* dir,
                                 char* extensions)
{
  if (!fileName || !dir) return;
  if (!WindowIsOpen())
  {
    fileName->Set("");
    return;
  }
  MacPrompts::FilePanelRequest request;
  MacPrompts::PrepareFilePanel(fileName, action, dir, extensions, &request);
  std::vector<std::string> types;
  for (int i = 0; i < request.types.GetSize(); ++i)
    types.push_back(request.types.Get(i)->Get());
  NSSavePanel* panel;
  if (request.save)
    panel = NSSavePanel::savePanel();
  else
  {
    NSOpenPanel* open = NSOpenPanel::openPanel();
    open->setCanChooseFiles(true);
    open->setCanChooseDirectories(false);
    open->setResolvesAliases(true);
    panel = open;
  }
  panel->setAllowedFileTypes(types);
  const bool confirmed =
      panel->runModalForDirectory(request.startDir.Get(), request.defaultFile.Get()) == NSOKButton;
  const std::string chosen = panel->filename();
  panel->release();
  if (confirmed) MacPrompts::FinishFilePanel(chosen.c_str(), fileName, dir);
}

bool IGraphicsMac::PromptForColor(IColor*, char*)
{
  return false;
}

bool IGraphicsMac::OpenURL(const char* url, const char*, const char*, const char*)
{
  if (!url) return false;
  // Text with "http" in it is a web address, anything else a file path.
  const std::string address = std::strstr(url, "http") ? url : std::string("file://") + url;
  return NSWorkspace::sharedWorkspace()->openURL(address);
}
