#include "IPlug/IPlugAU.h"

#include "IPlug/IPlugAU_Strings.h"
#include "IPlug/Log.h"

#include <algorithm>
#include <cstring>

IPlugAU::IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr,
                 int nPresets, const char* effectName, const char* productName, const char* mfrName,
                 int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                 bool plugDoesChunks, bool plugIsInst, int nSideChainChannels)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst)
{
  Trace(__func__, __LINE__, "%s", "IPlugAU");
  std::memset(&mHostCallbacks, 0, sizeof(mHostCallbacks));
  mBundleID.Set(instanceInfo.mBundleID.Get());
  mCocoaViewFactoryClassName.Set(instanceInfo.mCocoaViewFactoryClassName.Get());

  const int nIn = NInChannels();
  if (nSideChainChannels > 0 && nIn > 0)
  {
    mInBuses.Add(new BusChannels(nIn - nSideChainChannels, 0));
    mInBuses.Add(new BusChannels(nSideChainChannels, nIn - nSideChainChannels));
  }
  else if (nIn > 0)
  {
    mInBuses.Add(new BusChannels(nIn, 0));
  }
  for (int i = 0; i < mInBuses.GetSize(); ++i)
    mInBusConnections.Add(new InputBusConnection);

  const int nOut = NOutChannels();
  if (plugIsInst)
  {
    for (int start = 0; start < nOut; start += 2)
      mOutBuses.Add(new BusChannels(std::min(nOut - start, 2), start));
  }
  else
  {
    mOutBuses.Add(new BusChannels(nOut, 0));
  }

  AssessInputConnections();
  SetBlockSize(1024);
}

IPlugAU::~IPlugAU()
{
  mRenderNotify.Empty(true);
  mInBuses.Empty(true);
  mOutBuses.Empty(true);
  mInBusConnections.Empty(true);
  mPropertyListeners.Empty(true);
}

EHost IPlugAU::GetHost()
{
  if (IPlugBase::GetHost() != kHostUninit) return IPlugBase::GetHost();
  CFBundleRef mainBundle = CFBundleGetMainBundle();
  CFStringRef identifier = mainBundle ? CFBundleGetIdentifier(mainBundle) : nullptr;
  if (identifier)
  {
    CStrLocal name(identifier);
    SetHost(name.Get(), 0);
  }
  if (IPlugBase::GetHost() == kHostUninit) SetHost("", 0);
  return IPlugBase::GetHost();
}

// The wrapper has no MIDI output.
bool IPlugAU::SendMidiMsg(IMidiMsg*)
{
  return false;
}

bool IPlugAU::SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs)
{
  for (int i = 0; i < msgs->GetSize(); ++i)
    SendMidiMsg(msgs->Get() + i);
  return true;
}

void IPlugAU::ResetForRate()
{
  IMutexLock lock(this);
  Reset();
  mResetSampleRate = GetSampleRate();
}
