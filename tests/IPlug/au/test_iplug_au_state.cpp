// The class-info dictionary, factory preset arrays and the present preset.

#include "tests/IPlug/au/AUTestHost.h"

#include <cstring>
#include <string>
#include <vector>

namespace
{
CFMutableDictionaryRef GetState(AudioUnit unit)
{
  CFPropertyListRef state = nullptr;
  UInt32 size = sizeof(state);
  EXPECT_EQ(noErr, AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global,
                                        0, &state, &size));
  return const_cast<CFMutableDictionaryRef>(static_cast<CFDictionaryRef>(state));
}

OSStatus SetState(AudioUnit unit, CFPropertyListRef state)
{
  return AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &state,
                              sizeof(state));
}

SInt32 Number(CFDictionaryRef dict, const char* key)
{
  CFStringRef cfKey = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  auto number = static_cast<CFNumberRef>(CFDictionaryGetValue(dict, cfKey));
  CFRelease(cfKey);
  SInt32 value = -1;
  EXPECT_NE(nullptr, number) << key;
  if (number) CFNumberGetValue(number, kCFNumberSInt32Type, &value);
  return value;
}

std::string Text(CFStringRef str)
{
  char buffer[512];
  return str && CFStringGetCString(str, buffer, sizeof(buffer), kCFStringEncodingUTF8) ? buffer
                                                                                       : "?";
}

// Stores a value under key (or removes the key for a null value).
void Put(CFMutableDictionaryRef dict, const char* key, CFTypeRef value)
{
  CFStringRef cfKey = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  if (value)
  {
    CFDictionarySetValue(dict, cfKey, value);
    CFRelease(value);
  }
  else
  {
    CFDictionaryRemoveValue(dict, cfKey);
  }
  CFRelease(cfKey);
}

CFNumberRef MakeNumber(SInt32 value)
{
  return CFNumberCreate(nullptr, kCFNumberSInt32Type, &value);
}

CFStringRef MakeString(const char* text)
{
  return CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
}

CFDataRef MakeData(const std::vector<double>& values)
{
  return CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(values.data()),
                      static_cast<CFIndex>(values.size() * sizeof(double)));
}

AUPreset PresentPreset(AudioUnit unit)
{
  AUPreset preset = {-1, nullptr};
  UInt32 size = sizeof(preset);
  EXPECT_EQ(noErr, AudioUnitGetProperty(unit, kAudioUnitProperty_PresentPreset,
                                        kAudioUnitScope_Global, 0, &preset, &size));
  return preset;
}

std::string PresentPresetName(AudioUnit unit)
{
  const AUPreset preset = PresentPreset(unit);
  const std::string name = Text(preset.presetName);
  if (preset.presetName) CFRelease(preset.presetName);
  return std::to_string(preset.presetNumber) + ":" + name;
}

OSStatus SetPresentPreset(AudioUnit unit, SInt32 number)
{
  const AUPreset preset = {number, nullptr};
  return AudioUnitSetProperty(unit, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0,
                              &preset, sizeof(preset));
}

// A unit with a saved state in which the gain is 1.7 and the count 9.
struct SavedUnit
{
  Unit unit{TestPlugComponent()};
  CFMutableDictionaryRef state;
  SavedUnit()
  {
    unit.SetParam(kTestGain, 1.7f);
    unit.SetParam(kTestCount, 9.0f);
    state = GetState(unit);
    unit.SetParam(kTestGain, 0.3f);
    unit.SetParam(kTestCount, 2.0f);
  }
  ~SavedUnit() { CFRelease(state); }
  void ExpectUnchanged()
  {
    EXPECT_EQ(0.3f, unit.Param(kTestGain));
    EXPECT_EQ(2.0f, unit.Param(kTestCount));
  }
};
} // namespace

