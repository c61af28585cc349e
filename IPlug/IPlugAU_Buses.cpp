// Buses: stream-format negotiation against the legal channel configurations,
// connections to upstream units and host render callbacks, and the assessment
// that turns them into the plug-in's channel connections.

#include "IPlug/IPlugAU.h"

#include "IPlug/Log.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
// Channel counts travel as 16-bit numbers in the supported-channels records, so
// no legal configuration can ask for more.
constexpr UInt32 kMaxBusChannels = 0x7FFF;

bool IsCanonical(const AudioStreamBasicDescription& format)
{
  return format.mFormatID == kAudioFormatLinearPCM &&
         (format.mFormatFlags & (kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked)) != 0;
}
} // namespace

void MakeDefaultASBD(AudioStreamBasicDescription* pASBD, double sampleRate, int nChannels,
                     bool interleaved)
{
  std::memset(pASBD, 0, sizeof(AudioStreamBasicDescription));
  pASBD->mSampleRate = sampleRate;
  pASBD->mFormatID = kAudioFormatLinearPCM;
  pASBD->mFormatFlags = kAudioFormatFlagsCanonical;
  pASBD->mBytesPerPacket = static_cast<UInt32>(sizeof(AudioSampleType));
  if (interleaved)
    pASBD->mBytesPerPacket *= static_cast<UInt32>(nChannels);
  else
    pASBD->mFormatFlags |= kAudioFormatFlagIsNonInterleaved;
  pASBD->mFramesPerPacket = 1;
  pASBD->mBytesPerFrame = pASBD->mBytesPerPacket;
  pASBD->mChannelsPerFrame = static_cast<UInt32>(nChannels);
  pASBD->mBitsPerChannel = 8 * sizeof(AudioSampleType);
}

const char* AUInputTypeStr(IPlugAU::EAUInputType type)
{
  switch (type)
  {
  case IPlugAU::eDirectFastProc:
    return "DirectFastProc";
  case IPlugAU::eDirectNoFastProc:
    return "DirectNoFastProc";
  case IPlugAU::eRenderCallback:
    return "RenderCallback";
  default:
    return "NotConnected";
  }
}

IPlugAU::BusChannels* IPlugAU::GetBus(AudioUnitScope scope, AudioUnitElement busIdx)
{
  const int idx = busIdx > INT32_MAX ? -1 : static_cast<int>(busIdx);
  switch (scope)
  {
  case kAudioUnitScope_Input:
    return mInBuses.Get(idx);
  case kAudioUnitScope_Output:
  case kAudioUnitScope_Global:
    return mOutBuses.Get(idx);
  default:
    return nullptr;
  }
}

int IPlugAU::NHostChannelsConnected(const WDL_PtrList<BusChannels>* buses, int excludeIdx)
{
  bool anySet = false;
  int total = 0;
  for (int i = 0; i < buses->GetSize(); ++i)
  {
    const int nHostChannels = buses->Get(i)->mNHostChannels;
    if (i == excludeIdx || nHostChannels < 0) continue;
    anySet = true;
    total += nHostChannels;
  }
  return anySet ? total : -1;
}

bool IPlugAU::CheckLegalIO()
{
  const int nIn = NHostChannelsConnected(&mInBuses, -1);
  const int nOut = NHostChannelsConnected(&mOutBuses, -1);
  return (nIn == 0 && nOut == 0) || LegalIO(nIn, nOut);
}

bool IPlugAU::CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels)
{
  int nIn, nOut;
  if (scope == kAudioUnitScope_Input)
  {
    nIn = std::max(NHostChannelsConnected(&mInBuses, busIdx), 0) + nChannels;
    nOut = mActive ? NHostChannelsConnected(&mOutBuses, -1) : -1;
  }
  else
  {
    nIn = mActive ? NHostChannelsConnected(&mInBuses, -1) : -1;
    nOut = std::max(NHostChannelsConnected(&mOutBuses, busIdx), 0) + nChannels;
  }
  return LegalIO(nIn, nOut);
}

ComponentResult IPlugAU::SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                         const AudioStreamBasicDescription* format)
{
  BusChannels* bus = GetBus(scope, element);
  if (!bus) return kAudioUnitErr_InvalidProperty;
  const UInt32 nChannels = format->mChannelsPerFrame;
  bus->mNHostChannels = 0;
  const bool legal = nChannels >= 1 && nChannels <= kMaxBusChannels &&
                     CheckLegalIO(scope, static_cast<int>(element), static_cast<int>(nChannels));
  const bool canonical = IsCanonical(*format);
  Trace(__func__, __LINE__, "%d:%d:%s:%s:%s", nChannels, bus->mNPlugChannels,
        format->mFormatID == kAudioFormatLinearPCM ? "linearPCM" : "notLinearPCM",
        canonical ? "canonicalFormat" : "notCanonicalFormat",
        legal ? "connectionOK" : "connectionNotOK");
  const bool ok = legal && canonical;
  if (ok)
  {
    bus->mNHostChannels = static_cast<int>(nChannels);
    // A rate that is not a positive finite number is not applied.
    if (format->mSampleRate > 0.0 && std::isfinite(format->mSampleRate))
      SetSampleRate(format->mSampleRate);
  }
  AssessInputConnections();
  if (!ok) return kAudioUnitErr_InvalidProperty;
  return noErr;
}

