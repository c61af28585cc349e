// Resets and bypass through the component entry: under the plug-in mutex they
// clear no delay line at all (each line trades its ring for a clean spare and
// the old ring is cleared after the mutex is released), whatever was rendered
// before, and the sound is the one an in-place clear gives. Also run by the
// thread-sanitizer build.

#include "effect/IPlug_include_in_plug_src.h"
#include "effect/TolvaneDelay.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace
{
// A low rate keeps a whole ring (16 s) short to render.
constexpr double kRate = 8000.0;
constexpr int kRing = 16 * 8000;
constexpr int kBlock = 512;
constexpr std::size_t kAllLinesBytes = 4 * kRing * sizeof(float);

// One call through the entry, its arguments packed last-first as the
// component manager packs them.
template <typename... Args> ComponentResult CallEntry(IPlugAU* plug, SInt16 what, Args... args)
{
  constexpr size_t count = sizeof...(Args);
  struct
  {
    UInt8 flags;
    UInt8 paramSize;
    SInt16 what;
    UInt32 padding;
    long params[count];
  } packed{};
  static_assert(offsetof(decltype(packed), params) == offsetof(ComponentParameters, params));
  packed.paramSize = static_cast<UInt8>(count * sizeof(long));
  packed.what = what;
  const long inCallOrder[] = {(long)(args)...};
  for (size_t i = 0; i < count; ++i)
    packed.params[count - 1 - i] = inCallOrder[i];
  return IPlugAU::IPlugAUEntry(reinterpret_cast<ComponentParameters*>(&packed), plug);
}

template <typename T> ComponentResult SetPropertyThroughEntry(IPlugAU* plug, UInt32 id, T value)
{
  return CallEntry(plug, kAudioUnitSetPropertySelect, id, kAudioUnitScope_Global, 0L, &value,
                   static_cast<UInt32>(sizeof value));
}

template <typename T> void SetPropertyDirectly(IPlugAU* plug, UInt32 id, T value)
{
  IPlugBase::IMutexLock lock(plug);
  UInt32 size = sizeof value;
  plug->SetProperty(id, kAudioUnitScope_Global, 0, &size, &value);
}

// The calls that reset the effect.
enum class ResetCall
{
  Reset,
  BypassOn,
  BypassOff,
  SampleRate,
  MaximumFrames
};

ComponentResult ThroughEntry(IPlugAU* plug, ResetCall call)
{
  switch (call)
  {
  case ResetCall::Reset:
    return CallEntry(plug, kAudioUnitResetSelect, kAudioUnitScope_Global, 0L);
  case ResetCall::BypassOn:
  case ResetCall::BypassOff:
    return SetPropertyThroughEntry(plug, kAudioUnitProperty_BypassEffect,
                                   UInt32(call == ResetCall::BypassOn));
  case ResetCall::SampleRate:
    return SetPropertyThroughEntry(plug, kAudioUnitProperty_SampleRate, Float64(kRate));
  case ResetCall::MaximumFrames:
    return SetPropertyThroughEntry(plug, kAudioUnitProperty_MaximumFramesPerSlice, UInt32(kBlock));
  }
  return paramErr;
}

// The same work as the entry does, without its reset scope: what a plug-in
// called from within its own lock gets.
void Directly(IPlugAU* plug, ResetCall call)
{
  switch (call)
  {
  case ResetCall::Reset:
    plug->Reset();
    return;
  case ResetCall::BypassOn:
  case ResetCall::BypassOff:
    SetPropertyDirectly(plug, kAudioUnitProperty_BypassEffect, UInt32(call == ResetCall::BypassOn));
    return;
  case ResetCall::SampleRate:
    SetPropertyDirectly(plug, kAudioUnitProperty_SampleRate, Float64(kRate));
    return;
  case ResetCall::MaximumFrames:
    SetPropertyDirectly(plug, kAudioUnitProperty_MaximumFramesPerSlice, UInt32(kBlock));
    return;
  }
}

std::unique_ptr<TolvaneDelay> NewEffect()
{
  return std::unique_ptr<TolvaneDelay>(static_cast<TolvaneDelay*>(MakePlug()));
}

void Set(TolvaneDelay* plug, int param, double value)
{
  plug->GetParam(param)->Set(value);
  plug->OnParamChange(param);
}

// Renders n samples of deterministic noise as the entry's render does (under
// the mutex) and returns the left and right outputs one after the other.
std::vector<double> Render(TolvaneDelay* plug, int n, std::uint32_t seed = 1)
{
  std::vector<double> in(kBlock), left(kBlock), right(kBlock), out;
  out.reserve(2 * static_cast<size_t>(n));
  for (int done = 0; done < n; done += kBlock)
  {
    for (double& x : in)
    {
      seed = seed * 1664525u + 1013904223u;
      x = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.5;
    }
    double* inputs[2] = {in.data(), in.data()};
    double* outputs[2] = {left.data(), right.data()};
    const int frames = std::min(kBlock, n - done);
    {
      IPlugBase::IMutexLock lock(plug);
      plug->ProcessDoubleReplacing(inputs, outputs, frames);
    }
    out.insert(out.end(), left.begin(), left.begin() + frames);
    out.insert(out.end(), right.begin(), right.begin() + frames);
  }
  return out;
}

// Every delay line written all the way round: the stereo engine's two, then
// the loop engine's two (pong mode runs both).
void FillEveryLine(TolvaneDelay* plug)
{
  Set(plug, kSwitch, 100.0);
  Render(plug, kRing + kBlock, 2);
  Set(plug, kSwitch, 0.0);
  Set(plug, kPong, 100.0);
  Render(plug, kRing + kBlock, 3);
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}
} // namespace