TEST(AUState, ClassInfoHoldsTheSixKeys)
{
  Unit unit(TestPlugComponent());
  unit.SetParam(kTestGain, 1.25f);
  CFMutableDictionaryRef state = GetState(unit);
  ASSERT_NE(nullptr, state);
  EXPECT_EQ(CFDictionaryGetTypeID(), CFGetTypeID(state));
  EXPECT_EQ(1, CFGetRetainCount(state));
  EXPECT_EQ(6, CFDictionaryGetCount(state));
  EXPECT_EQ(kTestVersion, Number(state, "version"));
  EXPECT_EQ(static_cast<SInt32>(kAudioUnitType_Effect), Number(state, "type"));
  EXPECT_EQ(kTestUniqueID, Number(state, "subtype"));
  EXPECT_EQ(kTestMfrID, Number(state, "manufacturer"));
  CFStringRef nameKey = MakeString("name"), dataKey = MakeString("data");
  EXPECT_EQ(kTestPresetName, Text(static_cast<CFStringRef>(CFDictionaryGetValue(state, nameKey))));
  auto data = static_cast<CFDataRef>(CFDictionaryGetValue(state, dataKey));
  ASSERT_EQ(static_cast<CFIndex>(8 * kNumTestParams), CFDataGetLength(data));
  double gain = 0.0;
  std::memcpy(&gain, CFDataGetBytePtr(data) + 8 * kTestGain, sizeof(gain));
  EXPECT_EQ(1.25, gain);
  CFRelease(nameKey);
  CFRelease(dataKey);
  CFRelease(state);
}

TEST(AUState, RestoringTheClassInfoSetsTheSavedValues)
{
  SavedUnit saved;
  const float changes = saved.unit.Param(kTestParamChanges);
  EXPECT_EQ(noErr, SetState(saved.unit, saved.state));
  EXPECT_FLOAT_EQ(1.7f, saved.unit.Param(kTestGain));
  EXPECT_EQ(9.0f, saved.unit.Param(kTestCount));
  EXPECT_LT(changes, saved.unit.Param(kTestParamChanges)); // every parameter was pushed again

  // The version is stored, not compared.
  saved.unit.SetParam(kTestCount, 2.0f);
  Put(saved.state, "version", MakeNumber(0));
  EXPECT_EQ(noErr, SetState(saved.unit, saved.state));
  EXPECT_EQ(9.0f, saved.unit.Param(kTestCount));

  // A state chunk of the instrument round-trips too.
  Unit synth(TestSynthComponent());
  synth.SetParam(kSynthLevel, 0.625f);
  CFMutableDictionaryRef synthState = GetState(synth);
  synth.SetParam(kSynthLevel, 0.0f);
  EXPECT_EQ(noErr, SetState(synth, synthState));
  EXPECT_EQ(0.625f, synth.Param(kSynthLevel));
  CFRelease(synthState);
}

TEST(AUState, ForeignOrIncompleteDictionariesAreRefused)
{
  for (const char* key : {"version", "type", "subtype", "manufacturer", "name"})
  {
    SavedUnit saved;
    Put(saved.state, key, nullptr);
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetState(saved.unit, saved.state)) << key;
    saved.ExpectUnchanged();
  }
  SavedUnit saved;
  Put(saved.state, "subtype", MakeNumber(0x54766466)); // another plug-in's
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetState(saved.unit, saved.state));
  saved.ExpectUnchanged();

  CFStringRef notADictionary = MakeString("state");
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetState(saved.unit, notADictionary));
  CFRelease(notADictionary);
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetState(saved.unit, nullptr));
  saved.ExpectUnchanged();
}

TEST(AUState, ValuesOfTheWrongTypeAreRefusedBeforeAnythingChanges)
{
  const struct
  {
    const char* key;
    CFTypeRef (*make)();
  } cases[] = {
      {"type", [] { return static_cast<CFTypeRef>(MakeString("aufx")); }},
      {"manufacturer", [] { return static_cast<CFTypeRef>(MakeData({1.0})); }},
      {"name", [] { return static_cast<CFTypeRef>(MakeNumber(1)); }},
      {"data", [] { return static_cast<CFTypeRef>(MakeString("Second")); }},
  };
  for (const auto& c : cases)
  {
    SavedUnit saved;
    Put(saved.state, "name", MakeString("Second"));
    Put(saved.state, c.key, c.make());
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetState(saved.unit, saved.state)) << c.key;
    saved.ExpectUnchanged();
    EXPECT_EQ("0:Test Preset", PresentPresetName(saved.unit)) << c.key;
  }
}

