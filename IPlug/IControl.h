#pragma once

// Controls: one element of the editor each, usually bound to one parameter,
// drawing itself from its normalised value (0 to 1) and turning mouse input
// into new values. IControl is the base; the kinds below derive from it.
//
// Threads: controls live on the user-interface thread, except that the
// plug-in, holding its lock on whatever thread changed a parameter, calls
// SetValueFromPlug, Hide and the text controls' SetTextFromPlug. The value,
// the default value and the dirty, redraw and hidden flags are therefore
// relaxed atomics, and the text controls hand their text over under a lock of
// their own (LockedText).

#include "IPlug/Containers.h"
#include "IPlug/IGraphicsStructs.h"
#include "IPlug/LockedText.h"
#include "IPlug/RelaxedAtomic.h"

class IGraphics;
class IParam;
class IPlugBase;

enum EDirection
{
  kVertical = 0,
  kHorizontal = 1
};

class IControl
{
public:
  static constexpr int kDefaultTextEntryLength = 7;

  IControl(IPlugBase* plug, IRECT rect, int paramIdx = -1,
           IChannelBlend blend = IChannelBlend(IChannelBlend::kBlendNone));

  // ---- Virtual operations, in slot order -------------------------------------

  virtual ~IControl() {}
  // Right button: prompt for a value.
  virtual void OnMouseDown(int x, int y, IMouseMod* mod);
  virtual void OnMouseUp(int x, int y, IMouseMod* mod);
  virtual void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod);
  // Back to the first value the plug-in pushed, if there was one.
  virtual void OnMouseDblClick(int x, int y, IMouseMod* mod);
  // 0.01 per unit, 0.001 with Control or Shift.
  virtual void OnMouseWheel(int x, int y, IMouseMod* mod, int d);
  virtual bool OnKeyDown(int x, int y, int key);
  virtual void OnMouseOver(int x, int y, IMouseMod* mod);
  virtual void OnMouseOut() {}
  virtual bool Draw(IGraphics* graphics) = 0;
  // A normalised value from the plug-in (host's thread, under the plug-in lock).
  virtual void SetValueFromPlug(double value);
  virtual void TextFromTextEntry(const char* txt) { (void)txt; }
  virtual void Hide(bool hide);
  // Grayed: drawn at weight 0.25 and not hit by clicks.
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y) { return mTargetRECT.Contains(x, y); }
  // Clamps the value and marks the control dirty; with pushParamToPlug also
  // sets the bound parameter through the plug-in.
  virtual void SetDirty(bool pushParamToPlug = true);
  virtual void SetClean();
  virtual bool IsDirty() { return mDirty; }
  virtual void OnGUIIdle() {}

  // ---- Non-virtual ----------------------------------------------------------

  // A value from a menu or text entry: sets the parameter when it changed.
  void SetValueFromUserInput(double value);
  // Stay dirty for one more redraw after the next clean.
  void Redraw() { mRedraw = true; }
  void PromptUserInput();
  void PromptUserInput(IRECT* rect);
  void Clamp(double lo, double hi)
  {
    mClampLo = lo;
    mClampHi = hi;
  }
  void SetPromptEnabled(bool enabled) { mDisablePrompt = !enabled; }
  void SetDblAsSingleClick(bool single) { mDblAsSingleClick = single; }
  void SetMOWhenGrayed(bool mo) { mMOWhenGrayed = mo; }
  void SetTextEntryLength(int len) { mTextEntryLength = len; }
  void SetTargetRECT(IRECT rect) { mTargetRECT = rect; }

  int ParamIdx() const { return mParamIdx; }
  IRECT* GetRECT() { return &mRECT; }
  IRECT* GetTargetRECT() { return &mTargetRECT; }
  IText* GetText() { return &mText; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  double GetValue() const { return mValue; }
  double GetDefaultValue() const { return mDefaultValue; }
  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  bool GetMOWhenGrayed() const { return mMOWhenGrayed; }
  bool MouseDblAsSingleClick() const { return mDblAsSingleClick; }
  bool PromptDisabled() const { return mDisablePrompt; }
  const IChannelBlend* GetBlend() const { return &mBlend; }

protected:
  IGraphics* GetGUI() const;
  IParam* GetParam() const;

  int mTextEntryLength = kDefaultTextEntryLength;
  IText mText;
  IPlugBase* mPlug;
  IRECT mRECT, mTargetRECT;
  int mParamIdx;
  RelaxedAtomic<double> mValue{0.0};
  RelaxedAtomic<double> mDefaultValue{-1.0};
  double mClampLo = 0.0, mClampHi = 1.0;
  RelaxedAtomic<bool> mDirty{true};
  RelaxedAtomic<bool> mHide{false};
  bool mGrayed = false;
  RelaxedAtomic<bool> mRedraw{false};
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMOWhenGrayed = false;
  IChannelBlend mBlend;
};

