// Rendering with its buses: stream formats, connections, pulling inputs and
// processing.

#include "IPlug/IPlugAU.h"

#include "IPlug/Log.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cmath>

// Rendering: render notifications, pulling each connected input bus once per
// time stamp, attaching the host's buffers to the plug-in's channels and
// processing (or passing through while bypassed).

namespace
{
// The most buffers one input bus exchanges in a render.
constexpr int kMaxInputBuffers = 128;
constexpr UInt32 kBytesPerSample = sizeof(AudioSampleType);

// A buffer list with room for kMaxInputBuffers buffers, kept on the stack.
union InputBufferList
{
  AudioBufferList list;
  unsigned char room[offsetof(AudioBufferList, mBuffers) + kMaxInputBuffers * sizeof(AudioBuffer)];
};

ComponentResult RenderCallback(const AURenderCallbackStruct* callback,
                               AudioUnitRenderActionFlags* pFlags, const AudioTimeStamp* pTimestamp,
                               UInt32 busIdx, UInt32 nFrames, AudioBufferList* pBufList)
{
  return callback->inputProc(callback->inputProcRefCon, pFlags, pTimestamp, busIdx, nFrames,
                             pBufList);
}

// A buffer the plug-in may read or write nFrames samples of.
bool HoldsFrames(const AudioBuffer& buffer, UInt32 nFrames)
{
  return buffer.mData && buffer.mDataByteSize / kBytesPerSample >= nFrames;
}
} // namespace

void IPlugAU::SetBlockSize(int blockSize)
{
  const int frames = std::max(blockSize, 0);
  mInScratchBuf.Resize(frames * NInChannels());
  mOutScratchBuf.Resize(frames * NOutChannels());
  if (mInScratchBuf.GetSize() > 0)
    std::memset(mInScratchBuf.Get(), 0, sizeof(float) * mInScratchBuf.GetSize());
  if (mOutScratchBuf.GetSize() > 0)
    std::memset(mOutScratchBuf.Get(), 0, sizeof(float) * mOutScratchBuf.GetSize());
  IPlugBase::SetBlockSize(blockSize);
}

ComponentResult IPlugAU::RenderProc(void* pPlug, AudioUnitRenderActionFlags* pFlags,
                                    const AudioTimeStamp* pTimestamp, UInt32 outputBusIdx,
                                    UInt32 nFrames, AudioBufferList* pOutBufList)
{
  Trace(__func__, __LINE__, "%d:%d:%d", outputBusIdx, pOutBufList ? pOutBufList->mNumberBuffers : 0,
        nFrames);
  return static_cast<IPlugAU*>(pPlug)->Render(pFlags, pTimestamp, outputBusIdx, nFrames,
                                              pOutBufList);
}

ComponentResult IPlugAU::Render(AudioUnitRenderActionFlags*, const AudioTimeStamp* pTimestamp,
                                UInt32 outputBusIdx, UInt32 nFrames, AudioBufferList* pOutBufList)
{
  if (!RenderArgsValid(pTimestamp, outputBusIdx, nFrames, pOutBufList))
    return kAudioUnitErr_InvalidPropertyValue;

  SendRenderNotifications(kAudioUnitRenderAction_PreRender, pTimestamp, outputBusIdx, nFrames,
                          pOutBufList);
  if (pTimestamp->mSampleTime != mRenderTimestamp)
  {
    const ComponentResult result = PullInputs(pTimestamp, nFrames);
    if (result != noErr) return result;
    mRenderTimestamp = pTimestamp->mSampleTime;
  }

  BusChannels* outBus = mOutBuses.Get(static_cast<int>(outputBusIdx));
  if (!outBus->mConnected ||
      static_cast<UInt32>(outBus->mNHostChannels) != pOutBufList->mNumberBuffers)
    ConnectOutputBus(outBus, pOutBufList->mNumberBuffers);
  AttachOutputBus(outBus, nFrames, pOutBufList);

  if (mBypassed)
    PassThroughBuffers(0.0f, static_cast<int>(nFrames));
  else
    ProcessBuffers(0.0f, static_cast<int>(nFrames));

  SendRenderNotifications(kAudioUnitRenderAction_PostRender, pTimestamp, outputBusIdx, nFrames,
                          pOutBufList);
  return noErr;
}

// Output buffers beyond the bus's plug channels are left as the host gave them;
// the ones used must have memory for the block or none at all.
bool IPlugAU::RenderArgsValid(const AudioTimeStamp* pTimestamp, UInt32 outputBusIdx, UInt32 nFrames,
                              const AudioBufferList* pOutBufList)
{
  if (!pTimestamp || !pOutBufList) return false;
  const BusChannels* outBus = outputBusIdx < static_cast<UInt32>(mOutBuses.GetSize())
                                  ? mOutBuses.Get(outputBusIdx)
                                  : nullptr;
  if (!(pTimestamp->mFlags & kAudioTimeStampSampleTimeValid) || !outBus ||
      nFrames > static_cast<UInt32>(std::max(GetBlockSize(), 0)))
    return false;
  const UInt32 nUsed = NBuffersUsed(outBus, pOutBufList->mNumberBuffers);
  for (UInt32 b = 0; b < nUsed; ++b)
  {
    const AudioBuffer& buffer = pOutBufList->mBuffers[b];
    if (buffer.mData && !HoldsFrames(buffer, nFrames)) return false;
  }
  return true;
}

