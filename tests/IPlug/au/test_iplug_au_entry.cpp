// The component entry: selector table, lifecycle, listeners, render
// notifications, scheduled parameters and MIDI.

#include "tests/IPlug/au/AUTestHost.h"

#include <StandInExtensions.h>
#include <vector>

namespace
{
ComponentResult CallWithSlots(AudioUnit unit, SInt16 select, std::vector<long> slots,
                              UInt8 paramSize)
{
  std::vector<long> storage(2 + slots.size());
  auto* params = reinterpret_cast<ComponentParameters*>(storage.data());
  params->flags = 0;
  params->paramSize = paramSize;
  params->what = select;
  for (size_t i = 0; i < slots.size(); ++i)
    params->params[i] = slots[i];
  return CallComponentWithParameters(unit, params);
}

struct ListenerLog
{
  struct Call
  {
    void* userData;
    AudioUnit unit;
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    AudioUnitElement element;
  };
  std::vector<Call> calls;
};
ListenerLog gListenerLog;

void LogListener(void* userData, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                 AudioUnitElement element)
{
  gListenerLog.calls.push_back({userData, unit, id, scope, element});
}

struct NotifyLog
{
  std::vector<std::pair<void*, AudioUnitRenderActionFlags>> calls;
};

OSStatus LogNotify(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32,
                   UInt32, AudioBufferList*)
{
  static_cast<NotifyLog*>(refCon)->calls.push_back({refCon, *flags});
  return noErr;
}

OSStatus OtherNotify(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                     AudioBufferList*)
{
  return noErr;
}

OSStatus SetBypassProperty(AudioUnit unit)
{
  const UInt32 off = 0;
  return AudioUnitSetProperty(unit, kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0,
                              &off, sizeof(off));
}

AudioUnitParameterEvent ImmediateEvent(AudioUnitParameterID id, float value,
                                       AudioUnitScope scope = kAudioUnitScope_Global)
{
  AudioUnitParameterEvent event = {};
  event.scope = scope;
  event.parameter = id;
  event.eventType = kParameterEvent_Immediate;
  event.eventValues.immediate.value = value;
  return event;
}
} // namespace

TEST(AUEntry, CanDoAnswersTheServedSelectorsExceptTheLaterOnes)
{
  Unit unit(TestPlugComponent());
  for (SInt16 select : {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 14, 15, 16, 17})
    EXPECT_EQ(1, CallComponentCanDo(unit, select)) << select;
  for (SInt16 select : {-4, -3, -2, -1, 0, 8, 12, 13, 18, 19, 0x101, 0x105})
    EXPECT_EQ(0, CallComponentCanDo(unit, select)) << select;
}

TEST(AUEntry, VersionAndUnservedSelectors)
{
  Unit unit(TestPlugComponent());
  EXPECT_EQ(0x00010203, CallComponentVersion(unit));
  EXPECT_EQ(badComponentSelector, CallWithSlots(unit, kAudioUnitComplexRenderSelect, {}, 0));
  EXPECT_EQ(badComponentSelector, CallWithSlots(unit, 0x0200, {}, 0));
  const UInt8 sysex[] = {0xF0, 0xF7};
  EXPECT_EQ(badComponentSelector, MusicDeviceSysEx(unit, sysex, 2));
}

TEST(AUEntry, CallsWithTooFewArgumentSlotsAreRefused)
{
  Unit unit(TestPlugComponent());
  UInt32 size = 0;
  Boolean writable = false;
  const std::vector<long> slots = {reinterpret_cast<long>(&writable), reinterpret_cast<long>(&size),
                                   0, 0, kAudioUnitProperty_SampleRate};
  EXPECT_EQ(paramErr,
            CallWithSlots(unit, kAudioUnitGetPropertyInfoSelect, slots, 4 * sizeof(long)));
  EXPECT_EQ(0u, size);
  EXPECT_EQ(noErr, CallWithSlots(unit, kAudioUnitGetPropertyInfoSelect, slots, 5 * sizeof(long)));
  EXPECT_EQ(sizeof(Float64), size);
}