ComponentResult IPlugAU::MakeConnection(const AudioUnitConnection* connection)
{
  InputBusConnection* inBusConnection = mInBusConnections.Get(
      connection->destInputNumber > INT32_MAX ? -1 : static_cast<int>(connection->destInputNumber));
  if (!inBusConnection) return kAudioUnitErr_InvalidProperty;
  ResetConnection(inBusConnection);
  bool ok = true;

  AudioUnit source = connection->sourceAudioUnit;
  if (source)
  {
    AudioStreamBasicDescription format;
    UInt32 size = sizeof(format);
    ok = AudioUnitGetProperty(source, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output,
                              connection->sourceOutputNumber, &format, &size) == noErr;
    if (ok)
    {
      ok = SetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input,
                       connection->destInputNumber, &size, &format) == noErr;
    }
    if (ok)
    {
      inBusConnection->mUpstreamUnit = source;
      inBusConnection->mUpstreamBusIdx = connection->sourceOutputNumber;
      AudioUnitRenderProc proc = nullptr;
      size = sizeof(proc);
      if (AudioUnitGetProperty(source, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                               kAudioUnitRenderSelect, &proc, &size) == noErr)
      {
        inBusConnection->mUpstreamRenderProc = proc;
        inBusConnection->mUpstreamObj = GetComponentInstanceStorage(source);
      }
    }
  }
  AssessInputConnections();
  if (!ok) return kAudioUnitErr_InvalidProperty;
  return noErr;
}

ComponentResult IPlugAU::SetRenderCallback(AudioUnitScope scope, AudioUnitElement element,
                                           const AURenderCallbackStruct* callback)
{
  InputBusConnection* inBusConnection =
      mInBusConnections.Get(element > INT32_MAX ? -1 : static_cast<int>(element));
  if (scope != kAudioUnitScope_Input || !inBusConnection) return kAudioUnitErr_InvalidProperty;
  ResetConnection(inBusConnection);
  if (callback->inputProc) inBusConnection->mUpstreamRenderCallback = *callback;
  AssessInputConnections();
  return noErr;
}

void IPlugAU::ResetConnection(InputBusConnection* connection)
{
  *connection = InputBusConnection();
}

void IPlugAU::AssessInputConnections()
{
  IMutexLock lock(this);
  SetInputChannelConnections(0, NInChannels(), false);
  for (int i = 0; i < mInBuses.GetSize(); ++i)
  {
    BusChannels* bus = mInBuses.Get(i);
    InputBusConnection* connection = mInBusConnections.Get(i);
    if (connection->mUpstreamRenderProc && connection->mUpstreamObj)
      connection->mInputType = eDirectFastProc;
    else if (connection->mUpstreamUnit)
      connection->mInputType = eDirectNoFastProc;
    else if (connection->mUpstreamRenderCallback.inputProc)
      connection->mInputType = eRenderCallback;
    else
      connection->mInputType = eNotConnected;

    bus->mConnected = connection->mInputType != eNotConnected;
    if (bus->mConnected)
    {
      if (bus->mNHostChannels < 0)
      {
        Trace(__func__, __LINE__, "AssumeChannels:%d", bus->mNPlugChannels);
        bus->mNHostChannels = bus->mNPlugChannels;
      }
      const int start = bus->mPlugChannelStartIdx;
      SetInputChannelConnections(start, bus->mNHostChannels, true);
      SetInputChannelConnections(start + bus->mNHostChannels,
                                 std::max(bus->mNPlugChannels - bus->mNHostChannels, 0), false);
    }
    Trace(__func__, __LINE__, "%d:%s:%d:%d:%d", i, AUInputTypeStr(connection->mInputType),
          bus->mPlugChannelStartIdx, bus->mNPlugChannels, bus->mNHostChannels);
  }
}

void IPlugAU::ClearConnections()
{
  for (int i = 0; i < mInBuses.GetSize(); ++i)
  {
    BusChannels* bus = mInBuses.Get(i);
    bus->mConnected = false;
    bus->mNHostChannels = -1;
    ResetConnection(mInBusConnections.Get(i));
  }
  for (int i = 0; i < mOutBuses.GetSize(); ++i)
  {
    BusChannels* bus = mOutBuses.Get(i);
    bus->mConnected = false;
    bus->mNHostChannels = -1;
  }
}
