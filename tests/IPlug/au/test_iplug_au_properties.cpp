// Properties and parameters as a host sees them: sizes and writable flags,
// parameter information, value strings and conversions, settings that reset
// the plug-in, musical time from the host, and the refusals of bad requests.

#include "tests/IPlug/au/AUTestHost.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace
{
std::string Text(CFStringRef str)
{
  if (!str) return "(null)";
  char buffer[256];
  return CFStringGetCString(str, buffer, sizeof(buffer), kCFStringEncodingUTF8) ? buffer : "?";
}

struct Info
{
  OSStatus status;
  UInt32 size;
  bool writable;
};

Info PropertyInfo(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope = 0,
                  AudioUnitElement element = 0)
{
  UInt32 size = 0xFFFF;
  Boolean writable = true;
  const OSStatus status = AudioUnitGetPropertyInfo(unit, id, scope, element, &size, &writable);
  return {status, size, writable != 0};
}

void ExpectInfo(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                AudioUnitElement element, UInt32 size, bool writable)
{
  const Info info = PropertyInfo(unit, id, scope, element);
  EXPECT_EQ(noErr, info.status) << "property " << id;
  EXPECT_EQ(size, info.size) << "property " << id;
  EXPECT_EQ(writable, info.writable) << "property " << id;
}

AudioUnitParameterInfo ParameterInfo(AudioUnit unit, AudioUnitParameterID id)
{
  AudioUnitParameterInfo info;
  UInt32 size = sizeof(info);
  EXPECT_EQ(noErr, AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterInfo,
                                        kAudioUnitScope_Global, id, &info, &size));
  return info;
}

void ReleaseInfoStrings(const AudioUnitParameterInfo& info)
{
  if (info.cfNameString) CFRelease(info.cfNameString);
  if (info.unitName) CFRelease(info.unitName);
}

template <class T>
OSStatus GetRecord(AudioUnit unit, AudioUnitPropertyID id, T* record,
                   AudioUnitScope scope = kAudioUnitScope_Global, AudioUnitElement element = 0)
{
  UInt32 size = sizeof(T);
  return AudioUnitGetProperty(unit, id, scope, element, record, &size);
}

std::string StringFromValue(AudioUnit unit, AudioUnitParameterID id, const float* value)
{
  AudioUnitParameterStringFromValue conversion = {id, value, nullptr};
  EXPECT_EQ(noErr, GetRecord(unit, kAudioUnitProperty_ParameterStringFromValue, &conversion));
  const std::string text = Text(conversion.outString);
  if (conversion.outString) CFRelease(conversion.outString);
  return text;
}

std::string IDName(AudioUnit unit, AudioUnitParameterID id, SInt32 desiredLength)
{
  AudioUnitParameterIDName idName = {id, desiredLength, nullptr};
  EXPECT_EQ(noErr, GetRecord(unit, kAudioUnitProperty_ParameterIDName, &idName));
  const std::string text = Text(idName.outName);
  if (idName.outName) CFRelease(idName.outName);
  return text;
}

float ValueFromString(AudioUnit unit, AudioUnitParameterID id, const char* text)
{
  CFStringRef str =
      text ? CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8) : nullptr;
  AudioUnitParameterValueFromString conversion = {id, str, 7.5f};
  EXPECT_EQ(noErr, GetRecord(unit, kAudioUnitProperty_ParameterValueFromString, &conversion));
  if (str) CFRelease(str);
  return conversion.outValue;
}

OSStatus SetSampleRate(AudioUnit unit, Float64 rate, UInt32 size = sizeof(Float64))
{
  return AudioUnitSetProperty(unit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate,
                              size);
}

// Host callbacks whose answers the tests set.
struct HostTime
{
  Float64 beat = 0.0, tempo = 0.0;
  Float32 numerator = 0.0f;
  UInt32 denominator = 0;
  Float64 downBeat = 0.0, sample = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
  Boolean playing = false, cycling = false;

