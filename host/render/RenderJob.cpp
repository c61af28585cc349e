#include "host/render/RenderJob.h"

#include "host/commands/UnitState.h"
#include "host/kit/AUProperty.h"
#include "host/kit/AtomicFile.h"
#include "host/kit/Component.h"
#include "host/kit/FactoryPresets.h"
#include "host/kit/Parameters.h"
#include "host/kit/StatusText.h"
#include "host/plot/Plot.h"
#include "host/render/DemoSignal.h"
#include "host/render/EchoProbe.h"
#include "host/render/InputSource.h"
#include "host/render/OutputMeter.h"
#include "host/render/PhaseTimes.h"
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

  bool Run(std::string& error)
  {
    if (!CheckFiles(error) || !OpenInput(error)) return false;
    mTimes.Mark("open and scan input");
    if (!FindAndLoadComponent(mOptions.componentPath, mComponent, error)) return false;
    mTimes.Mark("load component");
    if (!MeasureEchoes(error)) return false;
    mTimes.Mark("echo probe");
    if (!OpenUnit(mComponent, mUnit, error)) return false;
    UnitRenderer renderer(mUnit.Get(), Setup());
    if (!renderer.Configure(error) || !SetUpState(mUnit.Get(), error) || !SetUpBypass(error) ||
        !renderer.Start(error))
      return false;
    mTimes.Mark("open unit");
    WarnAboutSettings();

    PendingFile audioFile(mOptions.outputPath);
    if (!audioFile.Create(error) ||
        !mWriter.Open(audioFile.TempPath(), mFormat, mSource->SampleRate(),
                      static_cast<int>(Setup().outputChannels), error))
      return false;
    PreparePlot();
    if (!RenderStream(renderer, error)) return false;
    mTimes.Mark("render loop");
    mTimes.Add("  read", mReadSeconds);
    mTimes.Add("  effect", mEffectSeconds);
    mTimes.Add("  measure and write", mEmitSeconds);
    if (!mWriter.Close(error)) return false;
    mUnit.Close();
    mTimes.Mark("close");
    const double seconds = std::chrono::duration<double>(Clock::now() - mStart).count();

    PendingFile plotFile(mOptions.plotPath);
    if (!mOptions.plotPath.empty() && !WritePlotFile(plotFile, error)) return false;
    mTimes.Mark("plot");
    if (!audioFile.Commit(error)) return false;
    if (!mOptions.plotPath.empty() && !plotFile.Commit(error)) return false;
    PrintSummary(seconds);
    mTimes.Mark("summary");
    if (mOptions.timings) std::fputs(mTimes.Format().c_str(), stderr);
    return true;
  }

