#pragma once

// A progress bar on the terminal for renders that take longer than a second.
// It draws on standard error only when that is a terminal, appears once a
// second has passed since the work began and is erased when the work is done.

#include <chrono>
#include <cstdio>

class ProgressBar
{
public:
  using Clock = std::chrono::steady_clock;
  // totalSeconds of audio are to be rendered; the work began at `start`.
  ProgressBar(double totalSeconds, Clock::time_point start);
  ~ProgressBar() { Finish(); }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // How much audio is done; cheap enough to call after every slice.
  void Update(double doneSeconds);
  // Erases the bar.
  void Finish();

private:
  void Draw(double doneSeconds);

  double mTotal;
  bool mEnabled;
  bool mShown = false;
  Clock::time_point mStart;
  Clock::time_point mLastDraw;
};
