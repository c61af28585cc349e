// Bitmaps and fonts from the process-wide caches, and text drawing.

#include <cstdio>

#include "IPlug/IGraphics.h"
#include "IPlug/IGraphicsCaches.h"
#include "lice/lice_text.h"
#include "swell/swell_font.h"

IBitmap IGraphics::LoadIBitmap(int ID, const char* name, int nStates)
{
  LICE_IBitmap* bitmap = s_bitmapCache.Find(ID);
  if (!bitmap)
  {
    bitmap = OSLoadBitmap(ID, name);
    if (!bitmap)
    {
      // A damaged installation: the editor still opens, without this picture.
      // The empty bitmap is cached so the message appears once.
      std::fprintf(stderr, "imgResourceFound: %s\n", name ? name : "(null)");
      bitmap = new LICE_MemBitmap();
    }
    s_bitmapCache.Add(bitmap, ID);
  }
  return IBitmap(bitmap, bitmap->getWidth(), bitmap->getHeight(), nStates);
}

void IGraphics::RetainBitmap(IBitmap* bitmap)
{
  s_bitmapCache.Add(bitmap->mData);
}

void IGraphics::ReleaseBitmap(IBitmap* bitmap)
{
  s_bitmapCache.Remove(bitmap->mData);
}

IBitmap IGraphics::CropBitmap(IBitmap* bitmap, IRECT* rect)
{
  const int w = std::max(rect->W(), 0), h = std::max(rect->H(), 0);
  LICE_MemBitmap* cropped = new LICE_MemBitmap(w, h);
  LICE_Blit(cropped, bitmap->mData, 0, 0, rect->L, rect->T, w, h, 1.0f, LICE_BLIT_MODE_COPY);
  IBitmap result(cropped, cropped->getWidth(), cropped->getHeight(), bitmap->N);
  RetainBitmap(&result);
  return result;
}

IBitmap IGraphics::ScaleBitmap(IBitmap* bitmap, int w, int h)
{
  LICE_MemBitmap* scaled = new LICE_MemBitmap(std::max(w, 0), std::max(h, 0));
  LICE_ScaledBlit(scaled, bitmap->mData, 0, 0, scaled->getWidth(), scaled->getHeight(), 0.0f, 0.0f,
                  float(bitmap->W), float(bitmap->H), 1.0f,
                  LICE_BLIT_MODE_COPY | LICE_BLIT_FILTER_BILINEAR);
  IBitmap result(scaled, scaled->getWidth(), scaled->getHeight(), bitmap->N);
  RetainBitmap(&result);
  return result;
}

// ---- Fonts and text ------------------------------------------------------------

namespace
{
char FontQuality(IText::EQuality quality)
{
  switch (quality)
  {
  case IText::kQualityNonAntiAliased:
    return NONANTIALIASED_QUALITY;
  case IText::kQualityAntiAliased:
  case IText::kQualityClearType:
    return ANTIALIASED_QUALITY;
  case IText::kQualityDefault:
  default:
    return DEFAULT_QUALITY;
  }
}

HFONT CreateFontForStyle(const IText* text, int height)
{
  if (height <= 1) height = 2;
  const int angle = text->mOrientation * 10;
  return CreateFont(height, 0, angle, angle,
                    text->mStyle == IText::kStyleBold ? FW_BOLD : FW_NORMAL,
                    text->mStyle == IText::kStyleItalic, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, FontQuality(text->mQuality), DEFAULT_PITCH, text->mFont);
}
} // namespace

// mSize is the wanted line height: a font whose line height differs is made
// again once, scaled in proportion.
LICE_IFont* IGraphics::CacheFont(IText* text)
{
  LICE_IFont* font = s_fontCache.Find(text);
  if (!font)
  {
    LICE_CachedFont* cached = new LICE_CachedFont();
    int h = text->mSize;
    for (int attempt = 0; attempt < 2; ++attempt)
    {
      HFONT handle = CreateFontForStyle(text, h);
      if (!handle)
      {
        delete cached;
        return nullptr;
      }
      cached->SetFromHFont(handle, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
      const int lineHeight = cached->GetLineHeight();
      if (lineHeight == h || lineHeight <= 0) break;
      h = int(double(h) * double(h) / double(lineHeight) + 0.5);
    }
    font = cached;
    s_fontCache.Add(font, text);
  }
  text->mCached = font;
  return font;
}

bool IGraphics::DrawIText(IText* text, const char* str, IRECT* rect)
{
  if (!str || !*str) return true;
  LICE_IFont* font = text->mCached ? text->mCached : CacheFont(text);
  if (!font) return false;
  font->SetTextColor(LiceColor(&text->mColor));
  unsigned int flags = LICE_DT_NOCLIP;
  if (text->mColor.A != 255) flags |= LICE_DT_USEFGALPHA;
  if (text->mAlign == IText::kAlignCenter)
    flags |= LICE_DT_CENTER;
  else if (text->mAlign != IText::kAlignNear)
    flags |= LICE_DT_RIGHT;
  RECT r = {rect->L, rect->T, rect->R, rect->B};
  font->DrawText(mDrawBitmap, str, -1, &r, flags);
  return true;
}
