#pragma once

// Text drawn from a fixed-width bitmap font: one frame per character, frame 1
// the space (code 32). User-interface thread, except that the plug-in may set
// the control's text from the host's thread.

#include "IPlug/IControl.h"

class IGraphics;

// Draws str into rect, one charWidth x charHeight cell per character. Codes
// below 32 or above 127 draw the first frame. Centred horizontally for
// kAlignCenter, otherwise starting one cell in from the left. Without
// multiline a string longer than a line continues on one more row. A rectangle
// not wider than two cells draws nothing ("lineWidth > 0" in debug builds).
void DrawBitmapedText(IGraphics* graphics, IBitmap* fontBitmap, IRECT* rect, IText* text,
                      IChannelBlend* blend, const char* str, bool vCenter = true,
                      bool multiline = false, int charWidth = 6, int charHeight = 12);

class IBitmapTextControl : public IControl
{
public:
  IBitmapTextControl(IPlugBase* plug, IRECT rect, IBitmap* textBitmap, const char* str = "",
                     IText* text = nullptr, int charWidth = 6, int charHeight = 12);
  bool Draw(IGraphics* graphics) override;
  // Marks the control dirty when the text differs, then keeps it.
  void SetTextFromPlug(const char* str);
  void ClearTextFromPlug() { SetTextFromPlug(""); }

protected:
  LockedText mStr;
  int mCharWidth, mCharHeight;
  IBitmap mTextBitmap;
};
