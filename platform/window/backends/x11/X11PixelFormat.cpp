#include "platform/window/backends/x11/X11PixelFormat.h"

namespace
{
// An 8-bit channel value scaled into a mask.
uint32_t place(uint32_t value8, uint32_t mask)
{
  if (!mask) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1))
    ++shift;
  int width = 0;
  while (((mask >> (shift + width)) & 1) && shift + width < 32)
    ++width;
  const uint32_t scaled = width >= 8 ? value8 << (width - 8) : value8 >> (8 - width);
  return (scaled << shift) & mask;
}
} // namespace

bool X11PixelFormat::supported() const
{
  return (bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32) && redMask &&
         greenMask && blueMask;
}

uint32_t X11PixelFormat::pixelValue(uint32_t w) const
{
  return place((w >> 8) & 0xff, redMask) | place((w >> 16) & 0xff, greenMask) |
         place(w >> 24, blueMask);
}

void X11PixelFormat::convertRow(const uint32_t* src, int n, uint8_t* dst) const
{
  const int bytes = bytesPerPixel();
  const bool common = bitsPerPixel == 32 && !msbFirst && redMask == 0xff0000 &&
                      greenMask == 0xff00 && blueMask == 0xff;
  for (int i = 0; i < n; ++i, dst += bytes)
  {
    const uint32_t w = src[i];
    if (common)
    {
      dst[0] = uint8_t(w >> 24);
      dst[1] = uint8_t(w >> 16);
      dst[2] = uint8_t(w >> 8);
      dst[3] = 0;
      continue;
    }
    const uint32_t v = pixelValue(w);
    for (int b = 0; b < bytes; ++b)
      dst[msbFirst ? bytes - 1 - b : b] = uint8_t(v >> (8 * b));
  }
}
