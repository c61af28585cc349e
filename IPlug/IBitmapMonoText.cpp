#include "IPlug/IBitmapMonoText.h"

#include <cstdio>

#include "IPlug/IGraphics.h"

void DrawBitmapedText(IGraphics* graphics, IBitmap* fontBitmap, IRECT* rect, IText* text,
                      IChannelBlend* blend, const char* str, bool vCenter, bool multiline,
                      int charWidth, int charHeight)
{
  if (!str || !*str || charWidth <= 0 || charHeight <= 0) return;
  const int len = int(std::strlen(str));
  const int stringLength = charWidth * len;
  const int top = vCenter ? rect->T + (rect->H() - charHeight) / 2 : rect->T;
  const int left = text->mAlign == IText::kAlignCenter ? rect->L + (rect->W() - stringLength) / 2
                                                       : rect->L + charWidth;
  const int lineWidth = rect->W() - 2 * charWidth;
  if (lineWidth <= 0)
  {
#ifndef NDEBUG
    std::fprintf(stderr, "lineWidth > 0\n");
#endif
    return;
  }
  int charsPerLine = lineWidth / charWidth, lastRow = 1;
  if (multiline)
  {
    if (stringLength > lineWidth)
      lastRow = stringLength / lineWidth;
    else
      charsPerLine = len;
  }
  int next = 0;
  for (int row = 0; row <= lastRow; ++row)
  {
    const int y = top + row * charHeight;
    for (int col = 0; col < charsPerLine; ++col)
    {
      if (next >= len) return;
      const int frame = int(static_cast<signed char>(str[next++])) - 31;
      const int x = left + col * charWidth;
      IRECT cell(x, y, x + charWidth, y + charHeight);
      graphics->DrawBitmap(fontBitmap, &cell, frame, blend);
    }
  }
}

IBitmapTextControl::IBitmapTextControl(IPlugBase* plug, IRECT rect, IBitmap* textBitmap,
                                       const char* str, IText* text, int charWidth, int charHeight)
    : IControl(plug, rect), mStr(str), mCharWidth(charWidth), mCharHeight(charHeight),
      mTextBitmap(*textBitmap)
{
  if (text) mText = *text;
}

bool IBitmapTextControl::Draw(IGraphics* graphics)
{
  mStr.With(
      [&](WDL_String& str)
      {
        if (str.GetLength())
          DrawBitmapedText(graphics, &mTextBitmap, &mRECT, &mText, &mBlend, str.Get(), true, false,
                           mCharWidth, mCharHeight);
      });
  return true;
}

void IBitmapTextControl::SetTextFromPlug(const char* str)
{
  mStr.ReplaceIfDifferent(str, [this] { SetDirty(false); });
}