TEST(AUEntry, InitialiseChecksTheChannelConfigurationAndPushesEveryParameter)
{
  Unit unit(TestPlugComponent());
  const float changesBefore = unit.Param(kTestParamChanges);
  // No stream format yet: any configuration matches.
  EXPECT_EQ(noErr, AudioUnitInitialize(unit));
  EXPECT_EQ(1.0f, unit.Param(kTestActivations));
  EXPECT_EQ(changesBefore + kTestFirstDiagnostic, unit.Param(kTestParamChanges));
  EXPECT_EQ(noErr, AudioUnitUninitialize(unit));
  EXPECT_EQ(1.0f, unit.Param(kTestDeactivations));

  // Mono in, stereo out is no configuration of "1-1 2-2".
  EXPECT_EQ(noErr, unit.SetFormat(kAudioUnitScope_Input, 0, 1));
  EXPECT_EQ(noErr, unit.SetFormat(kAudioUnitScope_Output, 0, 2));
  EXPECT_EQ(badComponentSelector, AudioUnitInitialize(unit));
  EXPECT_EQ(1.0f, unit.Param(kTestActivations));

  EXPECT_EQ(noErr, unit.SetFormat(kAudioUnitScope_Output, 0, 1));
  EXPECT_EQ(noErr, AudioUnitInitialize(unit));
  EXPECT_EQ(2.0f, unit.Param(kTestActivations));
}

TEST(AUEntry, ResetReachesThePluginWhateverTheScope)
{
  Unit unit(TestPlugComponent());
  const float before = unit.Param(kTestResets);
  EXPECT_EQ(noErr, AudioUnitReset(unit, kAudioUnitScope_Global, 0));
  EXPECT_EQ(noErr, AudioUnitReset(unit, kAudioUnitScope_Output, 7));
  EXPECT_EQ(before + 2.0f, unit.Param(kTestResets));
}

TEST(AUEntry, PropertyListenersAreKeptOncePerPropertyAndProcedure)
{
  Unit unit(TestPlugComponent());
  int first = 1, second = 2;
  gListenerLog.calls.clear();
  EXPECT_EQ(noErr, AudioUnitAddPropertyListener(unit, kAudioUnitProperty_BypassEffect, LogListener,
                                                &first));
  EXPECT_EQ(noErr, AudioUnitAddPropertyListener(unit, kAudioUnitProperty_BypassEffect, LogListener,
                                                &second));
  EXPECT_EQ(paramErr,
            AudioUnitAddPropertyListener(unit, kAudioUnitProperty_BypassEffect, nullptr, &first));
  EXPECT_EQ(noErr, SetBypassProperty(unit));
  ASSERT_EQ(1u, gListenerLog.calls.size());
  EXPECT_EQ(&first, gListenerLog.calls[0].userData);
  EXPECT_EQ(unit.Get(), gListenerLog.calls[0].unit);
  EXPECT_EQ(static_cast<UInt32>(kAudioUnitProperty_BypassEffect), gListenerLog.calls[0].id);
  EXPECT_EQ(0u, gListenerLog.calls[0].element);

  // Removing with other user data leaves it; without user data removes it.
  EXPECT_EQ(noErr, AudioUnitRemovePropertyListenerWithUserData(
                       unit, kAudioUnitProperty_BypassEffect, LogListener, &second));
  EXPECT_EQ(noErr, SetBypassProperty(unit));
  EXPECT_EQ(2u, gListenerLog.calls.size());
  EXPECT_EQ(noErr,
            AudioUnitRemovePropertyListener(unit, kAudioUnitProperty_BypassEffect, LogListener));
  EXPECT_EQ(noErr, SetBypassProperty(unit));
  EXPECT_EQ(2u, gListenerLog.calls.size());

  EXPECT_EQ(noErr, AudioUnitAddPropertyListener(unit, kAudioUnitProperty_BypassEffect, LogListener,
                                                &second));
  EXPECT_EQ(noErr, AudioUnitRemovePropertyListenerWithUserData(
                       unit, kAudioUnitProperty_BypassEffect, LogListener, &second));
  EXPECT_EQ(noErr, SetBypassProperty(unit));
  EXPECT_EQ(2u, gListenerLog.calls.size());
}

