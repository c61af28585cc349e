// The pieces of a streaming render: input read ahead and output written
// behind on threads of their own, levels and envelopes taken a chunk at a
// time, and the plot's detail read back after the render.

#include "HostTestSupport.h"

#include "host/plot/Envelope.h"
#include "host/render/OutputMeter.h"
#include "host/render/PlotDetail.h"
#include "host/render/RenderJob.h"
#include "host/render/ReadAhead.h"
#include "host/render/WriteBehind.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <limits>

namespace
{
// Two channels of distinct, non-repeating values.
AudioData Ramp(size_t frames, double rate = 8000.0)
{
  AudioData audio;
  audio.sampleRate = rate;
  audio.Allocate(2, frames);
  for (size_t i = 0; i < frames; ++i)
  {
    audio.channels[0][i] = static_cast<float>(std::sin(0.01 * i)) * 0.5f;
    audio.channels[1][i] = static_cast<float>(i % 97) / 97.0f - 0.5f;
  }
  return audio;
}
} // namespace

TEST(HostStreaming, ReadAheadHandsOverTheWholeInputInOrder)
{
  const AudioData audio = Ramp(10007);
  MemorySource source(audio);
  std::vector<std::vector<float>> seen(2), taken(2);
  size_t observedFrames = 0;
  ReadAhead reader;
  reader.Start(source, 1000, 3,
               [&](const AudioChunk& chunk)
               {
                 EXPECT_EQ(chunk.first, observedFrames);
                 observedFrames += chunk.frames;
                 for (size_t c = 0; c < 2; ++c)
                   seen[c].insert(seen[c].end(), chunk.channels[c],
                                  chunk.channels[c] + chunk.frames);
               });
  while (ChunkPtr chunk = reader.Next())
  {
    for (size_t c = 0; c < 2; ++c)
      taken[c].insert(taken[c].end(), chunk->channels[c], chunk->channels[c] + chunk->frames);
    reader.Recycle(std::move(chunk));
  }
  reader.Stop();
  EXPECT_EQ(reader.FramesRead(), audio.Frames());
  EXPECT_EQ(taken, audio.channels);
  EXPECT_EQ(seen, audio.channels);

  // Stopped early, with chunks neither taken nor given back: no hang, no more reading.
  MemorySource again(audio);
  ReadAhead early;
  early.Start(again, 100, 2, nullptr);
  ChunkPtr first = early.Next();
  ASSERT_TRUE(first);
  early.Stop();
  EXPECT_LT(early.FramesRead(), audio.Frames());
}

TEST(HostStreaming, WriteBehindWritesReservedAndCopiedFramesInOrder)
{
  TempDir dir;
  const AudioData audio = Ramp(5000);
  AudioWriter writer;
  std::string error;
  ASSERT_TRUE(writer.Open(dir.Path("out.wav"), FileFormat(), 8000.0, 2, error)) << error;
  size_t observed = 0;
  bool inOrder = true;
  WriteBehind behind;
  behind.Start(writer, 2, 512, 2,
               [&](const AudioChunk& chunk)
               {
                 inOrder = inOrder && chunk.first == observed;
                 observed += chunk.frames;
               });
  // Slices written in place, then odd-sized copies that straddle chunks.
  size_t at = 0;
  for (; at + 256 <= 3072; at += 256)
  {
    float* const* room = behind.Reserve(256);
    for (size_t c = 0; c < 2; ++c)
      std::copy_n(audio.channels[c].begin() + long(at), 256, room[c]);
    behind.Commit(256);
  }
  for (const size_t n : {1u, 700u, 229u})
  {
    behind.Append(audio.channels, at, n);
    at += n;
  }
  behind.Append(audio.channels, at, audio.Frames() - at);
  ASSERT_TRUE(behind.Finish(error)) << error;
  ASSERT_TRUE(writer.Close(error)) << error;
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(observed, audio.Frames());
  AudioData back;
  ASSERT_TRUE(ReadAudioFile(dir.Path("out.wav"), back, error)) << error;
  EXPECT_EQ(back.channels, audio.channels);
}

