#include <cmath>

#include "tools/artwork/Artwork.h"
#include "tools/artwork/Canvas.h"

namespace artwork
{
namespace
{
const float kMinAngle = -135.0f, kMaxAngle = 135.0f;
const int kStereoAccent = 0x9c9cff, kLoopAccent = 0xffd23c;
const char* const kCondensed = "DejaVu Sans Condensed";

LICE_IBitmap* blank(int w, int h)
{
  LICE_IBitmap* bm = new LICE_MemBitmap(w, h);
  LICE_Clear(bm, 0);
  return bm;
}

// The handle's cap: light, with a line across its middle in the accent.
void drawHandle(LICE_IBitmap* bm, int x, int y)
{
  const float l = x + 0.5f, t = y + 0.5f, r = x + kHandleW - 0.5f, b = y + kHandleH - 0.5f;
  paint(bm, x, y, x + kHandleW, y + kHandleH, roundRect(l, t, r, b, 2.5f), rgb(0x0b0c0e));
  paint(bm, x, y, x + kHandleW, y + kHandleH, roundRect(l + 1, t + 1, r - 1, b - 1, 1.8f),
        [=](float, float py) { return mix(rgb(0xe4e6ea), rgb(0x8a8e96), (py - t) / (b - t)); });
  const float mid = y + kHandleH / 2.0f;
  paint(bm, x, y, x + kHandleW, y + kHandleH, roundRect(l + 2, mid - 1, r - 2, mid + 1, 0.5f),
        rgb(0x3c3cb4));
  for (float g : {-3.5f, 3.5f})
    paint(bm, x, y, x + kHandleW, y + kHandleH,
          roundRect(l + 3, mid + g - 0.5f, r - 3, mid + g + 0.5f, 0.2f), rgb(0x5e626a, 0.7f));
}
} // namespace

int accentOf(Panel panel)
{
  return panel == kStereo ? kStereoAccent : kLoopAccent;
}

void drawKnob(LICE_IBitmap* bm, int x, int y, int size, Panel panel, double value)
{
  const float s = float(size), cx = x + s / 2, cy = y + s / 2;
  const float ringOuter = s / 2 - 0.5f;
  const float ringWidth = std::fmax(2.0f, s * 0.085f);
  const float ringInner = ringOuter - ringWidth;
  const float body = ringInner - std::fmax(1.5f, s * 0.055f);
  const float angle = kMinAngle + float(value) * (kMaxAngle - kMinAngle);
  const int x1 = x + size, y1 = y + size;

  // The scale: a dark track with the value lit along it.
  paint(bm, x, y, x1, y1, arc(cx, cy, ringInner, ringOuter, kMinAngle, kMaxAngle), rgb(0x111215));
  paint(bm, x, y, x1, y1, arc(cx, cy, ringInner + 0.4f, ringOuter - 0.4f, kMinAngle, angle),
        rgb(accentOf(panel)));

  // The body: lit from the top left, with a dark rim.
  paint(bm, x, y, x1, y1, circle(cx, cy, body), rgb(0x0d0e10));
  paint(bm, x, y, x1, y1, circle(cx, cy, body - 0.9f),
        [=](float px, float py)
        {
          const float t = ((px - cx) + (py - cy)) / (2.8f * body) + 0.5f;
          return mix(rgb(0x80848e), rgb(0x2a2c32), std::fmin(1.0f, std::fmax(0.0f, t)));
        });
  paint(bm, x, y, x1, y1, circle(cx, cy, body * 0.72f),
        [=](float px, float py)
        {
          const float t = ((px - cx) + (py - cy)) / (2.0f * body) + 0.5f;
          return mix(rgb(0x4a4d55), rgb(0x5c6069), std::fmin(1.0f, std::fmax(0.0f, t)));
        });

  // The pointer: a bright bar from near the middle to the rim.
  float px0, py0, px1, py1;
  polar(cx, cy, body * 0.28f, angle, &px0, &py0);
  polar(cx, cy, body * 0.92f, angle, &px1, &py1);
  const float half = std::fmax(0.95f, s * 0.045f);
  paint(bm, x, y, x1, y1, capsule(px0 + 0.6f, py0 + 0.6f, px1 + 0.6f, py1 + 0.6f, half),
        rgb(0x000000, 0.5f));
  paint(bm, x, y, x1, y1, capsule(px0, py0, px1, py1, half), rgb(0xf6f6f6));
}

LICE_IBitmap* makeKnobStrip(int size, Panel panel)
{
  LICE_IBitmap* bm = blank(size, size * kKnobFrames);
  for (int i = 0; i < kKnobFrames; ++i)
    drawKnob(bm, 0, i * size, size, panel, double(i) / (kKnobFrames - 1));
  return bm;
}

LICE_IBitmap* makeSliderHandle()
{
  LICE_IBitmap* bm = blank(kHandleW, kHandleH);
  drawHandle(bm, 0, 0);
  return bm;
}

void drawFaderTrack(LICE_IBitmap* bm, int x, int y, int steps)
{
  const float cx = x + kHandleW / 2.0f;
  const float top = y + kHandleH / 2.0f, bottom = y + kFaderLen - kHandleH / 2.0f;
  for (int k = 0; k <= steps; ++k)
  {
    const float ty = handleTop(y, double(k) / steps) + kHandleH / 2.0f;
    const bool major = k == 0 || k == steps || (steps == 10 && k == 5);
    const float reach = major ? 7.5f : 6.0f;
    const Colour c = rgb(major ? 0x9a9eaa : 0x646873);
    paint(bm, x - 2, int(ty) - 2, x + kHandleW + 2, int(ty) + 3,
          roundRect(cx - reach, ty - 0.5f, cx - 3.5f, ty + 0.5f, 0.2f), c);
    paint(bm, x - 2, int(ty) - 2, x + kHandleW + 2, int(ty) + 3,
          roundRect(cx + 3.5f, ty - 0.5f, cx + reach, ty + 0.5f, 0.2f), c);
  }
  paint(bm, x, y, x + kHandleW, y + kFaderLen,
        roundRect(cx - 2.5f, top - 2, cx + 2.5f, bottom + 2, 2), rgb(0x5a5e68, 0.6f));
  paint(bm, x, y, x + kHandleW, y + kFaderLen,
        roundRect(cx - 2.0f, top - 2, cx + 2.0f, bottom + 1.5f, 1.8f), rgb(0x060708));
}

LICE_IBitmap* makeSliderBody()
{
  LICE_IBitmap* bm = blank(kHandleW, kFaderLen);
  drawFaderTrack(bm, 0, 0, 10);
  return bm;
}

LICE_IBitmap* makeEngineButton()
{
  LICE_IBitmap* bm = blank(kEngineW, 2 * kEngineH);
  for (int state = 0; state < 2; ++state)
  {
    const int y = state * kEngineH;
    const float l = 0.5f, r = kEngineW - 0.5f, t = y + 0.5f, b = y + kEngineH - 0.5f;
    const float mid = y + kEngineH / 2.0f;
    paint(bm, 0, y, kEngineW, y + kEngineH, roundRect(l, t, r, b, 5), rgb(0x08090a));
    paint(bm, 0, y, kEngineW, y + kEngineH, roundRect(l + 1, t + 1, r - 1, b - 1, 4),
          rgb(0x2b2d33));
    // The lit half names the running engine and points at its panel.
    const bool stereo = state == 1;
    const float lt = stereo ? t + 2 : mid + 1, lb = stereo ? mid - 1 : b - 2;
    const Colour lit = rgb(stereo ? kStereoAccent : kLoopAccent);
    paint(bm, 0, y, kEngineW, y + kEngineH, roundRect(l + 2, lt, r - 2, lb, 3),
          [=](float, float py)
          { return mix(lit, mix(lit, rgb(0xffffff), 0.35f), 1 - (py - lt) / (lb - lt)); });
    const Colour dark = rgb(0x111114), dim = rgb(0x7a7d86);
    const Colour upC = stereo ? dark : dim, downC = stereo ? dim : dark;
    text(bm, "STEREO", 0, y + 10, kEngineW, 10, true, kCentre, upC, false, kCondensed);
    text(bm, "LOOP", 0, int(mid) + 3, kEngineW, 10, true, kCentre, downC, false, kCondensed);
    // Arrows towards the panel each word stands for.
    const float ax = kEngineW / 2.0f;
    const float upTip = y + 4.0f, downTip = y + kEngineH - 4.0f;
    paint(
        bm, 0, y, kEngineW, y + kEngineH,
        [=](float px, float py)
        { return py >= upTip && py <= upTip + 4 && std::fabs(px - ax) <= (py - upTip) * 1.2f; },
        upC);
    paint(
        bm, 0, y, kEngineW, y + kEngineH,
        [=](float px, float py) {
          return py <= downTip && py >= downTip - 4 && std::fabs(px - ax) <= (downTip - py) * 1.2f;
        },
        downC);
  }
  return bm;
}

LICE_IBitmap* makePongButton()
{
  LICE_IBitmap* bm = blank(kPongW, 2 * kPongH);
  for (int state = 0; state < 2; ++state)
  {
    const int y = state * kPongH;
    const bool on = state == 1;
    const float l = 0.5f, r = kPongW - 0.5f, t = y + 0.5f, b = y + kPongH - 0.5f;
    paint(bm, 0, y, kPongW, y + kPongH, roundRect(l, t, r, b, 4), rgb(0x08090a));
    const Colour face = on ? rgb(kLoopAccent) : rgb(0x2e2c27);
    paint(bm, 0, y, kPongW, y + kPongH, roundRect(l + 1, t + 1, r - 1, b - 1, 3),
          [=](float, float py)
          { return mix(mix(face, rgb(0xffffff), 0.2f), face, (py - t) / (b - t)); });
    const float lx = 9.5f, ly = y + kPongH / 2.0f;
    paint(bm, 0, y, kPongW, y + kPongH, circle(lx, ly, 3.5f), rgb(on ? 0x3a2a00 : 0x101012));
    paint(bm, 0, y, kPongW, y + kPongH, circle(lx, ly, 2.5f), rgb(on ? 0xfff6c0 : 0x45433c));
    text(bm, "PING-PONG", 17, y + 7, kPongW - 3, 10, true, kCentre,
         on ? rgb(0x1a1604) : rgb(0x9d978a), false, kCondensed);
  }
  return bm;
}
} // namespace artwork
