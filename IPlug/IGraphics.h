#pragma once

// The editor: the ordered list of controls, the paths between controls and
// parameters, hit testing and input dispatch, the dirty scan and redraw, and
// drawing operations over one off-screen bitmap the size of the editor. A
// window binding derives from it and supplies the abstract operations (the
// screen, bitmap resources, menus, text fields, dialogs, URLs).
//
// Threads: everything runs on the user-interface thread except
// SetParameterFromPlug, SetControlFromPlug and the hide/gray/clamp paths,
// which the plug-in calls on the host's thread while holding the plug-in
// lock. Those write control values and dirty flags only (relaxed atomics);
// the next dirty scan shows them. The editor takes no lock of its own.

#include "IPlug/Containers.h"
#include "IPlug/IGraphicsStructs.h"

class IControl;
class IParam;
class IPlugBase;
class IPopupMenu;
class LICE_IFont;

class IGraphics
{
public:
  static constexpr int kDefaultFPS = 25;

  IGraphics(IPlugBase* plug, int w, int h, int refreshFPS = 0);

  // ---- Virtual operations, in slot order -------------------------------------

  // Puts the given part of the drawing bitmap on screen.
  virtual bool DrawScreen(IRECT* rect) = 0;
  virtual void ForceEndUserEdit() = 0;
  // Deletes every control and asks the plug-in to attach new ones for the size.
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual const char* GetGUIAPI() { return ""; }
  // Shows the menu and waits: the menu with its chosen index set, or null
  // when it was dismissed.
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* rect) = 0;
  // Opens a text field; when editing ends the binding calls
  // SetFromStringAfterPrompt (with a parameter) or the control's
  // TextFromTextEntry.
  virtual void CreateTextEntry(IControl* control, IText* text, IRECT* rect, const char* str,
                               IParam* param) = 0;
  virtual void HostPath(WDL_String* path) = 0;
  virtual void PluginPath(WDL_String* path) = 0;
  virtual void PromptForFile(WDL_String* fileName, EFileAction action, WDL_String* dir,
                             char* extensions) = 0;
  virtual bool PromptForColor(IColor* color, char* prompt) = 0;
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr,
                       const char* confirmMsg = nullptr, const char* errMsgOnFailure = nullptr) = 0;
  virtual void* OpenWindow(void* parent) = 0;
  virtual void* OpenWindow(void* window, void* control)
  {
    (void)window;
    (void)control;
    return nullptr;
  }
  virtual void AttachSubWindow(void* hostWindow) { (void)hostWindow; }
  virtual void RemoveSubWindow() {}
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  virtual ~IGraphics();
  // A new raster bitmap for the resource (kept by the bitmap cache), or null.
  virtual LICE_IBitmap* OSLoadBitmap(int ID, const char* name) = 0;

  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Construction and the control list -------------------------------------

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }
  IPlugBase* GetPlug() const { return mPlug; }

  // Appends; the editor owns the control. Returns its index.
  int AttachControl(IControl* control);
  // Puts a background control at index 0, shifting the others up.
  IControl* AttachBackground(int ID, const char* name);
  IControl* AttachPanelBackground(const IColor* color);
  // Receives keys that no control under the pointer took; owned.
  void AttachKeyCatcher(IControl* control);

  int NControls() const { return mControls.GetSize(); }
  IControl* GetControl(int idx) const { return mControls.Get(idx); } // null outside the list

  // Makes the drawing bitmap (the editor's size) and the scratch bitmap.
  void PrepDraw();
  LICE_pixel* GetBits();
  LICE_IBitmap* GetDrawBitmap() const { return mDrawBitmap; }
  void SetStrictDrawing(bool strict);

  // ---- Parameter to control (host's thread, under the plug-in lock) ----------

  void SetParameterFromPlug(int paramIdx, double value, bool normalized);
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  void SetAllControlsDirty();
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);

  // ---- Input, in editor coordinates ------------------------------------------

  void OnMouseDown(int x, int y, IMouseMod* mod);
  void OnMouseUp(int x, int y, IMouseMod* mod);
  void OnMouseDrag(int x, int y, IMouseMod* mod);
  // True when the double-click was taken as a mouse-down (a drag may follow).
  bool OnMouseDblClick(int x, int y, IMouseMod* mod);
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d);
  bool OnMouseOver(int x, int y, IMouseMod* mod);
  void OnMouseOut();
  bool OnKeyDown(int x, int y, int key);
  void ReleaseMouseCapture();
  void OnGUIIdle();
  // Index of the control that takes the mouse at (x, y), -1 for none.
  int GetMouseControlIdx(int x, int y, bool mo = false);
  int GetMouseCapture() const { return mMouseCapture; }
  void SetTrackMouseOver(bool track) { mTrackMouseOver = track; }

  // ---- Redraw ---------------------------------------------------------------

  // Unites rect with every dirty control's rectangle; true when any was dirty.
  bool IsDirty(IRECT* rect);
  // Draws the controls that need it (see IGraphics.cpp), then DrawScreen(rect).
  bool Draw(IRECT* rect);

  // ---- Prompting --------------------------------------------------------------

  void PromptUserInput(IControl* control, IParam* param, IRECT* rect);
  void SetFromStringAfterPrompt(IControl* control, IParam* param, const char* txt);

  // ---- Drawing into the drawing bitmap ---------------------------------------
  // A null blend means weight 1.0 and the mode of kBlendNone.

  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY,
                  const IChannelBlend* blend = nullptr);
  // frame is 1-based; frame 1 is the top of the strip.
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int frame = 1,
                  const IChannelBlend* blend = nullptr);
  bool DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle,
                         int yOffsetZeroDeg = 0, const IChannelBlend* blend = nullptr);
  // angle in degrees.
  bool DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                       const IChannelBlend* blend = nullptr);
  bool DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend = nullptr,
                 bool antiAlias = false);
  // Writes the pixel word unblended; outside the bitmap nothing is written.
  bool ForcePixel(const IColor* color, int x, int y);
  bool DrawLine(const IColor* color, float x1, float y1, float x2, float y2,
                const IChannelBlend* blend = nullptr, bool antiAlias = false);
  // angle in radians, 0 straight up, growing clockwise.
  bool DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool DrawHorizontalLine(const IColor* color, int y, int x1, int x2);
  bool DrawHorizontalLine(const IColor* color, IRECT* rect, float yFrac);
  bool DrawVerticalLine(const IColor* color, int x, int y1, int y2);
  bool DrawVerticalLine(const IColor* color, IRECT* rect, float xFrac);
  bool DrawRect(const IColor* color, IRECT* rect);
  bool DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool DrawCircle(const IColor* color, float cx, float cy, float r,
                  const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool FillCircle(const IColor* color, int cx, int cy, float r,
                  const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool FillIRect(const IColor* color, IRECT* rect, const IChannelBlend* blend = nullptr);
  bool RoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend, int cornerRadius,
                 bool antiAlias);
  bool FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                    IChannelBlend* blend = nullptr);
  bool FillIConvexPolygon(const IColor* color, int* x, int* y, int nPoints,
                          const IChannelBlend* blend = nullptr);
  // Transparent black outside the bitmap.
  IColor GetPoint(int x, int y);
  // Text in the style, starting at the rectangle's top; false when no font
  // can be made for the style.
  bool DrawIText(IText* text, const char* str, IRECT* rect);

  // ---- Bitmaps and fonts (process-wide caches) -------------------------------

  // The cached bitmap for the ID, or the resource loaded and cached. A resource
  // that cannot be loaded gives an empty bitmap (W = H = 0, no pixels) and one
  // "imgResourceFound" message on standard error.
  IBitmap LoadIBitmap(int ID, const char* name, int nStates = 1);
  IBitmap CropBitmap(IBitmap* bitmap, IRECT* rect);
  IBitmap ScaleBitmap(IBitmap* bitmap, int w, int h);
  void RetainBitmap(IBitmap* bitmap);
  void ReleaseBitmap(IBitmap* bitmap);
  // The font for the style, built and cached when needed; null on failure.
  LICE_IFont* CacheFont(IText* text);

  const IRECT& GetDrawRECT() const { return mDrawRECT; }

protected:
  WDL_Mutex mMutex; // exists for bindings; nothing here takes it
  WDL_PtrList<IControl> mControls;
  IPlugBase* mPlug;
  IRECT mDrawRECT;
  LICE_SysBitmap* mDrawBitmap = nullptr;
  LICE_MemBitmap* mScratchBitmap = nullptr;
  int mWidth, mHeight;
  int mFPS;
  int mMouseCapture = -1;
  int mMouseOver = -1;
  int mMouseX = 0, mMouseY = 0;
  bool mTrackMouseOver = false;
  bool mStrict = true;
  IControl* mKeyCatcher = nullptr;

private:
  void InsertAtFront(IControl* control);
  void DrawStrict(IRECT* rect);
  void DrawNonStrict();
  void DrawControl(IControl* control);
};
