#pragma once

// The effect's editor as data: its size, bitmaps, value-display styles and
// every control in attachment order, with position, parameter and picture.
// Read by the constructor when it builds the editor; constant, any thread.

#include "effect/TolvaneDelayParams.h"

constexpr int kEditorWidth = 595;
constexpr int kEditorHeight = 433;
constexpr int kEditorFPS = 0; // the editor's default rate, 25 per second

enum EEditorBitmaps
{
  kBackgroundID = 109,
  kTopBigID = 101,
  kTopSmallID = 102,
  kBottomBigID = 103,
  kBottomSmallID = 104,
  kPongButtonID = 105,
  kSliderKnobID = 106,
  kSliderBodyID = 107,
  kSwitcherButtonID = 108
};

constexpr const char* kBackgroundPath = "resources/img/GUIFINAL2_KVO.png";

struct EditorBitmap
{
  int id;
  const char* path;
  int frames;
};

// In loading order.
constexpr EditorBitmap kEditorBitmaps[] = {
    {kTopBigID, "resources/img/TopBig.png", 60},
    {kTopSmallID, "resources/img/TopSmall.png", 60},
    {kBottomBigID, "resources/img/BottomBig3.png", 60},
    {kBottomSmallID, "resources/img/BottomSmall.png", 60},
    {kSliderBodyID, "resources/img/SliderBody.png", 1}, // loaded; no control draws it
    {kSliderKnobID, "resources/img/SliderKnob.png", 1},
    {kSwitcherButtonID, "resources/img/SwitcherButton.png", 2},
    {kPongButtonID, "resources/img/PongButton.png", 2},
};
constexpr int kNumEditorBitmaps = sizeof kEditorBitmaps / sizeof kEditorBitmaps[0];

// Value displays: size 11, the default face, centred; the colour per panel.
constexpr int kDisplayTextSize = 11;
struct DisplayColor
{
  int a, r, g, b;
};
constexpr DisplayColor kTopDisplayColor = {255, 153, 153, 255};
constexpr DisplayColor kBottomDisplayColor = {255, 255, 255, 0};
constexpr const char* kDisplayPlaceholder = " aaaa ";

constexpr double kKnobGearing = 4.0;
constexpr int kFaderLength = 123;

enum class LayoutKind
{
  kKnob,    // multi-frame knob at (l, t), vertical, gearing 4
  kDisplay, // text control over (l, t, r, b) showing the parameter
  kFader,   // vertical fader at (l, t), length 123, handle kSliderKnobID
  kSwitch,  // two-state switch at (l, t), no blend
  kBlocker  // gray blocker over (l, t, r, b), no parameter
};

enum class DisplayPanel
{
  kNone,
  kTop,   // the stereo engine's panel
  kBottom // the loop engine's panel
};

struct LayoutControl
{
  LayoutKind kind;
  int l, t, r, b; // r and b only for rectangles
  int param;      // -1 for none
  int bitmap;     // bitmap ID, 0 for none
  DisplayPanel panel;
};

namespace layout
{
constexpr LayoutControl Knob(int x, int y, int param, int bitmap)
{
  return {LayoutKind::kKnob, x, y, 0, 0, param, bitmap, DisplayPanel::kNone};
}
constexpr LayoutControl Bottom(int l, int t, int r, int b, int param)
{
  return {LayoutKind::kDisplay, l, t, r, b, param, 0, DisplayPanel::kBottom};
}
constexpr LayoutControl Top(int l, int t, int r, int b, int param)
{
  return {LayoutKind::kDisplay, l, t, r, b, param, 0, DisplayPanel::kTop};
}
constexpr LayoutControl Fader(int x, int y, int param)
{
  return {LayoutKind::kFader, x, y, 0, 0, param, kSliderKnobID, DisplayPanel::kNone};
}
constexpr LayoutControl Switch(int x, int y, int param, int bitmap)
{
  return {LayoutKind::kSwitch, x, y, 0, 0, param, bitmap, DisplayPanel::kNone};
}
constexpr LayoutControl Blocker(int l, int t, int r, int b)
{
  return {LayoutKind::kBlocker, l, t, r, b, -1, 0, DisplayPanel::kNone};
}
} // namespace layout