  static OSStatus BeatAndTempo(void* user, Float64* beat, Float64* tempo)
  {
    auto* time = static_cast<HostTime*>(user);
    *beat = time->beat;
    *tempo = time->tempo;
    return noErr;
  }
  static OSStatus TimeLocation(void* user, UInt32*, Float32* numerator, UInt32* denominator,
                               Float64* downBeat)
  {
    auto* time = static_cast<HostTime*>(user);
    *numerator = time->numerator;
    *denominator = time->denominator;
    *downBeat = time->downBeat;
    return noErr;
  }
  static OSStatus Transport(void* user, Boolean* playing, Boolean*, Float64* sample,
                            Boolean* cycling, Float64* cycleStart, Float64* cycleEnd)
  {
    auto* time = static_cast<HostTime*>(user);
    *playing = time->playing;
    *sample = time->sample;
    *cycling = time->cycling;
    *cycleStart = time->cycleStart;
    *cycleEnd = time->cycleEnd;
    return noErr;
  }

  OSStatus Install(AudioUnit unit, bool all = true)
  {
    const HostCallbackInfo info = {this, BeatAndTempo, all ? TimeLocation : nullptr,
                                   all ? Transport : nullptr};
    return AudioUnitSetProperty(unit, kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0,
                                &info, sizeof(info));
  }
};

// Renders one block of silence-free host input so that the plug-in runs.
void RenderBlock(const Unit& unit, double sampleTime = 0.0)
{
  HostInput input;
  ASSERT_EQ(noErr, unit.SetInputCallback(HostInput::Render, &input));
  BufferSet out(2, 32);
  ASSERT_EQ(noErr, RenderUnit(unit, sampleTime, 32, out.List()));
}

int gListenerCalls = 0;
AudioUnitScope gListenerScope = 0;
void CountingListener(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope scope, AudioUnitElement)
{
  ++gListenerCalls;
  gListenerScope = scope;
}

std::vector<AudioUnitEvent> gEvents;
std::vector<float> gEventValues;
void RecordEvent(void*, void*, const AudioUnitEvent* event, UInt64, AudioUnitParameterValue value)
{
  gEvents.push_back(*event);
  gEventValues.push_back(value);
}
} // namespace

TEST(AUProperties, InfoGivesEachPropertysSizeAndWritableFlag)
{
  Unit unit(TestPlugComponent());
  const AudioUnitScope global = kAudioUnitScope_Global, input = kAudioUnitScope_Input;
  ExpectInfo(unit, kAudioUnitProperty_ClassInfo, global, 0, sizeof(CFPropertyListRef), true);
  ExpectInfo(unit, kAudioUnitProperty_MakeConnection, input, 0, sizeof(AudioUnitConnection), true);
  ExpectInfo(unit, kAudioUnitProperty_SampleRate, global, 0, sizeof(Float64), true);
  ExpectInfo(unit, kAudioUnitProperty_ParameterList, global, 0, 4 * kNumTestParams, false);
  ExpectInfo(unit, kAudioUnitProperty_ParameterList, input, 0, 0, false);
  ExpectInfo(unit, kAudioUnitProperty_ParameterInfo, global, kTestGain,
             sizeof(AudioUnitParameterInfo), false);
  ExpectInfo(unit, kAudioUnitProperty_FastDispatch, global, kAudioUnitRenderSelect,
             sizeof(AudioUnitRenderProc), false);
  ExpectInfo(unit, kAudioUnitProperty_StreamFormat, input, 0, 40, true);
  ExpectInfo(unit, kAudioUnitProperty_StreamFormat, global, 0, 40, true);
  ExpectInfo(unit, kAudioUnitProperty_ElementCount, input, 0, 4, false);
  ExpectInfo(unit, kAudioUnitProperty_Latency, global, 0, 8, false);
  ExpectInfo(unit, kAudioUnitProperty_SupportedNumChannels, global, 0, 8, false);
  ExpectInfo(unit, kAudioUnitProperty_MaximumFramesPerSlice, global, 0, 4, true);
  ExpectInfo(unit, kAudioUnitProperty_ParameterValueStrings, global, kTestMode, sizeof(CFArrayRef),
             false);
  ExpectInfo(unit, kAudioUnitProperty_TailTime, global, 0, 8, false);
  ExpectInfo(unit, kAudioUnitProperty_BypassEffect, global, 0, 4, true);
  ExpectInfo(unit, kAudioUnitProperty_LastRenderError, global, 0, 4, false);
  ExpectInfo(unit, kAudioUnitProperty_SetRenderCallback, input, 0, sizeof(AURenderCallbackStruct),
             true);
  ExpectInfo(unit, kAudioUnitProperty_FactoryPresets, global, 0, sizeof(CFArrayRef), false);
  ExpectInfo(unit, kAudioUnitProperty_HostCallbacks, global, 0, sizeof(HostCallbackInfo), true);
  ExpectInfo(unit, kAudioUnitProperty_CurrentPreset, global, 0, sizeof(AUPreset), true);
  ExpectInfo(unit, kAudioUnitProperty_PresentPreset, global, 0, sizeof(AUPreset), true);
  ExpectInfo(unit, kAudioUnitProperty_ParameterStringFromValue, input, 0,
             sizeof(AudioUnitParameterStringFromValue), false);
  ExpectInfo(unit, kAudioUnitProperty_ParameterIDName, global, 0, sizeof(AudioUnitParameterIDName),
             false);
  ExpectInfo(unit, kAudioUnitProperty_ParameterValueFromString, global, 0,
             sizeof(AudioUnitParameterValueFromString), false);
}

