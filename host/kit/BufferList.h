#pragma once

// An AudioBufferList with room for a given number of one-channel buffers, as a
// host prepares it for a render call.
//
// One thread at a time: the thread that renders with it.

#include <CoreAudio/CoreAudioTypes.h>

#include <vector>

class BufferList
{
public:
  explicit BufferList(UInt32 nBuffers);

  AudioBufferList* Get() { return reinterpret_cast<AudioBufferList*>(mStorage.data()); }
  UInt32 Count() const { return mCount; }

  // Points buffer i at `frames` floats (null data asks the unit for its own memory).
  void Set(UInt32 i, float* data, UInt32 frames);
  float* Data(UInt32 i) { return static_cast<float*>(Get()->mBuffers[i].mData); }

private:
  // AudioBuffer-sized slots: the list header fits in the first one.
  std::vector<AudioBuffer> mStorage;
  UInt32 mCount;
};
