#include "tests/platform/au/TestBundles.h"

#include <gtest/gtest.h>

#include <vector>

using namespace au_test;

namespace
{

struct Heard
{
  void* object;
  AudioUnitEvent event;
  UInt64 hostTime;
  Float32 value;
};

struct Ear
{
  std::vector<Heard> heard;
  AUEventListenerRef self = nullptr;
  bool removeOnHearing = false;
};

void HearEvent(void* refCon, void* object, const AudioUnitEvent* event, UInt64 hostTime,
               Float32 value)
{
  auto* ear = static_cast<Ear*>(refCon);
  ear->heard.push_back({object, *event, hostTime, value});
  if (ear->removeOnHearing) AUEventListenerRemoveEventType(ear->self, object, event);
}

void HearParameter(void* refCon, void* object, const AudioUnitParameter* parameter, Float32 value)
{
  AudioUnitEvent event = {};
  event.mEventType = kAudioUnitEvent_ParameterValueChange;
  event.mArgument.mParameter = *parameter;
  static_cast<Ear*>(refCon)->heard.push_back({object, event, 0, value});
}

AudioUnitEvent ParameterEvent(AudioUnitEventType type, AudioUnit unit, AudioUnitParameterID id)
{
  AudioUnitEvent event = {};
  event.mEventType = type;
  event.mArgument.mParameter = {unit, id, kAudioUnitScope_Global, 0};
  return event;
}

AudioUnitEvent PropertyEvent(AudioUnit unit, AudioUnitPropertyID id)
{
  AudioUnitEvent event = {};
  event.mEventType = kAudioUnitEvent_PropertyChange;
  event.mArgument.mProperty = {unit, id, kAudioUnitScope_Global, 0};
  return event;
}

class EventListeners : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mUnit = OpenComponent(FakeComponent());
    mOther = OpenComponent(FakeComponent());
    ASSERT_TRUE(mUnit && mOther);
    ASSERT_EQ(noErr,
              AUEventListenerCreate(HearEvent, &mEar, nullptr, nullptr, 0.0f, 0.0f, &mEar.self));
  }
  void TearDown() override
  {
    EXPECT_EQ(noErr, AUListenerDispose(mEar.self));
    CloseComponent(mUnit);
    CloseComponent(mOther);
  }

  AudioUnit mUnit = nullptr;
  AudioUnit mOther = nullptr;
  Ear mEar;
  int mObject = 0;
};

} // namespace

TEST_F(EventListeners, ParameterEventsReachMatchingRegistrationsWithTheCurrentValue)
{
  const AudioUnitEvent change = ParameterEvent(kAudioUnitEvent_ParameterValueChange, mUnit, 2);
  ASSERT_EQ(noErr, AUEventListenerAddEventType(mEar.self, &mObject, &change));
  ASSERT_EQ(noErr, AUEventListenerAddEventType(mEar.self, &mObject, &change)); // kept once
  StateOf(mUnit)->parameters[2] = 0.25f;

  EXPECT_EQ(noErr, AUEventListenerNotify(nullptr, nullptr, &change));
  ASSERT_EQ(1u, mEar.heard.size());
  EXPECT_EQ(&mObject, mEar.heard[0].object);
  EXPECT_EQ(0.25f, mEar.heard[0].value);
  EXPECT_EQ(mUnit, mEar.heard[0].event.mArgument.mParameter.mAudioUnit);
  EXPECT_EQ(2u, mEar.heard[0].event.mArgument.mParameter.mParameterID);
  EXPECT_NE(0u, mEar.heard[0].hostTime);

  // Another parameter, unit, event type or element is not heard.
  AudioUnitEvent otherElement = change;
  otherElement.mArgument.mParameter.mElement = 1;
  for (const AudioUnitEvent& event :
       {ParameterEvent(kAudioUnitEvent_ParameterValueChange, mUnit, 1),
        ParameterEvent(kAudioUnitEvent_ParameterValueChange, mOther, 2),
        ParameterEvent(kAudioUnitEvent_BeginParameterChangeGesture, mUnit, 2), otherElement})
    EXPECT_EQ(noErr, AUEventListenerNotify(nullptr, nullptr, &event));
  EXPECT_EQ(1u, mEar.heard.size());

  // Gestures carry no value.
  const AudioUnitEvent begin =
      ParameterEvent(kAudioUnitEvent_BeginParameterChangeGesture, mUnit, 2);
  ASSERT_EQ(noErr, AUEventListenerAddEventType(mEar.self, nullptr, &begin));
  EXPECT_EQ(noErr, AUEventListenerNotify(nullptr, nullptr, &begin));
  ASSERT_EQ(2u, mEar.heard.size());
  EXPECT_EQ(static_cast<AudioUnitEventType>(kAudioUnitEvent_BeginParameterChangeGesture),
            mEar.heard[1].event.mEventType);
  EXPECT_EQ(0.0f, mEar.heard[1].value);
}

