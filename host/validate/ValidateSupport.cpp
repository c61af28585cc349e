#include "host/validate/ValidateSupport.h"

#include "host/kit/StatusText.h"
#include "host/render/TrackRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
const size_t kShownProblems = 3;
}

void Findings::RequireNoErr(ComponentResult status, const std::string& call)
{
  Require(status == noErr, call + " answers " + StatusText(status));
}

void Findings::RequireRefused(ComponentResult status, const std::string& call)
{
  Require(status != noErr, call + " is accepted");
}

CheckResult Findings::Result(const std::string& passNote) const
{
  if (mProblems.empty()) return Pass(passNote);
  std::string reason;
  for (size_t i = 0; i < mProblems.size() && i < kShownProblems; ++i)
    reason += (i ? "; " : "") + mProblems[i];
  if (mProblems.size() > kShownProblems)
    reason += " (and " + std::to_string(mProblems.size() - kShownProblems) + " more)";
  return Fail(reason);
}

bool PlayingUnit::Open(ValidationContext& context, std::string& error)
{
  return OpenUnit(context.GetComponent(), mInstance, error);
}

bool PlayingUnit::Begin(const StreamSetup& setup, std::string& error)
{
  mRenderer = std::make_unique<UnitRenderer>(mInstance.Get(), setup);
  return mRenderer->Configure(error) && mRenderer->Start(error);
}

StreamSetup StereoSetup(double sampleRate, UInt32 maxFrames)
{
  StreamSetup setup;
  setup.sampleRate = sampleRate;
  setup.maxFrames = maxFrames;
  return setup;
}

AudioData MakeNoise(const StreamSetup& setup, double seconds, float amplitude, unsigned seed)
{
  AudioData audio = MakeSilence(setup, seconds);
  unsigned state = seed * 2654435761u + 1u;
  for (auto& channel : audio.channels)
    for (float& sample : channel)
    {
      state = state * 1664525u + 1013904223u;
      sample = amplitude * (static_cast<float>(state >> 8) / 8388608.0f - 1.0f);
    }
  return audio;
}

AudioData MakeSilence(const StreamSetup& setup, double seconds)
{
  AudioData audio;
  audio.sampleRate = setup.sampleRate;
  audio.channels.assign(setup.inputChannels,
                        std::vector<float>(static_cast<size_t>(seconds * setup.sampleRate)));
  return audio;
}

ComponentResult RenderSignal(UnitRenderer& renderer, const AudioData& input, AudioData& output,
                             const std::vector<UInt32>& slices)
{
  output.sampleRate = input.sampleRate;
  output.Allocate(renderer.Setup().outputChannels, input.Frames());
  TrackRenderer track(renderer, input, output);
  track.SetSlicePattern(slices);
  return track.Render(0, input.Frames());
}

std::string CheckSamples(const AudioData& audio, double bound)
{
  for (size_t c = 0; c < audio.channels.size(); ++c)
    for (size_t i = 0; i < audio.channels[c].size(); ++i)
    {
      const float sample = audio.channels[c][i];
      if (std::isfinite(sample) && std::fabs(sample) <= bound) continue;
      char text[96];
      std::snprintf(text, sizeof text, "channel %zu frame %zu is %g", c, i, sample);
      return text;
    }
  return std::string();
}

namespace
{
// How many samples `matches` picks, and where the first is.
template <class Match> std::string Census(const AudioData& audio, const char* what, Match matches)
{
  size_t count = 0, firstChannel = 0, firstFrame = 0;
  for (size_t c = 0; c < audio.channels.size(); ++c)
    for (size_t i = 0; i < audio.channels[c].size(); ++i)
      if (matches(audio.channels[c][i]) && count++ == 0) firstChannel = c, firstFrame = i;
  if (count == 0) return std::string();
  return std::to_string(count) + " " + what + (count == 1 ? " sample" : " samples") +
         ", the first at channel " + std::to_string(firstChannel) + " frame " +
         std::to_string(firstFrame);
}
} // namespace

std::string NonFiniteSamples(const AudioData& audio)
{
  return Census(audio, "NaN or infinite", [](float x) { return !std::isfinite(x); });
}

std::string SubnormalSamples(const AudioData& audio)
{
  return Census(audio, "subnormal", [](float x) { return std::fpclassify(x) == FP_SUBNORMAL; });
}

float PeakOf(const AudioData& audio)
{
  float peak = 0.0f;
  for (const auto& channel : audio.channels)
    for (const float sample : channel)
    {
      if (std::isnan(sample)) return sample; // no peak to speak of
      peak = std::max(peak, std::fabs(sample));
    }
  return peak;
}

double MaxDifference(const AudioData& a, const AudioData& b)
{
  if (a.channels.size() != b.channels.size() || a.Frames() != b.Frames()) return INFINITY;
  double largest = 0.0;
  for (size_t c = 0; c < a.channels.size(); ++c)
    for (size_t i = 0; i < a.Frames(); ++i)
    {
      const double difference = std::fabs(double(a.channels[c][i]) - double(b.channels[c][i]));
      if (!(difference <= largest)) largest = difference; // NaN counts as a difference
    }
  return largest;
}

bool SameSamples(const AudioData& a, const AudioData& b)
{
  return a.channels == b.channels;
}

std::vector<AudioUnitParameterValue> ReadValues(AudioUnit unit,
                                                const std::vector<ParameterDesc>& params)
{
  std::vector<AudioUnitParameterValue> values;
  for (const ParameterDesc& desc : params)
  {
    AudioUnitParameterValue value = NAN;
    AudioUnitGetParameter(unit, desc.id, kAudioUnitScope_Global, 0, &value);
    values.push_back(value);
  }
  return values;
}

void SetDistinctValues(AudioUnit unit, const std::vector<ParameterDesc>& params)
{
  for (size_t i = 0; i < params.size(); ++i)
  {
    const ParameterDesc& desc = params[i];
    // Fractions that are not round numbers, different for each parameter.
    const double fraction = 0.1 + 0.8 * std::fmod(0.3819660113 * static_cast<double>(i + 1), 1.0);
    const double value = desc.minValue + fraction * (desc.maxValue - desc.minValue);
    AudioUnitSetParameter(unit, desc.id, kAudioUnitScope_Global, 0,
                          static_cast<AudioUnitParameterValue>(value), 0);
  }
}

std::string Milliseconds(double seconds)
{
  char text[32];
  std::snprintf(text, sizeof text, "%.1f ms", seconds * 1000.0);
  return text;
}

std::string Join(const std::vector<std::string>& texts)
{
  std::string joined;
  for (const std::string& text : texts)
    joined += (joined.empty() ? "" : "; ") + text;
  return joined;
}

void SetAllParameters(AudioUnit unit, const std::vector<ParameterDesc>& params, bool atMaximum)
{
  for (const ParameterDesc& desc : params)
    AudioUnitSetParameter(unit, desc.id, kAudioUnitScope_Global, 0,
                          atMaximum ? desc.maxValue : desc.minValue, 0);
}