TEST(AUEntry, RenderNotificationsComeBeforeAndAfterEachRender)
{
  Unit unit(TestPlugComponent());
  HostInput input;
  ASSERT_EQ(noErr, unit.SetInputCallback(HostInput::Render, &input));
  ASSERT_EQ(noErr, AudioUnitInitialize(unit));
  NotifyLog earlier, later;
  EXPECT_EQ(noErr, AudioUnitAddRenderNotify(unit, LogNotify, &earlier));
  EXPECT_EQ(noErr, AudioUnitAddRenderNotify(unit, OtherNotify, nullptr));
  EXPECT_EQ(noErr, AudioUnitAddRenderNotify(unit, LogNotify, &later));
  EXPECT_EQ(paramErr, AudioUnitAddRenderNotify(unit, nullptr, nullptr));

  BufferSet out(2, 64);
  ASSERT_EQ(noErr, RenderUnit(unit, 0, 64, out.List()));
  ASSERT_EQ(2u, earlier.calls.size());
  EXPECT_EQ(static_cast<UInt32>(kAudioUnitRenderAction_PreRender), earlier.calls[0].second);
  EXPECT_EQ(static_cast<UInt32>(kAudioUnitRenderAction_PostRender), earlier.calls[1].second);
  EXPECT_EQ(2u, later.calls.size());

  // The procedure alone decides: the earlier registration goes.
  EXPECT_EQ(noErr, AudioUnitRemoveRenderNotify(unit, LogNotify, &later));
  ASSERT_EQ(noErr, RenderUnit(unit, 64, 64, out.List()));
  EXPECT_EQ(2u, earlier.calls.size());
  EXPECT_EQ(4u, later.calls.size());
}

TEST(AUEntry, ScheduledParametersApplyImmediateEventsInOrder)
{
  Unit unit(TestPlugComponent());
  std::vector<AudioUnitParameterEvent> events = {ImmediateEvent(kTestGain, 1.5f),
                                                 ImmediateEvent(kTestCount, 3.0f)};
  AudioUnitParameterEvent ramp = ImmediateEvent(kTestGain, 0.1f);
  ramp.eventType = kParameterEvent_Ramped;
  events.push_back(ramp);
  EXPECT_EQ(noErr, AudioUnitScheduleParameters(unit, events.data(), 3));
  EXPECT_EQ(1.5f, unit.Param(kTestGain));
  EXPECT_EQ(3.0f, unit.Param(kTestCount));

  // The walk stops at the first failing event.
  events = {ImmediateEvent(kTestGain, 0.5f),
            ImmediateEvent(kTestCount, 4.0f, kAudioUnitScope_Input),
            ImmediateEvent(kTestCount, 6.0f)};
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, AudioUnitScheduleParameters(unit, events.data(), 3));
  EXPECT_EQ(0.5f, unit.Param(kTestGain));
  EXPECT_EQ(3.0f, unit.Param(kTestCount));
  events = {ImmediateEvent(kNumTestParams, 1.0f), ImmediateEvent(kTestCount, 6.0f)};
  EXPECT_EQ(kAudioUnitErr_InvalidParameter, AudioUnitScheduleParameters(unit, events.data(), 2));
  EXPECT_EQ(3.0f, unit.Param(kTestCount));
}

TEST(AUEntry, MidiAndNoteCallsReachThePluginAsMessages)
{
  Unit unit(TestPlugComponent());
  EXPECT_EQ(noErr, MusicDeviceMIDIEvent(unit, 0x90, 60, 100, 12));
  EXPECT_EQ(static_cast<float>(0x903C64), unit.Param(kTestMidi));
  EXPECT_EQ(12.0f, unit.Param(kTestMidiOffset));
  // Only the low eight bits of each value are kept.
  EXPECT_EQ(noErr, MusicDeviceMIDIEvent(unit, 0x1B0, 0x107, 0x17F, 0));
  EXPECT_EQ(static_cast<float>(0xB0077F), unit.Param(kTestMidi));

  MusicDeviceNoteParams note = {2, 64.7f, 99.9f, {}};
  NoteInstanceID noteID = 0;
  EXPECT_EQ(noErr, MusicDeviceStartNote(unit, 0, 0, &noteID, 3, &note));
  EXPECT_EQ(64u, noteID);
  EXPECT_EQ(static_cast<float>(0x904063), unit.Param(kTestMidi));
  EXPECT_EQ(3.0f, unit.Param(kTestMidiOffset));
  EXPECT_EQ(noErr, MusicDeviceStopNote(unit, 0, noteID, 5));
  EXPECT_EQ(static_cast<float>(0x804000), unit.Param(kTestMidi));
  EXPECT_EQ(5.0f, unit.Param(kTestMidiOffset));
  EXPECT_EQ(noErr, MusicDevicePrepareInstrument(unit, 1));
  EXPECT_EQ(noErr, MusicDeviceReleaseInstrument(unit, 1));
}
