#include "host/render/TrackRenderer.h"

#include <algorithm>

TrackRenderer::TrackRenderer(UnitRenderer& renderer, const AudioData& input, AudioData& output)
    : mRenderer(renderer), mInput(input), mOutput(output),
      mPadded(input.channels.size(), std::vector<float>(renderer.Setup().maxFrames)),
      mIn(input.channels.size()), mOut(output.channels.size())
{
}

void TrackRenderer::PointInput(size_t from, UInt32 n)
{
  const size_t inputFrames = mInput.Frames();
  for (size_t c = 0; c < mIn.size(); ++c)
  {
    const std::vector<float>& channel = mInput.channels[c];
    if (from + n <= inputFrames)
    {
      mIn[c] = channel.data() + from;
      continue;
    }
    // A slice reaching past the input: what is left of it, then silence.
    std::vector<float>& padded = mPadded[c];
    const size_t start = std::min(from, inputFrames);
    const size_t available = inputFrames - start;
    std::copy_n(channel.begin() + static_cast<long>(start), available, padded.begin());
    std::fill(padded.begin() + static_cast<long>(available), padded.begin() + n, 0.0f);
    mIn[c] = padded.data();
  }
}

UInt32 TrackRenderer::NextSliceFrames()
{
  const UInt32 maxFrames = mRenderer.Setup().maxFrames;
  if (mPattern.empty()) return maxFrames;
  const UInt32 frames = mPattern[mNextSlice++ % mPattern.size()];
  return std::max<UInt32>(1, std::min(frames, maxFrames));
}

ComponentResult TrackRenderer::Render(size_t from, size_t count, ProgressBar* progress)
{
  const double sampleRate = mOutput.sampleRate;
  for (size_t done = 0; done < count;)
  {
    const UInt32 n = static_cast<UInt32>(std::min<size_t>(NextSliceFrames(), count - done));
    const size_t at = from + done;
    PointInput(at, n);
    for (size_t c = 0; c < mOut.size(); ++c)
      mOut[c] = mOutput.channels[c].data() + at;
    const ComponentResult status = mRenderer.Render(mIn.data(), mOut.data(), n);
    if (status != noErr) return status;
    done += n;
    if (progress) progress->Update(static_cast<double>(from + done) / sampleRate);
  }
  return noErr;
}
