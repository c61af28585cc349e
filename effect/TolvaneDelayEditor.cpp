// The effect's editor: the background, the bitmaps, the two value-display
// styles and the 57 controls of the layout, attached in order and handed to
// the plug-in base. Runs once, in the constructor.

#include "effect/TolvaneDelay.h"

#include "effect/GuiBlocker.h"
#include "effect/IPlug_include_in_plug_src.h"

#include "IPlug/IControl.h"
#include "IPlug/IGraphicsMac.h"

#include <system_error>
#include <thread>

namespace
{
IText DisplayStyle(DisplayColor c)
{
  IText style(kDisplayTextSize, nullptr, nullptr, IText::kStyleNormal, IText::kAlignCenter, 0,
              IText::kQualityDefault);
  style.mColor = IColor(c.a, c.r, c.g, c.b);
  return style;
}

struct EditorResources
{
  IBitmap bitmaps[kNumEditorBitmaps];
  IText top = DisplayStyle(kTopDisplayColor);
  IText bottom = DisplayStyle(kBottomDisplayColor);

  IBitmap* Find(int id)
  {
    for (int i = 0; i < kNumEditorBitmaps; ++i)
      if (kEditorBitmaps[i].id == id) return &bitmaps[i];
    return nullptr;
  }
};
void LoadLayoutBitmaps(IGraphics* graphics, EditorResources& res)
{
  for (int i = 0; i < kNumEditorBitmaps; ++i)
  {
    const EditorBitmap& b = kEditorBitmaps[i];
    res.bitmaps[i] = graphics->LoadIBitmap(b.id, b.path, b.frames);
  }
}

// Every host waits for the constructor, and the background takes about as
// long to decode as all the other pictures together: it decodes on a thread
// of its own meanwhile (the bitmap cache takes loads from several threads),
// and attaching it then finds it in the cache. Without a thread, one after
// the other.
void LoadBitmaps(IGraphics* graphics, EditorResources& res)
{
  std::thread background;
  try
  {
    background = std::thread([graphics] { graphics->LoadIBitmap(kBackgroundID, kBackgroundPath, 1); });
  }
  catch (const std::system_error&)
  {
  }
  LoadLayoutBitmaps(graphics, res);
  if (background.joinable()) background.join();
}
} // namespace

void TolvaneDelay::BuildEditor()
{
  IGraphics* graphics = MakeGraphics(this, kEditorWidth, kEditorHeight, kEditorFPS);
  EditorResources res;
  LoadBitmaps(graphics, res);
  graphics->AttachBackground(kBackgroundID, kBackgroundPath);

  int nBlockers = 0;
  for (const LayoutControl& row : kEditorControls)
  {
    IBitmap* bitmap = res.Find(row.bitmap);
    IControl* control = nullptr;
    switch (row.kind)
    {
    case LayoutKind::kKnob:
      control =
          new IKnobMultiControl(this, row.l, row.t, row.param, bitmap, kVertical, kKnobGearing);
      break;
    case LayoutKind::kFader:
      control = new IFaderControl(this, row.l, row.t, kFaderLength, row.param, bitmap, kVertical);
      break;
    case LayoutKind::kSwitch:
      control =
          new ISwitchControl(this, row.l, row.t, row.param, bitmap, IChannelBlend::kBlendNone);
      break;
    case LayoutKind::kDisplay:
    {
      IText* style = row.panel == DisplayPanel::kTop ? &res.top : &res.bottom;
      auto* display =
          new ITextControl(this, IRECT(row.l, row.t, row.r, row.b), style, kDisplayPlaceholder);
      mValueDisplays[row.param] = display;
      control = display;
      break;
    }
    case LayoutKind::kBlocker:
    {
      auto* blocker = new IGuiBlocker(this, IRECT(row.l, row.t, row.r, row.b));
      mBlockers[nBlockers++] = blocker;
      control = blocker;
      break;
    }
    }
    graphics->AttachControl(control);
  }
  AttachGraphics(graphics);
}
