#include "host/render/AudioFile.h"

#include <sndfile.h>

#include <memory>

namespace
{
struct FormatName
{
  const char* name;
  FileFormat format;
  int sndfileFormat;
};

const FormatName kFormats[] = {
    {"wav-float", FileFormat::WavFloat, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
    {"wav-16", FileFormat::Wav16, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
    {"wav-24", FileFormat::Wav24, SF_FORMAT_WAV | SF_FORMAT_PCM_24},
    {"aiff-float", FileFormat::AiffFloat, SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
    {"aiff-16", FileFormat::Aiff16, SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
    {"aiff-24", FileFormat::Aiff24, SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
    {"flac-16", FileFormat::Flac16, SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
    {"flac-24", FileFormat::Flac24, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
};

struct SndfileCloser
{
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

bool IsSupportedContainer(int format)
{
  const int major = format & SF_FORMAT_TYPEMASK;
  return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_AIFF ||
         major == SF_FORMAT_FLAC;
}

const size_t kChunkFrames = 65536;

bool ReadFrames(SNDFILE* file, const SF_INFO& info, AudioData& audio)
{
  const size_t nChannels = static_cast<size_t>(info.channels);
  audio.Allocate(nChannels, static_cast<size_t>(info.frames));
  std::vector<float> interleaved(kChunkFrames * nChannels);
  size_t position = 0;
  for (;;)
  {
    const sf_count_t got =
        sf_readf_float(file, interleaved.data(), static_cast<sf_count_t>(kChunkFrames));
    if (got <= 0) break;
    const size_t n = static_cast<size_t>(got);
    if (position + n > audio.channels[0].size())
      for (auto& channel : audio.channels)
        channel.resize(position + n);
    for (size_t c = 0; c < nChannels; ++c)
    {
      float* target = audio.channels[c].data() + position;
      for (size_t i = 0; i < n; ++i)
        target[i] = interleaved[i * nChannels + c];
    }
    position += n;
  }
  for (auto& channel : audio.channels)
    channel.resize(position);
  return sf_error(file) == SF_ERR_NO_ERROR;
}

bool WriteFrames(SNDFILE* file, const AudioData& audio)
{
  const size_t nChannels = audio.channels.size();
  const size_t frames = audio.Frames();
  std::vector<float> interleaved(kChunkFrames * nChannels);
  for (size_t start = 0; start < frames; start += kChunkFrames)
  {
    const size_t n = std::min(kChunkFrames, frames - start);
    for (size_t i = 0; i < n; ++i)
      for (size_t c = 0; c < nChannels; ++c)
        interleaved[i * nChannels + c] = audio.channels[c][start + i];
    if (sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(n)) !=
        static_cast<sf_count_t>(n))
      return false;
  }
  return true;
}
} // namespace

bool ParseFileFormat(const std::string& name, FileFormat& format)
{
  for (const FormatName& entry : kFormats)
  {
    if (name == entry.name)
    {
      format = entry.format;
      return true;
    }
  }
  return false;
}

std::string FileFormatNames()
{
  std::string names;
  for (const FormatName& entry : kFormats)
    names += (names.empty() ? "" : ", ") + std::string(entry.name);
  return names;
}

bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error)
{
  SF_INFO info = {};
  SndfilePtr file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file)
  {
    error = "cannot read " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  if (!IsSupportedContainer(info.format))
  {
    error = path + " is not a WAV, AIFF or FLAC file";
    return false;
  }
  if (info.channels < 1 || info.channels > kMaxChannels)
  {
    error = path + " has " + std::to_string(info.channels) +
            " channels; tolvane renders mono and stereo files";
    return false;
  }
  if (info.samplerate < kMinSampleRate || info.samplerate > kMaxSampleRate)
  {
    error = path + " has a sample rate of " + std::to_string(info.samplerate) +
            " Hz; tolvane renders 8000 to 192000 Hz";
    return false;
  }
  audio.sampleRate = info.samplerate;
  if (!ReadFrames(file.get(), info, audio))
  {
    error = "cannot read " + path + ": " + sf_strerror(file.get());
    return false;
  }
  return true;
}

bool WriteAudioFile(const std::string& path, const AudioData& audio, FileFormat format,
                    std::string& error)
{
  SF_INFO info = {};
  info.samplerate = static_cast<int>(audio.sampleRate);
  info.channels = static_cast<int>(audio.channels.size());
  for (const FormatName& entry : kFormats)
    if (entry.format == format) info.format = entry.sndfileFormat;

  SndfilePtr file(sf_open(path.c_str(), SFM_WRITE, &info));
  if (!file)
  {
    error = "cannot write " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  if ((info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_FLOAT)
    sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
  if (!WriteFrames(file.get(), audio))
  {
    error = "cannot write " + path + ": " + sf_strerror(file.get());
    return false;
  }
  if (sf_close(file.release()) != 0)
  {
    error = "cannot write " + path;
    return false;
  }
  return true;
}
