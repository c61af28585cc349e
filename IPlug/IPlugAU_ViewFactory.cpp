#include "IPlug/IPlugAU_ViewFactory.h"

#include "IPlug/IGraphics.h"
#include "IPlug/IPlugBase.h"

TolvaneDelay_View::TolvaneDelay_View() : mPlug(nullptr) {}

NSView* TolvaneDelay_View::uiViewForAudioUnit(AudioUnit unit, NSSize)
{
  mPlug = unit ? reinterpret_cast<IPlugBase*>(GetComponentInstanceStorage(unit)) : nullptr;
  if (!mPlug || !mPlug->GetGUI()) return nullptr;
  return static_cast<NSView*>(mPlug->GetGUI()->OpenWindow(nullptr));
}

void TolvaneDelay_View::Register(const char* className)
{
  NSRegisterClass(className, []() -> NSObject* { return new TolvaneDelay_View(); });
}
