// The effect driven as a host drives it: through the component bundle, the
// component manager and the host API only.

#include "host/kit/HostedUnit.h"

#include <StandInExtensions.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <functional>
#include <utility>

namespace
{
// Parameter IDs of the effect.
constexpr AudioUnitParameterID kSwitchID = 13;

StreamSetup StreamAt(double sampleRate, UInt32 channels)
{
  StreamSetup setup;
  setup.sampleRate = sampleRate;
  setup.inputChannels = setup.outputChannels = channels;
  setup.maxFrames = 512;
  return setup;
}

// A fresh instance at a rate, set up by the caller, renders silence long
// enough for the delay times to glide to their targets, then an impulse of the
// given heights (one per channel, which sets the stream format), then 'tail'
// seconds.
struct ImpulseRun
{
  double rate;
  size_t impulseAt;
  ChannelData in, out;
  ComponentResult result = noErr;
  std::string error;

  ImpulseRun(double sampleRate, std::vector<float> heights, double tail,
             const std::function<void(HostedUnit&)>& setup = {})
      : rate(sampleRate), impulseAt(static_cast<size_t>(sampleRate))
  {
    const size_t length = impulseAt + static_cast<size_t>(tail * sampleRate);
    for (float height : heights)
    {
      in.emplace_back(length, 0.0f);
      in.back()[impulseAt] = height;
    }
    HostedUnit host;
    const UInt32 channels = static_cast<UInt32>(heights.size());
    if (!host.OpenFound("", error) || !host.Start(StreamAt(rate, channels), error))
    {
      result = kAudioUnitErr_FailedInitialization;
      return;
    }
    if (setup) setup(host);
    result = host.RenderChannels(in, out);
  }

  // Milliseconds from the impulse to the loudest sample of a channel after it.
  double PeakMS(size_t channel) const
  {
    const std::vector<float>& x = out[channel];
    size_t peak = impulseAt + 1;
    for (size_t i = peak; i < x.size(); ++i)
      if (std::fabs(x[i]) > std::fabs(x[peak])) peak = i;
    return (peak - impulseAt) * 1000.0 / rate;
  }
};

// The gliding delay times settle a little short of their targets in single
// precision, the more so at high rates: allow a tenth of a percent.
void ExpectEchoAt(const ImpulseRun& run, size_t channel, double ms)
{
  EXPECT_NEAR(run.PeakMS(channel), ms, ms * 1e-3) << "channel " << channel;
}
} // namespace

TEST(EffectComponent, RegistersFromItsBundle)
{
  std::string error;
  Component component = nullptr, again = nullptr;
  ASSERT_TRUE(FindAndLoadComponent("", component, error)) << error;
  ASSERT_TRUE(FindAndLoadComponent("", again, error)) << error;
  EXPECT_EQ(again, component);
  HostedUnit host;
  ASSERT_TRUE(host.Open(component, error)) << error;
  EXPECT_EQ(CallComponentVersion(host.Unit()), 0x10000);
  EXPECT_TRUE(host.Start(StreamAt(44100.0, 2), error)) << error;

  // The parameters as the host sees them, holding the factory preset.
  const std::pair<AudioUnitParameterID, const char*> names[] = {
      {0, "2hicut"}, {7, "2LFO intensity"}, {13, "switch"}, {27, "Level2"}};
  for (const auto& [id, name] : names)
  {
    AudioUnitParameterInfo info = {};
    UInt32 size = sizeof info;
    ASSERT_EQ(AudioUnitGetProperty(host.Unit(), kAudioUnitProperty_ParameterInfo,
                                   kAudioUnitScope_Global, id, &info, &size),
              noErr);
    EXPECT_STREQ(info.name, name);
    EXPECT_EQ(info.maxValue, 100.0f);
    CFRelease(info.cfNameString);
    if (info.unitName) CFRelease(info.unitName);
  }
  AudioUnitParameterValue units = 0.0f;
  EXPECT_EQ(AudioUnitGetParameter(host.Unit(), 14, kAudioUnitScope_Global, 0, &units), noErr);
  EXPECT_FLOAT_EQ(units, 24.29f);
}

TEST(EffectComponent, FactoryPresetTapsAt120Bpm)
{
  ImpulseRun run(44100.0, {1.0f, 1.0f}, 0.8);
  ASSERT_EQ(run.result, noErr) << run.error;
  ExpectEchoAt(run, 0, 375.0);                      // tap 1, panned left
  ExpectEchoAt(run, 1, 625.0);                      // tap 2, panned right
  EXPECT_FLOAT_EQ(run.out[0][run.impulseAt], 1.0f); // dry gain 1
}

TEST(EffectComponent, DelaysFollowTheHostTempo)
{
  ImpulseRun run(44100.0, {1.0f, 1.0f}, 1.5, [](HostedUnit& host) { host.SetTempo(60.0); });
  ASSERT_EQ(run.result, noErr);
  ExpectEchoAt(run, 0, 750.0);
  ExpectEchoAt(run, 1, 1250.0);
}

