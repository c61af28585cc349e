#pragma once

// A translucent gray rectangle over the panel of the engine that is not
// selected. Drawn above the panel's controls and, having no parameter, it takes
// every click over its rectangle without changing anything. The effect's
// parameter hook shows and hides it with Hide (on the host's thread, under the
// plug-in lock); everything else runs on the user-interface thread.

#include "IPlug/IControl.h"

class IGuiBlocker : public IControl
{
public:
  // The gray the blocker lays over the panel: alpha 160 of 255.
  static const IColor kColor;

  IGuiBlocker(IPlugBase* plug, IRECT rect);
  ~IGuiBlocker() override;

  bool Draw(IGraphics* graphics) override;

  const IRECT& GetBlockedRECT() const { return mBlocked; }

private:
  IRECT mBlocked;
};
