#include "host/render/InputSource.h"

#include "host/render/SignalStats.h"

#include <algorithm>
#include <cmath>

namespace
{
const size_t kScanFrames = 65536;
} // namespace

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

bool ScanInput(InputSource& source, const std::string& name, double fraction, InputScan& scan,
               std::string& error)
{
  std::vector<std::vector<float>> block(static_cast<size_t>(source.Channels()),
                                        std::vector<float>(kScanFrames));
  scan = InputScan();
  size_t frames = 0;
  while (const size_t n = source.Read(block, kScanFrames))
  {
    for (const auto& channel : block)
      for (size_t i = 0; i < n; ++i)
        scan.peak = std::max(scan.peak, static_cast<double>(std::fabs(channel[i])));
    frames += n;
  }
  if (source.Failed() || frames != source.Frames())
  {
    error = name + " is damaged: it reads short (" + std::to_string(frames) + " of " +
            std::to_string(source.Frames()) + " frames)";
    return false;
  }
  if (!source.Rewind())
  {
    error = "cannot read " + name + " again from its start";
    return false;
  }
  if (scan.peak > 0.0)
  {
    const double threshold = scan.peak * fraction;
    size_t at = 0;
    while (scan.onset < 0)
    {
      const size_t n = source.Read(block, kScanFrames);
      if (n == 0) break;
      for (size_t i = 0; i < n && scan.onset < 0; ++i)
        for (const auto& channel : block)
          if (std::fabs(channel[i]) >= threshold) scan.onset = static_cast<long>(at + i);
      at += n;
    }
  }
  if (!source.Rewind())
  {
    error = "cannot read " + name + " again from its start";
    return false;
  }
  return true;
}