TEST(HostStreaming, LevelsAndEnvelopesDoNotDependOnHowTheSignalIsCut)
{
  AudioData audio = Ramp(4000);
  audio.channels[1][1234] = 1.5f;      // over full scale
  audio.channels[0][3000] = 0.002f;    // the last frame above -60 dBFS ...
  for (size_t i = 3001; i < 4000; ++i) // ... then only -80 dBFS ...
    audio.channels[0][i] = audio.channels[1][i] = 1e-4f;
  audio.channels[1][3999] = 0.0f; // ... to the end
  OutputMeter whole, cut;
  whole.Reset(2, 8000.0, true);
  cut.Reset(2, 8000.0, true);
  whole.Add(audio.channels, 0, audio.Frames());
  Envelope wholeEnvelope(64), cutEnvelope(64);
  wholeEnvelope.Add(audio.channels[1].data(), audio.Frames());
  for (size_t at = 0, n = 1; at < audio.Frames(); at += n, n = n * 3 % 1000 + 1)
  {
    n = std::min(n, audio.Frames() - at);
    cut.Add(audio.channels, at, n);
    cutEnvelope.Add(audio.channels[1].data() + at, n);
  }
  for (const OutputMeter* meter : {&whole, &cut})
  {
    EXPECT_DOUBLE_EQ(meter->Peak(), 1.5);
    EXPECT_EQ(meter->OverFullScale(), 1u);
    EXPECT_EQ(meter->Clipped(), 1u);
    EXPECT_EQ(meter->LastAboveFloor(), 3000);
    EXPECT_EQ(meter->LastAudible(), 3999);
  }
  EXPECT_EQ(cut.EndLevel(), whole.EndLevel());
  EXPECT_DOUBLE_EQ(whole.EndLevel(), 0.5) << "the loudest of the last quarter second";
  EXPECT_NEAR(cut.Levels()[0].rms, whole.Levels()[0].rms, 1e-12);
  EXPECT_NEAR(cut.Levels()[1].rms, whole.Levels()[1].rms, 1e-12);

  ASSERT_EQ(cutEnvelope.FramesPerBin(), wholeEnvelope.FramesPerBin());
  for (size_t first = 0; first < audio.Frames(); first += 250)
  {
    float lo1, hi1, lo2, hi2;
    ASSERT_TRUE(wholeEnvelope.Range(first, first + 250, lo1, hi1));
    ASSERT_TRUE(cutEnvelope.Range(first, first + 250, lo2, hi2));
    EXPECT_EQ(lo1, lo2);
    EXPECT_EQ(hi1, hi2);
    const auto exact = std::minmax_element(audio.channels[1].begin() + long(first),
                                           audio.channels[1].begin() + long(first + 250));
    EXPECT_LE(lo1, *exact.first);
    EXPECT_GE(hi1, *exact.second);
  }
}

// Peaks are the largest magnitude of each channel whatever the sign, however
// small or large, with NaN and infinities taken as silence.
TEST(HostStreaming, MeterPeaksAreTheLargestMagnitudes)
{
  const float tiny = std::numeric_limits<float>::denorm_min();
  const float big = std::numeric_limits<float>::max();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<std::vector<float>> block = {
      {0.25f, -0.75f, 0.5f, -0.0f, tiny, 0.7f, nan, -inf, 0.1f},
      {-0.0f, tiny, -tiny, 0.0f, tiny, -0.0f, 0.0f, 0.0f, 0.0f},
      {inf, 0.0f, -big, 1.0f, nan, -1.0f, 0.0f, 0.0f, 2.0f},
      {-0.0f, -0.0f, -0.0f, -0.0f, -0.0f, -0.0f, -0.0f, -0.0f, -0.0f}};
  // Long enough for whole vectors, with the loudest sample last.
  std::vector<float> ramp(1000);
  for (size_t i = 0; i < ramp.size(); ++i)
    ramp[i] = (i % 2 ? -1.0f : 1.0f) * float(i) / 1024.0f;
  block.push_back(ramp);
  for (auto& channel : block)
    channel.resize(ramp.size(), 0.0f);

  OutputMeter meter;
  meter.Reset(block.size(), 8000.0, false);
  meter.Add(block, 0, ramp.size());
  const std::vector<ChannelStats> levels = meter.Levels();
  ASSERT_EQ(levels.size(), block.size());
  EXPECT_EQ(levels[0].peak, 0.75);
  EXPECT_EQ(levels[1].peak, double(tiny));
  EXPECT_EQ(levels[2].peak, double(big));
  EXPECT_EQ(levels[3].peak, 0.0);
  EXPECT_EQ(levels[4].peak, 999.0 / 1024.0);
  EXPECT_EQ(meter.Peak(), double(big));
  EXPECT_EQ(meter.NonFinite(), 4u);
}

