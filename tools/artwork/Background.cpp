#include <cmath>

#include "tools/artwork/Artwork.h"
#include "tools/artwork/Canvas.h"

namespace artwork
{
namespace
{
const int kLabel = 11; // cell height of the control names
const char* const kFace = "DejaVu Sans Condensed";

struct PanelLook
{
  int top, bottom, area, areaEdge, label;
};
const PanelLook kStereoLook = {0x353842, 0x262930, 0x2a2d35, 0x3b3f49, 0xc6c8e6};
const PanelLook kLoopLook = {0x3a362d, 0x2a2721, 0x2f2c25, 0x454034, 0xe6dcc0};

const PanelLook& lookOf(Panel panel)
{
  return panel == kStereo ? kStereoLook : kLoopLook;
}

// A fine vertical grain, the same on every run.
float grain(int x, int y)
{
  unsigned h = unsigned(x) * 374761393u + unsigned(y / 3) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return ((h >> 16) & 255) / 255.0f - 0.5f;
}

void drawPlate(LICE_IBitmap* bm, const Box& box, Panel panel)
{
  const PanelLook& look = lookOf(panel);
  const float l = box.l + 0.5f, t = box.t + 0.5f, r = box.r - 0.5f, b = box.b - 0.5f;
  paint(bm, box.l, box.t, box.r, box.b, roundRect(l, t, r, b, 8), rgb(0x0a0b0c));
  paint(bm, box.l, box.t, box.r, box.b, roundRect(l + 1, t + 1, r - 1, b - 1, 7),
        rgb(0x5a5e68, 0.5f));
  paint(bm, box.l, box.t, box.r, box.b, roundRect(l + 1, t + 2, r - 1, b - 1, 7),
        [&](float px, float py)
        {
          Colour c = mix(rgb(look.top), rgb(look.bottom), (py - t) / (b - t));
          const float g = grain(int(px), int(py)) * 0.012f;
          return Colour{c.r + g, c.g + g, c.b + g, 1};
        });
}

// An area the dimming covers: a shallow recess, so the dimmed part has edges.
void drawArea(LICE_IBitmap* bm, const Box& box, Panel panel)
{
  const PanelLook& look = lookOf(panel);
  const float l = box.l + 0.5f, t = box.t + 0.5f, r = box.r - 0.5f, b = box.b - 0.5f;
  paint(bm, box.l, box.t, box.r, box.b, roundRect(l, t, r, b, 5), rgb(0x000000, 0.45f));
  paint(bm, box.l, box.t, box.r, box.b, roundRect(l + 1, t + 1, r, b, 4), rgb(look.areaEdge));
  paint(bm, box.l, box.t, box.r, box.b, roundRect(l + 1, t + 1, r - 1, b - 1, 4), rgb(look.area));
}

// The dark window a value display writes into.
void drawWell(LICE_IBitmap* bm, const Box& d)
{
  const float l = d.l - 2.5f, t = d.t - 1.5f, r = d.r + 2.5f, b = d.b + 1.5f;
  paint(bm, d.l - 4, d.t - 3, d.r + 4, d.b + 3, roundRect(l, t + 1, r, b + 1, 3),
        rgb(0xffffff, 0.07f));
  paint(bm, d.l - 4, d.t - 3, d.r + 4, d.b + 3, roundRect(l, t, r, b, 3), rgb(0x050506));
  paint(bm, d.l - 4, d.t - 3, d.r + 4, d.b + 3, roundRect(l + 1, t + 1, r - 0.5f, b - 0.5f, 2.5f),
        rgb(0x0f1013));
}

void label(LICE_IBitmap* bm, const char* s, float centreX, int top, Panel panel)
{
  const int w = 80;
  text(bm, s, int(std::lround(centreX)) - w, top, int(std::lround(centreX)) + w, kLabel, false,
       kCentre, rgb(lookOf(panel).label), true, kFace);
}

void title(LICE_IBitmap* bm, const char* s, int l, int top, int r, int cell, Panel panel,
           Align align = kLeft)
{
  text(bm, s, l, top, r, cell, true, align, rgb(accentOf(panel)), true, kFace);
}

// The plate, its dimmable areas, and its name with a line saying what it does.
void drawPanelHead(LICE_IBitmap* bm, const Box& plate, const Box (&areas)[3], Panel panel,
                   const char* name, const char* what, int subtitleColour)
{
  drawPlate(bm, plate, panel);
  for (const Box& a : areas)
    drawArea(bm, a, panel);
  title(bm, name, 16, plate.t + 10, 236, 15, panel);
  text(bm, what, 16, plate.t + 26, 236, 9, false, kLeft, rgb(subtitleColour));
}

void drawStereoPanel(LICE_IBitmap* bm)
{
  drawPanelHead(bm, kStereoPlate, kStereoAreas, kStereo, "STEREO DELAY", "two tapped echoes",
                0x8d90a6);
  title(bm, "TAP 1", 262, 18, 356, 11, kStereo, kRight);
  title(bm, "TAP 2", 436, 18, 530, 11, kStereo, kRight);

  for (const Labelled& k : kStereoBigKnobs)
  {
    label(bm, k.label, k.x + kTopBig / 2.0f, k.y - 13, kStereo);
    drawWell(bm, k.display);
  }
  for (const Labelled& k : kStereoSmallKnobs)
  {
    label(bm, k.label, k.x + kTopSmall / 2.0f, k.y - 12, kStereo);
    drawWell(bm, k.display);
  }
  for (const Labelled& f : kFaders)
  {
    label(bm, f.label, f.x + kHandleW / 2.0f, 37, kStereo);
    // Delay moves in sixteen steps; the others sweep continuously.
    drawFaderTrack(bm, f.x, f.y, f.label[0] == 'd' ? 15 : 10);
    drawWell(bm, f.display);
  }
  text(bm, "ENGINE", kEngineX - 6, kEngineY - 15, kEngineX + kEngineW + 6, 10, true, kCentre,
       rgb(0xb0b2c0), true, kFace);
}

void drawLoopPanel(LICE_IBitmap* bm)
{
  drawPanelHead(bm, kLoopPlate, kLoopAreas, kLoop, "LOOP DELAY", "modulated feedback loop",
                0xa69e86);
  title(bm, "FLUTTER", 379, 271, 460, 10, kLoop, kCentre);
  title(bm, "LFO", 489, 271, 570, 10, kLoop, kCentre);

  for (const Labelled& k : kLoopKnobs)
  {
    const bool below = k.display.t > k.y + kBottomBig; // the display sits under the knob
    if (below)
      label(bm, k.label, k.x + kBottomBig / 2.0f, k.y - 13, kLoop);
    else
      label(bm, k.label, k.display.cx(), k.display.t - 14, kLoop);
    drawWell(bm, k.display);
  }
  text(bm, kSmoothKnob.label, 20, kSmoothKnob.y + kBottomSmall / 2 - 6, kSmoothKnob.x - 5, kLabel,
       false, kRight, rgb(kLoopLook.label), true, kFace);
  text(bm, "TOLVANE DELAY", 470, 407, 584, 12, true, kRight, rgb(0x8a8474), true, kFace);
}
} // namespace

LICE_IBitmap* makeBackground()
{
  LICE_IBitmap* bm = new LICE_MemBitmap(kWidth, kHeight);
  LICE_Clear(bm, LICE_RGBA(0x16, 0x17, 0x1a, 255));
  drawStereoPanel(bm);
  drawLoopPanel(bm);
  return bm;
}
} // namespace artwork
