#include "effect/GuiBlocker.h"

#include "IPlug/IGraphics.h"

const IColor IGuiBlocker::kColor(160, 155, 155, 155);

IGuiBlocker::IGuiBlocker(IPlugBase* plug, IRECT rect)
    : IControl(plug, rect, -1, IChannelBlend(IChannelBlend::kBlendNone, 1.0f)), mBlocked(rect)
{
}

IGuiBlocker::~IGuiBlocker() = default;

bool IGuiBlocker::Draw(IGraphics* graphics)
{
  graphics->FillIRect(&kColor, &mBlocked, nullptr);
  return true;
}
