// Our pixel words (A | R << 8 | G << 16 | B << 24) in an X11 visual's layout:
// each colour placed by the visual's channel masks, in 32 or 16 bits per
// pixel, in the image's byte order.
//
// Threads: any thread.
#pragma once

#include <cstdint>

struct X11PixelFormat
{
  uint32_t redMask = 0xff0000, greenMask = 0x00ff00, blueMask = 0x0000ff;
  int bitsPerPixel = 32;
  bool msbFirst = false; // the image's byte order

  // False for layouts this conversion does not write (bits per pixel other
  // than 16, 24 or 32, or an empty mask).
  bool supported() const;
  int bytesPerPixel() const { return bitsPerPixel / 8; }
  // One pixel as the visual's value.
  uint32_t pixelValue(uint32_t word) const;
  // n words to n pixels at dst.
  void convertRow(const uint32_t* src, int n, uint8_t* dst) const;
};
