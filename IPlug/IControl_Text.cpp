// Text controls: plain text the plug-in sets, and a parameter's caption.

#include "IPlug/IControl.h"
#include "IPlug/IGraphics.h"
#include "IPlug/IPlugBase.h"

ITextControl::ITextControl(IPlugBase* plug, IRECT rect, IText* text, const char* str)
    : IControl(plug, rect), mStr(str)
{
  mText = *text;
}

// Glyphs are drawn from the font's own cache, so this does not allocate once
// the text has been drawn.
bool ITextControl::Draw(IGraphics* graphics)
{
  return mStr.With([&](WDL_String& str)
                   { return !str.GetLength() || graphics->DrawIText(&mText, str.Get(), &mRECT); });
}

void ITextControl::SetTextFromPlug(const char* str)
{
  mStr.ReplaceIfDifferent(str, [this] { SetDirty(false); });
}

void ITextControl::GetTextCopy(WDL_String* out)
{
  mStr.CopyTo(out);
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
    mStr.With(
        [&](WDL_String& str)
        {
          str.Set(display);
          if (mAppendLabel)
          {
            str.Append(" ");
            str.Append(param->GetLabelForHost());
          }
        });
  }
  return ITextControl::Draw(graphics);
}
