#include "IPlug/IGraphicsMac.h"

#include "IPlug/IGraphicsCarbon.h"
#include "IPlug/IGraphicsCocoa.h"
#include "IPlug/IGraphicsMacPrompts.h"

#include "platform/window/FilePanel.h"
#include "platform/window/Object.h"
#include "platform/window/GraphicsContext.h"
#include "platform/window/Timer.h"
#include "platform/window/Window.h"

#include <cmath>

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

void* IGraphicsMac::OpenWindow(void* window, void* parentControl)
{
  CloseWindow();
  if (!window) return nullptr;
  mGraphicsCarbon = new IGraphicsCarbon(this, static_cast<WindowRef>(window),
                                        static_cast<ControlRef>(parentControl));
  return mGraphicsCarbon->GetView();
}

namespace
{
// The borderless child window that carries the editor over a host window;
// it may become the key window, so that keys reach the editor.
class CustomCocoaWindow_vTolvaneDelay_au : public NSWindow
{
public:
  explicit CustomCocoaWindow_vTolvaneDelay_au(NSRect contentRect)
      : NSWindow(contentRect, NSBorderlessWindowMask)
  {
  }
  bool canBecomeKeyWindow() const override { return true; }
  std::string description() const override { return "CustomCocoaWindow_vTolvaneDelay_au"; }
};
} // namespace

void IGraphicsMac::AttachSubWindow(void* hostWindowRef)
{
  if (!hostWindowRef) return;
  NSWindow* host = NSWindowFromWindowRef(static_cast<WindowRef>(hostWindowRef));
  host->retain(); // the wrapper: let go when the host window is closed
  host->setReleasedWhenClosed(true);
  const NSRect frame = host->frame();
  const int w = Width(), h = Height();
  const CGFloat offset =
      frame.size.width > w ? std::floor((frame.size.width - static_cast<CGFloat>(w)) / 2) : 0;
  auto* child = new CustomCocoaWindow_vTolvaneDelay_au(
      NSMakeRect(frame.origin.x + offset, frame.origin.y, static_cast<CGFloat>(w),
                 static_cast<CGFloat>(h)));
  child->setReleasedWhenClosed(true);
  void* view = OpenWindow(child->contentView());
  // The window's subview holds the view now; the reference handed out here
  // is the host's, and this binding is the host.
  static_cast<NSView*>(view)->release();
  host->addChildWindow(child);
  host->makeKeyAndOrderFront();
  // The child comes to the front a moment later, over the host window.
  child->retain();
  NSTimer* later = NSTimer::timerWithTimeInterval(
      0.5,
      [child](NSTimer*)
      {
        if (child->parentWindow()) child->makeKeyAndOrderFront();
        child->release();
      },
      false);
  NSRunLoop::currentRunLoop()->addTimer(later, NSRunLoopCommonModes);
  later->release();
  mHostNSWindow = host;
}

void IGraphicsMac::RemoveSubWindow()
{
  NSWindow* host = mHostNSWindow;
  if (!host) return;
  mHostNSWindow = nullptr;
  NSWindow* child = host->childWindows().empty() ? nullptr : host->childWindows().front();
  CloseWindow();
  if (child)
  {
    child->orderOut();
    host->orderOut();
    host->removeChildWindow(child);
    child->close(); // released when closed
  }
  else
    host->orderOut();
  host->close(); // lets go of the wrapper
}

IGraphicsCocoa_vTolvaneDelay_au* IGraphicsMac::ActiveView() const
{
  if (mGraphicsCocoa) return mGraphicsCocoa;
  return mGraphicsCarbon ? mGraphicsCarbon->Pane() : nullptr;
}

void IGraphicsMac::CloseWindow()
{
  if (mGraphicsCarbon)
  {
    IGraphicsCarbon* carbon = mGraphicsCarbon;
    mGraphicsCarbon = nullptr;
    delete carbon;
  }
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
  return mGraphicsCocoa != nullptr || mGraphicsCarbon != nullptr;
}

const char* IGraphicsMac::GetGUIAPI()
{
  if (mGraphicsCarbon)
    return mGraphicsCarbon->GetIsComposited() ? "Carbon Composited gui"
                                              : "Carbon Non-Composited gui";
  return "Cocoa gui";
}

void IGraphicsMac::Resize(int w, int h)
{
  IGraphics::Resize(w, h);
  if (mDrawBitmap) mDrawBitmap->resize(w, h);
  if (mGraphicsCarbon)
    mGraphicsCarbon->Resize(w, h);
  else if (mGraphicsCocoa)
    mGraphicsCocoa->setFrameSize(NSMakeSize(w, h));
}

bool IGraphicsMac::DrawScreen(IRECT*)
{
  if (!ActiveView() || !mDrawBitmap) return false;
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
  if (mGraphicsCarbon)
    mGraphicsCarbon->EndUserInput(false);
  else if (mGraphicsCocoa)
    mGraphicsCocoa->endUserInput();
}

IPopupMenu* IGraphicsMac::CreateIPopupMenu(IPopupMenu* menu, IRECT* area)
{
  ReleaseMouseCapture();
  IGraphicsCocoa_vTolvaneDelay_au* view = ActiveView();
  if (!view || !menu || !area) return nullptr;
  return view->createIPopupMenu(menu, ToNSRect(this, area));
}

void IGraphicsMac::CreateTextEntry(IControl* control, IText* text, IRECT* area, const char* str,
                                   IParam* param)
{
  IGraphicsCocoa_vTolvaneDelay_au* view = ActiveView();
  if (!view || !text || !area) return;
  view->createTextEntry(control, param, text, str ? str : "", ToNSRect(this, area));
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
