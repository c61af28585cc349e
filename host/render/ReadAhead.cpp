#include "host/render/ReadAhead.h"

#include "host/render/PhaseTimes.h"

#include <algorithm>

void ReadAhead::Start(InputSource& source, size_t chunkFrames, size_t depth, Observer observe)
{
  mSource = &source;
  mObserve = std::move(observe);
  mChunkFrames = std::max<size_t>(1, chunkFrames);
  mDepth = std::max<size_t>(2, depth);
  mThread = std::thread(&ReadAhead::Run, this);
}

// The chunks are made here as they are first needed, so that their memory is
// first touched on this thread.
void ReadAhead::Run()
{
  const size_t channels = static_cast<size_t>(mSource->Channels());
  const size_t chunkSamples = channels * mChunkFrames;
  mMemory = std::make_unique<ChunkMemory>(mDepth * chunkSamples);
  for (size_t made = 0;;)
  {
    ChunkPtr chunk =
        made < mDepth
            ? std::make_unique<AudioChunk>(mMemory->Samples() + made * chunkSamples, channels,
                                           mChunkFrames)
            : mFree.Pop();
    if (!chunk || mStopping.load(std::memory_order_relaxed)) break;
    made += made < mDepth ? 1 : 0;
    {
      ScopedTimer timer(mBusySeconds);
      chunk->first = mFramesRead;
      chunk->frames = mSource->Read(chunk->channels.data(), mChunkFrames);
      if (chunk->frames == 0) break;
      mFramesRead += chunk->frames;
      if (mObserve) mObserve(*chunk);
    }
    mFull.Push(std::move(chunk));
  }
  mFull.Close();
}

void ReadAhead::Stop()
{
  if (!mThread.joinable()) return;
  mStopping.store(true, std::memory_order_relaxed);
  mFree.Close();
  mThread.join();
}
