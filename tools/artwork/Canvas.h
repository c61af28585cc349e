// Anti-aliased painting for the artwork generator: shapes given as inside
// tests, sampled 4 x 4 per pixel and laid over the bitmap with straight alpha;
// lettering through the raster layer's text drawing.
#pragma once

#include <functional>
#include <string>

#include "lice/lice.h"

namespace artwork
{
struct Colour
{
  float r, g, b, a; // 0 ... 1, straight alpha
};
Colour rgb(int hex, float alpha = 1.0f);
Colour mix(const Colour& a, const Colour& b, float t);

// Lays colour over the pixel with the given coverage (0 ... 1).
void blendOver(LICE_IBitmap* bm, int x, int y, const Colour& c, float coverage);

typedef std::function<bool(float x, float y)> Inside;
typedef std::function<Colour(float x, float y)> Shade;

// Paints the shape over the pixels of the box (x0, y0) ... (x1, y1), exclusive.
void paint(LICE_IBitmap* bm, int x0, int y0, int x1, int y1, const Inside& inside,
           const Shade& shade);
void paint(LICE_IBitmap* bm, int x0, int y0, int x1, int y1, const Inside& inside,
           const Colour& colour);

// Shapes, in pixel coordinates (pixel centres at .5).
Inside circle(float cx, float cy, float r);
Inside ring(float cx, float cy, float r0, float r1);
// Angles in degrees, 0 straight up, clockwise.
Inside arc(float cx, float cy, float r0, float r1, float fromDeg, float toDeg);
Inside capsule(float x0, float y0, float x1, float y1, float halfWidth);
Inside roundRect(float x0, float y0, float x1, float y1, float radius);
Inside both(Inside a, Inside b);
Inside except(Inside a, Inside b);

// A point at distance r and angle deg from the centre.
void polar(float cx, float cy, float r, float deg, float* x, float* y);

enum Align
{
  kLeft,
  kCentre,
  kRight
};
// Lettering: cell height in pixels, drawn from the rectangle's top.
void text(LICE_IBitmap* bm, const std::string& s, int l, int t, int r, int cellHeight, bool bold,
          Align align, const Colour& colour, bool shadow = true, const char* face = "DejaVu Sans");
int textWidth(const std::string& s, int cellHeight, bool bold, const char* face = "DejaVu Sans");
} // namespace artwork