TEST(EffectComponent, SwitchSelectsTheEngineAboveOneHalf)
{
  auto switchAt = [](float value)
  { return [value](HostedUnit& host) { EXPECT_EQ(host.SetParameter(kSwitchID, value), noErr); }; };
  // At exactly 50 the loop engine runs: its echo comes one eighth note later.
  ImpulseRun loop(44100.0, {1.0f, 1.0f}, 0.3, switchAt(50.0f));
  ASSERT_EQ(loop.result, noErr);
  ExpectEchoAt(loop, 0, 250.0);
  ImpulseRun stereo(44100.0, {1.0f, 1.0f}, 0.4, switchAt(50.01f));
  ASSERT_EQ(stereo.result, noErr);
  ExpectEchoAt(stereo, 0, 375.0);
}

TEST(EffectComponent, MonoConnectionFeedsHalfTheLeftInput)
{
  ImpulseRun mono(44100.0, {1.0f}, 0.4), stereo(44100.0, {1.0f, 0.0f}, 0.4);
  ASSERT_EQ(mono.result, noErr);
  ASSERT_EQ(stereo.result, noErr);
  ASSERT_EQ(mono.out.size(), 1u);
  EXPECT_EQ(mono.out[0], stereo.out[0]);
  ExpectEchoAt(mono, 0, 375.0);
}

TEST(EffectComponent, EchoesKeepTheirTimeAtHighRates)
{
  for (double rate : {96000.0, 192000.0})
  {
    ImpulseRun run(rate, {1.0f, 1.0f}, 0.4);
    ASSERT_EQ(run.result, noErr);
    ExpectEchoAt(run, 0, 375.0);
  }
}

// The module must use the host's CoreFoundation and component manager, never a
// copy of its own: objects and registrations cross between the two sides.
TEST(EffectComponent, ModuleBringsNoCopyOfTheHostServices)
{
  std::string bundle, error;
  ASSERT_TRUE(FindComponentBundle("", bundle, error)) << error;
  const std::string module = bundle + "/Contents/MacOS/TolvaneDelay";
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << dlerror();
  // A lookup through the handle searches the module and its own libraries only.
  for (const char* symbol : {"CFRetain", "CFBundleGetMainBundle", "FindNextComponent"})
    EXPECT_EQ(dlsym(handle, symbol), nullptr) << symbol;
  EXPECT_NE(dlsym(handle, "TolvaneDelay_Entry"), nullptr);
  dlclose(handle);
}

TEST(EffectComponent, AFreshInstanceTakesItsFirstDelayFromASlowTempo)
{
  // Below 51 bpm the stereo engine keeps its target; a fresh one takes the
  // tempo's (3/4 and 5/4 of a 1.5 s beat) instead of staying at 0 ms.
  ImpulseRun run(44100.0, {1.0f, 1.0f}, 2.5, [](HostedUnit& host) { host.SetTempo(40.0); });
  ASSERT_EQ(run.result, noErr) << run.error;
  ExpectEchoAt(run, 0, 1125.0);
  ExpectEchoAt(run, 1, 1875.0);
  // The loop engine at 60 bpm with a whole note (not followed there): 4 s.
  const auto loopWholeNote = [](HostedUnit& host)
  {
    host.SetTempo(60.0);
    EXPECT_EQ(host.SetParameter(kSwitchID, 0.0f), noErr);
    EXPECT_EQ(host.SetParameter(5, 0.0f), noErr); // "2note": a whole note
  };
  ImpulseRun loop(44100.0, {1.0f, 1.0f}, 4.5, loopWholeNote);
  ASSERT_EQ(loop.result, noErr) << loop.error;
  EXPECT_NEAR(loop.PeakMS(0), 4000.0, 100.0) << "an echo, not the doubled dry signal";
}

TEST(EffectComponent, TailTimeFollowsDelaysAndFeedback)
{
  HostedUnit host;
  std::string error;
  ASSERT_TRUE(host.OpenFound("", error)) << error;
  ASSERT_TRUE(host.Start(StreamAt(44100.0, 2), error)) << error;
  const auto tail = [&host]()
  {
    Float64 seconds = -1.0;
    UInt32 size = sizeof(seconds);
    EXPECT_EQ(AudioUnitGetProperty(host.Unit(), kAudioUnitProperty_TailTime, kAudioUnitScope_Global,
                                   0, &seconds, &size),
              noErr);
    return seconds;
  };
  // Feedback 0.75 falls below -90 dB after 37 repeats of the longer tap, 625 ms.
  EXPECT_NEAR(tail(), 37 * 0.625, 1e-6);
  const AudioUnitParameterID feedback1 = 20, feedback2 = 26;
  EXPECT_EQ(host.SetParameter(feedback1, 20.0f), noErr);
  EXPECT_EQ(host.SetParameter(feedback2, 20.0f), noErr);
  EXPECT_NEAR(tail(), 7 * 0.625, 1e-6);
  // A feedback that does not decay rings for the longest tail reported.
  EXPECT_EQ(host.SetParameter(feedback2, 100.0f), noErr);
  EXPECT_EQ(tail(), 60.0);
  Float64 latency = -1.0;
  UInt32 size = sizeof(latency);
  EXPECT_EQ(AudioUnitGetProperty(host.Unit(), kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0,
                                 &latency, &size),
            noErr);
  EXPECT_EQ(latency, 0.0);
}
