#pragma once

// Where a render's input comes from, block by block: an audio file read as it
// is rendered, or the built-in demo held in memory. A file's NaN and infinite
// samples are read as silence and counted: the effect and the written file
// never see them. One thread at a time.

#include "host/render/AudioFile.h"

#include <string>
#include <vector>

class InputSource
{
public:
  virtual ~InputSource() = default;
  virtual int Channels() const = 0;
  virtual double SampleRate() const = 0;
  virtual size_t Frames() const = 0;
  // Up to n frames into channels[c][0 ...]; the number read (0 at the end).
  virtual size_t Read(float* const* channels, size_t n) = 0;
  size_t Read(std::vector<std::vector<float>>& block, size_t n)
  {
    return Read(ChannelPointers(block).data(), n);
  }
  // Back to the first frame.
  virtual bool Rewind() = 0;
  // Whether a read failed or ended before Frames().
  virtual bool Failed() const = 0;
  // NaN and infinite samples read as silence since the last rewind.
  virtual size_t NonFiniteSamples() const { return 0; }
};

class FileSource : public InputSource
{
public:
  bool Open(const std::string& path, std::string& error) { return mReader.Open(path, error); }
  int Channels() const override { return mReader.Channels(); }
  double SampleRate() const override { return mReader.SampleRate(); }
  size_t Frames() const override { return mReader.Frames(); }
  using InputSource::Read;
  size_t Read(float* const* channels, size_t n) override;
  bool Rewind() override;
  bool Failed() const override { return mReader.ReadFailed(); }
  size_t NonFiniteSamples() const override { return mNonFinite; }

private:
  AudioReader mReader;
  size_t mNonFinite = 0;
};

class MemorySource : public InputSource
{
public:
  explicit MemorySource(AudioData audio) : mAudio(std::move(audio)) {}
  int Channels() const override { return static_cast<int>(mAudio.channels.size()); }
  double SampleRate() const override { return mAudio.sampleRate; }
  size_t Frames() const override { return mAudio.Frames(); }
  using InputSource::Read;
  size_t Read(float* const* channels, size_t n) override;
  bool Rewind() override
  {
    mPosition = 0;
    return true;
  }
  bool Failed() const override { return false; }

private:
  AudioData mAudio;
  size_t mPosition = 0;
};
