// Validation: the channel configurations the component names initialise and
// render, other pairings do not initialise, and unusable stream formats are
// refused without spoiling the unit.

#include "host/kit/AUProperty.h"
#include "host/kit/ComponentInfo.h"
#include "host/validate/ValidateSupport.h"

namespace
{
const UInt32 kMaxTriedChannels = 2;

// A negative count in a configuration stands for any number.
UInt32 ConcreteCount(SInt16 count)
{
  return count < 0 ? 2 : static_cast<UInt32>(count);
}

bool IsLegal(const std::vector<AUChannelInfo>& configurations, UInt32 in, UInt32 out)
{
  for (const AUChannelInfo& info : configurations)
    if ((info.inChannels < 0 || UInt32(info.inChannels) == in) &&
        (info.outChannels < 0 || UInt32(info.outChannels) == out))
      return true;
  return false;
}

std::vector<AUChannelInfo> Configurations(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  return OpenUnit(context.GetComponent(), unit, error) ? ReadChannelConfigurations(unit.Get())
                                                       : std::vector<AUChannelInfo>();
}

std::string Pairing(UInt32 in, UInt32 out)
{
  return std::to_string(in) + " in " + std::to_string(out) + " out";
}

CheckResult LegalConfigurations(ValidationContext& context)
{
  const std::vector<AUChannelInfo> configurations = Configurations(context);
  if (configurations.empty()) return Fail("no channel configurations");
  Findings findings;
  std::string tried;
  for (const AUChannelInfo& info : configurations)
  {
    StreamSetup setup = StereoSetup();
    setup.inputChannels = ConcreteCount(info.inChannels);
    setup.outputChannels = ConcreteCount(info.outChannels);
    const std::string pairing = Pairing(setup.inputChannels, setup.outputChannels);
    tried += (tried.empty() ? "" : ", ") + pairing;
    PlayingUnit unit;
    std::string error;
    if (!unit.Start(context, setup, error))
    {
      findings.Require(false, pairing + ": " + error);
      continue;
    }
    AudioData output;
    findings.RequireNoErr(RenderSignal(unit.Renderer(), MakeNoise(setup, 0.1, 1.0f), output),
                          pairing + " render");
    const std::string samples = CheckSamples(output, 8.0);
    findings.Require(samples.empty(), pairing + ": " + samples);
  }
  return findings.Result(tried);
}

CheckResult IllegalConfigurations(ValidationContext& context)
{
  const std::vector<AUChannelInfo> configurations = Configurations(context);
  Findings findings;
  std::string tried;
  for (UInt32 in = 1; in <= kMaxTriedChannels; ++in)
    for (UInt32 out = 1; out <= kMaxTriedChannels; ++out)
    {
      if (IsLegal(configurations, in, out)) continue;
      tried += (tried.empty() ? "" : ", ") + Pairing(in, out);
      UnitInstance unit;
      std::string error;
      if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
      const ComponentResult inStatus =
          SetAUProperty(unit.Get(), kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0,
                        CanonicalFormat(44100.0, in));
      const ComponentResult outStatus =
          SetAUProperty(unit.Get(), kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                        CanonicalFormat(44100.0, out));
      // Refusing one of the formats also keeps the pairing out.
      if (inStatus == noErr && outStatus == noErr)
        findings.RequireRefused(AudioUnitInitialize(unit.Get()),
                                "initialising " + Pairing(in, out));
    }
  return findings.Result(tried.empty() ? std::string("every pairing is legal") : tried);
}

struct BadFormat
{
  const char* what;
  AudioStreamBasicDescription format;
};

std::vector<BadFormat> BadFormats()
{
  std::vector<BadFormat> formats = {{"3 channels", CanonicalFormat(44100.0, 3)},
                                    {"0 channels", CanonicalFormat(44100.0, 0)},
                                    {"16-bit integers", CanonicalFormat(44100.0, 2)},
                                    {"a compressed format", CanonicalFormat(44100.0, 2)}};
  formats[2].format.mFormatFlags = kAudioFormatFlagIsSignedInteger;
  formats[2].format.mBitsPerChannel = 16;
  formats[3].format.mFormatID = kAudioFormatMPEG4AAC;
  return formats;
}

CheckResult BadFormatsRefused(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Findings findings;
  for (const BadFormat& bad : BadFormats())
    for (const AudioUnitScope scope : {kAudioUnitScope_Input, kAudioUnitScope_Output})
      findings.RequireRefused(
          SetAUProperty(unit.Get(), kAudioUnitProperty_StreamFormat, scope, 0, bad.format),
          std::string(scope == kAudioUnitScope_Input ? "an input" : "an output") + " format of " +
              bad.what);

  // Afterwards the unit still takes a good format and plays.
  const StreamSetup setup = StereoSetup();
  UnitRenderer renderer(unit.Get(), setup);
  if (!renderer.Configure(error) || !renderer.Start(error))
    findings.Require(false, "after the refusals: " + error);
  else
  {
    AudioData output;
    findings.RequireNoErr(RenderSignal(renderer, MakeNoise(setup, 0.05, 0.5f), output),
                          "rendering after the refusals");
  }
  return findings.Result();
}
} // namespace

CheckGroup ChannelChecks()
{
  return {"channels",
          {{"named configurations initialise and render", LegalConfigurations},
           {"other pairings do not initialise", IllegalConfigurations},
           {"unusable stream formats are refused", BadFormatsRefused}}};
}
