#include "effect/IPlug_include_in_plug_src.h"

#include "effect/TolvaneDelay.h"

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

#if defined(IPLUG_LV2)
extern "C" const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
  return IPlugLV2::Descriptor(index, kTolvaneLV2URI);
}
#else
extern "C" ComponentResult TolvaneDelay_Entry(ComponentParameters* params, void* storage)
{
  return IPlugAU::IPlugAUEntry(params, storage);
}
#endif
