#pragma once

// The editor bound to the host's window system: it hands the host a view,
// redraws from the view's timer, turns the view's mouse, wheel and key events
// into editor calls, copies the editor's bitmap to the view, and offers the
// platform services controls ask for (menus, text fields, file panels, URLs,
// bundle paths, bitmap resources).
//
// Threads: everything here runs on the host's main (user-interface) thread,
// except GetUserOSVersion and the conversions, which any thread may call.

#include "IPlug/IGraphics.h"

#include "platform/window/Geometry.h"
#include "platform/window/TextField.h"

class IGraphicsCarbon;
class IGraphicsCocoa_vTolvaneDelay_au;
class NSWindow;

class IGraphicsMac : public IGraphics
{
public:
  IGraphicsMac(IPlugBase* plug, int w, int h, int refreshFPS = 0);
  ~IGraphicsMac() override;

  // ---- IGraphics --------------------------------------------------------------

  bool DrawScreen(IRECT* rect) override;
  void ForceEndUserEdit() override;
  void Resize(int w, int h) override;
  bool WindowIsOpen() override;
  const char* GetGUIAPI() override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* area) override;
  void CreateTextEntry(IControl* control, IText* text, IRECT* area, const char* str,
                       IParam* param) override;
  void HostPath(WDL_String* path) override;
  void PluginPath(WDL_String* path) override;
  void PromptForFile(WDL_String* fileName, EFileAction action, WDL_String* dir,
                     char* extensions) override;
  bool PromptForColor(IColor* color, char* prompt) override;
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr,
               const char* confirmMsg = nullptr, const char* errMsgOnFailure = nullptr) override;
  // A new view of the editor's size, added to parentView when one is given.
  void* OpenWindow(void* parentView) override;
  // The editor in a host's Carbon window (WindowRef), inside the parent
  // control (ControlRef; null: the window's root view); returns the
  // editor's control.
  void* OpenWindow(void* window, void* parentControl) override;
  // The editor in a borderless child window over the host's Carbon window
  // (WindowRef), centred when the host window is wider.
  void AttachSubWindow(void* hostWindowRef) override;
  void RemoveSubWindow() override;
  void CloseWindow() override;
  void* GetWindow() override;
  LICE_IBitmap* OSLoadBitmap(int ID, const char* name) override;

  // ---- Further operations -----------------------------------------------------

  void SetBundleID(const char* bundleID) { mBundleID.Set(bundleID); }
  const char* GetBundleID() const { return mBundleID.Get(); }

  // The system version as Gestalt reports it: 0x1058 for 10.5.8.
  static int GetUserOSVersion();

  // Editor rectangles (top-left origin, exclusive right and bottom) to view
  // rectangles (bottom-left origin) and back.
  static NSRect ToNSRect(IGraphics* graphics, IRECT* rect);
  static IRECT ToIRECT(IGraphics* graphics, NSRect* rect);
  static NSColor ToNSColor(IColor* color);
  // The point size of a text field for a text style's size.
  static int AdjustFontSize(int size) { return static_cast<int>(size * 0.9); }

  // The Carbon binding while the editor sits in a Carbon window.
  IGraphicsCarbon* GetCarbon() const { return mGraphicsCarbon; }

private:
  // The view that shows the editor now: the Cocoa view or the Carbon
  // binding's pane; null when no window is open.
  IGraphicsCocoa_vTolvaneDelay_au* ActiveView() const;

  IGraphicsCarbon* mGraphicsCarbon = nullptr;
  IGraphicsCocoa_vTolvaneDelay_au* mGraphicsCocoa = nullptr;
  WDL_String mBundleID;
  NSWindow* mHostNSWindow = nullptr;
};

// The bundle's PNG resource named by the last path component of name ("png"
// extension in any case), decoded; null when it is not found or not a PNG.
LICE_IBitmap* LoadImgFromResourceOSX(const char* bundleID, const char* name);
