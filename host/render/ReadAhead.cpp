#include "host/render/ReadAhead.h"

#include "host/render/PhaseTimes.h"

#include <algorithm>

void ReadAhead::Start(InputSource& source, size_t chunkFrames, size_t depth, Observer observe)
{
  mSource = &source;
  mObserve = std::move(observe);
  mChunkFrames = std::max<size_t>(1, chunkFrames);
  for (size_t i = 0; i < std::max<size_t>(2, depth); ++i)
    mFree.Push(std::make_unique<AudioChunk>(static_cast<size_t>(source.Channels()), mChunkFrames));
  mThread = std::thread(&ReadAhead::Run, this);
}

void ReadAhead::Run()
{
  while (ChunkPtr chunk = mFree.Pop())
  {
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
  mFree.Close();
  mThread.join();
}