TEST_F(EventListeners, AnyParameterMatchesOnEitherSide)
{
  const AudioUnitEvent any = ParameterEvent(kAudioUnitEvent_EndParameterChangeGesture, mUnit,
                                            kAUParameterListener_AnyParameter);
  ASSERT_EQ(noErr, AUEventListenerAddEventType(mEar.self, nullptr, &any));
  const AudioUnitEvent third = ParameterEvent(kAudioUnitEvent_EndParameterChangeGesture, mUnit, 3);
  EXPECT_EQ(noErr, AUEventListenerNotify(nullptr, nullptr, &third));
  EXPECT_EQ(1u, mEar.heard.size());

  ASSERT_EQ(noErr, AUEventListenerRemoveEventType(mEar.self, nullptr, &any));
  ASSERT_EQ(noErr, AUEventListenerAddEventType(mEar.self, nullptr, &third));
  EXPECT_EQ(noErr, AUEventListenerNotify(nullptr, nullptr, &any));
  EXPECT_EQ(2u, mEar.heard.size());
}

TEST_F(EventListeners, TheSendingListenerDoesNotHearItself)
{
  Ear second;
  ASSERT_EQ(noErr,
            AUEventListenerCreate(HearEvent, &second, nullptr, nullptr, 0.0f, 0.0f, &second.self));
  const AudioUnitEvent end = ParameterEvent(kAudioUnitEvent_EndParameterChangeGesture, mUnit, 0);
  int otherObject = 0;
  ASSERT_EQ(noErr, AUEventListenerAddEventType(mEar.self, &mObject, &end));
  ASSERT_EQ(noErr, AUEventListenerAddEventType(mEar.self, &otherObject, &end));
  ASSERT_EQ(noErr, AUEventListenerAddEventType(second.self, nullptr, &end));

  EXPECT_EQ(noErr, AUEventListenerNotify(mEar.self, nullptr, &end));
  EXPECT_EQ(0u, mEar.heard.size());
  EXPECT_EQ(1u, second.heard.size());

  EXPECT_EQ(noErr, AUEventListenerNotify(mEar.self, &mObject, &end));
  ASSERT_EQ(1u, mEar.heard.size());
  EXPECT_EQ(&otherObject, mEar.heard[0].object);
  EXPECT_EQ(2u, second.heard.size());
  EXPECT_EQ(noErr, AUListenerDispose(second.self));
  EXPECT_EQ(paramErr, AUListenerDispose(second.self));
}

TEST_F(EventListeners, RemovedAndClosedRegistrationsAreNotHeard)
{
  const AudioUnitEvent change = ParameterEvent(kAudioUnitEvent_ParameterValueChange, mOther, 1);
  ASSERT_EQ(noErr, AUEventListenerAddEventType(mEar.self, nullptr, &change));
  EXPECT_EQ(kAudioUnitErr_InvalidParameter,
            AUEventListenerRemoveEventType(mEar.self, &mObject, &change));

  // A listener may remove itself while it is being called.
  mEar.removeOnHearing = true;
  EXPECT_EQ(noErr, AUEventListenerNotify(nullptr, nullptr, &change));
  EXPECT_EQ(noErr, AUEventListenerNotify(nullptr, nullptr, &change));
  EXPECT_EQ(1u, mEar.heard.size());
  EXPECT_EQ(kAudioUnitErr_InvalidParameter,
            AUEventListenerRemoveEventType(mEar.self, nullptr, &change));

  // Closing a unit drops the registrations for it.
  mEar.removeOnHearing = false;
  ASSERT_EQ(noErr, AUEventListenerAddEventType(mEar.self, nullptr, &change));
  CloseComponent(mOther);
  EXPECT_EQ(noErr, AUEventListenerNotify(nullptr, nullptr, &change));
  EXPECT_EQ(1u, mEar.heard.size());
  mOther = OpenComponent(FakeComponent());
}

