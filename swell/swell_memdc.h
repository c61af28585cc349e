// Memory drawing contexts: a pixel buffer of 32-bit words laid out as the
// raster layer's pixels (A | R << 8 | G << 16 | B << 24), rows top first, the
// row span equal to the width. Text drawing into them arrives with the editor.
#pragma once

#include "swell/swell_types.h"

struct SWELL_DrawContext
{
  unsigned int* bits = nullptr; // 64-byte aligned, zero-filled when made
  void* block = nullptr;        // the allocation that holds bits
  int width = 0;
  int height = 0;
};

// A context of w x h pixels, all zero; null when a side is not positive, the
// buffer would not fit in 2^31 bytes, or memory runs out.
HDC CreateMemoryDC(int w, int h);

// Releases the context and its pixels; null is ignored.
void DeleteDC(HDC dc);

// The first pixel of the top row, or null for a null context.
unsigned int* GetMemoryDCBits(HDC dc);

// Gives the context a fresh zero-filled buffer of w x h pixels. On failure the
// context keeps its old buffer and size and false is returned.
bool ResizeMemoryDC(HDC dc, int w, int h);
