// The control base and the bitmap, switch, fader, knob and panel kinds.

#include "IPlug/IControl.h"

#include <cmath>

#include "IPlug/IGraphics.h"
#include "IPlug/IPlugBase.h"

// ---- IControl --------------------------------------------------------------------

IControl::IControl(IPlugBase* plug, IRECT rect, int paramIdx, IChannelBlend blend)
    : mPlug(plug), mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx), mBlend(blend)
{
}

IGraphics* IControl::GetGUI() const
{
  return mPlug ? mPlug->GetGUI() : nullptr;
}

IParam* IControl::GetParam() const
{
  return mPlug ? mPlug->GetParam(mParamIdx) : nullptr;
}

void IControl::OnMouseDown(int, int, IMouseMod* mod)
{
  if (mod && mod->R) PromptUserInput();
}

void IControl::OnMouseUp(int, int, IMouseMod*) {}

void IControl::OnMouseDrag(int, int, int, int, IMouseMod*) {}

void IControl::OnMouseDblClick(int, int, IMouseMod*)
{
  const double defaultValue = mDefaultValue;
  if (defaultValue < 0.0) return;
  mValue = defaultValue;
  SetDirty(true);
}

void IControl::OnMouseWheel(int, int, IMouseMod* mod, int d)
{
  mValue += d * (mod && mod->Fine() ? 0.001 : 0.01);
  SetDirty(true);
}

bool IControl::OnKeyDown(int, int, int)
{
  return false;
}

void IControl::OnMouseOver(int, int, IMouseMod*) {}

void IControl::SetValueFromPlug(double value)
{
  if (mDefaultValue < 0.0) mDefaultValue = mValue = value;
  if (mValue == value) return;
  mValue = value;
  SetDirty(false);
  Redraw();
}

void IControl::SetValueFromUserInput(double value)
{
  if (mValue == value) return;
  mValue = value;
  SetDirty(true);
  Redraw();
}

void IControl::Hide(bool hide)
{
  mHide = hide;
  mRedraw = true;
  SetDirty(false);
}

void IControl::GrayOut(bool gray)
{
  mGrayed = gray;
  mBlend.mWeight = gray ? 0.25f : 1.0f;
  SetDirty(false);
}

void IControl::SetDirty(bool pushParamToPlug)
{
  const double value = mValue;
  if (value < mClampLo)
    mValue = mClampLo;
  else if (value > mClampHi)
    mValue = mClampHi;
  mDirty = true;
  if (pushParamToPlug && mPlug && mParamIdx >= 0) mPlug->SetParameterFromGUI(mParamIdx, mValue);
}

void IControl::SetClean()
{
  mDirty = mRedraw.load();
  mRedraw = false;
}

void IControl::PromptUserInput()
{
  IParam* param = GetParam();
  if (mParamIdx < 0 || mDisablePrompt || !param) return;
  IRECT rect = mRECT;
  if (!param->GetNDisplayTexts())
  {
    const int cx = int(mRECT.MW()), cy = int(mRECT.MH());
    rect = IRECT(cx - 15, cy - 8, cx + 15, cy + 8);
  }
  PromptUserInput(&rect);
}

void IControl::PromptUserInput(IRECT* rect)
{
  IParam* param = GetParam();
  IGraphics* gui = GetGUI();
  if (mParamIdx < 0 || mDisablePrompt || !param || !gui) return;
  gui->PromptUserInput(this, param, rect);
  Redraw();
}

// ---- Panel and bitmap kinds --------------------------------------------------------

IPanelControl::IPanelControl(IPlugBase* plug, IRECT rect, const IColor* color)
    : IControl(plug, rect), mColor(*color)
{
}

bool IPanelControl::Draw(IGraphics* graphics)
{
  return graphics->FillIRect(&mColor, &mRECT, &mBlend);
}

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                               IChannelBlend::EBlendMethod method)
    : IControl(plug, IRECT(x, y, bitmap), paramIdx, IChannelBlend(method)), mBitmap(*bitmap)
{
}

