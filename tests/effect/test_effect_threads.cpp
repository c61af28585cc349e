// Rendering on one thread while others automate parameters and save and
// restore the state, through the entry (which takes the plug-in mutex) and
// through the fast-dispatch procedures (render takes no lock). Run under the
// thread sanitizer, any report fails the test.

#include "tests/effect/EffectUnit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>

namespace
{
constexpr UInt32 kBlock = 256;
constexpr int kNumParams = 28;

void SaveAndRestore(AudioUnit unit)
{
  CFPropertyListRef state = nullptr;
  UInt32 size = sizeof state;
  if (AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &state,
                           &size) != noErr)
    return;
  AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &state,
                       sizeof state);
  CFRelease(state);
}

// One block of a steady tone with an impulse at its start.
struct Block
{
  std::vector<float> inL = std::vector<float>(kBlock, 0.0f), inR = inL, outL = inL, outR = inL;
  Block()
  {
    for (UInt32 i = 0; i < kBlock; ++i)
      inL[i] = inR[i] = 0.25f * std::sin(0.05f * static_cast<float>(i));
    inL[0] = inR[0] = 1.0f;
  }
  ComponentResult Render(HostedUnit& host)
  {
    const float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
    return host.Render(in, out, kBlock);
  }
  bool Finite() const
  {
    for (UInt32 i = 0; i < kBlock; ++i)
      if (!std::isfinite(outL[i]) || !std::isfinite(outR[i])) return false;
    return true;
  }
};

// A parameter change chosen from a step number, the same on every run.
void StepParameter(HostedUnit& host, const FastParameters* fast, int step)
{
  const auto id = static_cast<AudioUnitParameterID>((step * 7) % kNumParams);
  const auto value = static_cast<float>((step * 37) % 101);
  if (fast)
    fast->Set(id, value);
  else
    host.SetParameter(id, value);
}

bool Start(HostedUnit& host, bool fast)
{
  return StartEffect(host, EffectSetup(44100.0, kBlock)) &&
         (!fast || host.Renderer()->UseFastDispatch());
}
} // namespace

TEST(EffectThreads, RenderAgainstAutomationAndStateThroughBothPaths)
{
  for (bool fast : {false, true})
  {
    HostedUnit host;
    ASSERT_TRUE(Start(host, fast));
    const FastParameters fastParameters(host.Unit());
    ASSERT_TRUE(fastParameters.Valid());
    std::atomic<bool> stop{false};
    std::thread automation(
        [&]
        {
          std::mt19937 random(fast ? 2 : 1);
          std::uniform_int_distribution<int> param(0, kNumParams - 1);
          std::uniform_real_distribution<float> value(0.0f, 100.0f);
          for (int n = 0; !stop; ++n)
          {
            // Alternates the entry with the path the renders take.
            if (n % 2)
              AudioUnitSetParameter(host.Unit(), param(random), kAudioUnitScope_Global, 0,
                                    value(random), 0);
            else if (fast)
              fastParameters.Set(param(random), value(random));
            else
              host.SetParameter(param(random), value(random));
          }
        });
    std::thread state(
        [&]
        {
          while (!stop)
            SaveAndRestore(host.Unit());
        });
    Block block;
    int blocks = 0;
    bool finite = true;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    while (std::chrono::steady_clock::now() < end)
    {
      ASSERT_EQ(block.Render(host), noErr);
      finite = finite && block.Finite();
      ++blocks;
    }
    stop = true;
    automation.join();
    state.join();
    EXPECT_TRUE(finite) << (fast ? "fast dispatch" : "entry");
    EXPECT_GT(blocks, 10);
  }
}

TEST(EffectThreads, BothRenderPathsGiveTheSameOutputForTheSameValues)
{
  HostedUnit entry, fast;
  ASSERT_TRUE(Start(entry, false));
  ASSERT_TRUE(Start(fast, true));
  const FastParameters fastParameters(fast.Unit());
  ASSERT_TRUE(fastParameters.Valid());
  Block a, b;
  for (int step = 0; step < 400; ++step)
  {
    // Several values between two blocks: the last one counts.
    for (int k = 0; k < step % 3; ++k)
    {
      StepParameter(entry, nullptr, step * 3 + k);
      StepParameter(fast, &fastParameters, step * 3 + k);
    }
    ASSERT_EQ(a.Render(entry), noErr);
    ASSERT_EQ(b.Render(fast), noErr);
    ASSERT_EQ(a.outL, b.outL) << "block " << step;
    ASSERT_EQ(a.outR, b.outR) << "block " << step;
  }
}
