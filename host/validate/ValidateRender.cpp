// Validation: rendering through the lifecycle, at every slice size and at the
// common sample rates, in place, into null buffers and bypassed, with every
// sample finite and bounded.

#include "host/kit/AUProperty.h"
#include "host/kit/BufferList.h"
#include "host/kit/ComponentInfo.h"
#include "host/render/SignalStats.h"
#include "host/render/TrackRenderer.h"
#include "host/validate/ValidateSupport.h"

#include <algorithm>
#include <cmath>

namespace
{
// A full-scale input may come out louder, but not by more than this (+18 dBFS).
const double kSaneBound = 8.0;
// Settings at the ends of every range may ring up further, but stay finite.
const double kExtremeBound = 1.0e4;
const int kInitCycles = 10;
const double kSampleRates[] = {22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000};

CheckResult InitialiseCycles(ValidationContext& context)
{
  PlayingUnit unit;
  std::string error;
  const StreamSetup setup = StereoSetup();
  if (!unit.Start(context, setup, error)) return Fail(error);
  Findings findings;
  const AudioData input = MakeNoise(setup, 0.02, 0.5f);
  for (int i = 0; i < kInitCycles; ++i)
  {
    findings.RequireNoErr(AudioUnitUninitialize(unit.Unit()), "uninitialise");
    findings.RequireNoErr(AudioUnitInitialize(unit.Unit()), "initialise");
    AudioData output;
    findings.RequireNoErr(RenderSignal(unit.Renderer(), input, output), "render after initialise");
  }
  return findings.Result(std::to_string(kInitCycles) + " cycles");
}

// RMS of what follows the first 50 ms of silence after noise, with or without a reset between.
bool RingingAfterNoise(ValidationContext& context, bool reset, double& rms, std::string& error)
{
  PlayingUnit unit;
  const StreamSetup setup = StereoSetup();
  if (!unit.Start(context, setup, error)) return false;
  AudioData output;
  if (RenderSignal(unit.Renderer(), MakeNoise(setup, 1.0, 1.0f), output) != noErr ||
      (reset && AudioUnitReset(unit.Unit(), kAudioUnitScope_Global, 0) != noErr) ||
      RenderSignal(unit.Renderer(), MakeSilence(setup, 2.0), output) != noErr)
  {
    error = "rendering around the reset fails";
    return false;
  }
  const size_t settle = static_cast<size_t>(0.05 * setup.sampleRate);
  double sum = 0.0;
  size_t count = 0;
  for (const auto& channel : output.channels)
    for (size_t i = settle; i < channel.size(); ++i, ++count)
      sum += double(channel[i]) * channel[i];
  rms = std::sqrt(sum / static_cast<double>(std::max<size_t>(count, 1)));
  return true;
}

// What rings on after a reset must be far below what rings on without one;
// residues of filter and interpolator states are allowed.
CheckResult ResetClearsEchoes(ValidationContext& context)
{
  double withReset = 0.0, withoutReset = 0.0;
  std::string error;
  if (!RingingAfterNoise(context, true, withReset, error) ||
      !RingingAfterNoise(context, false, withoutReset, error))
    return Fail(error);
  if (withoutReset <= 0.0) return Pass("nothing rings on");
  const double below = ToDBFS(withoutReset) - ToDBFS(withReset);
  if (below < 40.0)
    return Fail("after a reset the echoes are only " + ValueText(below) + " dB quieter");
  return Pass(std::isinf(below) ? std::string("silent")
                                : ValueText(std::round(below)) + " dB quieter");
}

CheckResult SliceSizes(ValidationContext& context)
{
  const StreamSetup setup = StereoSetup(44100.0, 512);
  PlayingUnit steady, varied;
  std::string error;
  if (!steady.Start(context, setup, error) || !varied.Start(context, setup, error))
    return Fail(error);
  const AudioData input = MakeNoise(setup, 1.5, 0.5f);
  AudioData reference, output;
  Findings findings;
  findings.RequireNoErr(RenderSignal(steady.Renderer(), input, reference),
                        "rendering 512-frame slices");
  findings.RequireNoErr(
      RenderSignal(varied.Renderer(), input, output, {1, 2, 3, 5, 16, 64, 127, 256, 511, 512}),
      "rendering slices of 1 to 512 frames");
  const std::string samples = CheckSamples(output, kSaneBound);
  findings.Require(samples.empty(), samples);
  const double difference = MaxDifference(reference, output);
  findings.Require(difference <= 1.0e-5,
                   "the output depends on the slice size (by " + ValueText(difference) + ")");
  return findings.Result("1 to 512 frames");
}

CheckResult OversizeSliceRefused(ValidationContext& context)
{
  const StreamSetup setup = StereoSetup(44100.0, 512);
  PlayingUnit unit;
  std::string error;
  if (!unit.Start(context, setup, error)) return Fail(error);
  std::vector<float> in(setup.maxFrames + 1), left(setup.maxFrames + 1), right(setup.maxFrames + 1);
  const float* inputs[] = {in.data(), in.data()};
  float* outputs[] = {left.data(), right.data()};
  Findings findings;
  findings.RequireRefused(unit.Renderer().Render(inputs, outputs, setup.maxFrames + 1),
                          "a slice of 513 frames with a maximum of 512");
  findings.RequireNoErr(unit.Renderer().Render(inputs, outputs, setup.maxFrames),
                        "a slice of 512 frames");
  return findings.Result();
}

CheckResult SampleRates(ValidationContext& context)
{
  Findings findings;
  for (const double rate : kSampleRates)
  {
    const StreamSetup setup = StereoSetup(rate);
    const std::string what = ValueText(rate) + " Hz";
    PlayingUnit unit;
    std::string error;
    if (!unit.Start(context, setup, error))
    {
      findings.Require(false, what + ": " + error);
      continue;
    }
    AudioData output;
    findings.RequireNoErr(RenderSignal(unit.Renderer(), MakeNoise(setup, 1.0, 1.0f), output), what);
    const std::string samples = CheckSamples(output, kSaneBound);
    findings.Require(samples.empty(), what + ": " + samples);
  }
  return findings.Result("22050 to 192000 Hz, full-scale noise");
}

// A full-scale square wave: the hardest steady input.
AudioData MakeSquare(const StreamSetup& setup, double seconds, double frequency)
{
  AudioData audio = MakeSilence(setup, seconds);
  for (auto& channel : audio.channels)
    for (size_t i = 0; i < channel.size(); ++i)
      channel[i] = std::fmod(static_cast<double>(i) * frequency / setup.sampleRate, 1.0) < 0.5
                       ? 1.0f
                       : -1.0f;
  return audio;
}

CheckResult FullScaleInput(ValidationContext& context)
{
  Findings findings;
  const StreamSetup setup = StereoSetup();
  for (const bool square : {true, false})
  {
    PlayingUnit unit;
    std::string error;
    if (!unit.Start(context, setup, error)) return Fail(error);
    AudioData output;
    const AudioData input = square ? MakeSquare(setup, 4.0, 110.0) : MakeNoise(setup, 4.0, 1.0f, 7);
    findings.RequireNoErr(RenderSignal(unit.Renderer(), input, output), "rendering");
    const std::string samples = CheckSamples(output, kSaneBound);
    findings.Require(samples.empty(), std::string(square ? "square wave: " : "noise: ") + samples);
  }
  return findings.Result("within +-" + ValueText(kSaneBound));
}

CheckResult ExtremeSettings(ValidationContext& context)
{
  Findings findings;
  const StreamSetup setup = StereoSetup();
  for (const bool atMaximum : {true, false})
  {
    PlayingUnit unit;
    std::string error;
    if (!unit.Start(context, setup, error)) return Fail(error);
    SetAllParameters(unit.Unit(), context.Parameters(), atMaximum);
    AudioData output;
    findings.RequireNoErr(RenderSignal(unit.Renderer(), MakeNoise(setup, 2.0, 1.0f, 3), output),
                          "rendering");
    const std::string samples = CheckSamples(output, kExtremeBound);
    findings.Require(samples.empty(),
                     std::string(atMaximum ? "all at maximum: " : "all at minimum: ") + samples);
  }
  return findings.Result();
}

// The same input through a fresh instance in the plain way, for comparison.
bool RenderReference(ValidationContext& context, const StreamSetup& setup, const AudioData& input,
                     AudioData& output, std::string& error)
{
  PlayingUnit unit;
  if (!unit.Start(context, setup, error)) return false;
  if (RenderSignal(unit.Renderer(), input, output) == noErr) return true;
  error = "the reference render fails";
  return false;
}

CheckResult InPlace(ValidationContext& context)
{
  const StreamSetup setup = StereoSetup();
  const AudioData input = MakeNoise(setup, 1.0, 0.5f, 11);
  AudioData reference;
  PlayingUnit unit;
  std::string error;
  if (!RenderReference(context, setup, input, reference, error) ||
      !unit.Start(context, setup, error))
    return Fail(error);
  // Input and output share the host's buffers.
  AudioData shared = input;
  unit.Renderer().SetInputDelivery(UnitRenderer::InputDelivery::PointAtHostBuffers);
  TrackRenderer track(unit.Renderer(), shared, shared);
  if (track.Render(0, shared.Frames()) != noErr) return Fail("rendering in place fails");
  if (!SameSamples(reference, shared))
    return Fail("differs from separate buffers by " + ValueText(MaxDifference(reference, shared)));
  return Pass();
}

CheckResult NullOutputBuffers(ValidationContext& context)
{
  const StreamSetup setup = StereoSetup();
  const AudioData input = MakeNoise(setup, 1.0, 0.5f, 13);
  AudioData reference, output;
  PlayingUnit unit;
  std::string error;
  if (!RenderReference(context, setup, input, reference, error) ||
      !unit.Start(context, setup, error))
    return Fail(error);
  unit.Renderer().SetNullOutputBuffers(true);
  const ComponentResult status = RenderSignal(unit.Renderer(), input, output);
  if (status != noErr) return Fail("rendering into null buffers answers " + ValueText(status));
  if (!SameSamples(reference, output))
    return Fail("differs from host buffers by " + ValueText(MaxDifference(reference, output)));
  return Pass();
}

CheckResult BypassPassesInput(ValidationContext& context)
{
  Findings findings;
  const std::vector<AUChannelInfo> configurations = [&context]
  {
    UnitInstance unit;
    std::string error;
    return OpenUnit(context.GetComponent(), unit, error) ? ReadChannelConfigurations(unit.Get())
                                                         : std::vector<AUChannelInfo>();
  }();
  for (const AUChannelInfo& info : configurations)
  {
    if (info.inChannels != info.outChannels || info.inChannels < 1) continue;
    StreamSetup setup = StereoSetup();
    setup.inputChannels = setup.outputChannels = static_cast<UInt32>(info.inChannels);
    const std::string what = std::to_string(info.inChannels) + " channels";
    PlayingUnit unit;
    std::string error;
    if (!unit.Start(context, setup, error)) return Fail(error);
    findings.RequireNoErr(
        SetGlobalProperty(unit.Unit(), kAudioUnitProperty_BypassEffect, UInt32(1)), "bypass");
    const AudioData input = MakeNoise(setup, 1.0, 1.0f, 17);
    AudioData output;
    findings.RequireNoErr(RenderSignal(unit.Renderer(), input, output), what + " bypassed");
    findings.Require(SameSamples(input, output), what + ": the bypassed output is not the input");
  }
  return findings.Result();
}

CheckResult RenderArgumentsChecked(ValidationContext& context)
{
  const StreamSetup setup = StereoSetup();
  PlayingUnit unit;
  std::string error;
  if (!unit.Start(context, setup, error)) return Fail(error);
  std::vector<float> left(setup.maxFrames), right(setup.maxFrames);
  BufferList buffers(2);
  buffers.Set(0, left.data(), setup.maxFrames);
  buffers.Set(1, right.data(), setup.maxFrames);
  AudioTimeStamp timeStamp = {};
  AudioUnitRenderActionFlags flags = 0;
  Findings findings;
  findings.RequireRefused(
      AudioUnitRender(unit.Unit(), &flags, &timeStamp, 0, setup.maxFrames, buffers.Get()),
      "a time stamp without a sample time");
  timeStamp.mFlags = kAudioTimeStampSampleTimeValid;
  findings.RequireRefused(
      AudioUnitRender(unit.Unit(), &flags, &timeStamp, 1, setup.maxFrames, buffers.Get()),
      "rendering output bus 1");
  return findings.Result();
}
} // namespace

CheckGroup RenderChecks()
{
  return {"render",
          {{"initialise and uninitialise cycles", InitialiseCycles},
           {"reset clears the echoes", ResetClearsEchoes},
           {"every slice size up to the maximum gives the same output", SliceSizes},
           {"a slice above the maximum is refused", OversizeSliceRefused},
           {"common sample rates", SampleRates},
           {"full-scale input stays finite and bounded", FullScaleInput},
           {"settings at the ends of their ranges stay finite", ExtremeSettings},
           {"rendering in place", InPlace},
           {"null output buffers", NullOutputBuffers},
           {"bypass gives the input back bit for bit", BypassPassesInput},
           {"invalid time stamps and buses are refused", RenderArgumentsChecked}}};
}
