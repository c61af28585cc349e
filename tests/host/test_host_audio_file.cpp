// Audio files through libsndfile: every output format round-trips, channels
// stay apart across the reading chunks, integer formats clip at full scale.

#include "HostTestSupport.h"

#include "host/render/AudioFile.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// Two channels that tell apart which channel and frame a sample came from.
AudioData Ramps(size_t frames, double rate = 48000.0)
{
  AudioData audio;
  audio.sampleRate = rate;
  audio.Allocate(2, frames);
  for (size_t i = 0; i < frames; ++i)
  {
    audio.channels[0][i] = static_cast<float>(std::sin(0.001 * double(i)) * 0.5);
    audio.channels[1][i] = -static_cast<float>((i % 1000) / 1000.0 * 0.75);
  }
  return audio;
}

float LargestError(const AudioData& a, const AudioData& b)
{
  float largest = 0.0f;
  for (size_t c = 0; c < a.channels.size(); ++c)
    for (size_t i = 0; i < a.Frames(); ++i)
      largest = std::max(largest, std::fabs(a.channels[c][i] - b.channels[c][i]));
  return largest;
}
} // namespace

TEST(HostAudioFile, EveryFormatRoundTrips)
{
  TempDir dir;
  // More frames than one reading chunk, so that chunk seams are crossed.
  const AudioData written = Ramps(70000);
  struct Case
  {
    const char* name;
    const char* sample;
    float tolerance;
  } cases[] = {{"a.wav", "float", 0.0f}, {"b.aiff", "float", 0.0f}, {"c.wav", "16", 4e-5f},
               {"d.aif", "16", 4e-5f},   {"e.flac", "16", 4e-5f},   {"f.wav", "24", 2e-7f},
               {"g.aiff", "24", 2e-7f},  {"h.flac", "24", 2e-7f}};
  for (const Case& c : cases)
  {
    SampleFormat sample;
    ASSERT_TRUE(ParseSampleFormat(c.sample, sample)) << c.sample;
    FileFormat format;
    std::string error;
    const std::string path = dir.Path(c.name);
    ASSERT_TRUE(OutputFormatFor(path, &sample, format, error)) << error;
    ASSERT_TRUE(WriteAudioFile(path, written, format, error)) << error;
    AudioData read;
    ASSERT_TRUE(ReadAudioFile(path, read, error)) << error;
    EXPECT_EQ(read.sampleRate, 48000.0);
    ASSERT_EQ(read.channels.size(), 2u);
    ASSERT_EQ(read.Frames(), written.Frames()) << c.name;
    EXPECT_LE(LargestError(read, written), c.tolerance) << c.name;
  }
  SampleFormat sample;
  EXPECT_FALSE(ParseSampleFormat("wav-16", sample));
  EXPECT_EQ(SampleFormatNames(), "float, 16, 24");
}

TEST(HostAudioFile, TheContainerComesFromTheExtension)
{
  FileFormat format;
  std::string error;
  ASSERT_TRUE(OutputFormatFor("Take 1.FLAC", nullptr, format, error)) << error;
  EXPECT_EQ(format.container, Container::Flac);
  EXPECT_EQ(format.sample, SampleFormat::Int24); // FLAC's default
  ASSERT_TRUE(OutputFormatFor("dir.v2/out.aif", nullptr, format, error)) << error;
  EXPECT_EQ(format.container, Container::Aiff);
  EXPECT_EQ(format.sample, SampleFormat::Float);
  for (const char* bad : {"out.mp3", "out", "dir.wav/out", "out.wav.txt"})
  {
    EXPECT_FALSE(OutputFormatFor(bad, nullptr, format, error)) << bad;
    EXPECT_NE(error.find(".wav, .aif, .aiff or .flac"), std::string::npos) << error;
  }
  const SampleFormat floats = SampleFormat::Float;
  EXPECT_FALSE(OutputFormatFor("out.flac", &floats, format, error));
  EXPECT_EQ(error, "FLAC files cannot hold float samples (out.flac)");
}

TEST(HostAudioFile, DamagedFilesAreRefused)
{
  TempDir dir;
  ASSERT_TRUE(WriteSound(dir.Path("whole.wav"), MakeClick(44100, 2, 1.0, 0.5),
                         SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  const std::string whole = ReadText(dir.Path("whole.wav"));
  std::string error;
  AudioData audio;
  // Cut to its header and a few frames, and to 100 bytes.
  for (const size_t size : {size_t(100), size_t(44 + 4 * 1000)})
  {
    WriteText(dir.Path("cut.wav"), whole.substr(0, size));
    EXPECT_FALSE(ReadAudioFile(dir.Path("cut.wav"), audio, error)) << size;
    EXPECT_NE(error.find(dir.Path("cut.wav")), std::string::npos) << error;
  }
}

TEST(HostAudioFile, IntegerFormatsClipInsteadOfWrapping)
{
  TempDir dir;
  AudioData loud;
  loud.sampleRate = 44100.0;
  loud.channels = {{1.5f, -1.5f, 0.25f}};
  std::string error;
  ASSERT_TRUE(
      WriteAudioFile(dir.Path("loud.wav"), loud, {Container::Wav, SampleFormat::Int16}, error))
      << error;
  AudioData read;
  ASSERT_TRUE(ReadAudioFile(dir.Path("loud.wav"), read, error)) << error;
  ASSERT_EQ(read.Frames(), 3u);
  EXPECT_NEAR(read.channels[0][0], 1.0f, 1e-4f);
  EXPECT_NEAR(read.channels[0][1], -1.0f, 1e-4f);
  EXPECT_NEAR(read.channels[0][2], 0.25f, 1e-4f);

  // Float files keep what is beyond full scale.
  ASSERT_TRUE(WriteAudioFile(dir.Path("loud-float.wav"), loud, FileFormat(), error));
  ASSERT_TRUE(ReadAudioFile(dir.Path("loud-float.wav"), read, error));
  EXPECT_EQ(read.channels[0][0], 1.5f);
}

TEST(HostAudioFile, RefusalsNameTheFile)
{
  TempDir dir;
  std::string error;
  AudioData audio;
  EXPECT_FALSE(ReadAudioFile(dir.Path("none.wav"), audio, error));
  EXPECT_EQ(error.find("cannot read " + dir.Path("none.wav")), 0u) << error;

  ASSERT_TRUE(WriteSound(dir.Path("hot.wav"), MakeClick(384000, 1, 0.01, 0.0),
                         SF_FORMAT_WAV | SF_FORMAT_FLOAT));
  EXPECT_FALSE(ReadAudioFile(dir.Path("hot.wav"), audio, error));
  EXPECT_NE(error.find("sample rate of 384000 Hz; tolvane renders 8000 to 192000 Hz"),
            std::string::npos);

  EXPECT_FALSE(WriteAudioFile(dir.Path("no/such/dir.wav"), Ramps(10), FileFormat(), error));
  EXPECT_EQ(error.find("cannot write"), 0u) << error;
}
