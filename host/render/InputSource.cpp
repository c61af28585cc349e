#include "host/render/InputSource.h"

#include "host/render/SignalStats.h"

#include <algorithm>
#include <cmath>

size_t FileSource::Read(float* const* channels, size_t n)
{
  const size_t got = mReader.Read(channels, n);
  if (mReader.HoldsFloats()) // integer samples read as finite floats
    for (size_t c = 0; c < static_cast<size_t>(Channels()); ++c)
      mNonFinite += SilenceNonFinite(channels[c], got);
  return got;
}

bool FileSource::Rewind()
{
  mNonFinite = 0;
  return mReader.Rewind();
}

size_t MemorySource::Read(float* const* channels, size_t n)
{
  const size_t count = std::min(n, Frames() - std::min(Frames(), mPosition));
  for (size_t c = 0; c < mAudio.channels.size(); ++c)
    std::copy_n(mAudio.channels[c].data() + mPosition, count, channels[c]);
  mPosition += count;
  return count;
}
