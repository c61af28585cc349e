// The editor's control list, the paths between controls and parameters, input
// dispatch and redraw.

#include "IPlug/IGraphics.h"

#include "IPlug/IControl.h"
#include "IPlug/IPlugBase.h"

IGraphics::IGraphics(IPlugBase* plug, int w, int h, int refreshFPS)
    : mPlug(plug), mWidth(w), mHeight(h), mFPS(refreshFPS > 0 ? refreshFPS : kDefaultFPS)
{
}

IGraphics::~IGraphics()
{
  delete mKeyCatcher;
  mControls.Empty(true);
  delete mDrawBitmap;
  delete mScratchBitmap;
}

// ---- The control list --------------------------------------------------------

int IGraphics::AttachControl(IControl* control)
{
  mControls.Add(control);
  return mControls.GetSize() - 1;
}

void IGraphics::InsertAtFront(IControl* control)
{
  mControls.Insert(0, control);
}

IControl* IGraphics::AttachBackground(int ID, const char* name)
{
  IBitmap bitmap = LoadIBitmap(ID, name, 1);
  IControl* control = new IBitmapControl(mPlug, 0, 0, -1, &bitmap, IChannelBlend::kBlendClobber);
  InsertAtFront(control);
  return control;
}

IControl* IGraphics::AttachPanelBackground(const IColor* color)
{
  IControl* control = new IPanelControl(mPlug, IRECT(0, 0, mWidth, mHeight), color);
  InsertAtFront(control);
  return control;
}

void IGraphics::AttachKeyCatcher(IControl* control)
{
  if (mKeyCatcher == control) return;
  delete mKeyCatcher;
  mKeyCatcher = control;
}

void IGraphics::PrepDraw()
{
  if (!mDrawBitmap) mDrawBitmap = new LICE_SysBitmap(Width(), Height());
  if (!mScratchBitmap) mScratchBitmap = new LICE_MemBitmap();
}

LICE_pixel* IGraphics::GetBits()
{
  return mDrawBitmap ? mDrawBitmap->getBits() : nullptr;
}

void IGraphics::SetStrictDrawing(bool strict)
{
  mStrict = strict;
  SetAllControlsDirty();
}

void IGraphics::Resize(int w, int h)
{
  mWidth = w;
  mHeight = h;
  ReleaseMouseCapture();
  mMouseOver = -1;
  mControls.Empty(true);
  if (mPlug) mPlug->ResizeGraphics(w, h);
}