TEST(AUProperties, RequestsOutsideTheTableOrTheirScopeAreRefused)
{
  Unit unit(TestPlugComponent());
  struct Case
  {
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    AudioUnitElement element;
    OSStatus expected;
  };
  const Case cases[] = {
      {kAudioUnitProperty_MakeConnection, kAudioUnitScope_Output, 0, kAudioUnitErr_InvalidProperty},
      {kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Input, 0, kAudioUnitErr_InvalidProperty},
      {kAudioUnitProperty_ParameterInfo, 0, kNumTestParams, kAudioUnitErr_InvalidParameter},
      {kAudioUnitProperty_FastDispatch, 0, kAudioUnitResetSelect, kAudioUnitErr_InvalidElement},
      {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 1, kAudioUnitErr_InvalidProperty},
      {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Group, 0, kAudioUnitErr_InvalidProperty},
      {kAudioUnitProperty_Latency, kAudioUnitScope_Output, 0, kAudioUnitErr_InvalidProperty},
      {kAudioUnitProperty_GetUIComponentList, 0, 0, kAudioUnitErr_InvalidProperty},
      {kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 1,
       kAudioUnitErr_InvalidProperty},
      {kAudioUnitProperty_CocoaUI, 0, 0, kAudioUnitErr_InvalidProperty},
      {kAudioUnitProperty_AUHostIdentifier, 0, 0, kAudioUnitErr_InvalidProperty},
      {kMusicDeviceProperty_InstrumentCount, 0, 0, kAudioUnitErr_InvalidProperty},
      {kAudioUnitProperty_CPULoad, 0, 0, kAudioUnitErr_InvalidProperty},
      {51, 0, 0, kAudioUnitErr_InvalidProperty},
  };
  for (const Case& c : cases)
  {
    const Info info = PropertyInfo(unit, c.id, c.scope, c.element);
    EXPECT_EQ(c.expected, info.status) << "property " << c.id;
    EXPECT_EQ(0xFFFFu, info.size) << "property " << c.id;
  }
  // A parameter without value strings reports size 0 with its refusal.
  const Info noStrings = PropertyInfo(unit, kAudioUnitProperty_ParameterValueStrings, 0, kTestGain);
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, noStrings.status);
  EXPECT_EQ(0u, noStrings.size);
}

TEST(AUProperties, ShortBuffersAreRefusedAndLeftUntouched)
{
  Unit unit(TestPlugComponent());
  Float64 rate = -1.0;
  UInt32 size = 4;
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitGetProperty(unit, kAudioUnitProperty_SampleRate, 0, 0, &rate, &size));
  EXPECT_EQ(-1.0, rate);
  EXPECT_EQ(4u, size);
  std::vector<AudioUnitParameterID> ids(kNumTestParams, 99);
  size = 4 * (kNumTestParams - 1);
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterList, 0, 0, ids.data(), &size));
  EXPECT_EQ(99u, ids[0]);
  // A null size pointer with data counts as no room at all.
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitGetProperty(unit, kAudioUnitProperty_SampleRate, 0, 0, &rate, nullptr));

  const float resets = unit.Param(kTestResets);
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetSampleRate(unit, 48000.0, 4));
  const UInt32 frames = 512;
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitSetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, &frames, 2));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitSetProperty(unit, kAudioUnitProperty_BypassEffect, 0, 0, nullptr, 4));
  EXPECT_EQ(44100.0, unit.Float64Property(kAudioUnitProperty_SampleRate));
  EXPECT_EQ(1024u, unit.UInt32Property(kAudioUnitProperty_MaximumFramesPerSlice));
  EXPECT_EQ(resets, unit.Param(kTestResets));
}