TEST(HostStreaming, PlotDetailReadBackMatchesTheWholeSignals)
{
  TempDir dir;
  AudioData input = Ramp(20000);
  for (auto& channel : input.channels)
    for (float& x : channel)
      x *= 0.1f;
  input.channels[1][7000] = -0.9f; // the first sample to reach a quarter of the peak
  input.channels[0][15000] = 0.95f;
  AudioData output = Ramp(26000);
  std::string error;
  ASSERT_TRUE(WriteAudioFile(dir.Path("out.wav"), output, FileFormat(), error)) << error;

  const std::vector<double> echoes = {0.375, 0.625};
  const PlotData whole = PlotDataFromAudio(input, output, 7000, echoes, "T");

  MemorySource source(input);
  PlotData streamed;
  streamed.sampleRate = input.sampleRate;
  streamed.echoSeconds = echoes;
  streamed.input.resize(2);
  streamed.output.resize(2);
  ASSERT_TRUE(FindFirstHit(source, 0.95 * 0.25, streamed.hitFrame, error)) << error;
  EXPECT_EQ(streamed.hitFrame, 7000);
  PrepareDetail(streamed);
  ASSERT_TRUE(ReadInputDetail(source, streamed.input, error)) << error;
  ASSERT_TRUE(ReadOutputDetail(dir.Path("out.wav"), streamed.output, error)) << error;
  for (size_t c = 0; c < 2; ++c)
  {
    EXPECT_EQ(streamed.input[c].detail.first, whole.input[c].detail.first);
    EXPECT_EQ(streamed.input[c].detail.samples, whole.input[c].detail.samples);
    EXPECT_EQ(streamed.output[c].detail.samples, whole.output[c].detail.samples);
  }
  EXPECT_FALSE(whole.input[0].detail.samples.empty());

  // A silent input has no hit.
  AudioData quiet;
  quiet.Allocate(1, 100);
  MemorySource silence(quiet);
  long hit = 0;
  ASSERT_TRUE(FindFirstHit(silence, 0.1, hit, error));
  EXPECT_EQ(hit, -1);
}

TEST(HostStreaming, AWholeRenderRunsItsThreadsToTheEnd)
{
  // In this process, so that the thread sanitizer sees the echo probe, the
  // reading and the writing beside the render.
  TempDir dir;
  RenderOptions options;
  options.demo = true;
  options.outputPath = dir.Path("demo.wav");
  options.plotPath = dir.Path("demo.png");
  options.blockFrames = 100;
  ASSERT_EQ(RunRender(options), 0);
  Sound out;
  ASSERT_TRUE(ReadSound(dir.Path("demo.wav"), out));
  EXPECT_GT(out.Frames(), size_t(8 * 44100)) << "the demo and its tail";
  EXPECT_TRUE(FileExists(dir.Path("demo.png")));
}

TEST(HostStreaming, AFailedWriteIsReportedAndStopsTheRest)
{
  // A file size limit of 64 kB: the header fits, the samples do not.
  TempDir dir;
  rlimit saved = {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

  AudioWriter writer;
  std::string error;
  const bool opened = writer.Open(dir.Path("out.wav"), FileFormat(), 8000.0, 2, error);
  const AudioData audio = Ramp(100000);
  WriteBehind behind;
  size_t observed = 0;
  bool finished = true;
  if (opened)
  {
    behind.Start(writer, 2, 1000, 2, [&](const AudioChunk& chunk) { observed += chunk.frames; });
    for (size_t at = 0; at < audio.Frames() && !behind.Failed(); at += 1000)
      behind.Append(audio.channels, at, 1000);
    finished = behind.Finish(error);
    std::string ignored;
    writer.Close(ignored);
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  ASSERT_TRUE(opened) << error;
  EXPECT_FALSE(finished);
  EXPECT_NE(error.find("cannot write " + dir.Path("out.wav")), std::string::npos) << error;
  EXPECT_LT(observed, audio.Frames() / 2) << "nothing more is written after the failure";
}
