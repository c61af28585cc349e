#include "host/render/WriteBehind.h"

#include "host/render/PhaseTimes.h"

#include <algorithm>

WriteBehind::~WriteBehind()
{
  std::string ignored;
  Finish(ignored);
}

void WriteBehind::Start(AudioWriter& writer, size_t channels, size_t chunkFrames, size_t depth,
                        Observer observe)
{
  mWriter = &writer;
  mObserve = std::move(observe);
  mChunkFrames = std::max<size_t>(1, chunkFrames);
  mPointers.assign(channels, nullptr);
  mThread = std::thread(&WriteBehind::Run, this, std::max<size_t>(2, depth));
}

// The chunks are made here, so that their memory is first touched on this thread.
void WriteBehind::Run(size_t depth)
{
  const size_t chunkSamples = mPointers.size() * mChunkFrames;
  mMemory = std::make_unique<ChunkMemory>(depth * chunkSamples);
  for (size_t i = 0; i < depth; ++i)
    mFree.Push(std::make_unique<AudioChunk>(mMemory->Samples() + i * chunkSamples,
                                            mPointers.size(), mChunkFrames));
  while (ChunkPtr chunk = mFull.Pop())
  {
    if (!Failed())
    {
      ScopedTimer timer(mBusySeconds);
      if (mObserve) mObserve(*chunk);
      std::string error;
      if (!mWriter->Write(chunk->channels.data(), chunk->frames, error))
      {
        mError = error;
        mFailed.store(true, std::memory_order_release);
      }
    }
    chunk->frames = 0;
    mFree.Push(std::move(chunk));
  }
}

void WriteBehind::HandOver()
{
  if (mCurrent && mCurrent->frames > 0)
  {
    mPosition += mCurrent->frames;
    mFull.Push(std::move(mCurrent));
  }
}

float* const* WriteBehind::Reserve(size_t n)
{
  if (!mCurrent || mCurrent->frames + n > mChunkFrames)
  {
    HandOver();
    if (!mCurrent)
    {
      mCurrent = mFree.Pop();
      mCurrent->first = mPosition;
    }
  }
  for (size_t c = 0; c < mPointers.size(); ++c)
    mPointers[c] = mCurrent->channels[c] + mCurrent->frames;
  return mPointers.data();
}

void WriteBehind::Commit(size_t n)
{
  mCurrent->frames += n;
}

void WriteBehind::Append(const std::vector<std::vector<float>>& block, size_t offset, size_t n)
{
  for (size_t done = 0; done < n;)
  {
    const size_t room = mCurrent ? mChunkFrames - mCurrent->frames : mChunkFrames;
    const size_t step = std::min(n - done, room > 0 ? room : mChunkFrames);
    float* const* target = Reserve(step);
    for (size_t c = 0; c < mPointers.size(); ++c)
      std::copy_n(block[c].data() + offset + done, step, target[c]);
    Commit(step);
    done += step;
  }
}

bool WriteBehind::Finish(std::string& error)
{
  if (!mThread.joinable()) return !Failed();
  HandOver();
  mFull.Close();
  mThread.join();
  if (!Failed()) return true;
  error = mError;
  return false;
}
