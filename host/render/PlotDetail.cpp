#include "host/render/PlotDetail.h"

#include <algorithm>
#include <cmath>

namespace
{
const size_t kReadFrames = 16384;

bool Rewind(InputSource& source, std::string& error)
{
  if (source.Rewind()) return true;
  error = "cannot read the input again from its start";
  return false;
}

// Offers frames [at, at + n) of the block to each signal's window.
void Offer(const std::vector<std::vector<float>>& block, size_t at, size_t n,
           std::vector<PlotSignal>& signals)
{
  for (size_t c = 0; c < signals.size(); ++c)
    signals[c].detail.Offer(at, block[std::min(c, block.size() - 1)].data(), n);
}

size_t WindowEnd(const std::vector<PlotSignal>& signals)
{
  return signals.empty() ? 0 : signals[0].detail.first + signals[0].detail.capacity;
}
} // namespace

bool FindFirstHit(InputSource& source, double threshold, long& frame, std::string& error)
{
  frame = -1;
  if (!Rewind(source, error)) return false;
  std::vector<std::vector<float>> block(static_cast<size_t>(source.Channels()),
                                        std::vector<float>(kReadFrames));
  for (size_t at = 0; frame < 0;)
  {
    const size_t n = source.Read(block, kReadFrames);
    if (n == 0) break;
    for (size_t i = 0; i < n && frame < 0; ++i)
      for (const auto& channel : block)
        if (std::fabs(channel[i]) >= threshold) frame = static_cast<long>(at + i);
    at += n;
  }
  return Rewind(source, error);
}

bool ReadInputDetail(InputSource& source, std::vector<PlotSignal>& signals, std::string& error)
{
  const size_t end = WindowEnd(signals);
  if (!Rewind(source, error)) return false;
  std::vector<std::vector<float>> block(static_cast<size_t>(source.Channels()),
                                        std::vector<float>(kReadFrames));
  for (size_t at = 0; at < end;)
  {
    const size_t n = source.Read(block, kReadFrames);
    if (n == 0) break;
    Offer(block, at, n, signals);
    at += n;
  }
  return Rewind(source, error);
}

bool ReadOutputDetail(const std::string& path, std::vector<PlotSignal>& signals, std::string& error)
{
  if (signals.empty() || signals[0].detail.capacity == 0) return true;
  AudioReader reader;
  const size_t first = signals[0].detail.first;
  if (!reader.Open(path, error)) return false;
  if (first >= reader.Frames()) return true;
  if (!reader.Seek(first))
  {
    error = "cannot read back the rendered output " + path;
    return false;
  }
  std::vector<std::vector<float>> block(static_cast<size_t>(reader.Channels()),
                                        std::vector<float>(kReadFrames));
  const size_t end = WindowEnd(signals);
  for (size_t at = first; at < end;)
  {
    const size_t n = reader.Read(block, std::min(kReadFrames, end - at));
    if (n == 0) break;
    Offer(block, at, n, signals);
    at += n;
  }
  return true;
}
