// Where the editor puts its controls and value displays (left, top, right,
// bottom; right and bottom exclusive), and the picture sizes that follow from
// it: no control covers its value display, and the controls that stay usable
// whichever engine runs lie outside the dimmed areas.
#pragma once

namespace artwork
{
struct Box
{
  int l, t, r, b;
  int w() const { return r - l; }
  int h() const { return b - t; }
  float cx() const { return (l + r) / 2.0f; }
  float cy() const { return (t + b) / 2.0f; }
};

const int kWidth = 595, kHeight = 433;
const int kKnobFrames = 60;

// Frame sizes of the pictures.
const int kTopBig = 38;                 // TopBig.png, the stereo panel's division and mix knobs
const int kTopSmall = 21;               // TopSmall.png, its cut and pan knobs
const int kBottomBig = 40;              // BottomBig3.png, the loop panel's knobs
const int kBottomSmall = 28;            // BottomSmall.png, the smoothing knob
const int kHandleW = 16, kHandleH = 12; // SliderKnob.png
const int kFaderLen = 123;              // fader travel box height; SliderBody.png is its track
const int kEngineW = 44, kEngineH = 48; // SwitcherButton.png, one state
const int kPongW = 72, kPongH = 24;     // PongButton.png, one state

enum Panel
{
  kStereo,
  kLoop
};

struct Labelled
{
  int x, y;          // control position
  Box display;       // its value display ({0,0,0,0}: none)
  const char* label; // what the panel calls it
};

// Knobs, in the layout's order.
const Labelled kLoopKnobs[] = {
    {14, 289, {65, 304, 100, 317}, "fine"},       {135, 289, {184, 303, 219, 316}, "feedback"},
    {14, 353, {65, 366, 100, 379}, "note"},       {136, 353, {184, 366, 219, 379}, "mix"},
    {379, 287, {423, 301, 460, 314}, "rate"},     {379, 353, {425, 366, 460, 379}, "depth"},
    {489, 287, {535, 300, 570, 313}, "rate"},     {489, 353, {535, 366, 570, 379}, "depth"},
    {283, 260, {284, 305, 319, 318}, "high cut"}, {283, 350, {283, 395, 318, 408}, "low cut"},
};
const Labelled kSmoothKnob = {113, 401, {0, 0, 0, 0}, "smooth"};
const Labelled kStereoBigKnobs[] = {
    {43, 70, {44, 117, 79, 130}, "division"},
    {123, 70, {124, 117, 159, 130}, "mix"},
};
const Labelled kStereoSmallKnobs[] = {
    {218, 30, {209, 57, 244, 70}, "high cut"},  {218, 91, {208, 120, 244, 133}, "low cut"},
    {218, 154, {208, 183, 245, 196}, "pan"},    {392, 30, {383, 57, 418, 70}, "high cut"},
    {392, 91, {383, 120, 418, 133}, "low cut"}, {392, 154, {383, 183, 418, 196}, "pan"},
};
const Labelled kFaders[] = {
    {268, 52, {265, 183, 286, 196}, "delay"},    {301, 52, {299, 183, 320, 196}, "feedback"},
    {335, 52, {333, 183, 354, 196}, "level"},    {442, 52, {439, 183, 460, 196}, "delay"},
    {475, 52, {473, 183, 494, 196}, "feedback"}, {509, 52, {507, 183, 528, 196}, "level"},
};
const int kPongX = 390, kPongY = 402;
const int kEngineX = 543, kEngineY = 83;

// The areas the dimming covers, and the panels' own plates.
const Box kStereoAreas[] = {{12, 46, 193, 138}, {201, 14, 362, 202}, {375, 14, 536, 202}};
const Box kLoopAreas[] = {{7, 265, 237, 396}, {241, 234, 363, 418}, {367, 267, 590, 396}};
const Box kStereoPlate = {4, 4, 591, 208};
const Box kLoopPlate = {4, 226, 591, 429};

// The fader handle's top for a value (value 1 at the top).
inline int handleTop(int faderY, double value)
{
  return faderY + int((1.0 - value) * (kFaderLen - kHandleH));
}
} // namespace artwork
