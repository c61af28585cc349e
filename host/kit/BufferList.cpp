#include "host/kit/BufferList.h"

#include <cstddef>

static_assert(offsetof(AudioBufferList, mBuffers) <= sizeof(AudioBuffer),
              "the list header fits in one buffer slot");

BufferList::BufferList(UInt32 nBuffers) : mStorage(nBuffers + 1), mCount(nBuffers)
{
  Get()->mNumberBuffers = nBuffers;
  for (UInt32 i = 0; i < nBuffers; ++i)
    Set(i, nullptr, 0);
}

void BufferList::Set(UInt32 i, float* data, UInt32 frames)
{
  AudioBuffer& buffer = Get()->mBuffers[i];
  buffer.mNumberChannels = 1;
  buffer.mDataByteSize = frames * sizeof(float);
  buffer.mData = data;
}