// After the background, in attachment order. The blockers come last so that
// they lie above every other control: the three over the stereo panel first.
constexpr LayoutControl kEditorControls[] = {
    layout::Knob(14, 289, kFine, kBottomBigID),
    layout::Bottom(65, 304, 100, 317, kFine),
    layout::Knob(135, 289, kFeedback, kBottomBigID),
    layout::Bottom(184, 303, 219, 316, kFeedback),
    layout::Knob(14, 353, kNote, kBottomBigID),
    layout::Bottom(65, 366, 100, 379, kNote),
    layout::Knob(136, 353, kMix, kBottomBigID),
    layout::Bottom(184, 366, 219, 379, kMix),
    layout::Knob(379, 287, kFltRate, kBottomBigID),
    layout::Bottom(423, 301, 460, 314, kFltRate),
    layout::Knob(379, 353, kFltIntensity, kBottomBigID),
    layout::Bottom(425, 366, 460, 379, kFltIntensity),
    layout::Knob(489, 287, kLfoRate, kBottomBigID),
    layout::Bottom(535, 300, 570, 313, kLfoRate),
    layout::Knob(489, 353, kLfoIntensity, kBottomBigID),
    layout::Bottom(535, 366, 570, 379, kLfoIntensity),
    layout::Knob(283, 260, kHiCut, kBottomBigID),
    layout::Bottom(284, 305, 319, 318, kHiCut),
    layout::Knob(283, 350, kLowCut, kBottomBigID),
    layout::Bottom(283, 395, 318, 408, kLowCut),
    layout::Knob(113, 401, kSmooth, kBottomSmallID),
    layout::Knob(43, 70, kUnits, kTopBigID),
    layout::Top(44, 117, 79, 130, kUnits),
    layout::Knob(123, 70, kWetDry1, kTopBigID),
    layout::Top(124, 117, 159, 130, kWetDry1),
    layout::Knob(218, 30, kLP1, kTopSmallID),
    layout::Top(209, 57, 244, 70, kLP1),
    layout::Knob(218, 91, kHP1, kTopSmallID),
    layout::Top(208, 120, 244, 133, kHP1),
    layout::Knob(218, 154, kPan1, kTopSmallID),
    layout::Top(208, 183, 245, 196, kPan1),
    layout::Knob(392, 30, kLP2, kTopSmallID),
    layout::Top(383, 57, 418, 70, kLP2),
    layout::Knob(392, 91, kHP2, kTopSmallID),
    layout::Top(383, 120, 418, 133, kHP2),
    layout::Knob(392, 154, kPan2, kTopSmallID),
    layout::Top(383, 183, 418, 196, kPan2),
    layout::Fader(268, 52, kDelay1),
    layout::Top(265, 183, 286, 196, kDelay1),
    layout::Fader(301, 52, kFeedback1),
    layout::Top(299, 183, 320, 196, kFeedback1),
    layout::Fader(335, 52, kLevel1),
    layout::Top(333, 183, 354, 196, kLevel1),
    layout::Fader(442, 52, kDelay2),
    layout::Top(439, 183, 460, 196, kDelay2),
    layout::Fader(475, 52, kFeedback2),
    layout::Top(473, 183, 494, 196, kFeedback2),
    layout::Fader(509, 52, kLevel2),
    layout::Top(507, 183, 528, 196, kLevel2),
    layout::Switch(390, 402, kPong, kPongButtonID),
    layout::Switch(543, 83, kSwitch, kSwitcherButtonID),
    layout::Blocker(12, 46, 193, 138),
    layout::Blocker(201, 14, 362, 202),
    layout::Blocker(375, 14, 536, 202),
    layout::Blocker(7, 265, 237, 396),
    layout::Blocker(241, 234, 363, 418),
    layout::Blocker(367, 267, 590, 396),
};
constexpr int kNumEditorControls = sizeof kEditorControls / sizeof kEditorControls[0];
static_assert(kNumEditorControls == 57, "the editor has 57 controls after its background");

// The blockers, in attachment order: three over the stereo (top) panel, then
// three over the loop (bottom) panel.
constexpr int kNumBlockers = 6;
constexpr int kNumTopBlockers = 3;
