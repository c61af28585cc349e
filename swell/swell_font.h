// Fonts of the drawing layer: CreateFont finds a face through fontconfig by
// family name, weight and slant and opens it with FreeType. A family this
// system does not have falls back to the monospace face of the same weight
// and slant. The SWELL_ functions below give the raster layer's text renderer
// what it needs: the font's description, its metrics and single glyphs.
//
// Threads: CreateFont and DeleteObject may be called from any thread (the
// font library is shared and locked inside). One font handle is used by one
// thread at a time: rendering glyphs of the same handle from two threads at
// once is not allowed.
#pragma once

#include <cstdint>
#include <vector>

#include "swell/swell_types.h"

enum
{
  FW_NORMAL = 400,
  FW_BOLD = 700,
  DEFAULT_CHARSET = 1,
  OUT_DEFAULT_PRECIS = 0,
  CLIP_DEFAULT_PRECIS = 0,
  DEFAULT_QUALITY = 0,
  NONANTIALIASED_QUALITY = 3,
  ANTIALIASED_QUALITY = 4,
  DEFAULT_PITCH = 0,
};

// height > 0: the cell height (ascent plus descent) in pixels; height < 0: the
// character height (em size) of -height pixels; 0: 13 pixels of cell. Width
// is not used (faces keep their own proportions). Escapement and orientation
// (tenths of a degree) are recorded but text is laid out horizontally.
// Weight 0 means FW_NORMAL. Quality NONANTIALIASED_QUALITY renders one-bit
// glyphs, any other value anti-aliased ones. Null when no face at all can be
// opened. The caller releases the font with DeleteObject.
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, char italic,
                 char underline, char strikeOut, char charSet, char outPrecision,
                 char clipPrecision, char quality, char pitchAndFamily, const char* face);

// Releases a font made by CreateFont; false for null.
bool DeleteObject(HFONT font);

// What a font handle was asked for and what it got.
struct SWELL_FontInfo
{
  const char* requestedFace; // as given to CreateFont ("" for null)
  const char* family;        // the family actually opened
  const char* file;          // its font file
  bool fellBack;             // the requested family was not found
  int weight;                // as asked (0 turned into FW_NORMAL)
  bool italic, underline, strikeOut;
  bool antialiased;
  int orientation; // tenths of a degree, as asked
};
// False for a null handle.
bool SWELL_GetFontInfo(HFONT font, SWELL_FontInfo* info);

// Vertical metrics in whole pixels: the ascent above the baseline, the descent
// below it, and their sum, the line height; the underline's offset below the
// baseline and its thickness (at least 1).
struct SWELL_FontMetrics
{
  int ascent;
  int descent;
  int lineHeight;
  int underlineOffset;
  int underlineThickness;
};
bool SWELL_GetFontMetrics(HFONT font, SWELL_FontMetrics* metrics);

// One rendered glyph: coverage 0 to 255 per pixel, rows top first, width bytes
// per row; left and top place the image relative to the pen position on the
// baseline (top counts upwards); advance moves the pen, in whole pixels.
struct SWELL_Glyph
{
  int width = 0, height = 0;
  int left = 0, top = 0;
  int advance = 0;
  std::vector<uint8_t> coverage;
};

// Renders one Unicode code point as the font's quality asks. A code point the
// face lacks renders as the face's missing-glyph shape. False for a null
// handle or when the face cannot render it at all.
bool SWELL_RenderGlyph(HFONT font, uint32_t codepoint, SWELL_Glyph* glyph);
