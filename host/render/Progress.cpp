#include "host/render/Progress.h"

#include <unistd.h>

#include <algorithm>

namespace
{
const double kDelaySeconds = 1.0;
const double kRedrawSeconds = 0.1;
const int kBarWidth = 32;

double SecondsBetween(std::chrono::steady_clock::time_point from,
                      std::chrono::steady_clock::time_point to)
{
  return std::chrono::duration<double>(to - from).count();
}
} // namespace

ProgressBar::ProgressBar(double totalSeconds, Clock::time_point start)
    : mTotal(totalSeconds), mEnabled(isatty(STDERR_FILENO) == 1), mStart(start), mLastDraw(start)
{
}

void ProgressBar::Update(double doneSeconds)
{
  if (!mEnabled) return;
  const Clock::time_point now = Clock::now();
  if (SecondsBetween(mStart, now) < kDelaySeconds) return;
  if (mShown && SecondsBetween(mLastDraw, now) < kRedrawSeconds) return;
  mLastDraw = now;
  Draw(doneSeconds);
}

void ProgressBar::Draw(double doneSeconds)
{
  const double fraction = mTotal > 0.0 ? std::clamp(doneSeconds / mTotal, 0.0, 1.0) : 1.0;
  const int filled = static_cast<int>(fraction * kBarWidth);
  char bar[kBarWidth + 1];
  for (int i = 0; i < kBarWidth; ++i)
    bar[i] = i < filled ? '#' : '.';
  bar[kBarWidth] = '\0';
  std::fprintf(stderr, "\rrendering [%s] %3d%%  %.1f of %.1f s", bar,
               static_cast<int>(fraction * 100.0), doneSeconds, mTotal);
  std::fflush(stderr);
  mShown = true;
}

void ProgressBar::Finish()
{
  if (!mShown) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
  mShown = false;
}
