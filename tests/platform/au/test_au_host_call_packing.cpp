#include "tests/platform/au/TestBundles.h"

#include <gtest/gtest.h>

#include <StandInExtensions.h>
#include <cstdint>
#include <vector>

using namespace au_test;

namespace
{

long Slot(const void* pointer)
{
  return static_cast<long>(reinterpret_cast<intptr_t>(pointer));
}

template <typename F> long SlotOfFunction(F function)
{
  return static_cast<long>(reinterpret_cast<intptr_t>(function));
}

void NoListener(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {}

OSStatus NoRender(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                  AudioBufferList*)
{
  return noErr;
}

class HostCallPacking : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mUnit = OpenComponent(FakeComponent());
    ASSERT_NE(nullptr, mUnit);
    StateOf(mUnit)->result = 1234;
  }
  void TearDown() override { CloseComponent(mUnit); }

  // The call's selector and its slots, params[0] first (that is, the last argument first).
  void ExpectLastCall(SInt16 what, const std::vector<long>& lastFirst)
  {
    const FakeUnitCall& call = StateOf(mUnit)->last;
    EXPECT_EQ(what, call.what);
    ASSERT_EQ(lastFirst.size() * sizeof(long), call.paramSize);
    for (size_t i = 0; i < lastFirst.size(); ++i)
      EXPECT_EQ(lastFirst[i], call.params[i]) << "slot " << i << " of selector " << what;
  }

  AudioUnit mUnit = nullptr;
};

} // namespace

TEST_F(HostCallPacking, LifecycleAndPropertyCalls)
{
  EXPECT_EQ(1234, AudioUnitInitialize(mUnit));
  ExpectLastCall(kAudioUnitInitializeSelect, {});
  EXPECT_EQ(1234, AudioUnitUninitialize(mUnit));
  ExpectLastCall(kAudioUnitUninitializeSelect, {});
  EXPECT_EQ(1234, AudioUnitReset(mUnit, kAudioUnitScope_Output, 5));
  ExpectLastCall(kAudioUnitResetSelect, {5, 2});

  UInt32 size = 0;
  Boolean writable = 0;
  EXPECT_EQ(1234, AudioUnitGetPropertyInfo(mUnit, 0xFFFFFFFF, kAudioUnitScope_Input, 3, &size,
                                           &writable));
  // Unsigned arguments are zero-extended.
  ExpectLastCall(kAudioUnitGetPropertyInfoSelect,
                 {Slot(&writable), Slot(&size), 3, 1, 0xFFFFFFFFL});

  AudioStreamBasicDescription format = {};
  EXPECT_EQ(1234, AudioUnitGetProperty(mUnit, kAudioUnitProperty_StreamFormat,
                                       kAudioUnitScope_Output, 0, &format, &size));
  ExpectLastCall(kAudioUnitGetPropertySelect, {Slot(&size), Slot(&format), 0, 2, 8});

  EXPECT_EQ(1234, AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat,
                                       kAudioUnitScope_Input, 1, &format, sizeof format));
  ExpectLastCall(kAudioUnitSetPropertySelect, {40, Slot(&format), 1, 1, 8});
}

TEST_F(HostCallPacking, ParameterCallsCarryFloatBitPatterns)
{
  AudioUnitParameterValue value = 0;
  StateOf(mUnit)->parameters[2] = -0.5f;
  EXPECT_EQ(noErr, AudioUnitGetParameter(mUnit, 2, kAudioUnitScope_Global, 7, &value));
  ExpectLastCall(kAudioUnitGetParameterSelect, {Slot(&value), 7, 0, 2});
  EXPECT_EQ(-0.5f, value);

  EXPECT_EQ(noErr, AudioUnitSetParameter(mUnit, 3, kAudioUnitScope_Global, 1, -0.75f, 12));
  ExpectLastCall(kAudioUnitSetParameterSelect, {12, ComponentSlotFromFloat32(-0.75f), 1, 0, 3});
  const long floatSlot = StateOf(mUnit)->last.params[1];
  EXPECT_EQ(0UL, static_cast<unsigned long>(floatSlot) >> 32) << "upper half of a float slot";
  EXPECT_EQ(-0.75f, ComponentParamFloat32(floatSlot));
  EXPECT_EQ(-0.75f, StateOf(mUnit)->parameters[3]);

  AudioUnitParameterEvent events[3] = {};
  EXPECT_EQ(1234, AudioUnitScheduleParameters(mUnit, events, 3));
  ExpectLastCall(kAudioUnitScheduleParametersSelect, {3, Slot(events)});
}

