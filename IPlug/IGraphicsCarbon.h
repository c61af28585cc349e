#pragma once

// The editor inside a host's Carbon window: a control (the editor's pane,
// the same view the Cocoa binding hands out) added to the parent control the
// host gives, or to the window's root view, with the editor's redraw timer,
// its mouse, wheel and key handling, text entries and popup menus. Owned by
// the editor (IGraphicsMac) while it sits in the window.
//
// Threads: the host's main (user-interface) thread only.

#include "platform/window/Carbon.h"

class IControl;
class IGraphicsCocoa_vTolvaneDelay_au;
class IGraphicsMac;
class IParam;
class IPopupMenu;
struct IRECT;
struct IText;

class IGraphicsCarbon
{
public:
  // Puts the editor's pane into the parent control (null: the window's root
  // view).
  IGraphicsCarbon(IGraphicsMac* graphicsMac, WindowRef window, ControlRef parentControl);
  // Ends any text entry, stops the timer and takes the pane out of the window.
  ~IGraphicsCarbon();
  IGraphicsCarbon(const IGraphicsCarbon&) = delete;
  IGraphicsCarbon& operator=(const IGraphicsCarbon&) = delete;

  // The editor's control, for the host.
  ControlRef GetView() const { return HIViewRefFromNSView(reinterpret_cast<NSView*>(mView)); }
  IGraphicsCocoa_vTolvaneDelay_au* Pane() const { return mView; }
  WindowRef GetWindow() const { return mWindow; }
  bool GetIsComposited() const { return mIsComposited; }
  void Resize(int w, int h);
  // Ends an open text entry: commit applies the typed text, otherwise it is
  // dropped.
  void EndUserInput(bool commit);

private:
  IGraphicsMac* mGraphicsMac;
  WindowRef mWindow;
  IGraphicsCocoa_vTolvaneDelay_au* mView;
  bool mIsComposited;
};
