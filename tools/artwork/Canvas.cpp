#include "tools/artwork/Canvas.h"

#include <cmath>
#include <map>
#include <memory>

#include "lice/lice_text.h"

namespace artwork
{
namespace
{
const float kPi = 3.14159265358979f;
const int kSamples = 4;

int toByte(float v)
{
  return v <= 0 ? 0 : v >= 1 ? 255 : int(v * 255.0f + 0.5f);
}

// One font per cell height and weight, kept for the whole run.
LICE_CachedFont* font(int cellHeight, bool bold, const char* face)
{
  static std::map<std::string, std::unique_ptr<LICE_CachedFont>> fonts;
  auto& f = fonts[std::string(face) + "/" + std::to_string(cellHeight) + (bold ? "b" : "")];
  if (!f)
  {
    f.reset(new LICE_CachedFont);
    f->SetFromHFont(CreateFont(cellHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               ANTIALIASED_QUALITY, DEFAULT_PITCH, face),
                    LICE_FONT_FLAG_OWNS_HFONT);
  }
  return f.get();
}
} // namespace

Colour rgb(int hex, float alpha)
{
  return Colour{((hex >> 16) & 255) / 255.0f, ((hex >> 8) & 255) / 255.0f, (hex & 255) / 255.0f,
                alpha};
}

Colour mix(const Colour& a, const Colour& b, float t)
{
  return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
                a.a + (b.a - a.a) * t};
}

void blendOver(LICE_IBitmap* bm, int x, int y, const Colour& c, float coverage)
{
  if (x < 0 || y < 0 || x >= bm->getWidth() || y >= bm->getHeight()) return;
  const float sa = c.a * coverage;
  if (sa <= 0) return;
  const LICE_pixel d = LICE_GetPixel(bm, x, y);
  const float da = LICE_GETA(d) / 255.0f;
  const float oa = sa + da * (1 - sa);
  auto channel = [&](float s, int dv) { return (s * sa + dv / 255.0f * da * (1 - sa)) / oa; };
  const LICE_pixel out =
      LICE_RGBA(toByte(channel(c.r, LICE_GETR(d))), toByte(channel(c.g, LICE_GETG(d))),
                toByte(channel(c.b, LICE_GETB(d))), toByte(oa));
  LICE_PutPixel(bm, x, y, out, 1.0f, LICE_BLIT_MODE_COPY);
}

void paint(LICE_IBitmap* bm, int x0, int y0, int x1, int y1, const Inside& inside,
           const Shade& shade)
{
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
    {
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
          hits += inside(x + (sx + 0.5f) / kSamples, y + (sy + 0.5f) / kSamples);
      if (hits) blendOver(bm, x, y, shade(x + 0.5f, y + 0.5f), hits / float(kSamples * kSamples));
    }
}

void paint(LICE_IBitmap* bm, int x0, int y0, int x1, int y1, const Inside& inside,
           const Colour& colour)
{
  paint(bm, x0, y0, x1, y1, inside, [colour](float, float) { return colour; });
}

Inside circle(float cx, float cy, float r)
{
  return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Inside ring(float cx, float cy, float r0, float r1)
{
  return [=](float x, float y)
  {
    const float d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
    return d2 >= r0 * r0 && d2 <= r1 * r1;
  };
}

Inside arc(float cx, float cy, float r0, float r1, float fromDeg, float toDeg)
{
  Inside band = ring(cx, cy, r0, r1);
  return [=](float x, float y)
  {
    if (!band(x, y)) return false;
    const float deg = std::atan2(x - cx, cy - y) * 180.0f / kPi; // 0 up, clockwise
    return deg >= fromDeg && deg <= toDeg;
  };
}

Inside capsule(float x0, float y0, float x1, float y1, float halfWidth)
{
  return [=](float x, float y)
  {
    const float vx = x1 - x0, vy = y1 - y0;
    const float len2 = vx * vx + vy * vy;
    float t = len2 > 0 ? ((x - x0) * vx + (y - y0) * vy) / len2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    const float dx = x - (x0 + t * vx), dy = y - (y0 + t * vy);
    return dx * dx + dy * dy <= halfWidth * halfWidth;
  };
}

Inside roundRect(float x0, float y0, float x1, float y1, float radius)
{
  return [=](float x, float y)
  {
    if (x < x0 || x > x1 || y < y0 || y > y1) return false;
    const float cx = x < x0 + radius ? x0 + radius : x > x1 - radius ? x1 - radius : x;
    const float cy = y < y0 + radius ? y0 + radius : y > y1 - radius ? y1 - radius : y;
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  };
}

Inside both(Inside a, Inside b)
{
  return [=](float x, float y) { return a(x, y) && b(x, y); };
}

Inside except(Inside a, Inside b)
{
  return [=](float x, float y) { return a(x, y) && !b(x, y); };
}

void polar(float cx, float cy, float r, float deg, float* x, float* y)
{
  const float a = deg * kPi / 180.0f;
  *x = cx + r * std::sin(a);
  *y = cy - r * std::cos(a);
}

int textWidth(const std::string& s, int cellHeight, bool bold, const char* face)
{
  RECT r = {0, 0, 0, 0};
  font(cellHeight, bold, face)->DrawText(nullptr, s.c_str(), -1, &r, LICE_DT_CALCRECT);
  return r.right;
}

void text(LICE_IBitmap* bm, const std::string& s, int l, int t, int r, int cellHeight, bool bold,
          Align align, const Colour& colour, bool shadow, const char* face)
{
  LICE_CachedFont* f = font(cellHeight, bold, face);
  const unsigned flags = LICE_DT_NOCLIP | LICE_DT_USEFGALPHA |
                         (align == kCentre  ? LICE_DT_CENTER
                          : align == kRight ? LICE_DT_RIGHT
                                            : 0);
  if (shadow)
  {
    f->SetTextColor(LICE_RGBA(0, 0, 0, 150));
    RECT sr = {l + 1, t + 1, r + 1, t + 1 + cellHeight};
    f->DrawText(bm, s.c_str(), -1, &sr, flags);
  }
  f->SetTextColor(
      LICE_RGBA(toByte(colour.r), toByte(colour.g), toByte(colour.b), toByte(colour.a)));
  RECT rect = {l, t, r, t + cellHeight};
  f->DrawText(bm, s.c_str(), -1, &rect, flags);
}
} // namespace artwork
