// Cost per sample of rendering a plug-in through its component (host callback
// input, AudioUnitRender, float conversion in the processing frame) against
// calling its ProcessDoubleReplacing directly on the same data: 512-frame
// blocks, stereo, 44.1 kHz, the plug-in as its constructor leaves it (for an
// effect, its factory preset).

#include "IPlug/IPlugAU.h"

#include <benchmark/benchmark.h>

#include <StandInExtensions.h>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{
constexpr int kFrames = 512;
constexpr int kChannels = 2;
constexpr double kSampleRate = 44100.0;

// A few seconds of a decaying, detuned tone pair: something for a delay to work on.
struct TestSignal
{
  std::vector<std::vector<float>> floats;
  std::vector<std::vector<double>> doubles;
  TestSignal() : floats(kChannels, std::vector<float>(kFrames)), doubles(kChannels)
  {
    for (int c = 0; c < kChannels; ++c)
    {
      for (int i = 0; i < kFrames; ++i)
        floats[c][i] =
            static_cast<float>(0.5 * std::sin(0.03 * (c + 1) * i) * std::exp(-i / 300.0));
      doubles[c].assign(floats[c].begin(), floats[c].end());
    }
  }
};

const TestSignal& Signal()
{
  static const TestSignal signal;
  return signal;
}

// The host's input callback hands the unit the prepared samples without copying.
OSStatus ProvideInput(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                      AudioBufferList* list)
{
  for (UInt32 c = 0; c < list->mNumberBuffers && c < kChannels; ++c)
    list->mBuffers[c].mData = const_cast<float*>(Signal().floats[c].data());
  return noErr;
}

AudioUnit OpenUnit()
{
  Component component = nullptr;
  if (RegisterComponentBundle(BENCH_COMPONENT_BUNDLE, &component) != noErr)
  {
    std::fprintf(stderr, "%s: %s\n", BENCH_COMPONENT_BUNDLE, GetComponentRegistrationMessage());
    return nullptr;
  }
  AudioUnit unit = nullptr;
  if (OpenAComponent(component, &unit) != noErr) return nullptr;

  AudioStreamBasicDescription format = {};
  format.mSampleRate = kSampleRate;
  format.mFormatID = kAudioFormatLinearPCM;
  format.mFormatFlags = kAudioFormatFlagsAudioUnitCanonical;
  format.mBytesPerPacket = format.mBytesPerFrame = sizeof(float);
  format.mFramesPerPacket = 1;
  format.mChannelsPerFrame = kChannels;
  format.mBitsPerChannel = 32;
  const UInt32 maxFrames = kFrames;
  const AURenderCallbackStruct input = {ProvideInput, nullptr};
  bool ok = true;
  for (AudioUnitScope scope : {kAudioUnitScope_Input, kAudioUnitScope_Output})
    ok = ok && AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, scope, 0, &format,
                                    sizeof(format)) == noErr;
  ok =
      ok && AudioUnitSetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice,
                                 kAudioUnitScope_Global, 0, &maxFrames, sizeof(maxFrames)) == noErr;
  ok = ok && AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input,
                                  0, &input, sizeof(input)) == noErr;
  ok = ok && AudioUnitInitialize(unit) == noErr;
  ok = ok && AudioUnitReset(unit, kAudioUnitScope_Global, 0) == noErr;
  if (!ok)
  {
    CloseComponent(unit);
    return nullptr;
  }
  return unit;
}

void PerSample(benchmark::State& state)
{
  state.counters["per_sample"] = benchmark::Counter(
      kFrames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_RenderThroughComponent(benchmark::State& state)
{
  AudioUnit unit = OpenUnit();
  if (!unit)
  {
    state.SkipWithError("the component could not be opened and set up");
    return;
  }
  std::vector<std::vector<float>> out(kChannels, std::vector<float>(kFrames));
  std::vector<unsigned char> listMemory(offsetof(AudioBufferList, mBuffers) +
                                        kChannels * sizeof(AudioBuffer));
  auto* list = reinterpret_cast<AudioBufferList*>(listMemory.data());
  list->mNumberBuffers = kChannels;
  AudioTimeStamp timeStamp = {};
  timeStamp.mFlags = kAudioTimeStampSampleTimeValid;
  for (auto _ : state)
  {
    for (int c = 0; c < kChannels; ++c)
      list->mBuffers[c] = {1, kFrames * sizeof(float), out[c].data()};
    AudioUnitRenderActionFlags flags = 0;
    if (AudioUnitRender(unit, &flags, &timeStamp, 0, kFrames, list) != noErr)
    {
      state.SkipWithError("render failed");
      break;
    }
    benchmark::DoNotOptimize(out[1][kFrames - 1]);
    timeStamp.mSampleTime += kFrames;
  }
  PerSample(state);
  CloseComponent(unit);
}

void BM_ProcessDirectly(benchmark::State& state)
{
  std::unique_ptr<IPlugAU> plug(MakePlug());
  plug->SetSampleRate(kSampleRate);
  plug->SetBlockSize(kFrames);
  plug->Reset();
  std::vector<std::vector<double>> in = Signal().doubles;
  std::vector<std::vector<double>> out(kChannels, std::vector<double>(kFrames));
  double* inputs[kChannels] = {in[0].data(), in[1].data()};
  double* outputs[kChannels] = {out[0].data(), out[1].data()};
  for (auto _ : state)
  {
    plug->ProcessDoubleReplacing(inputs, outputs, kFrames);
    benchmark::DoNotOptimize(out[1][kFrames - 1]);
  }
  PerSample(state);
}
} // namespace

BENCHMARK(BM_RenderThroughComponent);
BENCHMARK(BM_ProcessDirectly);
