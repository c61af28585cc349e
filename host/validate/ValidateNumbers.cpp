// Validation: broken numbers. Non-finite input must not outlive a reset, a
// host that never resets must hear what a resetting host hears, the output
// holds no NaN, infinity or subnormal, and sustained full-scale input at the
// ends of the ranges stays finite (growing louder is a warning only: a delay
// with its feedback at the top may be designed to build up).

#include "host/validate/ValidateSupport.h"

#include <cmath>
#include <limits>

namespace
{
const double kRate = 44100.0;

// Settings the checks run under, applied to a fresh instance.
struct Settings
{
  const char* name;
  void (*apply)(AudioUnit unit, const std::vector<ParameterDesc>& params);
};

const Settings kSettings[] = {
    {"factory settings", [](AudioUnit, const std::vector<ParameterDesc>&) {}},
    {"distinct settings", SetDistinctValues},
    {"every parameter at its maximum",
     [](AudioUnit u, const std::vector<ParameterDesc>& p) { SetAllParameters(u, p, true); }},
    {"every parameter at its minimum",
     [](AudioUnit u, const std::vector<ParameterDesc>& p) { SetAllParameters(u, p, false); }}};

// Opens an instance with the settings, then configures and starts it as the setup says.
bool StartWith(ValidationContext& context, const Settings& settings, const StreamSetup& setup,
               PlayingUnit& unit, std::string& error)
{
  return unit.Open(context, error) &&
         (settings.apply(unit.Unit(), context.Parameters()), unit.Begin(setup, error));
}

// Noise with NaN, infinities and a huge value scattered through it.
AudioData PoisonedNoise(const StreamSetup& setup)
{
  AudioData audio = MakeNoise(setup, 0.25, 0.5f, 23);
  const float poisons[] = {
      std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
      -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max()};
  for (size_t c = 0; c < audio.channels.size(); ++c)
    for (size_t k = 0; k < 4; ++k)
      audio.channels[c][1000 + 2500 * k + 7 * c] = poisons[(k + c) % 4];
  return audio;
}

CheckResult ResetRecoversFromNonFiniteInput(ValidationContext& context)
{
  const StreamSetup setup = StereoSetup(kRate);
  Findings findings;
  int passedThrough = 0;
  for (const Settings& settings : kSettings)
  {
    PlayingUnit unit;
    std::string error;
    if (!StartWith(context, settings, setup, unit, error)) return Fail(error);
    AudioData during, after;
    findings.RequireNoErr(RenderSignal(unit.Renderer(), PoisonedNoise(setup), during),
                          "rendering non-finite input");
    passedThrough += !NonFiniteSamples(during).empty();
    findings.RequireNoErr(AudioUnitReset(unit.Unit(), kAudioUnitScope_Global, 0), "reset");
    findings.RequireNoErr(RenderSignal(unit.Renderer(), MakeNoise(setup, 0.5, 0.5f, 29), after),
                          "rendering after the reset");
    const std::string broken = NonFiniteSamples(after);
    findings.Require(broken.empty(), std::string(settings.name) + ": after the reset " + broken);
  }
  return findings.Result(passedThrough == 0 ? "finite throughout"
                                            : "non-finite while the input was, finite after the "
                                              "reset");
}

// As a host that sets the formats and initialises, and nothing else: no
// maximum frames, no sample rate of its own, no reset.
CheckResult NoResetAfterInitialise(ValidationContext& context)
{
  StreamSetup careless = StereoSetup(kRate);
  careless.setMaxFrames = false;
  careless.resetAfterInitialise = false;
  const AudioData input = MakeNoise(careless, 0.5, 0.5f, 31);
  Findings findings;
  for (const Settings& settings : kSettings)
  {
    PlayingUnit plain, unreset;
    std::string error;
    if (!StartWith(context, settings, StereoSetup(kRate), plain, error) ||
        !StartWith(context, settings, careless, unreset, error))
      return Fail(error);
    AudioData expected, output;
    findings.RequireNoErr(RenderSignal(plain.Renderer(), input, expected), "rendering");
    findings.RequireNoErr(RenderSignal(unreset.Renderer(), input, output),
                          "rendering without a reset");
    const std::string broken = NonFiniteSamples(output);
    findings.Require(broken.empty(), std::string(settings.name) + ": " + broken);
    findings.Require(!broken.empty() || SameSamples(expected, output),
                     std::string(settings.name) + ": differs from a reset unit by " +
                         ValueText(MaxDifference(expected, output)));
  }
  return findings.Result("the same output bit for bit");
}

// The input through a fresh instance under the settings; a failed render or
// output that is not finite is a finding. False when the instance does not start.
bool RenderUnder(ValidationContext& context, const Settings& settings, const StreamSetup& setup,
                 const AudioData& input, AudioData& output, Findings& findings, std::string& error)
{
  PlayingUnit unit;
  if (!StartWith(context, settings, setup, unit, error)) return false;
  findings.RequireNoErr(RenderSignal(unit.Renderer(), input, output), "rendering");
  const std::string broken = NonFiniteSamples(output);
  findings.Require(broken.empty(), std::string(settings.name) + ": " + broken);
  return true;
}

// Noise, then a long silence in which what rings on decays towards nothing.
CheckResult FiniteNormalOutput(ValidationContext& context)
{
  const StreamSetup setup = StereoSetup(kRate);
  AudioData input = MakeNoise(setup, 4.0, 0.5f, 37);
  for (auto& channel : input.channels)
    std::fill(channel.begin() + channel.size() / 8, channel.end(), 0.0f);
  Findings findings;
  std::vector<std::string> subnormal;
  for (const Settings& settings : kSettings)
  {
    AudioData output;
    std::string error;
    if (!RenderUnder(context, settings, setup, input, output, findings, error)) return Fail(error);
    const std::string tiny = SubnormalSamples(output);
    if (!tiny.empty()) subnormal.push_back(std::string(settings.name) + ": " + tiny);
  }
  if (findings.Any()) return findings.Result();
  if (!subnormal.empty()) return Warn(Join(subnormal));
  return Pass("noise and 3.5 s of decay under four settings");
}

float PeakBetween(const AudioData& audio, double fromSeconds, double toSeconds)
{
  AudioData part;
  for (const auto& channel : audio.channels)
    part.channels.emplace_back(channel.begin() + static_cast<long>(fromSeconds * kRate),
                               channel.begin() + static_cast<long>(toSeconds * kRate));
  return PeakOf(part);
}

// Six seconds of full-scale noise: non-finite output fails; output over full
// scale that is still growing at the end warns.
CheckResult SustainedFullScale(ValidationContext& context)
{
  const StreamSetup setup = StereoSetup(kRate);
  const AudioData input = MakeNoise(setup, 6.0, 1.0f, 41);
  Findings findings;
  std::vector<std::string> growing, peaks;
  for (const Settings& settings : kSettings)
  {
    AudioData output;
    std::string error;
    if (!RenderUnder(context, settings, setup, input, output, findings, error)) return Fail(error);
    if (!NonFiniteSamples(output).empty()) continue;
    const float early = PeakBetween(output, 1.0, 3.0), late = PeakBetween(output, 4.0, 6.0);
    peaks.push_back(ValueText(std::round(PeakOf(output) * 100.0) / 100.0));
    if (late > 1.0f && late > 1.2f * early)
      growing.push_back(std::string(settings.name) + ": grows over full scale, from peaks of " +
                        ValueText(early) + " to " + ValueText(late) + " within 6 s");
  }
  if (findings.Any()) return findings.Result();
  if (!growing.empty()) return Warn(Join(growing));
  std::string note = "peaks";
  for (size_t i = 0; i < peaks.size(); ++i)
    note += (i ? ", " : " ") + peaks[i];
  return Pass(note + " under four settings, none growing");
}
} // namespace

CheckGroup NumberChecks()
{
  return {"numbers",
          {{"non-finite input does not outlive a reset", ResetRecoversFromNonFiniteInput},
           {"a unit never reset renders as a reset one", NoResetAfterInitialise},
           {"output holds no NaN, infinity or subnormal", FiniteNormalOutput},
           {"sustained full-scale input stays finite", SustainedFullScale}}};
}
