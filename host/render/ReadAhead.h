#pragma once

// Reads a render's input on a thread of its own, a few chunks ahead of the
// render: the thread shows each chunk to an observer (the plot) and hands it
// over; the render gives it back when done with it.
//
// Start, Next, Recycle and Stop on the rendering thread; the observer is
// called on the reading thread, never after Stop returns. The source belongs
// to the reading thread from Start to Stop.

#include "host/render/AudioChunk.h"
#include "host/render/ChunkMemory.h"
#include "host/render/InputSource.h"

#include <atomic>
#include <functional>
#include <thread>

class ReadAhead
{
public:
  using Observer = std::function<void(const AudioChunk&)>;

  ReadAhead() = default;
  ~ReadAhead() { Stop(); }
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // Chunks of chunkFrames frames from the source's current position on, at
  // most `depth` of them read ahead.
  void Start(InputSource& source, size_t chunkFrames, size_t depth, Observer observe);
  // The next chunk, in order; null at the end of the input (or where it read short).
  ChunkPtr Next() { return mFull.Pop(); }
  void Recycle(ChunkPtr chunk) { mFree.Push(std::move(chunk)); }
  // Waits for the reading thread to end, reading no further.
  void Stop();
  // The frames read; valid after Stop.
  size_t FramesRead() const { return mFramesRead; }
  // Seconds the reading thread spent reading and observing; valid after Stop.
  double BusySeconds() const { return mBusySeconds; }

private:
  void Run();

  InputSource* mSource = nullptr;
  Observer mObserve;
  ChunkHandover mFull, mFree;
  std::unique_ptr<ChunkMemory> mMemory; // the chunks' samples, made by the reading thread
  size_t mChunkFrames = 0;
  size_t mDepth = 0;
  std::atomic<bool> mStopping{false};
  size_t mFramesRead = 0;
  double mBusySeconds = 0.0;
  std::thread mThread;
};