TEST(AUProperties, PlainValues)
{
  Unit effect(TestPlugComponent());
  EXPECT_EQ(44100.0, effect.Float64Property(kAudioUnitProperty_SampleRate));
  EXPECT_EQ(0.0, effect.Float64Property(kAudioUnitProperty_Latency));
  EXPECT_EQ(0.0, effect.Float64Property(kAudioUnitProperty_TailTime));
  EXPECT_EQ(0u, effect.UInt32Property(kAudioUnitProperty_LastRenderError));
  EXPECT_EQ(1u, effect.UInt32Property(kAudioUnitProperty_ElementCount, kAudioUnitScope_Input));
  EXPECT_EQ(1u, effect.UInt32Property(kAudioUnitProperty_ElementCount, kAudioUnitScope_Output));
  EXPECT_EQ(1u, effect.UInt32Property(kAudioUnitProperty_ElementCount, kAudioUnitScope_Global));
  EXPECT_EQ(0u, effect.UInt32Property(kAudioUnitProperty_ElementCount, kAudioUnitScope_Group));

  std::vector<AudioUnitParameterID> ids(kNumTestParams);
  UInt32 size = 4 * kNumTestParams;
  ASSERT_EQ(noErr, AudioUnitGetProperty(effect, kAudioUnitProperty_ParameterList, 0, 0, ids.data(),
                                        &size));
  for (int i = 0; i < kNumTestParams; ++i)
    EXPECT_EQ(static_cast<UInt32>(i), ids[i]);

  AUChannelInfo channels[2] = {};
  size = sizeof(channels);
  ASSERT_EQ(noErr, AudioUnitGetProperty(effect, kAudioUnitProperty_SupportedNumChannels, 0, 0,
                                        channels, &size));
  EXPECT_EQ(1, channels[0].inChannels);
  EXPECT_EQ(1, channels[0].outChannels);
  EXPECT_EQ(2, channels[1].inChannels);
  EXPECT_EQ(2, channels[1].outChannels);

  Unit synth(TestSynthComponent());
  EXPECT_EQ(2u, synth.UInt32Property(kAudioUnitProperty_ElementCount, kAudioUnitScope_Input));
  EXPECT_EQ(2u, synth.UInt32Property(kAudioUnitProperty_ElementCount, kAudioUnitScope_Output));
  EXPECT_EQ(1u, synth.UInt32Property(kMusicDeviceProperty_InstrumentCount));
  EXPECT_DOUBLE_EQ(7.0 / 44100.0, synth.Float64Property(kAudioUnitProperty_Latency));
  EXPECT_DOUBLE_EQ(7.0 / 44100.0, synth.Float64Property(kAudioUnitProperty_TailTime));
}

TEST(AUProperties, ParameterInfoRecords)
{
  Unit unit(TestPlugComponent());
  unit.SetParam(kTestGain, 1.5f);
  AudioUnitParameterInfo gain = ParameterInfo(unit, kTestGain);
  EXPECT_EQ(0xC8000010u, gain.flags);
  EXPECT_STREQ("Gain", gain.name);
  EXPECT_EQ("Gain", Text(gain.cfNameString));
  EXPECT_EQ(static_cast<UInt32>(kAudioUnitParameterUnit_CustomUnit), gain.unit);
  EXPECT_EQ("x", Text(gain.unitName));
  EXPECT_EQ(0.0f, gain.minValue);
  EXPECT_EQ(2.0f, gain.maxValue);
  EXPECT_EQ(1.5f, gain.defaultValue); // the current value, not the declared default
  EXPECT_EQ(0u, gain.clumpID);
  ReleaseInfoStrings(gain);

  const struct
  {
    int param;
    AudioUnitParameterUnit unit;
    float max;
  } kinds[] = {{kTestMode, kAudioUnitParameterUnit_Indexed, 2.0f},
               {kTestEnable, kAudioUnitParameterUnit_Boolean, 1.0f},
               {kTestCount, kAudioUnitParameterUnit_Indexed, 10.0f},
               {kTestLongName, kAudioUnitParameterUnit_Generic, 10.0f}};
  for (const auto& kind : kinds)
  {
    AudioUnitParameterInfo info = ParameterInfo(unit, kind.param);
    EXPECT_EQ(kind.unit, info.unit) << kind.param;
    EXPECT_EQ(nullptr, info.unitName) << kind.param;
    EXPECT_EQ(kind.max, info.maxValue) << kind.param;
    ReleaseInfoStrings(info);
  }
}

