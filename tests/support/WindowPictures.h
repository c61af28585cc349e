// Pictures of windows on the test's X server, compared with the pictures the
// headless editor draws: pixel words as GrabWindow gives them (A | R << 8 |
// G << 16 | B << 24), rows top first.
#pragma once

#include "tests/support/XvfbServer.h"

#include "lice/lice.h"
#include "lice/lice_png.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

// Pixels whose colour differs by more than the given levels in a channel.
inline int PixelsBeyond(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int levels)
{
  if (a.size() != b.size()) return int(std::max(a.size(), b.size()));
  int beyond = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int shift : {8, 16, 24})
      if (std::abs(int((a[i] >> shift) & 0xff) - int((b[i] >> shift) & 0xff)) > levels)
      {
        ++beyond;
        break;
      }
  return beyond;
}

// A window against the headless picture of the same state drawn on the same
// machine: the screen path and the headless one differ by a few levels at
// most, in at most one pixel in 500.
inline int DifferingPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
  return PixelsBeyond(a, b, 4);
}

inline int PictureBudget(int w, int h)
{
  return w * h / 500;
}

// A window against a committed reference drawn elsewhere, with the golden
// pictures' budget (font rasterisation differs a little between library
// versions): at most one pixel in 200 off by more than 48 levels.
constexpr int kGoldenLevels = 48;

inline int GoldenPictureBudget(int w, int h)
{
  return w * h / 200;
}

// A w x h window's pixels once they have stopped changing (the program works
// through its input and redraws at its own pace); a failure when they keep
// changing or never have the size.
inline std::vector<uint32_t> SettledPicture(Display* dpy, Window window, int w, int h)
{
  std::vector<uint32_t> last;
  for (int i = 0; i < 50; ++i)
  {
    usleep(200000);
    int gotW = 0, gotH = 0;
    std::vector<uint32_t> pixels = GrabWindow(dpy, window, &gotW, &gotH);
    if (gotW != w || gotH != h) continue;
    if (pixels == last) return pixels;
    last = pixels;
  }
  ADD_FAILURE() << "the window kept changing";
  return last;
}

// A PNG's pixels when it is w x h; empty (and a failure) otherwise.
inline std::vector<uint32_t> ReadPicture(const std::string& path, int w, int h)
{
  std::unique_ptr<LICE_IBitmap> bm(LICE_LoadPNG(path.c_str()));
  if (!bm || bm->getWidth() != w || bm->getHeight() != h)
  {
    ADD_FAILURE() << "no picture of " << w << " x " << h << " in " << path;
    return {};
  }
  std::vector<uint32_t> pixels(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      pixels[size_t(y) * size_t(w) + size_t(x)] = bm->getBits()[y * bm->getRowSpan() + x];
  return pixels;
}

inline void SavePicture(const std::vector<uint32_t>& pixels, int w, int h, const char* path)
{
  if (pixels.size() != size_t(w) * size_t(h)) return;
  LICE_MemBitmap bm(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bm.getBits()[y * bm.getRowSpan() + x] = pixels[size_t(y) * size_t(w) + size_t(x)] | 0xff;
  LICE_WritePNG(path, &bm);
}
