#include "host/render/Summary.h"

#include <cmath>
#include <cstdio>
#include <functional>

namespace
{
std::string Format(const char* format, double value)
{
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Decibels(double amplitude)
{
  const double db = ToDBFS(amplitude);
  return std::isinf(db) ? std::string("-inf dBFS") : Format("%.1f dBFS", db);
}

// "L a, R b" for stereo, "a" for mono.
std::string PerChannel(size_t nChannels, const std::function<std::string(size_t)>& value)
{
  if (nChannels == 1) return value(0);
  std::string text;
  const char* names[] = {"L ", "R "};
  for (size_t c = 0; c < nChannels && c < 2; ++c)
    text += (c ? ", " : "") + std::string(names[c]) + value(c);
  return text;
}
} // namespace

std::string FormatSummary(const RenderSummary& s)
{
  const size_t n = s.levels.size();
  std::string line = s.outputPath + ": " + Format("%.2f s", s.inputSeconds + s.tailSeconds) + " (" +
                     Format("%.2f s", s.inputSeconds) + " + " +
                     Format("%.2f s tail", s.tailSeconds) + "), " + (n == 1 ? "mono" : "stereo") +
                     (s.inputChannels == 1 && n == 2 ? " from mono" : "") + ", " +
                     Format("%.0f Hz", s.sampleRate);
  line += " | peak " + PerChannel(n, [&s](size_t c) { return Decibels(s.levels[c].peak); });
  line += " | RMS " + PerChannel(n, [&s](size_t c) { return Decibels(s.levels[c].rms); });
  line += " | effect echo times (probe) " +
          PerChannel(n,
                     [&s](size_t c)
                     {
                       const double t = c < s.echoSeconds.size() ? s.echoSeconds[c] : -1.0;
                       return t < 0.0 ? std::string("none") : Format("%.0f ms", t * 1000.0);
                     });
  line += " | " + Format("%.0fx real time", s.realTimeFactor);
  if (s.overFullScale > 0)
    line += "\n" + std::to_string(s.overFullScale) + " samples over full scale" +
            (s.clipped > 0
                 ? ", " + std::to_string(s.clipped) + " clipped in the " + s.sampleFormat + " file"
                 : std::string(" (kept in the float file)"));
  if (s.nonFiniteInput > 0)
    line += "\nwarning: " + std::to_string(s.nonFiniteInput) +
            (s.nonFiniteInput == 1 ? " input sample was" : " input samples were") +
            " NaN or infinite and rendered as silence";
  if (s.nonFiniteOutput > 0)
    line += "\nwarning: " + std::to_string(s.nonFiniteOutput) +
            (s.nonFiniteOutput == 1 ? " output sample is" : " output samples are") +
            " NaN or infinite (left out of the levels)";
  if (s.tailCut)
    line += "\n" + Format("tail cut at %g s", s.tailCutSeconds) + ", still " +
            Decibels(s.tailEndLevel) + (s.tailFixed ? ": use a longer --tail" : ": use --tail");
  return line;
}