TEST(AUProperties, ValueStringsListEveryDisplayText)
{
  Unit unit(TestPlugComponent());
  CFArrayRef strings = nullptr;
  ASSERT_EQ(noErr, GetRecord(unit, kAudioUnitProperty_ParameterValueStrings, &strings,
                             kAudioUnitScope_Global, kTestMode));
  ASSERT_EQ(3, CFArrayGetCount(strings));
  EXPECT_EQ("Soft", Text(static_cast<CFStringRef>(CFArrayGetValueAtIndex(strings, 0))));
  EXPECT_EQ("Off", Text(static_cast<CFStringRef>(CFArrayGetValueAtIndex(strings, 2))));
  EXPECT_EQ(1, CFGetRetainCount(strings));
  CFRelease(strings);

  EXPECT_EQ(kAudioUnitErr_InvalidParameter,
            GetRecord(unit, kAudioUnitProperty_ParameterValueStrings, &strings,
                      kAudioUnitScope_Global, kNumTestParams + 3));
}

TEST(AUProperties, StringConversions)
{
  Unit unit(TestPlugComponent());
  const float nearlyThree = 2.9f;
  EXPECT_EQ("Off", StringFromValue(unit, kTestMode, &nearlyThree));
  unit.SetParam(kTestMode, 1.0f);
  EXPECT_EQ("Hard", StringFromValue(unit, kTestMode, nullptr));
  EXPECT_EQ("", StringFromValue(unit, kTestGain, nullptr));

  EXPECT_EQ("A pa", IDName(unit, kTestLongName, 4));
  EXPECT_EQ(kTestLongParamName, IDName(unit, kTestLongName, 100));
  EXPECT_EQ(kTestLongParamName, IDName(unit, kTestLongName, -1));
  EXPECT_EQ(kTestLongParamName, IDName(unit, kTestLongName, -7));
  EXPECT_EQ("", IDName(unit, kTestLongName, 0));

  EXPECT_EQ(1.0f, ValueFromString(unit, kTestMode, "Hard"));
  EXPECT_EQ(7.5f, ValueFromString(unit, kTestMode, "hard")); // not a display text: unchanged
  EXPECT_EQ(7.5f, ValueFromString(unit, kTestMode, nullptr));
  EXPECT_EQ(1.25f, ValueFromString(unit, kTestGain, "1.25"));

  // Outside the global scope nothing is filled, and that is no error.
  AudioUnitParameterIDName idName = {kTestGain, -1, nullptr};
  EXPECT_EQ(noErr,
            GetRecord(unit, kAudioUnitProperty_ParameterIDName, &idName, kAudioUnitScope_Input));
  EXPECT_EQ(nullptr, idName.outName);
  // Parameters outside the list.
  idName.inID = kNumTestParams;
  EXPECT_EQ(kAudioUnitErr_InvalidParameter,
            GetRecord(unit, kAudioUnitProperty_ParameterIDName, &idName));
  AudioUnitParameterStringFromValue fromValue = {kNumTestParams, nullptr, nullptr};
  EXPECT_EQ(kAudioUnitErr_InvalidParameter,
            GetRecord(unit, kAudioUnitProperty_ParameterStringFromValue, &fromValue));
  AudioUnitParameterValueFromString fromString = {0xFFFFFFFF, nullptr, 3.0f};
  EXPECT_EQ(kAudioUnitErr_InvalidParameter,
            GetRecord(unit, kAudioUnitProperty_ParameterValueFromString, &fromString));
  EXPECT_EQ(3.0f, fromString.outValue);
}

