// Text controls: plain text the plug-in sets, and a parameter's caption.

#include "IPlug/IControl.h"
#include "IPlug/IGraphics.h"
#include "IPlug/IPlugBase.h"

ITextControl::ITextControl(IPlugBase* plug, IRECT rect, IText* text, const char* str)
    : IControl(plug, rect), mStr(str)
{
  mText = *text;
}

// Runs under the text lock so a text replaced by the plug-in's thread at the
// same time is never read half-written. Glyphs are drawn from the font's own
// cache, so this does not allocate once the text has been drawn.
bool ITextControl::Draw(IGraphics* graphics)
{
  WDL_MutexLock lock(&mStrLock);
  if (!mStr.GetLength()) return true;
  return graphics->DrawIText(&mText, mStr.Get(), &mRECT);
}

void ITextControl::SetTextFromPlug(const char* str)
{
  if (!str) str = "";
  WDL_MutexLock lock(&mStrLock);
  if (!std::strcmp(str, mStr.Get())) return;
  SetDirty(false);
  mStr.Set(str);
}

void ITextControl::GetTextCopy(WDL_String* out)
{
  WDL_MutexLock lock(&mStrLock);
  out->Set(mStr.Get());
}

ICaptionControl::ICaptionControl(IPlugBase* plug, IRECT rect, int paramIdx, IText* text,
                                 bool showParamLabel)
    : ITextControl(plug, rect, text, ""), mAppendLabel(showParamLabel)
{
  mParamIdx = paramIdx;
}

void ICaptionControl::OnMouseDown(int, int, IMouseMod* mod)
{
  if (mod && (mod->L || mod->R)) PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int, int, IMouseMod*)
{
  PromptUserInput();
}

bool ICaptionControl::Draw(IGraphics* graphics)
{
  if (const IParam* param = GetParam())
  {
    char display[kTextBufferSize];
    param->GetDisplayForHost(display);
    WDL_MutexLock lock(&mStrLock);
    mStr.Set(display);
    if (mAppendLabel)
    {
      mStr.Append(" ");
      mStr.Append(param->GetLabelForHost());
    }
  }
  return ITextControl::Draw(graphics);
}
