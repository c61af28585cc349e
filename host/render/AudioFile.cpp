#include "host/render/AudioFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace
{
struct ContainerEntry
{
  const char* extension;
  Container container;
};

const ContainerEntry kContainers[] = {{".wav", Container::Wav},
                                      {".aif", Container::Aiff},
                                      {".aiff", Container::Aiff},
                                      {".flac", Container::Flac}};

struct SampleEntry
{
  const char* name;
  SampleFormat format;
};

const SampleEntry kSampleFormats[] = {
    {"float", SampleFormat::Float}, {"16", SampleFormat::Int16}, {"24", SampleFormat::Int24}};

int SndfileFormat(FileFormat format)
{
  const int major = format.container == Container::Wav    ? SF_FORMAT_WAV
                    : format.container == Container::Aiff ? SF_FORMAT_AIFF
                                                          : SF_FORMAT_FLAC;
  const int minor = format.sample == SampleFormat::Float   ? SF_FORMAT_FLOAT
                    : format.sample == SampleFormat::Int16 ? SF_FORMAT_PCM_16
                                                           : SF_FORMAT_PCM_24;
  return major | minor;
}

bool IsSupportedContainer(int format)
{
  const int major = format & SF_FORMAT_TYPEMASK;
  return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_AIFF ||
         major == SF_FORMAT_FLAC;
}

std::string Lower(std::string text)
{
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

const size_t kChunkFrames = 65536;

// Whether the header announces more sample data than the file holds: libsndfile
// then reads what is there and notes "data : <announced> (should be <there>)".
// Sizes of 0 and 0xFFFFFFFF are those of streams written without knowing
// their length, not of damage.
bool DataCut(SNDFILE* file)
{
  char log[8192] = "";
  sf_command(file, SFC_GET_LOG_INFO, log, sizeof(log));
  for (const char* line = log; line && *line;)
  {
    unsigned long announced = 0, there = 0;
    char chunk[8] = "";
    if (std::sscanf(line, "%4s : %lu (should be %lu)", chunk, &announced, &there) == 3 &&
        (std::strcmp(chunk, "data") == 0 || std::strcmp(chunk, "SSND") == 0) && announced > there &&
        announced != 0xFFFFFFFFul)
      return true;
    line = std::strchr(line, '\n');
    if (line) ++line;
  }
  return false;
}
} // namespace

bool ContainerForPath(const std::string& path, Container& container, std::string& error)
{
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
  {
    const std::string extension = Lower(path.substr(dot));
    for (const ContainerEntry& entry : kContainers)
    {
      if (extension == entry.extension)
      {
        container = entry.container;
        return true;
      }
    }
  }
  error = path + ": the output's extension chooses its container: .wav, .aif, .aiff or .flac";
  return false;
}

bool ParseSampleFormat(const std::string& name, SampleFormat& format)
{
  for (const SampleEntry& entry : kSampleFormats)
  {
    if (name == entry.name)
    {
      format = entry.format;
      return true;
    }
  }
  return false;
}

std::string SampleFormatNames()
{
  std::string names;
  for (const SampleEntry& entry : kSampleFormats)
    names += (names.empty() ? "" : ", ") + std::string(entry.name);
  return names;
}

SampleFormat DefaultSampleFormat(Container container)
{
  return container == Container::Flac ? SampleFormat::Int24 : SampleFormat::Float;
}

const char* ContainerName(Container container)
{
  return container == Container::Wav ? "WAV" : container == Container::Aiff ? "AIFF" : "FLAC";
}

const char* SampleFormatName(SampleFormat format)
{
  return format == SampleFormat::Float   ? "float"
         : format == SampleFormat::Int16 ? "16-bit"
                                         : "24-bit";
}

bool OutputFormatFor(const std::string& path, const SampleFormat* chosen, FileFormat& format,
                     std::string& error)
{
  if (!ContainerForPath(path, format.container, error)) return false;
  format.sample = chosen ? *chosen : DefaultSampleFormat(format.container);
  SF_INFO info = {};
  info.format = SndfileFormat(format);
  info.channels = 1;
  info.samplerate = 44100;
  if (sf_format_check(&info)) return true;
  error = std::string(ContainerName(format.container)) + " files cannot hold " +
          SampleFormatName(format.sample) + " samples (" + path + ")";
  return false;
}

bool AudioReader::Open(const std::string& path, std::string& error)
{
  mPath = path;
  mInfo = {};
  mFile.reset(sf_open(path.c_str(), SFM_READ, &mInfo));
  if (!mFile)
  {
    error = "cannot read " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  if (!IsSupportedContainer(mInfo.format))
  {
    error = path + " is not a WAV, AIFF or FLAC file";
    return false;
  }
  if (mInfo.channels < 1 || mInfo.channels > kMaxChannels)
  {
    error = path + " has " + std::to_string(mInfo.channels) +
            " channels; tolvane renders mono and stereo files";
    return false;
  }
  if (mInfo.samplerate < kMinSampleRate || mInfo.samplerate > kMaxSampleRate)
  {
    error = path + " has a sample rate of " + std::to_string(mInfo.samplerate) +
            " Hz; tolvane renders 8000 to 192000 Hz";
    return false;
  }
  if (mInfo.frames <= 0 || DataCut(mFile.get()))
  {
    error = path + " is damaged: it holds " +
            (mInfo.frames > 0 ? "less audio than its header announces" : "no audio");
    return false;
  }
  mPosition = 0;
  mFailed = false;
  return true;
}

namespace
{
// Frames of interleaved samples to and from one array per channel; mono and
// stereo, the only layouts read and written, in one pass each.
void Deinterleave(const float* in, size_t nChannels, size_t n, float* const* out)
{
  if (nChannels == 2)
  {
    float* left = out[0];
    float* right = out[1];
    for (size_t i = 0; i < n; ++i)
    {
      left[i] = in[2 * i];
      right[i] = in[2 * i + 1];
    }
    return;
  }
  for (size_t c = 0; c < nChannels; ++c)
    for (size_t i = 0; i < n; ++i)
      out[c][i] = in[i * nChannels + c];
}

// Frames [first, first + n) of each channel.
void Interleave(const float* const* in, size_t first, size_t nChannels, size_t n, float* out)
{
  if (nChannels == 2)
  {
    const float* left = in[0] + first;
    const float* right = in[1] + first;
    for (size_t i = 0; i < n; ++i)
    {
      out[2 * i] = left[i];
      out[2 * i + 1] = right[i];
    }
    return;
  }
  for (size_t i = 0; i < n; ++i)
    for (size_t c = 0; c < nChannels; ++c)
      out[i * nChannels + c] = in[c][first + i];
}
} // namespace

bool AudioReader::HoldsFloats() const
{
  const int subtype = mInfo.format & SF_FORMAT_SUBMASK;
  return subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
}

size_t AudioReader::Read(float* const* channels, size_t maxFrames)
{
  if (!mFile || mFailed) return 0;
  const size_t nChannels = static_cast<size_t>(mInfo.channels);
  const size_t wanted = std::min(maxFrames, Frames() - std::min(Frames(), mPosition));
  if (wanted == 0) return 0;
  mInterleaved.resize(wanted * nChannels);
  const sf_count_t got =
      sf_readf_float(mFile.get(), mInterleaved.data(), static_cast<sf_count_t>(wanted));
  const size_t n = got > 0 ? static_cast<size_t>(got) : 0;
  Deinterleave(mInterleaved.data(), nChannels, n, channels);
  mPosition += n;
  // The header promised more than the file holds, or the decoder failed.
  if (n < wanted || sf_error(mFile.get()) != SF_ERR_NO_ERROR) mFailed = true;
  return n;
}

bool AudioReader::Rewind()
{
  return Seek(0);
}

bool AudioReader::Seek(size_t frame)
{
  if (!mFile || frame > Frames() ||
      sf_seek(mFile.get(), static_cast<sf_count_t>(frame), SEEK_SET) < 0)
    return false;
  mPosition = frame;
  mFailed = false;
  return true;
}

bool AudioWriter::Open(const std::string& path, FileFormat format, double sampleRate, int channels,
                       std::string& error)
{
  mPath = path;
  mChannels = channels;
  SF_INFO info = {};
  info.samplerate = static_cast<int>(sampleRate);
  info.channels = channels;
  info.format = SndfileFormat(format);
  mFile.reset(sf_open(path.c_str(), SFM_WRITE, &info));
  if (!mFile)
  {
    error = "cannot write " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  if (format.sample != SampleFormat::Float)
    sf_command(mFile.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
  return true;
}

bool AudioWriter::Write(const float* const* channels, size_t frames, std::string& error)
{
  const size_t nChannels = static_cast<size_t>(mChannels);
  for (size_t start = 0; start < frames; start += kChunkFrames)
  {
    const size_t n = std::min(kChunkFrames, frames - start);
    mInterleaved.resize(n * nChannels);
    Interleave(channels, start, nChannels, n, mInterleaved.data());
    if (sf_writef_float(mFile.get(), mInterleaved.data(), static_cast<sf_count_t>(n)) !=
        static_cast<sf_count_t>(n))
    {
      error = "cannot write " + mPath + ": " + sf_strerror(mFile.get());
      return false;
    }
  }
  return true;
}

bool AudioWriter::Close(std::string& error)
{
  if (!mFile) return true;
  if (sf_close(mFile.release()) != 0)
  {
    error = "cannot write " + mPath;
    return false;
  }
  return true;
}

bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error)
{
  AudioReader reader;
  if (!reader.Open(path, error)) return false;
  audio.sampleRate = reader.SampleRate();
  audio.Allocate(static_cast<size_t>(reader.Channels()), reader.Frames());
  std::vector<std::vector<float>> block(audio.channels.size(), std::vector<float>(kChunkFrames));
  size_t position = 0;
  while (const size_t n = reader.Read(block, kChunkFrames))
  {
    for (size_t c = 0; c < block.size(); ++c)
      std::copy_n(block[c].begin(), n, audio.channels[c].begin() + static_cast<long>(position));
    position += n;
  }
  if (reader.ReadFailed() || position != reader.Frames())
  {
    error = path + " is damaged: it reads short (" + std::to_string(position) + " of " +
            std::to_string(reader.Frames()) + " frames)";
    return false;
  }
  return true;
}

bool WriteAudioFile(const std::string& path, const AudioData& audio, FileFormat format,
                    std::string& error)
{
  AudioWriter writer;
  return writer.Open(path, format, audio.sampleRate, static_cast<int>(audio.channels.size()),
                     error) &&
         writer.Write(ChannelPointers(audio.channels).data(), audio.Frames(), error) &&
         writer.Close(error);
}
