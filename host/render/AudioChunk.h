#pragma once

// A stretch of a multichannel signal passed between the threads of a render,
// and the bounded hand-over that passes it. A chunk belongs to one thread at a
// time: whoever took it from a hand-over.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

struct AudioChunk
{
  // Channel c is samples[c * capacity ...]; the samples belong to whoever made the chunk.
  AudioChunk(float* samples, size_t nChannels, size_t capacity)
      : channels(nChannels), capacity(capacity)
  {
    for (size_t c = 0; c < nChannels; ++c)
      channels[c] = samples + c * capacity;
  }
  std::vector<float*> channels; // each holds `capacity` samples
  size_t capacity;
  size_t frames = 0; // how many of them are in use
  size_t first = 0;  // the frame of the signal the chunk starts at
};

using ChunkPtr = std::unique_ptr<AudioChunk>;

// First in, first out between threads; Pop waits. Any thread.
class ChunkHandover
{
public:
  void Push(ChunkPtr chunk)
  {
    {
      std::lock_guard<std::mutex> lock(mMutex);
      mChunks.push_back(std::move(chunk));
    }
    mReady.notify_one();
  }

  // The next chunk; null once closed and empty.
  ChunkPtr Pop()
  {
    std::unique_lock<std::mutex> lock(mMutex);
    mReady.wait(lock, [this] { return !mChunks.empty() || mClosed; });
    if (mChunks.empty()) return nullptr;
    ChunkPtr chunk = std::move(mChunks.front());
    mChunks.pop_front();
    return chunk;
  }

  // No more chunks will come: Pop returns null once the rest are taken.
  void Close()
  {
    {
      std::lock_guard<std::mutex> lock(mMutex);
      mClosed = true;
    }
    mReady.notify_all();
  }

private:
  std::mutex mMutex;
  std::condition_variable mReady;
  std::deque<ChunkPtr> mChunks;
  bool mClosed = false;
};
