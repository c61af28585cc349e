#pragma once

// Audio files through libsndfile: WAV, AIFF and FLAC, mono or stereo, read as
// 32-bit floats and written in the format the user chose.

#include <string>
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

enum class FileFormat
{
  WavFloat,
  Wav16,
  Wav24,
  AiffFloat,
  Aiff16,
  Aiff24,
  Flac16,
  Flac24
};

// "wav-float", "wav-16", ... ; false for an unknown name.
bool ParseFileFormat(const std::string& name, FileFormat& format);
// The names ParseFileFormat accepts, comma-separated.
std::string FileFormatNames();

const int kMinSampleRate = 8000;
const int kMaxSampleRate = 192000;
const int kMaxChannels = 2;

// Refuses files that are not WAV, AIFF or FLAC, have more than two channels or
// a rate outside 8 to 192 kHz.
bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error);
// Integer formats clip at full scale.
bool WriteAudioFile(const std::string& path, const AudioData& audio, FileFormat format,
                    std::string& error);
