#include "tests/platform/au/TestBundles.h"

#include <gtest/gtest.h>

#include <vector>

using namespace au_test;

namespace
{

// A non-interleaved buffer list of one buffer per channel, with its own sample memory.
struct Buffers
{
  Buffers(UInt32 channels, UInt32 frames)
      : samples(channels, std::vector<Float32>(frames, -9.0f)),
        memory(sizeof(AudioBufferList) + channels * sizeof(AudioBuffer))
  {
    list()->mNumberBuffers = channels;
    for (UInt32 c = 0; c < channels; ++c)
      list()->mBuffers[c] = {1, frames * 4, samples[c].data()};
  }
  AudioBufferList* list() { return reinterpret_cast<AudioBufferList*>(memory.data()); }

  std::vector<std::vector<Float32>> samples;
  std::vector<unsigned char> memory;
};

ComponentResult RenderOnce(AudioUnit unit, Buffers& buffers, UInt32 frames)
{
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp timeStamp = {};
  timeStamp.mFlags = kAudioTimeStampSampleTimeValid;
  return AudioUnitRender(unit, &flags, &timeStamp, 0, frames, buffers.list());
}

} // namespace

TEST(ComponentInstance, OpenRegistersStorageAndCloseReleasesTheInstance)
{
  const FakeUnitCounters before = Counters();
  ComponentInstance instance = nullptr;
  ASSERT_EQ(noErr, OpenAComponent(FakeComponent(), &instance));
  ASSERT_NE(nullptr, instance);
  FakeUnitState* state = StateOf(instance);
  ASSERT_NE(nullptr, state);
  EXPECT_EQ(instance, state->self);
  EXPECT_EQ(before.opens + 1, Counters().opens);

  // The instance is an Audio Unit: calls reach the entry with its storage.
  state->result = kAudioUnitErr_Uninitialized;
  EXPECT_EQ(kAudioUnitErr_Uninitialized, AudioUnitInitialize(instance));
  EXPECT_EQ(1, state->calls);

  int other = 0;
  SetComponentInstanceStorage(instance, reinterpret_cast<Handle>(&other));
  EXPECT_EQ(reinterpret_cast<Handle>(&other), GetComponentInstanceStorage(instance));
  SetComponentInstanceStorage(instance, reinterpret_cast<Handle>(state));

  EXPECT_EQ(noErr, CloseComponent(instance));
  EXPECT_EQ(before.closes + 1, Counters().closes);
  EXPECT_EQ(before.closesWithoutStorage, Counters().closesWithoutStorage);
  EXPECT_EQ(nullptr, GetComponentInstanceStorage(instance));
  EXPECT_EQ(badComponentInstance, AudioUnitInitialize(instance));
  EXPECT_EQ(invalidComponentID, CloseComponent(instance));
}

TEST(ComponentInstance, BadHandlesAreRefused)
{
  ComponentInstance instance = reinterpret_cast<ComponentInstance>(&instance);
  EXPECT_EQ(invalidComponentID, OpenAComponent(nullptr, &instance));
  EXPECT_EQ(nullptr, instance);
  EXPECT_EQ(paramErr, OpenAComponent(FakeComponent(), nullptr));
  EXPECT_EQ(nullptr, OpenComponent(nullptr));
  EXPECT_EQ(invalidComponentID, CloseComponent(nullptr));
  EXPECT_EQ(badComponentInstance, AudioUnitReset(nullptr, 0, 0));
  EXPECT_EQ(nullptr, GetComponentInstanceStorage(nullptr));
  SetComponentInstanceStorage(nullptr, nullptr);

  ComponentInstance open = OpenComponent(FakeComponent());
  // A component is not an instance, and an instance cannot be opened like a component.
  EXPECT_EQ(badComponentInstance,
            AudioUnitInitialize(reinterpret_cast<ComponentInstance>(FakeComponent())));
  EXPECT_EQ(invalidComponentID, OpenAComponent(reinterpret_cast<Component>(open), &instance));
  CloseComponent(open);
}

TEST(ComponentInstance, AFailedOpenIsClosedAndReported)
{
  const FakeUnitCounters before = Counters();
  ComponentInstance instance = reinterpret_cast<ComponentInstance>(&instance);
  EXPECT_EQ(kAudioUnitErr_FailedInitialization, OpenAComponent(FailingOpenComponent(), &instance));
  EXPECT_EQ(nullptr, instance);
  EXPECT_EQ(before.opens + 1, Counters().opens);
  EXPECT_EQ(before.closes + 1, Counters().closes);
  EXPECT_EQ(before.closesWithoutStorage + 1, Counters().closesWithoutStorage);
  EXPECT_EQ(nullptr, OpenComponent(FailingOpenComponent()));
}

TEST(ComponentInstance, CanDoAndVersionReachTheComponent)
{
  ComponentInstance instance = OpenComponent(FakeComponent());
  ASSERT_NE(nullptr, instance);
  EXPECT_EQ(1, CallComponentCanDo(instance, kAudioUnitRenderSelect));
  EXPECT_EQ(0, CallComponentCanDo(instance, kMusicDeviceMIDIEventSelect));
  // The selector asked about is sign-extended into its slot.
  EXPECT_EQ(1, CallComponentCanDo(instance, kComponentCloseSelect));
  EXPECT_EQ(-2L, StateOf(instance)->last.params[0]);
  EXPECT_EQ(kFakeUnitVersion, CallComponentVersion(instance));
  EXPECT_EQ(kFakeUnitVersion, GetComponentVersion(instance));
  CloseComponent(instance);
}

TEST(ComponentInstance, UnitsRenderEachOtherThroughTheHostCall)
{
  ComponentInstance source = OpenComponent(FakeComponent());
  ComponentInstance middle = OpenComponent(FakeComponent());
  ComponentInstance last = OpenComponent(FakeComponent());
  ASSERT_TRUE(source && middle && last);
  StateOf(source)->renderAdd = 1.0f;
  StateOf(middle)->upstream = source;
  StateOf(middle)->renderAdd = 0.5f;
  StateOf(last)->upstream = middle;
  StateOf(last)->renderAdd = 0.25f;

  Buffers buffers(2, 8);
  ASSERT_EQ(noErr, RenderOnce(last, buffers, 8));
  for (const auto& channel : buffers.samples)
    for (Float32 sample : channel)
      EXPECT_EQ(1.75f, sample);
  for (ComponentInstance unit : {source, middle, last})
  {
    EXPECT_EQ(1, StateOf(unit)->maxRenderDepth);
    EXPECT_EQ(0, StateOf(unit)->renderDepth);
  }

  // An upstream failure comes back unchanged.
  CloseComponent(source);
  EXPECT_EQ(badComponentInstance, RenderOnce(last, buffers, 8));
  CloseComponent(middle);
  CloseComponent(last);
}
