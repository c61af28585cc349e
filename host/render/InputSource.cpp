#include "host/render/InputSource.h"

#include "host/render/SignalStats.h"

#include <algorithm>
#include <cmath>

size_t FileSource::Read(std::vector<std::vector<float>>& block, size_t n)
{
  const size_t got = mReader.Read(block, n);
  for (size_t c = 0; c < static_cast<size_t>(Channels()); ++c)
    mNonFinite += SilenceNonFinite(block[c].data(), got);
  return got;
}

bool FileSource::Rewind()
{
  mNonFinite = 0;
  return mReader.Rewind();
}

size_t MemorySource::Read(std::vector<std::vector<float>>& block, size_t n)
{
  const size_t count = std::min(n, Frames() - std::min(Frames(), mPosition));
  for (size_t c = 0; c < mAudio.channels.size(); ++c)
    std::copy_n(mAudio.channels[c].begin() + static_cast<long>(mPosition), count, block[c].begin());
  mPosition += count;
  return count;
}