private:
  bool IsDemo() const { return mOptions.demo; }

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
      error = "--mono renders a mono input; " +
              (IsDemo() ? std::string("the demo") : mOptions.inputPath) + " is stereo";
      return false;
    }
    return ScanInput(*mSource, IsDemo() ? "the demo" : mOptions.inputPath, 0.25, mScan, error);
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
  bool MeasureEchoes(std::string& error)
  {
    mEchoes.assign(UnitChannels(), -1.0);
    if (mOptions.bypass) return true;
    return MeasureFirstEchoes(
        mComponent, Setup(),
        [this](AudioUnit unit, std::string& stateError) { return SetUpState(unit, stateError); },
        mEchoes, error);
  }

  double LongestEcho() const
  {
    return std::max(0.0, *std::max_element(mEchoes.begin(), mEchoes.end()));
  }

  void PreparePlot()
  {
    if (mOptions.plotPath.empty()) return;
    mPlot.sampleRate = mSource->SampleRate();
    mPlot.hitFrame = mScan.onset;
    mPlot.echoSeconds = mEchoes;
    mPlot.input.resize(UnitChannels());
    mPlot.output.resize(UnitChannels());
    PrepareDetail(mPlot);
  }

  // ---- Rendering, block by block -------------------------------------------

  using Sink = void (RenderJob::*)(size_t at, size_t n);

  // Frames [from, from + count) in slices of the maximum size: the input read
  // as it is needed (silence past its end), each slice's output handed to the sink.
  ComponentResult RenderFrames(UnitRenderer& renderer, size_t from, size_t count, Sink sink)
  {
    const size_t inputFrames = mSource->Frames();
    for (size_t done = 0; done < count;)
    {
      const size_t n = std::min<size_t>(mOptions.blockFrames, count - done);
      const size_t at = from + done;
      size_t got = 0;
      {
        ScopedTimer timer(mReadSeconds);
        if (at < inputFrames) got = mSource->Read(mIn, std::min(n, inputFrames - at));
        for (size_t c = 0; c < mIn.size(); ++c)
          std::fill(mIn[c].begin() +
                        static_cast<long>(c < static_cast<size_t>(mSource->Channels()) ? got : 0),
                    mIn[c].begin() + static_cast<long>(n), 0.0f);
        if (mIn.size() > static_cast<size_t>(mSource->Channels()))
          std::copy_n(mIn[0].begin(), got, mIn[1].begin()); // mono on both inputs
        if (!mOptions.plotPath.empty() && got > 0)
          for (size_t c = 0; c < mPlot.input.size(); ++c)
            mPlot.input[c].Add(at, mIn[c].data(), got);
      }
      ComponentResult status;
      {
        ScopedTimer timer(mEffectSeconds);
        status = renderer.Render(mInPointers.data(), mOutPointers.data(), static_cast<UInt32>(n));
      }
      if (status != noErr) return status;
      {
        ScopedTimer timer(mEmitSeconds);
        (this->*sink)(at, n);
      }
      done += n;
      mProgress->Update(static_cast<double>(at + n) / mSource->SampleRate());
    }
    return noErr;
  }

  // Straight to the file.
  void Emit(size_t at, size_t n) { EmitFrom(mOut, 0, at, n); }

  void EmitFrom(const Block& block, size_t offset, size_t at, size_t n)
  {
    if (!mWriteError.empty()) return;
    if (!mWriter.Write(block, offset, n, mWriteError)) return;
    mMeter.Add(block, offset, n);
    if (!mOptions.plotPath.empty())
      for (size_t c = 0; c < mPlot.output.size(); ++c)
        mPlot.output[c].Add(at, block[c].data() + offset, n);
    mEmitted = at + n;
  }

  // Held back until a later audible frame shows it belongs to the tail.
  void Hold(size_t, size_t n)
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
    mIn.assign(channels, std::vector<float>(mOptions.blockFrames));
    mOut.assign(channels, std::vector<float>(mOptions.blockFrames));
    mInPointers.clear();
    mOutPointers.clear();
    for (size_t c = 0; c < channels; ++c)
    {
      mInPointers.push_back(mIn[c].data());
      mOutPointers.push_back(mOut[c].data());
    }
    mMeter.Reset(channels, rate, mFormat.sample != SampleFormat::Float);
    ProgressBar progress(static_cast<double>(inputFrames + maxTail) / rate, mStart);
    mProgress = &progress;

    ComponentResult status =
        RenderFrames(renderer, 0, inputFrames + (fixedTail ? maxTail : 0), &RenderJob::Emit);
    if (status == noErr && !fixedTail) status = RenderFadingTail(renderer, maxTail);
    if (fixedTail) mTailCut = mMeter.EndLevel() >= kSilenceLevel;
    mProgress = nullptr;
    if (status != noErr)
    {
      error = "the component fails to render: status " + StatusText(status);
      return false;
    }
    if (!mWriteError.empty())
    {
      error = mWriteError;
      return false;
    }
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
    while (end < inputFrames + maxTail &&
           end - static_cast<size_t>(mMeter.LastAudible() + 1) < quiet)
    {
      const size_t n = std::min(step, inputFrames + maxTail - end);
      const ComponentResult status = RenderFrames(renderer, end, n, &RenderJob::Hold);
      if (status != noErr) return status;
      end += n;
      // What reaches an audible frame is part of the tail.
      const long audible = LastAudibleHeld();
      if (audible >= 0)
      {
        const size_t keep = static_cast<size_t>(audible) + 1;
        EmitFrom(mHeld, 0, mEmitted, keep);
        for (auto& channel : mHeld)
          channel.erase(channel.begin(), channel.begin() + static_cast<long>(keep));
      }
    }
    // Stopped by the longest tail while the echoes still rang.
    mTailCut = end - static_cast<size_t>(mMeter.LastAudible() + 1) < quiet;
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

  bool WritePlotFile(PendingFile& file, std::string& error)
  {
    const double rate = mSource->SampleRate();
    const double inputSeconds = static_cast<double>(mSource->Frames()) / rate;
    const double outputSeconds = static_cast<double>(mEmitted) / rate;
    // The silent end of a long tail is not worth half the picture.
    const double audibleEnd = mMeter.LastAboveFloor() < 0
                                  ? 0.0
                                  : (mMeter.LastAboveFloor() + 1) / rate + kPlotAfterAudible;
    mPlot.seconds = std::max(inputSeconds, std::min(outputSeconds, audibleEnd));
    mPlot.fullScale = std::max({1.0, mScan.peak, mMeter.Peak()});
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
    summary.nonFiniteInput = mSource->NonFiniteSamples();
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
  double mReadSeconds = 0.0, mEffectSeconds = 0.0, mEmitSeconds = 0.0;
  std::unique_ptr<InputSource> mSource;
  InputScan mScan;
  FileFormat mFormat;
  AudioWriter mWriter;
  std::string mWriteError;
  Component mComponent = nullptr;
  UnitInstance mUnit;
  std::vector<double> mEchoes;
  Block mIn, mOut, mHeld;
  std::vector<const float*> mInPointers;
  std::vector<float*> mOutPointers;
  OutputMeter mMeter;
  PlotData mPlot;
  ProgressBar* mProgress = nullptr;
  size_t mEmitted = 0;
  size_t mTailFrames = 0;
  double mMaxTailSeconds = 0.0;
  bool mTailCut = false;
};

// The two instances of a render (echo probe and main) each allocate tens of
// megabytes of delay line, expected zeroed and touched only where written.
// Taken straight from the system, those pages come zeroed and untouched ones
// cost nothing; reused heap memory would have to be cleared in full.
void MapLargeBlocks()
{
  mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
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