TEST(AUState, MissingDataSelectsTheNamedPresetButFails)
{
  SavedUnit saved;
  Put(saved.state, "name", MakeString("Second"));
  Put(saved.state, "data", nullptr);
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetState(saved.unit, saved.state));
  EXPECT_EQ("1:Second", PresentPresetName(saved.unit));
  EXPECT_EQ(7.0f, saved.unit.Param(kTestCount));
}

TEST(AUState, ShortDataRestoresWhatItCovers)
{
  SavedUnit saved;
  Put(saved.state, "data", MakeData({1.5}));
  EXPECT_EQ(noErr, SetState(saved.unit, saved.state));
  EXPECT_EQ(1.5f, saved.unit.Param(kTestGain));
  EXPECT_EQ(5.0f, saved.unit.Param(kTestCount)); // as the named preset left it
}

TEST(AUState, ALongNameIsCutSafely)
{
  SavedUnit saved;
  std::string longName;
  for (int i = 0; i < 100; ++i)
    longName += "\xC3\xA9"; // two bytes each
  Put(saved.state, "name", MakeString(longName.c_str()));
  EXPECT_EQ(noErr, SetState(saved.unit, saved.state));
  EXPECT_EQ(9.0f, saved.unit.Param(kTestCount));
}

TEST(AUState, FactoryPresetsAreReadableAsAUPresets)
{
  Unit unit(TestPlugComponent());
  CFArrayRef presets = nullptr;
  UInt32 size = sizeof(presets);
  ASSERT_EQ(noErr, AudioUnitGetProperty(unit, kAudioUnitProperty_FactoryPresets,
                                        kAudioUnitScope_Global, 0, &presets, &size));
  ASSERT_EQ(2, CFArrayGetCount(presets)); // the blank third slot was pruned at open
  EXPECT_EQ(1, CFGetRetainCount(presets));
  const char* names[] = {kTestPresetName, "Second"};
  for (CFIndex i = 0; i < 2; ++i)
  {
    const auto* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, i));
    EXPECT_EQ(i, preset->presetNumber);
    EXPECT_EQ(names[i], Text(preset->presetName));
    EXPECT_EQ(1, CFGetRetainCount(preset->presetName)); // held by the record alone
  }
  CFStringRef description = CFCopyDescription(presets);
  const std::string text = Text(description);
  for (const char* line : {"AUPreset:\n", "preset number = 1\n", "preset name = Second"})
    EXPECT_NE(std::string::npos, text.find(line)) << text;
  CFRelease(description);
  // Records compare by number and name.
  const void* first = CFArrayGetValueAtIndex(presets, 0);
  EXPECT_EQ(0, CFArrayGetFirstIndexOfValue(presets, CFRangeMake(0, 2), first));
  CFRelease(presets); // frees every record and its name (the sanitizer build checks)
}

TEST(AUState, PresentPresetFollowsTheHostsChoice)
{
  Unit unit(TestPlugComponent());
  EXPECT_EQ("0:Test Preset", PresentPresetName(unit));
  EXPECT_EQ(noErr, SetPresentPreset(unit, 1));
  EXPECT_EQ("1:Second", PresentPresetName(unit));
  EXPECT_EQ(7.0f, unit.Param(kTestCount));
  EXPECT_EQ(noErr, SetPresentPreset(unit, 5)); // no such preset: nothing changes
  EXPECT_EQ("1:Second", PresentPresetName(unit));
  AUPreset current = {-1, nullptr};
  UInt32 size = sizeof(current);
  ASSERT_EQ(noErr, AudioUnitGetProperty(unit, kAudioUnitProperty_CurrentPreset,
                                        kAudioUnitScope_Global, 0, &current, &size));
  EXPECT_EQ(1, current.presetNumber);
  CFRelease(current.presetName);
}
