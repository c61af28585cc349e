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
  for (size_t made = 0;;)
  {
    ChunkPtr chunk =
        made < mDepth
            ? std::make_unique<AudioChunk>(static_cast<size_t>(mSource->Channels()), mChunkFrames)
            : mFree.Pop();
    if (!chunk || mStopping.load(std::memory_order_relaxed)) break;
    made += made < mDepth ? 1 : 0;
    {
      ScopedTimer timer(mBusySeconds);
      chunk->first = mFramesRead;
      chunk->frames = mSource->Read(chunk->channels, mChunkFrames);
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
