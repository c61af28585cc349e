// Validation: block sizes from one frame to the largest a host asks for, each
// with a matching maximum, and sample rates at the edges of what hosts use.

#include "host/kit/AUProperty.h"
#include "host/kit/StatusText.h"
#include "host/validate/ValidateSupport.h"

#include <cmath>
#include <cstdio>

namespace
{
const UInt32 kBlockSizes[] = {1, 17, 2027, 16384};
const double kEdgeRates[] = {8000.0, 1234.5678, 384000.0};
const double kSaneBound = 8.0; // as for full-scale input at the common rates

std::string RateText(double rate)
{
  char text[32];
  std::snprintf(text, sizeof text, "%.10g Hz", rate);
  return text;
}

std::string Frames(UInt32 n)
{
  return std::to_string(n) + (n == 1 ? " frame" : " frames");
}

// A slice one frame above the maximum: refused with a status that says so.
void RequireOversizeRefused(UnitRenderer& renderer, Findings& findings, std::string& statuses)
{
  const UInt32 frames = renderer.Setup().maxFrames + 1;
  std::vector<float> in(frames), left(frames), right(frames);
  const float* inputs[] = {in.data(), in.data()};
  float* outputs[] = {left.data(), right.data()};
  const ComponentResult status = renderer.Render(inputs, outputs, frames);
  const std::string what = Frames(frames) + " with a maximum of " + Frames(frames - 1);
  findings.Require(status != noErr, what + " is accepted");
  findings.Require(status == noErr || status == kAudioUnitErr_TooManyFramesToProcess ||
                       status == kAudioUnitErr_InvalidPropertyValue,
                   what + " is refused with " + StatusText(status));
  if (statuses.find(StatusText(status)) == std::string::npos)
    statuses += (statuses.empty() ? "" : ", ") + StatusText(status);
}

CheckResult BlockSizes(ValidationContext& context)
{
  const StreamSetup common = StereoSetup(44100.0, 512);
  const AudioData input = MakeNoise(common, 49152.0 / common.sampleRate, 0.5f, 19);
  AudioData reference;
  std::string error, statuses;
  PlayingUnit plain;
  if (!plain.Start(context, common, error)) return Fail(error);
  if (RenderSignal(plain.Renderer(), input, reference) != noErr)
    return Fail("rendering 512-frame slices fails");
  Findings findings;
  for (const UInt32 size : kBlockSizes)
  {
    const std::string what = "slices of " + Frames(size);
    PlayingUnit unit;
    if (!unit.Start(context, StereoSetup(44100.0, size), error))
    {
      findings.Require(false, what + ": " + error);
      continue;
    }
    AudioData output;
    findings.RequireNoErr(RenderSignal(unit.Renderer(), input, output), what);
    findings.Require(NonFiniteSamples(output).empty(), what + ": " + NonFiniteSamples(output));
    const double difference = MaxDifference(reference, output);
    findings.Require(difference <= 1.0e-5,
                     what + " differ from 512-frame slices by " + ValueText(difference));
    RequireOversizeRefused(unit.Renderer(), findings, statuses);
  }
  return findings.Result("1, 17, 2027 and 16384 frames alike; one more refused with " + statuses);
}

// Refused: fine, when it says so. Accepted: the unit must report the rate it
// took and render finite, bounded output from full-scale noise.
CheckResult EdgeSampleRates(ValidationContext& context)
{
  Findings findings;
  std::vector<std::string> warnings;
  std::string accepted, refused;
  for (const double rate : kEdgeRates)
  {
    const StreamSetup setup = StereoSetup(rate);
    const std::string what = RateText(rate);
    PlayingUnit unit;
    std::string error;
    if (!unit.Start(context, setup, error))
    {
      refused += (refused.empty() ? "" : "; ") + error;
      continue;
    }
    accepted += (accepted.empty() ? "" : ", ") + what;
    Float64 reported = 0.0;
    GetGlobalProperty(unit.Unit(), kAudioUnitProperty_SampleRate, reported);
    if (reported != rate) warnings.push_back(what + " is reported as " + ValueText(reported));
    AudioData output;
    findings.RequireNoErr(RenderSignal(unit.Renderer(), MakeNoise(setup, 0.5, 1.0f), output), what);
    const std::string numbers = NonFiniteSamples(output);
    findings.Require(numbers.empty(), what + ": " + numbers);
    if (numbers.empty() && !CheckSamples(output, kSaneBound).empty())
      warnings.push_back(what + ": " + CheckSamples(output, kSaneBound));
  }
  if (findings.Any()) return findings.Result();
  if (!warnings.empty()) return Warn(Join(warnings));
  return Pass((accepted.empty() ? "" : "accepted " + accepted) +
              (accepted.empty() || refused.empty() ? "" : "; ") + refused);
}
} // namespace

CheckGroup StreamChecks()
{
  return {"blocks and rates",
          {{"block sizes with matching maximum frames give the same output", BlockSizes},
           {"extreme and fractional sample rates are refused or rendered well", EdgeSampleRates}}};
}