TEST(AUProperties, ParameterGetAndSet)
{
  Unit unit(TestPlugComponent());
  const float changes = unit.Param(kTestParamChanges);
  unit.SetParam(kTestGain, 5.0f); // clamped to the bounds
  EXPECT_EQ(2.0f, unit.Param(kTestGain));
  EXPECT_EQ(changes + 1.0f, unit.Param(kTestParamChanges));

  AudioUnitParameterValue value = -1.0f;
  EXPECT_EQ(kAudioUnitErr_InvalidProperty,
            AudioUnitSetParameter(unit, kTestGain, kAudioUnitScope_Input, 0, 1.0f, 0));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty,
            AudioUnitGetParameter(unit, kTestGain, kAudioUnitScope_Output, 0, &value));
  EXPECT_EQ(kAudioUnitErr_InvalidParameter,
            AudioUnitSetParameter(unit, kNumTestParams, kAudioUnitScope_Global, 0, 1.0f, 0));
  EXPECT_EQ(kAudioUnitErr_InvalidParameter,
            AudioUnitGetParameter(unit, 0x80000000u, kAudioUnitScope_Global, 0, &value));
  EXPECT_EQ(-1.0f, value);
  EXPECT_EQ(2.0f, unit.Param(kTestGain));
  EXPECT_EQ(changes + 1.0f, unit.Param(kTestParamChanges));
}

TEST(AUProperties, FastDispatchProceduresWorkOnTheInstanceStorage)
{
  Unit unit(TestPlugComponent());
  AudioUnitGetParameterProc getParam = nullptr;
  AudioUnitSetParameterProc setParam = nullptr;
  AudioUnitRenderProc render = nullptr;
  ASSERT_EQ(noErr, GetRecord(unit, kAudioUnitProperty_FastDispatch, &getParam,
                             kAudioUnitScope_Global, kAudioUnitGetParameterSelect));
  ASSERT_EQ(noErr, GetRecord(unit, kAudioUnitProperty_FastDispatch, &setParam,
                             kAudioUnitScope_Global, kAudioUnitSetParameterSelect));
  ASSERT_EQ(noErr, GetRecord(unit, kAudioUnitProperty_FastDispatch, &render, kAudioUnitScope_Global,
                             kAudioUnitRenderSelect));
  unit.SetParam(kTestGain, 1.0f);
  void* storage = GetComponentInstanceStorage(unit);
  EXPECT_EQ(noErr, setParam(storage, kTestCount, kAudioUnitScope_Global, 0, 8.0f, 0));
  AudioUnitParameterValue value = 0.0f;
  EXPECT_EQ(noErr, getParam(storage, kTestCount, kAudioUnitScope_Global, 0, &value));
  EXPECT_EQ(8.0f, value);
  EXPECT_EQ(8.0f, unit.Param(kTestCount));

  HostInput input;
  ASSERT_EQ(noErr, unit.SetInputCallback(HostInput::Render, &input));
  BufferSet out(2, 16);
  AudioUnitRenderActionFlags flags = 0;
  const AudioTimeStamp timeStamp = SampleTimeStamp(0.0);
  EXPECT_EQ(noErr, render(storage, &flags, &timeStamp, 0, 16, out.List()));
  EXPECT_EQ(1, input.calls);
  EXPECT_EQ(HostInput::Value(1, 0, 3) + kTestProcessOffset, out.Sample(1, 3));
}

TEST(AUProperties, RateFramesAndBypassResetThePluginAndFormatsDoNot)
{
  Unit unit(TestPlugComponent());
  float resets = unit.Param(kTestResets);
  EXPECT_EQ(noErr, SetSampleRate(unit, 96000.0));
  EXPECT_EQ(96000.0, unit.Float64Property(kAudioUnitProperty_SampleRate));
  EXPECT_EQ(++resets, unit.Param(kTestResets));
  EXPECT_EQ(noErr, unit.SetMaxFrames(256));
  EXPECT_EQ(256u, unit.UInt32Property(kAudioUnitProperty_MaximumFramesPerSlice));
  EXPECT_EQ(++resets, unit.Param(kTestResets));
  EXPECT_EQ(noErr, unit.SetBypass(true));
  EXPECT_EQ(1u, unit.UInt32Property(kAudioUnitProperty_BypassEffect));
  EXPECT_EQ(++resets, unit.Param(kTestResets));
  EXPECT_EQ(noErr, unit.SetFormat(kAudioUnitScope_Input, 0, 2, 48000.0));
  EXPECT_EQ(48000.0, unit.Float64Property(kAudioUnitProperty_SampleRate));
  EXPECT_EQ(resets, unit.Param(kTestResets));

  for (Float64 bad : {0.0, -44100.0, std::numeric_limits<Float64>::quiet_NaN(),
                      std::numeric_limits<Float64>::infinity()})
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetSampleRate(unit, bad)) << bad;
  EXPECT_EQ(48000.0, unit.Float64Property(kAudioUnitProperty_SampleRate));
  EXPECT_EQ(resets, unit.Param(kTestResets));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, unit.SetMaxFrames(0xFFFFFFFF));
  EXPECT_EQ(256u, unit.UInt32Property(kAudioUnitProperty_MaximumFramesPerSlice));
}

