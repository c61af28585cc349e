#include "effect/IPlug_include_in_plug_src.h"

#include "effect/TolvaneDelay.h"

#if !defined(IPLUG_LV2)
#include "IPlug/IGraphicsMac.h"
#include "IPlug/IPlugAU_ViewFactory.h"

#include "platform/window/ClassRegistry.h"
#endif

#if defined(IPLUG_LV2_EDITOR)
#include "IPlug/IGraphicsLV2.h"
#include "IPlug/IPlugLV2UI.h"
#endif

#include <new>

IPlugEdition* MakePlug()
{
  // Created on first use and destroyed at exit; serialises instance creation.
  static WDL_Mutex sMakePlugMutex;
  WDL_MutexLock lock(&sMakePlugMutex);
  IPlugInstanceInfo info;
  info.mBundleID.Set(kTolvaneBundleID);
  info.mCocoaViewFactoryClassName.Set(kTolvaneViewFactoryClassName);
  try
  {
    return new TolvaneDelay(info);
  }
  catch (const std::bad_alloc&)
  {
    return nullptr; // the wrapper answers the open with an error
  }
}

#if defined(IPLUG_LV2_EDITOR)
extern "C" const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
  return IPlugLV2UI::Descriptor(index, kTolvaneLV2UIURI);
}

IGraphicsMac* MakeGraphics(IPlugLV2* plug, int width, int height, int fps)
{
  return new IGraphicsLV2(plug, width, height, fps, LV2ModuleFolder().c_str());
}
#elif defined(IPLUG_LV2)
extern "C" const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
  return IPlugLV2::Descriptor(index, kTolvaneLV2URI);
}
#else
// The view factory is known to the window system for as long as the module is loaded.
static ClassRegistration sViewFactory(kTolvaneViewFactoryClassName, &TolvaneDelay_View::Create);

IGraphicsMac* MakeGraphics(IPlugAU* plug, int width, int height, int fps)
{
  IGraphicsMac* graphics = new IGraphicsMac(plug, width, height, fps);
  graphics->SetBundleID(kTolvaneBundleID);
  return graphics;
}

extern "C" ComponentResult TolvaneDelay_Entry(ComponentParameters* params, void* storage)
{
  return IPlugAU::IPlugAUEntry(params, storage);
}

extern "C" ComponentResult TolvaneDelay_ViewEntry(ComponentParameters* params, void* storage)
{
  return IPlugAU::IPlugAUCarbonViewEntry(params, storage);
}
#endif