int IBitmapControl::FrameForValue(double value, int nFrames)
{
  const int frame = 1 + int(0.5 + value * double(nFrames - 1));
  return std::min(std::max(frame, 1), std::max(nFrames, 1));
}

bool IBitmapControl::Draw(IGraphics* graphics)
{
  const int frame = mBitmap.N < 2 ? 1 : FrameForValue(mValue, mBitmap.N);
  return graphics->DrawBitmap(&mBitmap, &mRECT, frame, &mBlend);
}

ISwitchControl::ISwitchControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                               IChannelBlend::EBlendMethod method)
    : IBitmapControl(plug, x, y, paramIdx, bitmap, method)
{
}

void ISwitchControl::OnMouseDown(int, int, IMouseMod* mod)
{
  if (mod && mod->R)
    PromptUserInput();
  else
    mValue += mBitmap.N > 1 ? 1.0 / double(mBitmap.N - 1) : 1.0;
  if (mValue > 1.001) mValue = 0.0;
  SetDirty(true);
}

void ISwitchControl::OnMouseDblClick(int x, int y, IMouseMod* mod)
{
  OnMouseDown(x, y, mod);
}

void IContactControl::OnMouseUp(int, int, IMouseMod*)
{
  mValue = 0.0;
  SetDirty(true);
}

IBitmapOverlayControl::IBitmapOverlayControl(IPlugBase* plug, int x, int y, int paramIdx,
                                             IBitmap* bitmap, IRECT targetArea)
    : ISwitchControl(plug, x, y, paramIdx, bitmap), mTargetArea(targetArea)
{
  mTargetRECT = targetArea;
}

bool IBitmapOverlayControl::Draw(IGraphics* graphics)
{
  if (mValue < 0.5)
  {
    mTargetRECT = mTargetArea;
    return true;
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(graphics);
}

IInvisibleSwitchControl::IInvisibleSwitchControl(IPlugBase* plug, IRECT rect, int paramIdx)
    : IControl(plug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendClobber))
{
}

void IInvisibleSwitchControl::OnMouseDown(int, int, IMouseMod*)
{
  mValue = mValue < 0.5 ? 1.0 : 0.0;
  SetDirty(true);
}

// ---- Fader ------------------------------------------------------------------------

IFaderControl::IFaderControl(IPlugBase* plug, int x, int y, int len, int paramIdx, IBitmap* bitmap,
                             EDirection direction)
    : IControl(plug, IRECT(), paramIdx), mLen(len), mBitmap(*bitmap), mDirection(direction)
{
  if (direction == kHorizontal)
  {
    mHandleSize = bitmap->W;
    mRECT = mTargetRECT = IRECT(x, y, x + len, y + bitmap->H);
  }
  else
  {
    mHandleSize = bitmap->H;
    mRECT = mTargetRECT = IRECT(x, y, x + bitmap->W, y + len);
  }
}

IRECT IFaderControl::GetHandleRECT(double value) const
{
  if (value < 0.0) value = mValue;
  IRECT r(mRECT.L, mRECT.T, mRECT.L + mBitmap.W, mRECT.T + mBitmap.H);
  const double travel = double(mLen - mHandleSize);
  if (mDirection == kHorizontal)
  {
    const int offset = int(value * travel);
    r.L += offset;
    r.R += offset;
  }
  else
  {
    const int offset = int((1.0 - value) * travel);
    r.T += offset;
    r.B += offset;
  }
  return r;
}

void IFaderControl::SnapToMouse(int x, int y)
{
  const double travel = double(mLen - mHandleSize);
  if (travel <= 0.0) return; // a track no longer than its handle has nowhere to go
  if (mDirection == kHorizontal)
    mValue = double(x - mRECT.L - mHandleSize / 2) / travel;
  else
    mValue = 1.0 - double(y - mRECT.T - mHandleSize / 2) / travel;
  SetDirty(true);
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (mod && mod->R)
    PromptUserInput();
  else
    SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int, int, IMouseMod*)
{
  SnapToMouse(x, y);
}

