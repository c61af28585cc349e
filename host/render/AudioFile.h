#pragma once

// Audio files through libsndfile: WAV, AIFF and FLAC, mono or stereo, read as
// 32-bit floats and written in the container the file name asks for, with the
// sample format the user chose. Reading and writing go block by block, so that
// a file of any length passes in bounded memory. One thread at a time per
// object.

#include <sndfile.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

struct AudioData
{
  double sampleRate = 44100.0;
  std::vector<std::vector<float>> channels; // one vector per channel, equal lengths

  size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
  // nChannels channels of silence, each allocated on its own (no copies of a prototype).
  void Allocate(size_t nChannels, size_t frames)
  {
    channels.resize(nChannels);
    for (auto& channel : channels)
      channel.assign(frames, 0.0f);
  }
  double Seconds() const { return static_cast<double>(Frames()) / sampleRate; }
};

enum class Container
{
  Wav,
  Aiff,
  Flac
};

enum class SampleFormat
{
  Float,
  Int16,
  Int24
};

struct FileFormat
{
  Container container = Container::Wav;
  SampleFormat sample = SampleFormat::Float;
  bool operator==(const FileFormat& other) const
  {
    return container == other.container && sample == other.sample;
  }
};

// The container a file name's extension names (.wav, .aif, .aiff, .flac, in
// any case); false with a message listing them for anything else.
bool ContainerForPath(const std::string& path, Container& container, std::string& error);
// "float", "16" or "24"; false for anything else.
bool ParseSampleFormat(const std::string& name, SampleFormat& format);
// The names ParseSampleFormat accepts, comma-separated.
std::string SampleFormatNames();
// Float for WAV and AIFF, 24-bit for FLAC.
SampleFormat DefaultSampleFormat(Container container);
// The container for the path with the chosen sample format (or the default
// when chosen is null); false with a message when the container cannot hold it.
bool OutputFormatFor(const std::string& path, const SampleFormat* chosen, FileFormat& format,
                     std::string& error);
// e.g. "WAV", "FLAC"; and "float", "16-bit".
const char* ContainerName(Container container);
const char* SampleFormatName(SampleFormat format);

// The first sample of each channel.
template <class Channels> std::vector<decltype(std::declval<Channels&>()[0].data())>
ChannelPointers(Channels& channels)
{
  std::vector<decltype(channels[0].data())> pointers;
  for (auto& channel : channels)
    pointers.push_back(channel.data());
  return pointers;
}

const int kMinSampleRate = 8000;
const int kMaxSampleRate = 192000;
const int kMaxChannels = 2;

struct SndfileCloser
{
  void operator()(SNDFILE* file) const { sf_close(file); }
};

// Reads a file block by block. Open refuses files that are not WAV, AIFF or
// FLAC, have more than two channels, a rate outside 8 to 192 kHz or no frames.
class AudioReader
{
public:
  bool Open(const std::string& path, std::string& error);
  int Channels() const { return mInfo.channels; }
  double SampleRate() const { return mInfo.samplerate; }
  // The frames the file's header announces.
  size_t Frames() const { return static_cast<size_t>(mInfo.frames); }
  // Up to maxFrames frames into channels[c][0 ...] (each must hold maxFrames);
  // the number read. 0 at the end or after an error; ReadFailed() tells which.
  size_t Read(float* const* channels, size_t maxFrames);
  size_t Read(std::vector<std::vector<float>>& channels, size_t maxFrames)
  {
    return Read(ChannelPointers(channels).data(), maxFrames);
  }
  // Whether the file stores floating-point samples (which may be NaN or infinite).
  bool HoldsFloats() const;
  // True when a read failed or the file ended before the frames its header announces.
  bool ReadFailed() const { return mFailed; }
  // Back to the first frame.
  bool Rewind();
  // To the given frame (at most Frames()).
  bool Seek(size_t frame);

private:
  std::string mPath;
  SF_INFO mInfo = {};
  std::unique_ptr<SNDFILE, SndfileCloser> mFile;
  std::vector<float> mInterleaved;
  size_t mPosition = 0;
  bool mFailed = false;
};

// Writes a file block by block; integer formats clip at full scale.
class AudioWriter
{
public:
  bool Open(const std::string& path, FileFormat format, double sampleRate, int channels,
            std::string& error);
  // frames frames of channels[c][0 ...].
  bool Write(const float* const* channels, size_t frames, std::string& error);
  bool Close(std::string& error);

private:
  std::string mPath;
  int mChannels = 0;
  std::unique_ptr<SNDFILE, SndfileCloser> mFile;
  std::vector<float> mInterleaved;
};

// Whole files, for small ones (tests, tools): ReadAudioFile refuses what
// AudioReader refuses and a file that reads short.
bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error);
bool WriteAudioFile(const std::string& path, const AudioData& audio, FileFormat format,
                    std::string& error);
