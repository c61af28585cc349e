// Small helpers shared by the raster tests.
#pragma once

#include "lice/lice.h"

namespace lice_test
{
inline int countPixels(LICE_IBitmap* bm, LICE_pixel value)
{
  int n = 0;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      n += LICE_GetPixel(bm, x, y) == value;
  return n;
}

// Stores its top row last, as bitmaps from some drawing layers do.
class FlippedBitmap : public LICE_MemBitmap
{
public:
  FlippedBitmap(int w = 0, int h = 0) : LICE_MemBitmap(w, h, 1) {}
  bool isFlipped() override { return true; }
};
} // namespace lice_test
