#pragma once

// Writes a render's output on a thread of its own while the next frames are
// rendered: the render fills chunks in place and hands them over; the thread
// shows each chunk to an observer (levels, plot), then writes it. The render
// waits only when every chunk is in flight.
//
// Start, Reserve, Commit, Append, Failed and Finish on the rendering thread;
// the observer is called on the writing thread, never after Finish returns.

#include "host/render/AudioChunk.h"
#include "host/render/AudioFile.h"
#include "host/render/ChunkMemory.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class WriteBehind
{
public:
  using Observer = std::function<void(const AudioChunk&)>;

  WriteBehind() = default;
  ~WriteBehind();
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  // Chunks of chunkFrames frames, at most `depth` of them in flight.
  void Start(AudioWriter& writer, size_t channels, size_t chunkFrames, size_t depth,
             Observer observe);
  // Room for the next n frames (at most chunkFrames): one pointer per channel.
  float* const* Reserve(size_t n);
  // The n frames reserved last are written.
  void Commit(size_t n);
  // A copy of frames [offset, offset + n) of each channel.
  void Append(const std::vector<std::vector<float>>& block, size_t offset, size_t n);
  // Whether a write has failed (the rest is then dropped).
  bool Failed() const { return mFailed.load(std::memory_order_relaxed); }
  // Hands over the last frames and waits for them; false with the first write error.
  bool Finish(std::string& error);
  // Seconds the writing thread spent observing and writing; valid after Finish.
  double BusySeconds() const { return mBusySeconds; }

private:
  void Run(size_t depth);
  void HandOver();

  AudioWriter* mWriter = nullptr;
  Observer mObserve;
  ChunkHandover mFull, mFree;
  std::unique_ptr<ChunkMemory> mMemory; // the chunks' samples, made by the writing thread
  ChunkPtr mCurrent;
  std::vector<float*> mPointers;
  size_t mChunkFrames = 0;
  size_t mPosition = 0;
  std::thread mThread;
  std::atomic<bool> mFailed{false};
  std::string mError; // written by the thread before mFailed is set
  double mBusySeconds = 0.0;
};
