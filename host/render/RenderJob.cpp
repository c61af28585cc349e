#include "host/render/RenderJob.h"

#include "host/commands/UnitState.h"
#include "host/kit/AUProperty.h"
#include "host/kit/AtomicFile.h"
#include "host/kit/Component.h"
#include "host/kit/FactoryPresets.h"
#include "host/kit/Parameters.h"
#include "host/kit/StatusText.h"
#include "host/plot/Plot.h"
#include "host/plot/PlotFont.h"
#include "host/render/DemoSignal.h"
#include "host/render/EchoProbe.h"
#include "host/render/InputSource.h"
#include "host/render/OutputMeter.h"
#include "host/render/PhaseTimes.h"
#include "host/render/PlotDetail.h"
#include "host/render/ReadAhead.h"
#include "host/render/WriteBehind.h"
#include "host/render/Progress.h"
#include "host/render/SignalStats.h"
#include "host/render/Summary.h"

#include <malloc.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>

namespace
{
using Clock = std::chrono::steady_clock;
using Block = std::vector<std::vector<float>>;

// Echoes count as gone after this long below -90 dBFS, in multiples of the longest first echo.
const double kQuietEchoPeriods = 2.0;
const double kMinQuietSeconds = 0.1;
// The automatic tail grows by this much at a time.
const double kTailStepSeconds = 0.25;
// The plot's whole view ends this long after the output's last sample above -60 dBFS.
const double kPlotAfterAudible = 0.25;
// The first hit is the first sample to reach this share of the input's loudest.
const double kHitFraction = 0.25;
// Frames per chunk between the render and its reading and writing threads
// (rounded to whole slices), and the chunks in flight each way: on a busy
// machine a long lead keeps the render from waiting for the other threads.
const size_t kChunkFrames = 16384;
const size_t kChunksInFlight = 24;

std::string FileName(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether two paths name the same existing file (links and other spellings included).
bool SameFile(const std::string& a, const std::string& b)
{
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return a == b;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

class RenderJob
{
public:
  explicit RenderJob(const RenderOptions& options)
      : mOptions(options), mStart(Clock::now()), mTimes(mStart)
  {
  }
  ~RenderJob()
  {
    if (mPlotText.joinable()) mPlotText.join();
  }
  RenderJob(const RenderJob&) = delete;
  RenderJob& operator=(const RenderJob&) = delete;

  bool Run(std::string& error)
  {
    if (!CheckFiles(error) || !OpenInput(error)) return false;
    // The input is read ahead while the component loads and opens, and the
    // plot's text faces are found beside the render.
    PreparePlot();
    StartReading();
    if (!mOptions.plotPath.empty()) mPlotText = std::thread(PreparePlotText);
    mTimes.Mark("open input");
    if (!FindAndLoadComponent(mOptions.componentPath, mComponent, error)) return false;
    mTimes.Mark("load component");
    if (!OpenUnit(mComponent, mUnit, error)) return false;
    UnitRenderer renderer(mUnit.Get(), Setup());
    if (!renderer.Configure(error) || !SetUpState(mUnit.Get(), error) || !SetUpBypass(error) ||
        !renderer.Start(error))
      return false;
    WarnAboutSettings();
    // As hosts render: straight through the unit's render procedure where it offers one.
    renderer.UseFastDispatch();
    mTimes.Mark("open unit");
    // The echo probe measures on an instance of its own beside the render.
    StartEchoProbe();

    PendingFile audioFile(mOptions.outputPath);
    if (!audioFile.Create(error) ||
        !mWriter.Open(audioFile.TempPath(), mFormat, mSource->SampleRate(),
                      static_cast<int>(Setup().outputChannels), error))
      return false;
    mTimes.Mark("open output");
    if (!RenderStream(renderer, error)) return false;
    if (!mWriter.Close(error) || !WaitForEchoes(error)) return false;
    mUnit.Close();
    mTimes.Mark("close output and unit");
    const double seconds = std::chrono::duration<double>(Clock::now() - mStart).count();

    PendingFile plotFile(mOptions.plotPath);
    if (!mOptions.plotPath.empty() && !WritePlotFile(plotFile, audioFile.TempPath(), error))
      return false;
    mTimes.Mark("plot");
    if (!audioFile.Commit(error)) return false;
    if (!mOptions.plotPath.empty() && !plotFile.Commit(error)) return false;
    PrintSummary(seconds);
    mTimes.Mark("commit and summary");
    if (mOptions.timings) std::fputs(mTimes.Format().c_str(), stderr);
    return true;
  }

private:
  bool IsDemo() const { return mOptions.demo; }
  std::string InputName() const { return IsDemo() ? "the demo" : mOptions.inputPath; }

  // The output's container comes from its name; nothing is ever written over the input.
  bool CheckFiles(std::string& error)
  {
    const SampleFormat* chosen = mOptions.formatChosen ? &mOptions.sampleFormat : nullptr;
    if (!OutputFormatFor(mOptions.outputPath, chosen, mFormat, error)) return false;
    const auto refuse = [&error](const std::string& message)
    {
      error = message;
      return false;
    };
    if (!IsDemo() && SameFile(mOptions.inputPath, mOptions.outputPath))
      return refuse(mOptions.outputPath +
                    " is the input file: tolvane never writes over its input");
    if (!mOptions.plotPath.empty())
    {
      if (!IsDemo() && SameFile(mOptions.inputPath, mOptions.plotPath))
        return refuse(mOptions.plotPath +
                      " is the input file: tolvane never writes over its input");
      if (SameFile(mOptions.outputPath, mOptions.plotPath))
        return refuse("the output and the plot cannot be the same file (" + mOptions.plotPath +
                      ")");
    }
    return true;
  }

  bool OpenInput(std::string& error)
  {
    if (IsDemo())
    {
      mSource = std::make_unique<MemorySource>(MakeDemoSignal());
    }
    else
    {
      auto file = std::make_unique<FileSource>();
      if (!file->Open(mOptions.inputPath, error)) return false;
      mSource = std::move(file);
    }
    if (mOptions.mono && mSource->Channels() != 1)
    {
      error = "--mono renders a mono input; " + InputName() + " is stereo";
      return false;
    }
    return true;
  }

  // A mono input plays into both inputs of the stereo configuration unless --mono.
  UInt32 UnitChannels() const
  {
    return mSource->Channels() == 1 && !mOptions.mono ? 2u
                                                      : static_cast<UInt32>(mSource->Channels());
  }

  StreamSetup Setup() const
  {
    StreamSetup setup;
    setup.sampleRate = mSource->SampleRate();
    setup.inputChannels = setup.outputChannels = UnitChannels();
    setup.maxFrames = mOptions.blockFrames;
    setup.tempo = mOptions.tempo;
    return setup;
  }

  // The demo plays through the first factory preset unless the user chose a state.
  bool SetUpState(AudioUnit unit, std::string& error) const
  {
    const StateOptions& state = mOptions.state;
    if (IsDemo() && state.presetName.empty() && state.stateFile.empty())
    {
      std::vector<FactoryPreset> presets;
      if (!ReadFactoryPresets(unit, presets, error)) return false;
      if (!presets.empty() && SelectPreset(unit, presets[0]) != noErr)
      {
        error = "the component refuses its factory preset '" + presets[0].name + "'";
        return false;
      }
    }
    return ApplyStateOptions(unit, state, error);
  }

  // A value set for the engine that is not selected changes nothing audible.
  void WarnAboutSettings() const
  {
    for (const std::string& warning :
         UnselectedEngineWarnings(mUnit.Get(), mOptions.state.settings))
      std::fprintf(stderr, "tolvane: warning: %s\n", warning.c_str());
  }

  bool SetUpBypass(std::string& error)
  {
    if (!mOptions.bypass) return true;
    const ComponentResult status =
        SetGlobalProperty(mUnit.Get(), kAudioUnitProperty_BypassEffect, UInt32(1));
    if (status != noErr) error = "the component refuses bypass: status " + StatusText(status);
    return status == noErr;
  }

  // A bypassed effect has no echoes to look for.
  void StartEchoProbe()
  {
    mEchoes.assign(UnitChannels(), -1.0);
    mEchoesKnown = mOptions.bypass;
    if (!mOptions.bypass)
      mProbe.Start(mComponent, Setup(),
                   [this](AudioUnit unit, std::string& stateError)
                   { return SetUpState(unit, stateError); });
  }

  bool WaitForEchoes(std::string& error)
  {
    if (mEchoesKnown) return true;
    {
      ScopedTimer timer(mProbeWaitSeconds);
      if (!mProbe.Wait(mEchoes, error)) return false;
    }
    mEchoesKnown = true;
    mTimes.Add("echo probe (beside)", mProbe.Seconds());
    return true;
  }

  double LongestEcho() const
  {
    return std::max(0.0, *std::max_element(mEchoes.begin(), mEchoes.end()));
  }

  // The whole envelopes fill as the render goes; the detail around the first
  // hit is read back at the end.
  void PreparePlot()
  {
    if (mOptions.plotPath.empty()) return;
    mPlot.sampleRate = mSource->SampleRate();
    mPlot.input.resize(UnitChannels());
    mPlot.output.resize(UnitChannels());
  }

  // ---- Rendering, block by block -------------------------------------------

  // Chunks of whole slices, so that no slice spans two.
  size_t ChunkFrames() const
  {
    return mOptions.blockFrames * std::max<size_t>(1, kChunkFrames / mOptions.blockFrames);
  }

  void StartReading()
  {
    const bool plot = !mOptions.plotPath.empty();
    mReadAhead.Start(*mSource, ChunkFrames(), kChunksInFlight,
                     plot ? [this](const AudioChunk& chunk) { ObserveInput(chunk); }
                          : ReadAhead::Observer());
  }

  // On the reading thread: the input's envelopes and loudest sample for the plot.
  void ObserveInput(const AudioChunk& chunk)
  {
    for (size_t c = 0; c < mPlot.input.size(); ++c)
      mPlot.input[c].whole.Add(chunk.channels[std::min(c, chunk.channels.size() - 1)],
                               chunk.frames);
    for (const float* channel : chunk.channels)
      mInputPeak = std::max(mInputPeak, static_cast<double>(PeakOf(channel, chunk.frames)));
  }

  // On the writing thread: the levels, and the output's envelopes for the plot.
  void ObserveOutput(const AudioChunk& chunk)
  {
    mMeter.Add(chunk.channels.data(), chunk.frames);
    for (size_t c = 0; c < mPlot.output.size(); ++c)
      mPlot.output[c].whole.Add(chunk.channels[c], chunk.frames);
  }

  // Points the unit's inputs at frames [at, at + n): the input as read ahead,
  // silence past its end.
  void PointAtInput(size_t at, size_t n)
  {
    size_t got = 0;
    if (at < mSource->Frames() && !mInputEnded)
    {
      ScopedTimer timer(mInputWaitSeconds, mOptions.timings);
      if (!mInChunk || mInOffset == mInChunk->frames)
      {
        if (mInChunk) mReadAhead.Recycle(std::move(mInChunk));
        mInChunk = mReadAhead.Next();
        mInOffset = 0;
        mInputEnded = !mInChunk;
      }
      if (mInChunk) got = std::min(n, mInChunk->frames - mInOffset);
    }
    if (got == 0)
    {
      std::fill(mInPointers.begin(), mInPointers.end(), mSilence.data());
      return;
    }
    // The input ends inside this slice: silence after it (chunks hold whole slices).
    for (float* channel : mInChunk->channels)
      std::fill(channel + mInOffset + got, channel + mInOffset + n, 0.0f);
    for (size_t c = 0; c < mInPointers.size(); ++c)
      mInPointers[c] = mInChunk->channels[std::min(c, mInChunk->channels.size() - 1)] + mInOffset;
    mInOffset += got;
  }

  // Frames [from, from + count) in slices of the maximum size, written as
  // rendered or, with `hold`, held back.
  ComponentResult RenderFrames(UnitRenderer& renderer, size_t from, size_t count, bool hold)
  {
    for (size_t done = 0; done < count && !mWriteBehind.Failed();)
    {
      const size_t n = std::min<size_t>(mOptions.blockFrames, count - done);
      const size_t at = from + done;
      PointAtInput(at, n);
      float* const* out = hold ? mOutPointers.data() : nullptr;
      if (!hold)
      {
        ScopedTimer timer(mOutputWaitSeconds, mOptions.timings);
        out = mWriteBehind.Reserve(n);
      }
      ComponentResult status;
      {
        ScopedTimer timer(mEffectSeconds, mOptions.timings);
        status = renderer.Render(mInPointers.data(), out, static_cast<UInt32>(n));
      }
      if (status != noErr) return status;
      if (hold)
      {
        Hold(n);
      }
      else
      {
        mWriteBehind.Commit(n);
        NoteAudible(out, at, n);
        mEmitted = at + n;
      }
      done += n;
      mProgress->Update(static_cast<double>(at + n) / mSource->SampleRate());
    }
    return noErr;
  }

  // The last frame of a rendered slice where some channel reaches -90 dBFS.
  void NoteAudible(const float* const* out, size_t at, size_t n)
  {
    for (size_t i = n; i-- > 0;)
      for (size_t c = 0; c < mOutPointers.size(); ++c)
        if (std::fabs(static_cast<double>(out[c][i])) >= kSilenceLevel)
        {
          mLastAudible = static_cast<long>(at + i);
          return;
        }
  }

  // Held back until a later audible frame shows it belongs to the tail.
  void Hold(size_t n)
  {
    for (size_t c = 0; c < mOut.size(); ++c)
      mHeld[c].insert(mHeld[c].end(), mOut[c].begin(), mOut[c].begin() + static_cast<long>(n));
  }

  bool RenderStream(UnitRenderer& renderer, std::string& error)
  {
    const double rate = mSource->SampleRate();
    const size_t inputFrames = mSource->Frames();
    const bool fixedTail = mOptions.tailSeconds >= 0.0;
    mMaxTailSeconds = fixedTail ? mOptions.tailSeconds : kDefaultMaxTailSeconds;
    const size_t maxTail = static_cast<size_t>(std::lround(mMaxTailSeconds * rate));
    const size_t channels = UnitChannels();
    mOut.assign(channels, std::vector<float>(mOptions.blockFrames));
    mOutPointers.clear();
    for (auto& channel : mOut)
      mOutPointers.push_back(channel.data());
    mInPointers.assign(channels, nullptr);
    mSilence.assign(mOptions.blockFrames, 0.0f);
    mMeter.Reset(channels, rate, mFormat.sample != SampleFormat::Float);

    mWriteBehind.Start(mWriter, channels, ChunkFrames(), kChunksInFlight,
                       [this](const AudioChunk& chunk) { ObserveOutput(chunk); });
    ProgressBar progress(static_cast<double>(inputFrames + maxTail) / rate, mStart);
    mProgress = &progress;

    ComponentResult status =
        RenderFrames(renderer, 0, inputFrames + (fixedTail ? maxTail : 0), false);
    bool echoes = true;
    if (status == noErr && !fixedTail)
    {
      echoes = WaitForEchoes(error);
      if (echoes) status = RenderFadingTail(renderer, maxTail);
    }
    mTimes.Mark("render loop");
    mTimes.Add("  effect", mEffectSeconds);
    mTimes.Add("  waiting for input", mInputWaitSeconds);
    mTimes.Add("  waiting to write", mOutputWaitSeconds);
    mTimes.Add("  waiting for echo probe", mProbeWaitSeconds);
    mProgress = nullptr;
    if (mInChunk) mReadAhead.Recycle(std::move(mInChunk));
    mReadAhead.Stop();
    mNonFiniteInput = mSource->NonFiniteSamples();
    std::string writeError;
    const bool written = mWriteBehind.Finish(writeError);
    mTimes.Mark("finish writing");
    mTimes.Add("reading (beside)", mReadAhead.BusySeconds());
    mTimes.Add("levels and writing (beside)", mWriteBehind.BusySeconds());
    if (!echoes) return false;
    if (status != noErr)
    {
      error = "the component fails to render: status " + StatusText(status);
      return false;
    }
    if (!written)
    {
      error = writeError;
      return false;
    }
    if (mSource->Failed() || mReadAhead.FramesRead() != inputFrames)
    {
      error = InputName() + " is damaged: it reads short (" +
              std::to_string(mReadAhead.FramesRead()) + " of " + std::to_string(inputFrames) +
              " frames)";
      return false;
    }
    if (fixedTail) mTailCut = mMeter.EndLevel() >= kSilenceLevel;
    mTailFrames = mEmitted - inputFrames;
    return true;
  }

  // Renders silence until the output has stayed below -90 dBFS for twice the
  // longest first echo, and keeps the tail up to its last audible frame.
  ComponentResult RenderFadingTail(UnitRenderer& renderer, size_t maxTail)
  {
    const double rate = mSource->SampleRate();
    const size_t inputFrames = mSource->Frames();
    const size_t quiet =
        static_cast<size_t>(std::max(kMinQuietSeconds, kQuietEchoPeriods * LongestEcho()) * rate);
    const size_t step = static_cast<size_t>(kTailStepSeconds * rate);
    mHeld.assign(mOut.size(), std::vector<float>());
    size_t end = inputFrames;
    while (end < inputFrames + maxTail && end - static_cast<size_t>(mLastAudible + 1) < quiet &&
           !mWriteBehind.Failed())
    {
      const size_t n = std::min(step, inputFrames + maxTail - end);
      const ComponentResult status = RenderFrames(renderer, end, n, true);
      if (status != noErr) return status;
      end += n;
      // What reaches an audible frame is part of the tail.
      const long audible = LastAudibleHeld();
      if (audible >= 0)
      {
        const size_t keep = static_cast<size_t>(audible) + 1;
        mWriteBehind.Append(mHeld, 0, keep);
        mEmitted += keep;
        mLastAudible = static_cast<long>(mEmitted) - 1;
        for (auto& channel : mHeld)
          channel.erase(channel.begin(), channel.begin() + static_cast<long>(keep));
      }
    }
    // Stopped by the longest tail while the echoes still rang.
    mTailCut = end - static_cast<size_t>(mLastAudible + 1) < quiet;
    mHeld.clear();
    return noErr;
  }

  // The last held frame where some channel reaches -90 dBFS; -1 for none.
  long LastAudibleHeld() const
  {
    const size_t frames = mHeld.empty() ? 0 : mHeld[0].size();
    for (size_t i = frames; i-- > 0;)
      for (const auto& channel : mHeld)
        if (std::fabs(channel[i]) >= kSilenceLevel) return static_cast<long>(i);
    return -1;
  }

  // The first hit and the samples around it come from the input and the file
  // just written.
  bool WritePlotFile(PendingFile& file, const std::string& writtenAudio, std::string& error)
  {
    if (mPlotText.joinable()) mPlotText.join();
    const double rate = mSource->SampleRate();
    mPlot.echoSeconds = mEchoes;
    if (mInputPeak > 0.0 &&
        !FindFirstHit(*mSource, mInputPeak * kHitFraction, mPlot.hitFrame, error))
      return false;
    PrepareDetail(mPlot);
    // The input's and the output's stretch around the hit are read at once.
    std::string inputError;
    bool inputRead = false;
    std::thread input([&] { inputRead = ReadInputDetail(*mSource, mPlot.input, inputError); });
    const bool outputRead = ReadOutputDetail(writtenAudio, mPlot.output, error);
    input.join();
    if (!inputRead) error = inputError;
    if (!inputRead || !outputRead) return false;
    const double inputSeconds = static_cast<double>(mSource->Frames()) / rate;
    const double outputSeconds = static_cast<double>(mEmitted) / rate;
    // The silent end of a long tail is not worth half the picture.
    const double audibleEnd = mMeter.LastAboveFloor() < 0
                                  ? 0.0
                                  : (mMeter.LastAboveFloor() + 1) / rate + kPlotAfterAudible;
    mPlot.seconds = std::max(inputSeconds, std::min(outputSeconds, audibleEnd));
    mPlot.fullScale = std::max({1.0, mInputPeak, mMeter.Peak()});
    char tempo[32];
    std::snprintf(tempo, sizeof tempo, "%g BPM", mOptions.tempo);
    mPlot.title = "TOLVANE DELAY   " +
                  (IsDemo() ? std::string("DEMO") : FileName(mOptions.inputPath)) + "   " + tempo +
                  (mOptions.bypass ? "   BYPASSED" : "");
    return file.Create(error) && WritePlot(file.TempPath(), mPlot, error);
  }

  void PrintSummary(double seconds) const
  {
    const double rate = mSource->SampleRate();
    RenderSummary summary;
    summary.outputPath = mOptions.outputPath;
    summary.sampleRate = rate;
    summary.inputSeconds = static_cast<double>(mSource->Frames()) / rate;
    summary.tailSeconds = static_cast<double>(mTailFrames) / rate;
    summary.levels = mMeter.Levels();
    summary.echoSeconds = mEchoes;
    summary.realTimeFactor =
        seconds > 0.0 ? (summary.inputSeconds + summary.tailSeconds) / seconds : 0.0;
    summary.overFullScale = mMeter.OverFullScale();
    summary.clipped = mMeter.Clipped();
    summary.nonFiniteInput = mNonFiniteInput;
    summary.nonFiniteOutput = mMeter.NonFinite();
    summary.sampleFormat = SampleFormatName(mFormat.sample);
    summary.inputChannels = mSource->Channels();
    // A tail that ends where it was cut while still ringing.
    summary.tailCut = mTailCut;
    summary.tailCutSeconds = mMaxTailSeconds;
    summary.tailEndLevel = mMeter.EndLevel();
    summary.tailFixed = mOptions.tailSeconds >= 0.0;
    std::printf("%s\n", FormatSummary(summary).c_str());
  }

  const RenderOptions& mOptions;
  Clock::time_point mStart;
  PhaseTimes mTimes;
  std::unique_ptr<InputSource> mSource;
  FileFormat mFormat;
  AudioWriter mWriter;
  Component mComponent = nullptr;
  EchoProbeThread mProbe;
  UnitInstance mUnit;
  std::vector<double> mEchoes;
  bool mEchoesKnown = false;
  // Declared after what their threads touch, so that they stop first.
  OutputMeter mMeter;
  PlotData mPlot;
  double mInputPeak = 0.0;
  ReadAhead mReadAhead;
  WriteBehind mWriteBehind;
  ChunkPtr mInChunk;
  size_t mInOffset = 0;
  bool mInputEnded = false;
  std::vector<float> mSilence;
  Block mOut, mHeld;
  std::vector<const float*> mInPointers;
  std::vector<float*> mOutPointers;
  std::thread mPlotText;
  ProgressBar* mProgress = nullptr;
  size_t mEmitted = 0;
  long mLastAudible = -1;
  size_t mTailFrames = 0;
  size_t mNonFiniteInput = 0;
  double mMaxTailSeconds = 0.0;
  bool mTailCut = false;
  double mEffectSeconds = 0.0, mInputWaitSeconds = 0.0, mOutputWaitSeconds = 0.0,
         mProbeWaitSeconds = 0.0;
};

// The two instances of a render (echo probe and main) each allocate tens of
// megabytes of delay line, expected zeroed and touched only where written.
// Taken straight from the system, those pages come zeroed and untouched ones
// cost nothing; reused heap memory would have to be cleared in full. Smaller
// blocks (the plot's picture, buffers) stay in the heap, where freeing them
// costs nothing.
void MapLargeBlocks()
{
  mallopt(M_MMAP_THRESHOLD, 5 * 1024 * 1024);
}
} // namespace

int RunRender(const RenderOptions& options)
{
  MapLargeBlocks();
  std::string error;
  RenderJob job(options);
  if (job.Run(error)) return 0;
  std::fprintf(stderr, "tolvane: %s\n", error.c_str());
  return 1;
}
