#include "host/render/PhaseTimes.h"

#include <cstdio>

void PhaseTimes::Mark(const std::string& phase)
{
  const Clock::time_point now = Clock::now();
  std::lock_guard<std::mutex> lock(mMutex);
  mPhases.push_back({phase, std::chrono::duration<double>(now - mLast).count()});
  mLast = now;
}

void PhaseTimes::Add(const std::string& phase, double seconds)
{
  std::lock_guard<std::mutex> lock(mMutex);
  for (Phase& known : mPhases)
  {
    if (known.name == phase)
    {
      known.seconds += seconds;
      return;
    }
  }
  mPhases.push_back({phase, seconds});
}

std::string PhaseTimes::Format() const
{
  std::lock_guard<std::mutex> lock(mMutex);
  std::string text;
  char line[96];
  for (const Phase& phase : mPhases)
  {
    std::snprintf(line, sizeof line, "%-24s %8.2f ms\n", phase.name.c_str(), phase.seconds * 1e3);
    text += line;
  }
  std::snprintf(line, sizeof line, "%-24s %8.2f ms\n", "total",
                std::chrono::duration<double>(mLast - mStart).count() * 1e3);
  return text + line;
}
