#pragma once

// When the first echo of a hit arrives in each output channel. An instance of
// its own, in the state to be measured, hears silence until its delay times
// have settled, then one full-scale click, then silence until every channel
// has echoed (the first sample above -90 dBFS after the click) or the longest
// delay the line can hold has passed.

#include "host/kit/Component.h"
#include "host/kit/UnitRenderer.h"

#include <AudioUnit/AudioUnit.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

// Brings the probe's instance into the state to be measured.
using StateSetter = std::function<bool(AudioUnit unit, std::string& error)>;

// Seconds from the click to the first echo, per output channel; negative
// where no echo came.
bool MeasureFirstEchoes(Component component, const StreamSetup& setup, const StateSetter& setState,
                        std::vector<double>& echoSeconds, std::string& error);

// The same measurement on a thread of its own, beside the caller's work
// (setState is called there). Start and Wait on one thread.
class EchoProbeThread
{
public:
  EchoProbeThread() = default;
  ~EchoProbeThread();
  EchoProbeThread(const EchoProbeThread&) = delete;
  EchoProbeThread& operator=(const EchoProbeThread&) = delete;

  void Start(Component component, const StreamSetup& setup, StateSetter setState);
  // Waits for the probe; its seconds per channel, or false with its error.
  bool Wait(std::vector<double>& echoSeconds, std::string& error);
  // Seconds spent measuring, on the probe's thread; valid after Wait.
  double Seconds() const { return mSeconds; }

private:
  std::thread mThread;
  bool mMeasured = false;
  std::vector<double> mEchoes;
  std::string mError;
  double mSeconds = 0.0;
};