// Every call that resets, after whole rings were written: through the entry
// nothing is cleared under the mutex and the spares are clean again when the
// call returns; the twin cleared every line in place, and both then sound the
// same, sample for sample, in both engines.
TEST(EffectReset, EntryResetsClearNothingUnderTheMutexAndSoundAsAClearInPlace)
{
  auto entry = NewEffect(), inPlace = NewEffect();
  ASSERT_EQ(ThroughEntry(entry.get(), ResetCall::SampleRate), noErr);
  Directly(inPlace.get(), ResetCall::SampleRate); // leaves its spares unclean for good
  ASSERT_FALSE(inPlace->SpareRingsClean());

  for (ResetCall call : {ResetCall::Reset, ResetCall::BypassOn, ResetCall::BypassOff,
                         ResetCall::SampleRate, ResetCall::MaximumFrames})
  {
    SCOPED_TRACE(static_cast<int>(call));
    for (TolvaneDelay* plug : {entry.get(), inPlace.get()})
      FillEveryLine(plug);
    const std::size_t clearedBefore = inPlace->GetBytesClearedByResets();

    ASSERT_EQ(ThroughEntry(entry.get(), call), noErr);
    Directly(inPlace.get(), call);

    EXPECT_EQ(entry->GetBytesClearedByResets(), 0u);
    EXPECT_TRUE(entry->SpareRingsClean());
    EXPECT_EQ(inPlace->GetBytesClearedByResets() - clearedBefore, kAllLinesBytes);
    // The first seconds after a reset read what the reset cleared.
    for (double engine : {100.0, 0.0})
    {
      Set(entry.get(), kSwitch, engine);
      Set(inPlace.get(), kSwitch, engine);
      ASSERT_TRUE(SameBits(Render(entry.get(), 3 * 8000), Render(inPlace.get(), 3 * 8000)))
          << "switch " << engine;
    }
  }
}

// A reset made from within the lock (no scope) after one that left its spare
// unclean falls back to clearing in place: slower, never wrong.
TEST(EffectReset, ResetWithoutAScopeAfterAnUncleanOneClearsInPlace)
{
  auto plug = NewEffect();
  ASSERT_EQ(ThroughEntry(plug.get(), ResetCall::SampleRate), noErr);
  FillEveryLine(plug.get());
  plug->Reset(); // trades for the clean spares, leaving the old rings unclean
  EXPECT_EQ(plug->GetBytesClearedByResets(), 0u);
  EXPECT_FALSE(plug->SpareRingsClean());
  FillEveryLine(plug.get());
  plug->Reset();
  EXPECT_EQ(plug->GetBytesClearedByResets(), kAllLinesBytes);

  // The next scope cleans the spares before it resets.
  FillEveryLine(plug.get());
  ASSERT_EQ(ThroughEntry(plug.get(), ResetCall::Reset), noErr);
  EXPECT_EQ(plug->GetBytesClearedByResets(), kAllLinesBytes);
  EXPECT_TRUE(plug->SpareRingsClean());
}

// Two host threads switching bypass and resetting while the audio thread
// renders: each reset waits for the other's clearing outside the mutex, so
// none ever finds a spare unclean and clears under the mutex.
TEST(EffectReset, ConcurrentResetsNeverClearUnderTheMutex)
{
  auto plug = NewEffect();
  ASSERT_EQ(ThroughEntry(plug.get(), ResetCall::SampleRate), noErr);
  std::atomic<bool> stop{false};
  auto resets = [&](ResetCall a, ResetCall b)
  {
    for (int i = 0; i < 200 && !stop; ++i)
      ThroughEntry(plug.get(), i % 2 ? a : b);
  };
  std::thread bypass(resets, ResetCall::BypassOn, ResetCall::BypassOff);
  std::thread reset(resets, ResetCall::Reset, ResetCall::SampleRate);
  for (int i = 0; i < 40; ++i)
  {
    Set(plug.get(), kSwitch, i % 2 ? 100.0 : 0.0);
    Render(plug.get(), 4 * kBlock, i);
  }
  stop = true;
  bypass.join();
  reset.join();
  EXPECT_EQ(plug->GetBytesClearedByResets(), 0u);
  EXPECT_TRUE(plug->SpareRingsClean());
}
