// Handle and record types of the drawing layer, shaped like the window-system
// drawing calls the raster layer and the editor are written against.
#pragma once

// Integer rectangle: right and bottom are exclusive.
struct RECT
{
  int left, top, right, bottom;
};

// A drawing context. Only memory contexts exist: they own a pixel buffer that
// the raster layer draws into (see swell/swell_memdc.h).
struct SWELL_DrawContext;
typedef SWELL_DrawContext* HDC;

// A font made by CreateFont (see swell/swell_font.h).
struct SWELL_Font;
typedef SWELL_Font* HFONT;