// A solid rectangle.
class IPanelControl : public IControl
{
public:
  IPanelControl(IPlugBase* plug, IRECT rect, const IColor* color);
  bool Draw(IGraphics* graphics) override;

protected:
  IColor mColor;
};

// A bitmap, or the frame of a film strip its value selects.
class IBitmapControl : public IControl
{
public:
  IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                 IChannelBlend::EBlendMethod method = IChannelBlend::kBlendNone);
  IBitmapControl(IPlugBase* plug, int x, int y, IBitmap* bitmap,
                 IChannelBlend::EBlendMethod method = IChannelBlend::kBlendNone)
      : IBitmapControl(plug, x, y, -1, bitmap, method)
  {
  }
  bool Draw(IGraphics* graphics) override;

  // The 1-based frame for the value: value 0 the top frame, 1 the bottom one.
  static int FrameForValue(double value, int nFrames);

protected:
  IBitmap mBitmap;
};

// Steps through its frames on every click and wraps to the first.
class ISwitchControl : public IBitmapControl
{
public:
  ISwitchControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                 IChannelBlend::EBlendMethod method = IChannelBlend::kBlendNone);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
};

// A momentary button: back to 0 on release.
class IContactControl : public ISwitchControl
{
public:
  using ISwitchControl::ISwitchControl;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
};

// A bitmap shown over the editor while its value is 1; opened by a click in
// the target area, closed by a click anywhere on it.
class IBitmapOverlayControl : public ISwitchControl
{
public:
  IBitmapOverlayControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                        IRECT targetArea);
  bool Draw(IGraphics* graphics) override;

protected:
  IRECT mTargetArea;
};

// An invisible toggle.
class IInvisibleSwitchControl : public IControl
{
public:
  IInvisibleSwitchControl(IPlugBase* plug, IRECT rect, int paramIdx);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics*) override { return true; }
};

// A slider handle moving along a track of mLen pixels; the track itself is
// part of the background.
class IFaderControl : public IControl
{
public:
  IFaderControl(IPlugBase* plug, int x, int y, int len, int paramIdx, IBitmap* bitmap,
                EDirection direction = kVertical);
  // The handle's rectangle for the value (-1: the current value).
  IRECT GetHandleRECT(double value = -1.0) const;
  int GetLength() const { return mLen; }
  int GetHandleSize() const { return mHandleSize; }

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

protected:
  virtual void SnapToMouse(int x, int y);

  int mLen, mHandleSize;
  IBitmap mBitmap;
  EDirection mDirection;
};

// Base of the knobs: dragging changes the value by 1 / gearing per length of
// the knob in the drag direction (ten times finer with Control or Shift).
class IKnobControl : public IControl
{
public:
  IKnobControl(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction = kVertical,
               double gearing = 4.0);
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;

protected:
  EDirection mDirection;
  double mGearing;
};

// A line from the centre; angles in radians, 0 up, clockwise.
class IKnobLineControl : public IKnobControl
{
public:
  IKnobLineControl(IPlugBase* plug, IRECT rect, int paramIdx, const IColor* color,
                   double innerRadius = 0.0, double outerRadius = 0.0,
                   double minAngle = -0.75 * 3.141592653589793,
                   double maxAngle = 0.75 * 3.141592653589793, EDirection direction = kVertical,
                   double gearing = 4.0);
  bool Draw(IGraphics* graphics) override;

protected:
  IColor mColor;
  float mMinAngle, mMaxAngle, mInnerRadius, mOuterRadius;
};