TEST_F(HostCallPacking, ListenerAndNotificationCalls)
{
  int data = 0;
  EXPECT_EQ(noErr, AudioUnitAddPropertyListener(mUnit, 12, NoListener, &data));
  ExpectLastCall(kAudioUnitAddPropertyListenerSelect,
                 {Slot(&data), SlotOfFunction(NoListener), 12});
  EXPECT_EQ(1234, AudioUnitRemovePropertyListener(mUnit, 12, NoListener));
  ExpectLastCall(kAudioUnitRemovePropertyListenerSelect, {SlotOfFunction(NoListener), 12});
  EXPECT_EQ(noErr, AudioUnitRemovePropertyListenerWithUserData(mUnit, 12, NoListener, &data));
  ExpectLastCall(kAudioUnitRemovePropertyListenerWithUserDataSelect,
                 {Slot(&data), SlotOfFunction(NoListener), 12});

  EXPECT_EQ(1234, AudioUnitAddRenderNotify(mUnit, NoRender, &data));
  ExpectLastCall(kAudioUnitAddRenderNotifySelect, {Slot(&data), SlotOfFunction(NoRender)});
  EXPECT_EQ(1234, AudioUnitRemoveRenderNotify(mUnit, NoRender, &data));
  ExpectLastCall(kAudioUnitRemoveRenderNotifySelect, {Slot(&data), SlotOfFunction(NoRender)});
}

TEST_F(HostCallPacking, RenderCall)
{
  Float32 samples[4] = {};
  AudioBufferList list = {1, {{1, sizeof samples, samples}}};
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp timeStamp = {};
  StateOf(mUnit)->renderAdd = 0.125f;
  EXPECT_EQ(noErr, AudioUnitRender(mUnit, &flags, &timeStamp, 1, 4, &list));
  ExpectLastCall(kAudioUnitRenderSelect, {Slot(&list), 4, 1, Slot(&timeStamp), Slot(&flags)});
  EXPECT_EQ(0.125f, samples[3]);
}

TEST_F(HostCallPacking, MusicDeviceCalls)
{
  EXPECT_EQ(1234, MusicDeviceMIDIEvent(mUnit, 0x90, 60, 100, 17));
  ExpectLastCall(kMusicDeviceMIDIEventSelect, {17, 100, 60, 0x90});

  const UInt8 sysex[3] = {0xF0, 0x01, 0xF7};
  EXPECT_EQ(1234, MusicDeviceSysEx(mUnit, sysex, 3));
  ExpectLastCall(kMusicDeviceSysExSelect, {3, Slot(sysex)});
  EXPECT_EQ(1234, MusicDevicePrepareInstrument(mUnit, 9));
  ExpectLastCall(kMusicDevicePrepareInstrumentSelect, {9});
  EXPECT_EQ(1234, MusicDeviceReleaseInstrument(mUnit, 8));
  ExpectLastCall(kMusicDeviceReleaseInstrumentSelect, {8});

  NoteInstanceID note = 0;
  MusicDeviceNoteParams noteParams = {2, 64.5f, 90.0f, {}};
  EXPECT_EQ(1234, MusicDeviceStartNote(mUnit, kMusicNoteEvent_Unused, 4, &note, 33, &noteParams));
  ExpectLastCall(kMusicDeviceStartNoteSelect, {Slot(&noteParams), 33, Slot(&note), 4, 0xFFFFFFFFL});
  EXPECT_EQ(1234, MusicDeviceStopNote(mUnit, 4, 64, 35));
  ExpectLastCall(kMusicDeviceStopNoteSelect, {35, 64, 4});
}

TEST(HostCallPackingView, CarbonViewCreateReachesTheViewComponent)
{
  ComponentDescription looking = {kAudioUnitCarbonViewComponentType, 0x46616b65, 0x74457374, 0, 0};
  FakeComponent(); // registers the bundle
  AudioUnitCarbonView view = OpenComponent(FindNextComponent(nullptr, &looking));
  ASSERT_NE(nullptr, view);
  AudioUnit unit = OpenComponent(FakeComponent());
  Float32Point location = {1, 2}, size = {3, 4};
  ControlRef control = nullptr;
  WindowRef window = reinterpret_cast<WindowRef>(&location);
  ControlRef parent = reinterpret_cast<ControlRef>(&size);
  EXPECT_EQ(noErr,
            AudioUnitCarbonViewCreate(view, unit, window, parent, &location, &size, &control));
  const FakeUnitCall& call = StateOf(view)->last;
  EXPECT_EQ(kAudioUnitCarbonViewCreateSelect, call.what);
  ASSERT_EQ(6 * sizeof(long), call.paramSize);
  const long expected[6] = {Slot(&control), Slot(&size),  Slot(&location),
                            Slot(parent),   Slot(window), Slot(unit)};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(expected[i], call.params[i]) << "slot " << i;
  CloseComponent(unit);
  CloseComponent(view);
}
