#include "IPlug/IPlugAU_ViewFactory.h"

#include "IPlug/IGraphics.h"
#include "IPlug/IPlugBase.h"

#include <CoreServices/CoreServices.h>

TolvaneDelay_View::TolvaneDelay_View() : mPlug(nullptr) {}

NSObject* TolvaneDelay_View::Create()
{
  return new TolvaneDelay_View();
}

NSView* TolvaneDelay_View::uiViewForAudioUnit(AudioUnit unit, NSSize)
{
  mPlug = unit ? reinterpret_cast<IPlugBase*>(GetComponentInstanceStorage(unit)) : nullptr;
  if (!mPlug || !mPlug->GetGUI()) return nullptr;
  return static_cast<NSView*>(mPlug->GetGUI()->OpenWindow(nullptr));
}
