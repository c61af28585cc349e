#pragma once

// Renders stretches of a whole track through a unit, slice by slice: input
// frames past the end of the input are silence, the output lands in place.

#include "host/render/AudioFile.h"
#include "host/render/Progress.h"
#include "host/kit/UnitRenderer.h"

#include <vector>

class TrackRenderer
{
public:
  TrackRenderer(UnitRenderer& renderer, const AudioData& input, AudioData& output);

  // Frames [from, from + count) into the output, which must already hold them.
  ComponentResult Render(size_t from, size_t count, ProgressBar* progress = nullptr);
  // Slices of these sizes in turn (each at most the maximum); empty: always the maximum.
  void SetSlicePattern(std::vector<UInt32> sizes) { mPattern = std::move(sizes); }

private:
  UInt32 NextSliceFrames();

  void PointInput(size_t from, UInt32 n);

  UnitRenderer& mRenderer;
  const AudioData& mInput;
  AudioData& mOutput;
  std::vector<std::vector<float>> mPadded; // the input of a slice that runs past its end
  std::vector<const float*> mIn;
  std::vector<float*> mOut;
  std::vector<UInt32> mPattern;
  size_t mNextSlice = 0;
};