TEST_F(EventListeners, PropertyEventsFollowTheUnitsOwnNotifications)
{
  const AudioUnitEvent latency = PropertyEvent(mUnit, kAudioUnitProperty_Latency);
  ASSERT_EQ(noErr, AUEventListenerAddEventType(mEar.self, &mObject, &latency));
  FakeUnitState* state = StateOf(mUnit);
  ASSERT_NE(nullptr, state->listener);
  EXPECT_EQ(static_cast<AudioUnitPropertyID>(kAudioUnitProperty_Latency), state->listenerID);

  Float64 seconds = 0;
  AudioUnitSetProperty(mUnit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &seconds,
                       sizeof seconds);
  ASSERT_EQ(1u, mEar.heard.size());
  EXPECT_EQ(static_cast<AudioUnitEventType>(kAudioUnitEvent_PropertyChange),
            mEar.heard[0].event.mEventType);
  EXPECT_EQ(mUnit, mEar.heard[0].event.mArgument.mProperty.mAudioUnit);
  EXPECT_EQ(static_cast<AudioUnitPropertyID>(kAudioUnitProperty_Latency),
            mEar.heard[0].event.mArgument.mProperty.mPropertyID);

  EXPECT_EQ(noErr, AUEventListenerRemoveEventType(mEar.self, &mObject, &latency));
  EXPECT_EQ(nullptr, state->listener);

  // A unit that refuses the listener refuses the registration.
  const AudioUnitEvent onClosed = PropertyEvent(nullptr, kAudioUnitProperty_Latency);
  EXPECT_EQ(badComponentInstance, AUEventListenerAddEventType(mEar.self, nullptr, &onClosed));
}

TEST_F(EventListeners, ParameterListenersHearValueChangesFromParameterSet)
{
  Ear ear;
  AUParameterListenerRef listener = nullptr;
  ASSERT_EQ(noErr, AUListenerCreate(HearParameter, &ear, nullptr, nullptr, 0.0f, &listener));
  const AudioUnitParameter parameter = {mUnit, 1, kAudioUnitScope_Global, 0};
  ASSERT_EQ(noErr, AUListenerAddParameter(listener, &mObject, &parameter));

  EXPECT_EQ(noErr, AUParameterSet(nullptr, nullptr, &parameter, 0.5f, 0));
  EXPECT_EQ(0.5f, StateOf(mUnit)->parameters[1]);
  ASSERT_EQ(1u, ear.heard.size());
  EXPECT_EQ(0.5f, ear.heard[0].value);
  EXPECT_EQ(&mObject, ear.heard[0].object);

  // Event listeners hear the same change.
  const AudioUnitEvent change = ParameterEvent(kAudioUnitEvent_ParameterValueChange, mUnit, 1);
  ASSERT_EQ(noErr, AUEventListenerAddEventType(mEar.self, nullptr, &change));
  EXPECT_EQ(noErr, AUParameterListenerNotify(nullptr, nullptr, &parameter));
  EXPECT_EQ(2u, ear.heard.size());
  EXPECT_EQ(1u, mEar.heard.size());

  // Parameter listeners take value changes only; a failed set notifies nobody.
  const AudioUnitEvent begin =
      ParameterEvent(kAudioUnitEvent_BeginParameterChangeGesture, mUnit, 1);
  EXPECT_EQ(paramErr, AUEventListenerAddEventType(listener, nullptr, &begin));
  const AudioUnitParameter missing = {mUnit, 9, kAudioUnitScope_Global, 0};
  EXPECT_EQ(kAudioUnitErr_InvalidParameter, AUParameterSet(nullptr, nullptr, &missing, 1.0f, 0));
  EXPECT_EQ(2u, ear.heard.size());

  EXPECT_EQ(noErr, AUListenerRemoveParameter(listener, &mObject, &parameter));
  EXPECT_EQ(noErr, AUParameterListenerNotify(nullptr, nullptr, &parameter));
  EXPECT_EQ(2u, ear.heard.size());
  EXPECT_EQ(noErr, AUListenerDispose(listener));
}

TEST_F(EventListeners, NullArgumentsAreRefused)
{
  AUEventListenerRef listener = nullptr;
  EXPECT_EQ(paramErr, AUEventListenerCreate(nullptr, nullptr, nullptr, nullptr, 0, 0, &listener));
  EXPECT_EQ(paramErr, AUEventListenerCreate(HearEvent, nullptr, nullptr, nullptr, 0, 0, nullptr));
  EXPECT_EQ(paramErr, AUEventListenerAddEventType(mEar.self, nullptr, nullptr));
  EXPECT_EQ(paramErr, AUEventListenerNotify(nullptr, nullptr, nullptr));
  AudioUnitEvent unknownType = ParameterEvent(7, mUnit, 0);
  EXPECT_EQ(paramErr, AUEventListenerAddEventType(mEar.self, nullptr, &unknownType));
  AUListenerBase* foreign = reinterpret_cast<AUListenerBase*>(&listener);
  const AudioUnitEvent change = ParameterEvent(kAudioUnitEvent_ParameterValueChange, mUnit, 0);
  EXPECT_EQ(paramErr, AUEventListenerAddEventType(foreign, nullptr, &change));
  EXPECT_EQ(paramErr, AUListenerDispose(nullptr));
}