// A bitmap turned about its centre; angles in radians.
class IKnobRotaterControl : public IKnobControl
{
public:
  IKnobRotaterControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                      double minAngle = -0.75 * 3.141592653589793,
                      double maxAngle = 0.75 * 3.141592653589793, int yOffsetZeroDeg = 0,
                      EDirection direction = kVertical, double gearing = 4.0);
  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBitmap;
  double mMinAngle, mMaxAngle;
  int mYOffset;
};

// The frame of a film strip its value selects.
class IKnobMultiControl : public IKnobControl
{
public:
  IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                    EDirection direction = kVertical, double gearing = 4.0);
  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBitmap;
};

// A mask turned over a base with a top layer; angles in degrees.
class IKnobRotatingMaskControl : public IKnobControl
{
public:
  IKnobRotatingMaskControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* base,
                           IBitmap* mask, IBitmap* top, double minAngle = -135.0,
                           double maxAngle = 135.0, EDirection direction = kVertical,
                           double gearing = 4.0);
  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBase, mMask, mTop;
  double mMinAngle, mMaxAngle;
};

// Opens a web address (or the fallback) on a click.
class IURLControl : public IControl
{
public:
  IURLControl(IPlugBase* plug, IRECT rect, const char* url, const char* backupURL = nullptr,
              const char* errMsgOnFailure = nullptr);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics*) override { return true; }

protected:
  char mURL[256], mFallbackURL[256], mFailureText[1024];
};

// n buttons drawn from a two-frame bitmap, the active one with frame 2.
class IRadioButtonsControl : public IControl
{
public:
  // nButtons must be at least 2.
  IRadioButtonsControl(IPlugBase* plug, IRECT rect, int paramIdx, int nButtons, IBitmap* bitmap,
                       EDirection direction = kVertical);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;
  int NButtons() const { return mRECTs.GetSize(); }
  const IRECT* GetButtonRECT(int i) const
  {
    return i >= 0 && i < NButtons() ? mRECTs.Get() + i : nullptr;
  }

protected:
  WDL_TypedBuf<IRECT> mRECTs;
  IBitmap mBitmap;
};

// A line of text in the control's style. The plug-in may replace the text
// from the host's thread (SetTextFromPlug) while the editor draws.
class ITextControl : public IControl
{
public:
  ITextControl(IPlugBase* plug, IRECT rect, IText* text, const char* str = "");
  bool Draw(IGraphics* graphics) override;
  // Marks the control dirty when the text differs, then keeps it.
  virtual void SetTextFromPlug(const char* str);
  void ClearTextFromPlug() { SetTextFromPlug(""); }
  // A copy of the current text.
  void GetTextCopy(WDL_String* out);

protected:
  LockedText mStr;
};

// The bound parameter's display text (and label) as text; prompts on a click.
class ICaptionControl : public ITextControl
{
public:
  ICaptionControl(IPlugBase* plug, IRECT rect, int paramIdx, IText* text,
                  bool showParamLabel = true);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

protected:
  bool mAppendLabel;
};

// Asks for a file on a click and steps its value when the dialog returns.
class IFileSelectorControl : public IControl
{
public:
  enum EFileSelectorState
  {
    kFSNone = 0,
    kFSSelecting = 1,
    kFSDone = 2
  };
  IFileSelectorControl(IPlugBase* plug, IRECT rect, int paramIdx, IBitmap* bitmap,
                       EFileAction action, const char* dir = "", const char* extensions = "");
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;
  bool IsDirty() override;
  void GetLastSelectedFileForPlug(WDL_String* out) { out->Set(mFile.Get()); }
  void SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file); }

protected:
  IBitmap mBitmap;
  WDL_String mDir, mFile, mExtensions;
  EFileAction mFileAction;
  EFileSelectorState mState = kFSNone;
};