UInt32 IPlugAU::NBuffersUsed(const BusChannels* bus, UInt32 nBuffers)
{
  return std::min(nBuffers, static_cast<UInt32>(std::max(bus->mNPlugChannels, 0)));
}

void IPlugAU::SendRenderNotifications(AudioUnitRenderActionFlags action,
                                      const AudioTimeStamp* pTimestamp, UInt32 outputBusIdx,
                                      UInt32 nFrames, AudioBufferList* pOutBufList)
{
  for (int i = 0; i < mRenderNotify.GetSize(); ++i)
  {
    AudioUnitRenderActionFlags flags = action;
    RenderCallback(mRenderNotify.Get(i), &flags, pTimestamp, outputBusIdx, nFrames, pOutBufList);
  }
}

ComponentResult IPlugAU::PullInputs(const AudioTimeStamp* pTimestamp, UInt32 nFrames)
{
  for (int i = 0; i < mInBuses.GetSize(); ++i)
  {
    if (!mInBuses.Get(i)->mConnected) continue;
    const ComponentResult result = PullInputBus(i, pTimestamp, nFrames);
    if (result != noErr) return result;
  }
  return noErr;
}

ComponentResult IPlugAU::PullInputBus(int busIdx, const AudioTimeStamp* pTimestamp, UInt32 nFrames)
{
  const BusChannels* bus = mInBuses.Get(busIdx);
  const InputBusConnection* connection = mInBusConnections.Get(busIdx);
  const int start = bus->mPlugChannelStartIdx;
  const int nBuffers = std::min(std::max(bus->mNHostChannels, 0), kMaxInputBuffers);

  InputBufferList buffers;
  AudioBufferList* list = &buffers.list;
  list->mNumberBuffers = static_cast<UInt32>(nBuffers);
  for (int b = 0; b < nBuffers; ++b)
    list->mBuffers[b] = {1, nFrames * kBytesPerSample, nullptr};

  AudioUnitRenderActionFlags flags = 0;
  ComponentResult result = noErr;
  switch (connection->mInputType)
  {
  case eDirectFastProc:
    result = connection->mUpstreamRenderProc(connection->mUpstreamObj, &flags, pTimestamp,
                                             connection->mUpstreamBusIdx, nFrames, list);
    break;
  case eDirectNoFastProc:
    result = AudioUnitRender(connection->mUpstreamUnit, &flags, pTimestamp,
                             connection->mUpstreamBusIdx, nFrames, list);
    break;
  case eRenderCallback:
    for (int b = 0; b < nBuffers && start + b < NInChannels(); ++b)
      list->mBuffers[b].mData = mInScratchBuf.Get() + (start + b) * GetBlockSize();
    result = RenderCallback(&connection->mUpstreamRenderCallback, &flags, pTimestamp,
                            static_cast<UInt32>(busIdx), nFrames, list);
    break;
  default:
    break;
  }
  if (result != noErr) return result;

  // The source leaves a pointer to its samples in each buffer.
  for (int b = 0; b < nBuffers; ++b)
    if (!HoldsFrames(list->mBuffers[b], nFrames)) return kAudioUnitErr_InvalidPropertyValue;
  for (int b = 0; b < nBuffers; ++b)
  {
    float* samples = static_cast<float*>(list->mBuffers[b].mData);
    AttachInputBuffers(start + b, 1, &samples, static_cast<int>(nFrames));
  }
  return noErr;
}

void IPlugAU::ConnectOutputBus(BusChannels* bus, UInt32 nBuffers)
{
  const int start = bus->mPlugChannelStartIdx;
  const int nConnected = static_cast<int>(
      std::min(static_cast<UInt32>(bus->mNHostChannels), NBuffersUsed(bus, nBuffers)));
  SetOutputChannelConnections(start, nConnected, true);
  SetOutputChannelConnections(start + nConnected, std::max(bus->mNPlugChannels - nConnected, 0),
                              false);
  bus->mConnected = true;
}

void IPlugAU::AttachOutputBus(BusChannels* bus, UInt32 nFrames, AudioBufferList* pOutBufList)
{
  const int start = bus->mPlugChannelStartIdx;
  const UInt32 nUsed = NBuffersUsed(bus, pOutBufList->mNumberBuffers);
  for (UInt32 b = 0; b < nUsed; ++b)
  {
    AudioBuffer& buffer = pOutBufList->mBuffers[b];
    const int channel = start + static_cast<int>(b);
    if (!buffer.mData)
    {
      // The host supplied no memory: it gets the plug-in's own.
      buffer.mData = mOutScratchBuf.Get() + channel * GetBlockSize();
      buffer.mDataByteSize = nFrames * kBytesPerSample;
    }
    float* samples = static_cast<float*>(buffer.mData);
    AttachOutputBuffers(channel, 1, &samples);
  }
}

// Buses: stream-format negotiation against the legal channel configurations,
// connections to upstream units and host render callbacks, and the assessment
// that turns them into the plug-in's channel connections.

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
