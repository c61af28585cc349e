// Raster graphics: 32-bit pixel bitmaps in memory and the functions that
// combine pixels into them (blits, fills, single pixels, shapes).
//
// Pixel word: A | R << 8 | G << 16 | B << 24, so a pixel's bytes in memory are
// A, R, G, B. Alpha is straight (not premultiplied).
//
// Mode word, as taken by every blit, fill, pixel and shape function:
//   bits 0-7   combine mode: LICE_BLIT_MODE_COPY ... LICE_BLIT_MODE_HSVADJ;
//              6-239 draw nothing; 240-255 is the channel copy of LICE_Blit
//   bit 8      LICE_BLIT_FILTER_BILINEAR (scaled and rotated blits only)
//   bit 16     LICE_BLIT_USE_ALPHA: each source pixel's A scales the opacity
#pragma once

#include <cstdint>

#include "swell/swell_types.h"

typedef unsigned int LICE_pixel;

enum
{
  LICE_BLIT_MODE_COPY = 0,
  LICE_BLIT_MODE_ADD = 1,
  LICE_BLIT_MODE_DODGE = 2,
  LICE_BLIT_MODE_MUL = 3,
  LICE_BLIT_MODE_OVERLAY = 4,
  LICE_BLIT_MODE_HSVADJ = 5,
  LICE_BLIT_MODE_MASK = 0xff,
  LICE_BLIT_MODE_CHANCOPY = 0xf0, // | source byte index | destination byte index << 2
  LICE_BLIT_FILTER_BILINEAR = 0x100,
  LICE_BLIT_USE_ALPHA = 0x10000,
};

inline LICE_pixel LICE_RGBA(int r, int g, int b, int a)
{
  return LICE_pixel(a & 255) | LICE_pixel(r & 255) << 8 | LICE_pixel(g & 255) << 16 |
         LICE_pixel(b & 255) << 24;
}
inline int LICE_GETA(LICE_pixel p)
{
  return int(p & 255);
}
inline int LICE_GETR(LICE_pixel p)
{
  return int((p >> 8) & 255);
}
inline int LICE_GETG(LICE_pixel p)
{
  return int((p >> 16) & 255);
}
inline int LICE_GETB(LICE_pixel p)
{
  return int(p >> 24);
}

// Abstract bitmap. The order of the virtual operations is fixed.
class LICE_IBitmap
{
public:
  virtual ~LICE_IBitmap() {}
  // First pixel of the first row in memory (null when there are no pixels).
  virtual LICE_pixel* getBits() = 0;
  virtual int getWidth() = 0;
  virtual int getHeight() = 0;
  // Pixels per row in memory; at least the width.
  virtual int getRowSpan() = 0;
  // True when the top row is stored last.
  virtual bool isFlipped() { return false; }
  // False when the size already was w x h.
  virtual bool resize(int w, int h) = 0;
  virtual HDC getDC() { return nullptr; }
  virtual intptr_t Extended(int id, void* data)
  {
    (void)id;
    (void)data;
    return 0;
  }
};

// Heap bitmap: pixels 64-byte aligned, rows padded to the line alignment; the
// allocation grows by 25 % when it must and never shrinks except to nothing.
class LICE_MemBitmap : public LICE_IBitmap
{
public:
  // linealign: rows are padded to a multiple of its lowest set bit (1 to 16).
  explicit LICE_MemBitmap(int w = 0, int h = 0, unsigned int linealign = 4);
  ~LICE_MemBitmap() override;
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_pixel* getBits() override;
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return (m_width + m_linealign) & ~m_linealign; }
  // A negative side or a buffer of 2^31 bytes or more fails: false, and the
  // bitmap is left 0 x 0 without pixels.
  bool resize(int w, int h) override;

  // Usable bytes of the current allocation (it never shrinks while non-empty).
  int getAllocatedBytes() const { return m_allocsize; }

private:
  void releaseBuffer();

  void* m_fb = nullptr;
  int m_width = 0, m_height = 0;
  int m_allocsize = 0;
  int m_linealign = 0;
};

// Bitmap whose pixels live in a memory drawing context of the drawing layer,
// so that system text drawing can go into it. Its row span is the width raised
// to a multiple of 4; shrinking keeps the allocation.
class LICE_SysBitmap : public LICE_IBitmap
{
public:
  explicit LICE_SysBitmap(int w = 0, int h = 0);
  ~LICE_SysBitmap() override;
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_pixel* getBits() override { return m_bits; }
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return m_allocw; }
  bool resize(int w, int h) override;
  HDC getDC() override { return m_dc; }

private:
  int m_width = 0, m_height = 0;
  HDC m_dc = nullptr;
  LICE_pixel* m_bits = nullptr;
  int m_allocw = 0, m_alloch = 0;
};

// Every function below does nothing for a null bitmap or one without pixels,
// and clips to the destination.

// Copies srcrect of src (null: all of it) to (dstx, dsty) with the mode word.
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
               float alpha, int mode);
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch, float alpha, int mode);

// Draws the source rectangle scaled onto the destination rectangle. A negative
// dstw or dsth mirrors: the image then covers dstx + dstw ... dstx (likewise y).
void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                     float srcx, float srcy, float srcw, float srch, float alpha, int mode);

// Draws the source rectangle scaled onto the destination rectangle and turned
// by angle radians (clockwise on screen) about the rectangle's centre moved by
// (rotxcent, rotycent) destination pixels. Only pixels inside the destination
// rectangle are drawn; samples outside the source bitmap (or, with
// cliptosourcerect, outside the source rectangle) leave the pixel unchanged.
void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                      float srcx, float srcy, float srcw, float srch, float angle,
                      bool cliptosourcerect, float alpha, int mode, float rotxcent = 0.0f,
                      float rotycent = 0.0f);

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color,
                   float alpha = 1.0f, int mode = 0);
void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color);
// pixel = (pixel & mask) | orbits inside the rectangle.
void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel mask = 0,
                    LICE_pixel orbits = 0);
// Resizes dest to the source's size and copies every pixel.
void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src);

LICE_pixel LICE_GetPixel(LICE_IBitmap* bm, int x, int y);
void LICE_PutPixel(LICE_IBitmap* bm, int x, int y, LICE_pixel color, float alpha, int mode);
LICE_pixel LICE_CombinePixels(LICE_pixel dest, LICE_pixel src, float alpha, int mode);

// Shapes. Pixel centres sit on whole coordinates. Pixels are combined as
// LICE_FillRect combines them: with LICE_BLIT_USE_ALPHA the colour's A scales
// alpha; anti-aliased edges scale it further by their coverage.

// Both end points included.
void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color,
               float alpha = 1.0f, int mode = 0, bool aa = false);
// Angles in radians, 0 straight up, growing clockwise; the arc runs from
// minAngle to maxAngle (a span of 2 pi or more is the whole circle).
void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
              LICE_pixel color, float alpha = 1.0f, int mode = 0, bool aa = false);
void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color,
                 float alpha = 1.0f, int mode = 0, bool aa = false);
void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color,
                     float alpha = 1.0f, int mode = 0, bool aa = false);
// Outline inside x ... x + w - 1, y ... y + h - 1 with quarter-circle corners.
void LICE_RoundRect(LICE_IBitmap* dest, int x, int y, int w, int h, int cornerradius,
                    LICE_pixel color, float alpha = 1.0f, int mode = 0, bool aa = false);
// Filled shapes include their edges; every covered pixel is drawn once.
void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                       LICE_pixel color, float alpha = 1.0f, int mode = 0);
void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints,
                            LICE_pixel color, float alpha = 1.0f, int mode = 0);
