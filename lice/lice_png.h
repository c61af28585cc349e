// PNG files to and from raster bitmaps. Decoded pixels are straight-alpha
// words A | R << 8 | G << 16 | B << 24, whatever the file's colour type, bit
// depth or interlacing.
#pragma once

#include "lice/lice.h"

// Decodes a PNG file into bmp (resized to the image) or, with no bmp, into a
// new LICE_MemBitmap the caller owns. Null on any failure: a missing or
// unreadable file, a bad signature, damaged data, an image wider or taller
// than 16,384 pixels, or a bitmap that cannot take the image's size. A bitmap
// the loader made is deleted on failure; a caller's bitmap may be partly
// written.
LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp = nullptr);

// The same from a memory block; null unless it is longer than 7 bytes and
// starts with the PNG signature.
LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int len, LICE_IBitmap* bmp = nullptr);

// LICE_LoadPNG of "<main bundle>/Contents/Resources/<name>"; null for names
// longer than 400 characters or when the main bundle has no location.
LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bmp = nullptr);

// Writes the bitmap as an 8-bit RGBA PNG (straight alpha). False, and no file
// left behind, when the bitmap is empty or the file cannot be written.
bool LICE_WritePNG(const char* filename, LICE_IBitmap* bmp);
