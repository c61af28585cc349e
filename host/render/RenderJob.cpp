#include "host/render/RenderJob.h"

#include "host/kit/AUProperty.h"
#include "host/kit/AtomicFile.h"
#include "host/kit/Component.h"
#include "host/render/DemoSignal.h"
#include "host/render/EchoProbe.h"
#include "host/kit/FactoryPresets.h"
#include "host/plot/Plot.h"
#include "host/render/SignalStats.h"
#include "host/kit/StatusText.h"
#include "host/render/Summary.h"
#include "host/render/TrackRenderer.h"
#include "host/commands/UnitState.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace
{
using Clock = std::chrono::steady_clock;

// Echoes count as gone after this long below -90 dBFS, in multiples of the longest first echo.
const double kQuietEchoPeriods = 2.0;
const double kMinQuietSeconds = 0.1;
// The automatic tail grows by this much at a time.
const double kTailStepSeconds = 0.25;

// The last frame in [from, to) where some channel reaches -90 dBFS, or `last` if none does.
long LastAudibleFrame(const AudioData& audio, size_t from, size_t to, long last)
{
  for (size_t i = to; i-- > from;)
    for (const auto& channel : audio.channels)
      if (std::fabs(channel[i]) >= kSilenceLevel) return static_cast<long>(i);
  return last;
}

std::string FileName(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

class RenderJob
{
public:
  explicit RenderJob(const RenderOptions& options) : mOptions(options) {}

  bool Run(std::string& error)
  {
    mStart = Clock::now();
    // The echo probe runs first, on its own instance: the main instance then
    // reuses the memory the probe gave back.
    if (!LoadInput(error) || !FindAndLoadComponent(mOptions.componentPath, mComponent, error) ||
        !MeasureEchoes(error) || !OpenUnit(mComponent, mUnit, error))
      return false;
    UnitRenderer renderer(mUnit.Get(), Setup());
    if (!renderer.Configure(error) || !SetUpState(mUnit.Get(), error) || !SetUpBypass(error) ||
        !renderer.Start(error) || !RenderTrack(renderer, error))
      return false;
    mUnit.Close();

    PendingFile audioFile(mOptions.outputPath);
    if (!audioFile.Create(error) ||
        !WriteAudioFile(audioFile.TempPath(), mOutput, mOptions.format, error))
      return false;
    const double seconds = std::chrono::duration<double>(Clock::now() - mStart).count();

    PendingFile plotFile(mOptions.plotPath);
    if (!mOptions.plotPath.empty() && !WritePlotFile(plotFile, error)) return false;
    if (!audioFile.Commit(error)) return false;
    if (!mOptions.plotPath.empty() && !plotFile.Commit(error)) return false;
    PrintSummary(seconds);
    return true;
  }

private:
  bool IsDemo() const { return mOptions.inputPath.empty(); }

  StreamSetup Setup() const
  {
    StreamSetup setup;
    setup.sampleRate = mInput.sampleRate;
    setup.inputChannels = static_cast<UInt32>(mInput.channels.size());
    setup.outputChannels = setup.inputChannels;
    setup.maxFrames = mOptions.blockFrames;
    setup.tempo = mOptions.tempo;
    return setup;
  }

  bool LoadInput(std::string& error)
  {
    if (!IsDemo()) return ReadAudioFile(mOptions.inputPath, mInput, error);
    mInput = MakeDemoSignal();
    return true;
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
    mEchoes.assign(mInput.channels.size(), -1.0);
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

  bool RenderTrack(UnitRenderer& renderer, std::string& error)
  {
    const double rate = mInput.sampleRate;
    const size_t inputFrames = mInput.Frames();
    const bool fixedTail = mOptions.tailSeconds >= 0.0;
    const size_t maxTail = static_cast<size_t>(
        std::lround((fixedTail ? mOptions.tailSeconds : kDefaultMaxTailSeconds) * rate));
    mOutput.sampleRate = rate;
    mOutput.Allocate(mInput.channels.size(), inputFrames + (fixedTail ? maxTail : 0));
    // Room for the longest tail, so that it grows without moving.
    for (auto& channel : mOutput.channels)
      channel.reserve(inputFrames + maxTail);

    ProgressBar progress(static_cast<double>(inputFrames + maxTail) / rate, mStart);
    TrackRenderer track(renderer, mInput, mOutput);
    ComponentResult status = track.Render(0, mOutput.Frames(), &progress);
    if (status == noErr && !fixedTail) status = RenderFadingTail(track, progress, maxTail);
    if (status != noErr)
    {
      error = "the component fails to render: status " + StatusText(status);
      return false;
    }
    mTailFrames = mOutput.Frames() - inputFrames;
    return true;
  }

  // Renders silence until the output has stayed below -90 dBFS for twice the
  // longest first echo, then cuts the tail after its last audible frame.
  ComponentResult RenderFadingTail(TrackRenderer& track, ProgressBar& progress, size_t maxTail)
  {
    const double rate = mInput.sampleRate;
    const size_t inputFrames = mInput.Frames();
    const size_t quiet =
        static_cast<size_t>(std::max(kMinQuietSeconds, kQuietEchoPeriods * LongestEcho()) * rate);
    const size_t step = static_cast<size_t>(kTailStepSeconds * rate);
    long lastAudible = LastAudibleFrame(mOutput, 0, inputFrames, -1);
    size_t end = inputFrames;
    while (end < inputFrames + maxTail && end - static_cast<size_t>(lastAudible + 1) < quiet)
    {
      const size_t n = std::min(step, inputFrames + maxTail - end);
      for (auto& channel : mOutput.channels)
        channel.resize(end + n);
      const ComponentResult status = track.Render(end, n, &progress);
      if (status != noErr) return status;
      lastAudible = LastAudibleFrame(mOutput, end, end + n, lastAudible);
      end += n;
    }
    const size_t kept = std::max(inputFrames, static_cast<size_t>(lastAudible + 1));
    for (auto& channel : mOutput.channels)
      channel.resize(kept);
    return noErr;
  }

  bool WritePlotFile(PendingFile& file, std::string& error)
  {
    PlotData plot;
    plot.input = &mInput;
    plot.output = &mOutput;
    plot.hitFrame = FirstOnset(mInput, 0.25);
    plot.echoSeconds = mEchoes;
    char tempo[32];
    std::snprintf(tempo, sizeof tempo, "%g BPM", mOptions.tempo);
    plot.title = "TOLVANE DELAY   " +
                 (IsDemo() ? std::string("DEMO") : FileName(mOptions.inputPath)) + "   " + tempo +
                 (mOptions.bypass ? "   BYPASSED" : "");
    return file.Create(error) && WritePlot(file.TempPath(), plot, error);
  }

  void PrintSummary(double seconds) const
  {
    RenderSummary summary;
    summary.outputPath = mOptions.outputPath;
    summary.sampleRate = mOutput.sampleRate;
    summary.inputSeconds = mInput.Seconds();
    summary.tailSeconds = static_cast<double>(mTailFrames) / mOutput.sampleRate;
    for (const auto& channel : mOutput.channels)
      summary.levels.push_back(MeasureChannel(channel));
    summary.echoSeconds = mEchoes;
    summary.realTimeFactor = seconds > 0.0 ? mOutput.Seconds() / seconds : 0.0;
    std::printf("%s\n", FormatSummary(summary).c_str());
  }

  const RenderOptions& mOptions;
  Clock::time_point mStart;
  AudioData mInput;
  AudioData mOutput;
  Component mComponent = nullptr;
  UnitInstance mUnit;
  std::vector<double> mEchoes;
  size_t mTailFrames = 0;
};
} // namespace

int RunRender(const RenderOptions& options)
{
  std::string error;
  RenderJob job(options);
  if (job.Run(error)) return 0;
  std::fprintf(stderr, "tolvane: %s\n", error.c_str());
  return 1;
}
