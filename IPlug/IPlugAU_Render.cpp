// Rendering: render notifications, pulling each connected input bus once per
// time stamp, attaching the host's buffers to the plug-in's channels and
// processing (or passing through while bypassed).

#include "IPlug/IPlugAU.h"

#include "IPlug/Log.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

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
