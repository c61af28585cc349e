#include "host/render/EchoProbe.h"

#include "host/kit/Component.h"
#include "host/render/SignalStats.h"
#include "host/kit/StatusText.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace
{
// Long enough for any delay glide to settle after the instance opens.
const double kSettleSeconds = 1.0;
// The delay line holds 16 seconds.
const double kLongestEchoSeconds = 16.5;

class ClickRun
{
public:
  explicit ClickRun(const StreamSetup& setup)
      : mSetup(setup), mInput(setup.inputChannels, std::vector<float>(setup.maxFrames)),
        mOutput(setup.outputChannels, std::vector<float>(setup.maxFrames)),
        mClickFrame(static_cast<long>(kSettleSeconds * setup.sampleRate)),
        mEndFrame(mClickFrame + static_cast<long>(kLongestEchoSeconds * setup.sampleRate)),
        mEchoes(setup.outputChannels, -1.0)
  {
    for (auto& channel : mInput)
      mInputPointers.push_back(channel.data());
    for (auto& channel : mOutput)
      mOutputPointers.push_back(channel.data());
  }

  bool Run(UnitRenderer& renderer, std::string& error)
  {
    for (long frame = 0; frame < mEndFrame && !AllEchoed();)
    {
      const UInt32 n = static_cast<UInt32>(std::min<long>(mSetup.maxFrames, mEndFrame - frame));
      FillInput(frame, n);
      const ComponentResult status =
          renderer.Render(mInputPointers.data(), mOutputPointers.data(), n);
      if (status != noErr)
      {
        error = "the echo probe does not render: status " + StatusText(status);
        return false;
      }
      FindEchoes(frame, n);
      frame += n;
    }
    return true;
  }

  const std::vector<double>& Echoes() const { return mEchoes; }

private:
  bool AllEchoed() const
  {
    return std::all_of(mEchoes.begin(), mEchoes.end(), [](double t) { return t >= 0.0; });
  }

  void FillInput(long frame, UInt32 n)
  {
    for (auto& channel : mInput)
    {
      std::fill(channel.begin(), channel.begin() + n, 0.0f);
      if (mClickFrame >= frame && mClickFrame < frame + static_cast<long>(n))
        channel[static_cast<size_t>(mClickFrame - frame)] = 1.0f;
    }
  }

  // The click's own frame carries the dry sound; echoes come later.
  void FindEchoes(long frame, UInt32 n)
  {
    for (size_t c = 0; c < mOutput.size(); ++c)
    {
      for (UInt32 i = 0; i < n && mEchoes[c] < 0.0; ++i)
      {
        const long at = frame + static_cast<long>(i);
        if (at > mClickFrame && std::fabs(mOutput[c][i]) >= kSilenceLevel)
          mEchoes[c] = static_cast<double>(at - mClickFrame) / mSetup.sampleRate;
      }
    }
  }

  StreamSetup mSetup;
  std::vector<std::vector<float>> mInput, mOutput;
  std::vector<const float*> mInputPointers;
  std::vector<float*> mOutputPointers;
  long mClickFrame, mEndFrame;
  std::vector<double> mEchoes;
};
} // namespace

bool MeasureFirstEchoes(Component component, const StreamSetup& setup, const StateSetter& setState,
                        std::vector<double>& echoSeconds, std::string& error)
{
  UnitInstance probe;
  if (!OpenUnit(component, probe, error)) return false;
  UnitRenderer renderer(probe.Get(), setup);
  if (!renderer.Configure(error) || !setState(probe.Get(), error) || !renderer.Start(error))
    return false;
  ClickRun run(setup);
  if (!run.Run(renderer, error)) return false;
  echoSeconds = run.Echoes();
  return true;
}

EchoProbeThread::~EchoProbeThread()
{
  if (mThread.joinable()) mThread.join();
}

void EchoProbeThread::Start(Component component, const StreamSetup& setup, StateSetter setState)
{
  mThread = std::thread(
      [this, component, setup, setState]
      {
        const auto start = std::chrono::steady_clock::now();
        mMeasured = MeasureFirstEchoes(component, setup, setState, mEchoes, mError);
        mSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      });
}

bool EchoProbeThread::Wait(std::vector<double>& echoSeconds, std::string& error)
{
  if (mThread.joinable()) mThread.join();
  if (!mMeasured)
  {
    error = mError;
    return false;
  }
  echoSeconds = mEchoes;
  return true;
}
