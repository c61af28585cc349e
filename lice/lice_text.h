// Text drawing into raster bitmaps: a font object made from a drawing-layer
// font handle, whose glyphs are rendered once and kept.
//
// Threads: a font object is used by one thread at a time (the editor's
// user-interface thread); distinct font objects may draw on distinct threads.
#pragma once

#include "lice/lice.h"
#include "swell/swell_font.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

// Flags of SetFromHFont.
enum
{
  LICE_FONT_FLAG_OWNS_HFONT = 1,   // the font object deletes the handle when done with it
  LICE_FONT_FLAG_FORCE_NATIVE = 2, // render with the drawing layer (the only renderer here)
};

// Flags of DrawText.
enum
{
  LICE_DT_CENTER = 4,              // x = L + (R - L - text width) / 2
  LICE_DT_RIGHT = 0x20,            // x = R - text width
  LICE_DT_NOCLIP = 0x100,          // draw outside the rectangle too (still inside the bitmap)
  LICE_DT_CALCRECT = 0x400,        // measure into the rectangle, draw nothing
  LICE_DT_USEFGALPHA = 0x40000000, // the text colour's alpha scales the text's opacity
};

class LICE_IFont
{
public:
  virtual ~LICE_IFont() {}
  virtual void SetFromHFont(HFONT font, int flags = 0) = 0;
  // Returns the previous colour.
  virtual LICE_pixel SetTextColor(LICE_pixel color) = 0;
  virtual int GetLineHeight() = 0;
  // Draws strcnt bytes of UTF-8 (a negative count: up to the terminating NUL)
  // starting at the rectangle's top, one line per '\n'. Returns the height of
  // the text; 0 when there is no font.
  virtual int DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect,
                       unsigned int dtFlags) = 0;
};

class LICE_CachedFont : public LICE_IFont
{
public:
  LICE_CachedFont();
  ~LICE_CachedFont() override;
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  // Takes the handle (null: no font) and forgets the glyphs of the previous
  // one, deleting that handle if it was owned.
  void SetFromHFont(HFONT font, int flags = 0) override;
  LICE_pixel SetTextColor(LICE_pixel color) override;
  int GetLineHeight() override;
  int DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect,
               unsigned int dtFlags) override;

  HFONT GetHFont() const { return m_font; }
  // How many glyph images this font has rendered since its handle was set.
  int GetRenderedGlyphCount() const { return m_rendered; }

private:
  const SWELL_Glyph* glyph(uint32_t codepoint);
  int lineWidth(const char* str, int len);
  void drawLine(LICE_IBitmap* bm, const char* str, int len, int x, int baseline, const RECT& clip,
                int weight);
  void drawRule(LICE_IBitmap* bm, int x, int y, int w, int h, const RECT& clip, int weight);
  void release();

  HFONT m_font = nullptr;
  int m_flags = 0;
  LICE_pixel m_color = LICE_RGBA(0, 0, 0, 255);
  SWELL_FontMetrics m_metrics = {};
  bool m_underline = false, m_strikeOut = false;
  int m_rendered = 0;
  // ASCII glyphs by code; the rest by code point.
  std::unique_ptr<SWELL_Glyph> m_ascii[128];
  std::unordered_map<uint32_t, std::unique_ptr<SWELL_Glyph>> m_other;
};