TEST(AUProperties, EverySetFirstNotifiesTheListenersOfThatProperty)
{
  Unit unit(TestPlugComponent());
  gListenerCalls = 0;
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(unit, 999, CountingListener, nullptr));
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(unit, kAudioUnitProperty_SampleRate,
                                                CountingListener, nullptr));
  const UInt32 value = 1;
  EXPECT_EQ(kAudioUnitErr_InvalidProperty,
            AudioUnitSetProperty(unit, 999, kAudioUnitScope_Output, 0, &value, sizeof(value)));
  EXPECT_EQ(1, gListenerCalls);
  EXPECT_EQ(static_cast<AudioUnitScope>(kAudioUnitScope_Output), gListenerScope);
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetSampleRate(unit, -1.0));
  EXPECT_EQ(2, gListenerCalls);
}

TEST(AUProperties, TempoAndTimeComeFromTheHostCallbacks)
{
  Unit unit(TestPlugComponent());
  RenderBlock(unit);
  EXPECT_EQ(120.0f, unit.Param(kTestTempo));
  EXPECT_EQ(-101.0f, unit.Param(kTestTimeSig)); // no callbacks: left untouched
  EXPECT_EQ(0.0f, unit.Param(kTestSamplePos));

  HostTime time;
  time.tempo = 90.0;
  time.numerator = 6.9f;
  time.denominator = 8;
  time.sample = 1000.5;
  ASSERT_EQ(noErr, time.Install(unit));
  RenderBlock(unit, 32);
  EXPECT_EQ(90.0f, unit.Param(kTestTempo));
  EXPECT_EQ(608.0f, unit.Param(kTestTimeSig));
  EXPECT_EQ(1001.0f, unit.Param(kTestSamplePos));

  // A tempo that is not positive (or not finite) keeps the last one reported.
  time.tempo = 0.0;
  RenderBlock(unit, 64);
  EXPECT_EQ(90.0f, unit.Param(kTestTempo));
  time.tempo = std::numeric_limits<Float64>::infinity();
  RenderBlock(unit, 96);
  EXPECT_EQ(90.0f, unit.Param(kTestTempo));
  time.tempo = 133.0;
  RenderBlock(unit, 128);
  EXPECT_EQ(133.0f, unit.Param(kTestTempo));
}

TEST(AUProperties, TimeInfoHoldsOnlyWhatTheHostReports)
{
  Unit synth(TestSynthComponent());
  HostTime time;
  time.tempo = 100.0;
  time.beat = 12.5;
  time.numerator = 3.0f;
  time.denominator = 4;
  time.downBeat = 12.0;
  time.sample = 22050.0;
  time.cycleStart = 8.0;
  time.cycleEnd = 0.0; // not reported: stays as it was
  time.playing = true;
  time.cycling = true;
  ASSERT_EQ(noErr, time.Install(synth));
  BufferSet out(2, 16);
  ASSERT_EQ(noErr, RenderUnit(synth, 0, 16, out.List()));
  EXPECT_EQ(100.0f, synth.Param(kSynthTempo));
  EXPECT_EQ(12.5f, synth.Param(kSynthPPQ));
  EXPECT_EQ(12.0f, synth.Param(kSynthLastBar));
  EXPECT_EQ(22050.0f, synth.Param(kSynthSamplePos));
  EXPECT_EQ(8.0f, synth.Param(kSynthCycleStart));
  EXPECT_EQ(-1.0f, synth.Param(kSynthCycleEnd));
  EXPECT_EQ(3.0f, synth.Param(kSynthTransport));
  EXPECT_EQ(304.0f, synth.Param(kSynthTimeSig));

  ASSERT_EQ(noErr, time.Install(synth, false)); // tempo only
  ASSERT_EQ(noErr, RenderUnit(synth, 16, 16, out.List()));
  EXPECT_EQ(-1.0f, synth.Param(kSynthSamplePos));
  EXPECT_EQ(0.0f, synth.Param(kSynthTransport));
  EXPECT_EQ(-101.0f, synth.Param(kSynthTimeSig));
}

