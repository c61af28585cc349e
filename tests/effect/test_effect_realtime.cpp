// What a render costs the audio thread besides arithmetic, counted by a
// library that stands between the program and the C library: nothing through
// the fast-dispatch procedure, the plug-in mutex once through the entry.

#include "tests/effect/EffectUnit.h"
#include "host/validate/RenderCounting.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
constexpr UInt32 kBlock = 256;
constexpr int kBlocks = 50;

// Counts over kBlocks renders after a few to settle, under parameter changes
// made between blocks on the same thread (not counted).
RenderCounts CountRenders(HostedUnit& host)
{
  std::vector<float> inL(kBlock, 0.5f), inR(kBlock, 0.5f), outL(kBlock), outR(kBlock);
  const float* in[2] = {inL.data(), inR.data()};
  float* out[2] = {outL.data(), outR.data()};
  for (int i = 0; i < 4; ++i)
    host.Render(in, out, kBlock);
  RenderCounts total = {0, 0, 0};
  for (int i = 0; i < kBlocks; ++i)
  {
    host.SetParameter(static_cast<AudioUnitParameterID>(i % 28), static_cast<float>(i));
    RenderCountingArm();
    const ComponentResult result = host.Render(in, out, kBlock);
    const RenderCounts counts = RenderCountingDisarm();
    EXPECT_EQ(result, noErr);
    total.allocations += counts.allocations;
    total.locks += counts.locks;
    total.systemCalls += counts.systemCalls;
  }
  return total;
}
} // namespace

TEST(EffectRealtime, CountingSeesWhatItShould)
{
  // Through a pointer the compiler cannot see through, so the pair is kept.
  void* (*volatile allocate)(size_t) = std::malloc;
  RenderCountingArm();
  std::free(allocate(16));
  const RenderCounts counts = RenderCountingDisarm();
  EXPECT_EQ(counts.allocations, 2); // the allocation and its release
}

TEST(EffectRealtime, FastDispatchRenderAllocatesLocksAndCallsNothing)
{
  HostedUnit host;
  ASSERT_TRUE(StartEffect(host, EffectSetup(44100.0, kBlock)));
  ASSERT_TRUE(host.Renderer()->UseFastDispatch());
  const RenderCounts counts = CountRenders(host);
  EXPECT_EQ(counts.allocations, 0);
  EXPECT_EQ(counts.locks, 0);
  EXPECT_EQ(counts.systemCalls, 0);
}

TEST(EffectRealtime, EntryRenderTakesTheMutexOnce)
{
  HostedUnit host;
  ASSERT_TRUE(StartEffect(host, EffectSetup(44100.0, kBlock)));
  const RenderCounts counts = CountRenders(host);
  EXPECT_EQ(counts.allocations, 0);
  EXPECT_EQ(counts.locks, kBlocks);
  EXPECT_EQ(counts.systemCalls, 0);
}