bool IFaderControl::Draw(IGraphics* graphics)
{
  IRECT handle = GetHandleRECT();
  return graphics->DrawBitmap(&mBitmap, &handle, 1, &mBlend);
}

// ---- Knobs ------------------------------------------------------------------------

IKnobControl::IKnobControl(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction,
                           double gearing)
    : IControl(plug, rect, paramIdx), mDirection(direction), mGearing(gearing)
{
}

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* mod)
{
  double gearing = mGearing;
  if (mod && mod->Fine()) gearing *= 10.0;
  if (mDirection == kVertical)
  {
    if (mRECT.H() != 0) mValue += double(dY) / double(mRECT.T - mRECT.B) / gearing;
  }
  else if (mRECT.W() != 0)
    mValue += double(dX) / double(mRECT.R - mRECT.L) / gearing;
  SetDirty(true);
}

IKnobLineControl::IKnobLineControl(IPlugBase* plug, IRECT rect, int paramIdx, const IColor* color,
                                   double innerRadius, double outerRadius, double minAngle,
                                   double maxAngle, EDirection direction, double gearing)
    : IKnobControl(plug, rect, paramIdx, direction, gearing), mColor(*color),
      mMinAngle(float(minAngle)), mMaxAngle(float(maxAngle)), mInnerRadius(float(innerRadius)),
      mOuterRadius(float(outerRadius))
{
  if (outerRadius == 0.0) mOuterRadius = 0.5f * float(rect.W());
  mBlend = IChannelBlend(IChannelBlend::kBlendClobber);
}

bool IKnobLineControl::Draw(IGraphics* graphics)
{
  const double angle = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  return graphics->DrawRadialLine(&mColor, mRECT.MW(), mRECT.MH(), float(angle), mInnerRadius,
                                  mOuterRadius, &mBlend, true);
}

IKnobRotaterControl::IKnobRotaterControl(IPlugBase* plug, int x, int y, int paramIdx,
                                         IBitmap* bitmap, double minAngle, double maxAngle,
                                         int yOffsetZeroDeg, EDirection direction, double gearing)
    : IKnobControl(plug, IRECT(x, y, x + bitmap->W, y + bitmap->H), paramIdx, direction, gearing),
      mBitmap(*bitmap), mMinAngle(minAngle), mMaxAngle(maxAngle), mYOffset(yOffsetZeroDeg)
{
}

bool IKnobRotaterControl::Draw(IGraphics* graphics)
{
  const double angle = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  return graphics->DrawRotatedBitmap(&mBitmap, (mRECT.L + mRECT.R) / 2, (mRECT.T + mRECT.B) / 2,
                                     angle, mYOffset, &mBlend);
}

IKnobMultiControl::IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                                     EDirection direction, double gearing)
    : IKnobControl(plug, IRECT(x, y, bitmap), paramIdx, direction, gearing), mBitmap(*bitmap)
{
}

bool IKnobMultiControl::Draw(IGraphics* graphics)
{
  const int frame = IBitmapControl::FrameForValue(mValue, mBitmap.N);
  return graphics->DrawBitmap(&mBitmap, &mRECT, frame, &mBlend);
}

IKnobRotatingMaskControl::IKnobRotatingMaskControl(IPlugBase* plug, int x, int y, int paramIdx,
                                                   IBitmap* base, IBitmap* mask, IBitmap* top,
                                                   double minAngle, double maxAngle,
                                                   EDirection direction, double gearing)
    : IKnobControl(plug, IRECT(x, y, x + base->W, y + base->H), paramIdx, direction, gearing),
      mBase(*base), mMask(*mask), mTop(*top), mMinAngle(minAngle), mMaxAngle(maxAngle)
{
}

bool IKnobRotatingMaskControl::Draw(IGraphics* graphics)
{
  const double angle = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  return graphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRECT.L, mRECT.T, angle, &mBlend);
}