TEST(AUProperties, HostIdentification)
{
  Unit unnamed(TestPlugComponent());
  EXPECT_EQ(noErr, AudioUnitReset(unnamed, kAudioUnitScope_Global, 0));
  EXPECT_EQ(0.0f, unnamed.Param(kTestHost)); // identified as no known host, never -1

  Unit named(TestPlugComponent());
  CFStringRef name = CFStringCreateWithCString(nullptr, "REAPER", kCFStringEncodingUTF8);
  const AUHostIdentifier identifier = {name, {0, 0, 0x21, 5}};
  EXPECT_EQ(noErr,
            AudioUnitSetProperty(named, kAudioUnitProperty_AUHostIdentifier, kAudioUnitScope_Global,
                                 0, &identifier, sizeof(identifier)));
  CFRelease(name);
  EXPECT_EQ(noErr, AudioUnitReset(named, kAudioUnitScope_Global, 0));
  EXPECT_EQ(1.0f, named.Param(kTestHost));
  EXPECT_EQ(static_cast<float>(0x052100), named.Param(kTestHostVersion));
}

TEST(AUProperties, LatencyChangesReachTheLatencyListeners)
{
  Unit synth(TestSynthComponent());
  gListenerCalls = 0;
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(synth, kAudioUnitProperty_Latency, CountingListener,
                                                nullptr));
  EXPECT_EQ(noErr, AudioUnitReset(synth, kAudioUnitScope_Global, 0)); // sets latency 14
  EXPECT_EQ(1, gListenerCalls);
  EXPECT_EQ(static_cast<AudioUnitScope>(kAudioUnitScope_Global), gListenerScope);
  EXPECT_DOUBLE_EQ(14.0 / 44100.0, synth.Float64Property(kAudioUnitProperty_Latency));
}

TEST(AUProperties, GesturesInThePluginReachTheHostsEventListeners)
{
  Unit unit(TestPlugComponent());
  AUEventListenerRef listener = nullptr;
  ASSERT_EQ(noErr,
            AUEventListenerCreate(RecordEvent, nullptr, nullptr, nullptr, 0.0f, 0.0f, &listener));
  AudioUnitEvent event = {};
  event.mArgument.mParameter = {unit.Get(), kTestGain, kAudioUnitScope_Global, 0};
  for (AudioUnitEventType type :
       {kAudioUnitEvent_ParameterValueChange, kAudioUnitEvent_BeginParameterChangeGesture,
        kAudioUnitEvent_EndParameterChangeGesture})
  {
    event.mEventType = type;
    ASSERT_EQ(noErr, AUEventListenerAddEventType(listener, nullptr, &event));
  }
  gEvents.clear();
  gEventValues.clear();
  unit.SetParam(kTestGain, 0.75f);
  ASSERT_EQ(noErr, AudioUnitInitialize(unit)); // the test plug-in makes a gesture on the gain
  ASSERT_EQ(3u, gEvents.size());
  EXPECT_EQ(static_cast<UInt32>(kAudioUnitEvent_BeginParameterChangeGesture),
            gEvents[0].mEventType);
  EXPECT_EQ(static_cast<UInt32>(kAudioUnitEvent_ParameterValueChange), gEvents[1].mEventType);
  EXPECT_EQ(static_cast<UInt32>(kAudioUnitEvent_EndParameterChangeGesture), gEvents[2].mEventType);
  EXPECT_EQ(unit.Get(), gEvents[1].mArgument.mParameter.mAudioUnit);
  EXPECT_EQ(static_cast<UInt32>(kTestGain), gEvents[1].mArgument.mParameter.mParameterID);
  EXPECT_EQ(0.75f, gEventValues[1]);
  AUListenerDispose(listener);
}