// ---- Parameter to control ------------------------------------------------------

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized)
{
  if (!normalized)
  {
    const IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->GetNormalized(value);
  }
  for (int i = 0; i < NControls(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->SetValueFromPlug(value);
  }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue)
{
  if (IControl* control = mControls.Get(controlIdx)) control->SetValueFromPlug(normalizedValue);
}

void IGraphics::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
  for (int i = 0; i < NControls(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->SetValueFromUserInput(normalizedValue);
  }
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized)
{
  if (!normalized)
  {
    const IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    lo = param->GetNormalized(lo);
    hi = param->GetNormalized(hi);
  }
  for (int i = 0; i < NControls(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->Clamp(lo, hi);
  }
}

void IGraphics::SetAllControlsDirty()
{
  for (int i = 0; i < NControls(); ++i)
    mControls.Get(i)->SetDirty(false);
}

void IGraphics::HideControl(int paramIdx, bool hide)
{
  for (int i = 0; i < NControls(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->Hide(hide);
  }
}

void IGraphics::GrayOutControl(int paramIdx, bool gray)
{
  for (int i = 0; i < NControls(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->GrayOut(gray);
  }
}

// ---- Input -------------------------------------------------------------------

int IGraphics::GetMouseControlIdx(int x, int y, bool mo)
{
  if (mMouseCapture >= 0) return mMouseCapture;
  for (int i = NControls() - 1; i >= 0; --i)
  {
    IControl* control = mControls.Get(i);
    if (control->IsHidden()) continue;
    if (control->IsGrayed() && !(mo && control->GetMOWhenGrayed())) continue;
    if (control->IsHit(x, y)) return i;
  }
  return -1;
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* mod)
{
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  if (c < 0) return;
  mMouseCapture = c;
  mMouseX = x;
  mMouseY = y;
  IControl* control = mControls.Get(c);
  control->OnMouseDown(x, y, mod);
  // The control may have resized or rebuilt the editor.
  control = mControls.Get(c);
  const int paramIdx = control ? control->ParamIdx() : -1;
  if (paramIdx >= 0 && mPlug) mPlug->BeginInformHostOfParamChange(paramIdx);
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* mod)
{
  IControl* control = mControls.Get(mMouseCapture);
  if (!control) return;
  if (x == mMouseX && y == mMouseY) return;
  const int dX = x - mMouseX, dY = y - mMouseY;
  mMouseX = x;
  mMouseY = y;
  control->OnMouseDrag(x, y, dX, dY, mod);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* mod)
{
  const int c = GetMouseControlIdx(x, y);
  ReleaseMouseCapture();
  IControl* control = mControls.Get(c);
  if (!control) return;
  control->OnMouseUp(x, y, mod);
  control = mControls.Get(c);
  const int paramIdx = control ? control->ParamIdx() : -1;
  if (paramIdx >= 0 && mPlug) mPlug->EndInformHostOfParamChange(paramIdx);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* mod)
{
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  IControl* control = mControls.Get(c);
  if (!control) return false;
  if (control->MouseDblAsSingleClick())
  {
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    control->OnMouseDown(x, y, mod);
    return true;
  }
  control->OnMouseDblClick(x, y, mod);
  return false;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* mod, int d)
{
  if (IControl* control = mControls.Get(GetMouseControlIdx(x, y)))
    control->OnMouseWheel(x, y, mod, d);
}

void IGraphics::ReleaseMouseCapture()
{
  mMouseCapture = mMouseX = mMouseY = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key)
{
  const int c = GetMouseControlIdx(x, y);
  if (c > 0) return mControls.Get(c)->OnKeyDown(x, y, key);
  return mKeyCatcher ? mKeyCatcher->OnKeyDown(x, y, key) : false;
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* mod)
{
  if (!mTrackMouseOver) return false;
  const int c = GetMouseControlIdx(x, y, true);
  if (c < 0) return mTrackMouseOver;
  mMouseX = x;
  mMouseY = y;
  mControls.Get(c)->OnMouseOver(x, y, mod);
  if (mMouseOver >= 0 && mMouseOver != c)
    if (IControl* previous = mControls.Get(mMouseOver)) previous->OnMouseOut();
  mMouseOver = c;
  return mTrackMouseOver;
}

void IGraphics::OnMouseOut()
{
  for (int i = 0; i < NControls(); ++i)
    mControls.Get(i)->OnMouseOut();
  mMouseOver = -1;
}

void IGraphics::OnGUIIdle()
{
  for (int i = 0; i < NControls(); ++i)
    mControls.Get(i)->OnGUIIdle();
}

// ---- Redraw ------------------------------------------------------------------

bool IGraphics::IsDirty(IRECT* rect)
{
  bool dirty = false;
  for (int i = 0; i < NControls(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (!control->IsDirty()) continue;
    *rect = rect->Union(control->GetRECT());
    dirty = true;
  }
  return dirty;
}

void IGraphics::DrawControl(IControl* control)
{
  control->Draw(this);
}

// Every visible control touching the repaint rectangle is drawn, clipped to it.
void IGraphics::DrawStrict(IRECT* rect)
{
  mDrawRECT = *rect;
  for (int i = 0; i < NControls(); ++i)
  {
    IControl* control = mControls.Get(i);
    if (!control->IsHidden() && rect->Intersects(control->GetRECT())) DrawControl(control);
    control->SetClean();
  }
}

// Each dirty control's own rectangle is redrawn with whatever lies under and
// over it; a dirty background repaints everything.
void IGraphics::DrawNonStrict()
{
  IControl* background = mControls.Get(0);
  if (background->IsDirty())
  {
    mDrawRECT = *background->GetRECT();
    for (int i = 0; i < NControls(); ++i)
    {
      IControl* control = mControls.Get(i);
      if (i == 0 || !control->IsHidden())
      {
        DrawControl(control);
        control->SetClean();
      }
    }
    return;
  }
  for (int i = 1; i < NControls(); ++i)
  {
    IControl* dirty = mControls.Get(i);
    if (!dirty->IsDirty()) continue;
    mDrawRECT = *dirty->GetRECT();
    for (int j = 0; j < NControls(); ++j)
    {
      IControl* control = mControls.Get(j);
      if (control->IsHidden()) continue;
      if (j == i || mDrawRECT.Intersects(control->GetRECT())) DrawControl(control);
    }
    dirty->SetClean();
  }
}

bool IGraphics::Draw(IRECT* rect)
{
  if (!NControls()) return true;
  if (mStrict)
    DrawStrict(rect);
  else
    DrawNonStrict();
  return DrawScreen(rect);
}
