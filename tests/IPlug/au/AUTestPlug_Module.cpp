// The test effect's component module: its factory and exported entry.

#include "tests/IPlug/au/AUTestPlug.h"

IPlugAU* MakePlug()
{
  static WDL_Mutex sMutex;
  WDL_MutexLock lock(&sMutex);
  IPlugInstanceInfo info;
  info.mBundleID.Set("com.tolvane.test.AUTestPlug");
  info.mCocoaViewFactoryClassName.Set("AUTestPlug_View");
  return new AUTestPlug(info);
}

extern "C" ComponentResult AUTestPlug_Entry(ComponentParameters* params, void* storage)
{
  return IPlugAU::IPlugAUEntry(params, storage);
}
