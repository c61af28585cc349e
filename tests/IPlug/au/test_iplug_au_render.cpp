// Stream formats, input connections and rendering.

#include "tests/IPlug/au/AUTestHost.h"

#include <vector>

namespace
{
constexpr UInt32 kFrames = 64;
constexpr float kUntouched = -7.0f; // what BufferSet fills host memory with

OSStatus SetFormatRecord(const Unit& unit, AudioUnitScope scope, UInt32 bus,
                         const AudioStreamBasicDescription& format)
{
  return AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, scope, bus, &format,
                              sizeof(format));
}

OSStatus Connect(const Unit& unit, AudioUnit source, UInt32 destBus = 0)
{
  const AudioUnitConnection connection = {source, 0, destBus};
  return AudioUnitSetProperty(unit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0,
                              &connection, sizeof(connection));
}

// An effect with unit gain fed by a host callback.
struct FedEffect
{
  Unit unit{TestPlugComponent()};
  HostInput input;
  FedEffect()
  {
    unit.SetParam(kTestGain, 1.0f);
    EXPECT_EQ(noErr, unit.SetInputCallback(HostInput::Render, &input));
    EXPECT_EQ(noErr, AudioUnitInitialize(unit));
  }
};

float Processed(UInt32 channel, double sampleTime, UInt32 frame)
{
  return HostInput::Value(channel, sampleTime, frame) + kTestProcessOffset;
}

// A host input that hands the unit the host's output memory to read from.
struct InPlaceInput
{
  BufferSet* out;
  static OSStatus Render(void* refCon, AudioUnitRenderActionFlags* flags,
                         const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 nFrames,
                         AudioBufferList* list)
  {
    BufferSet* out = static_cast<InPlaceInput*>(refCon)->out;
    for (UInt32 c = 0; c < list->mNumberBuffers; ++c)
      list->mBuffers[c].mData = out->Memory(c);
    HostInput input;
    return HostInput::Render(&input, flags, timeStamp, bus, nFrames, list);
  }
};

OSStatus FailingInput(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                      AudioBufferList*)
{
  return -1234;
}

OSStatus DroppingInput(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                       AudioBufferList* list)
{
  list->mBuffers[0].mData = nullptr;
  return noErr;
}

int gNotifications = 0;
OSStatus CountNotification(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                           UInt32, AudioBufferList*)
{
  ++gNotifications;
  return noErr;
}
} // namespace

TEST(AURender, DefaultStreamFormatIsNonInterleavedFloat)
{
  Unit unit(TestPlugComponent());
  const AudioStreamBasicDescription format = unit.Format(kAudioUnitScope_Input, 0);
  EXPECT_EQ(44100.0, format.mSampleRate);
  EXPECT_EQ(static_cast<UInt32>(kAudioFormatLinearPCM), format.mFormatID);
  EXPECT_EQ(41u, format.mFormatFlags);
  EXPECT_EQ(4u, format.mBytesPerPacket);
  EXPECT_EQ(1u, format.mFramesPerPacket);
  EXPECT_EQ(4u, format.mBytesPerFrame);
  EXPECT_EQ(2u, format.mChannelsPerFrame); // the plug channels while no format is set
  EXPECT_EQ(32u, format.mBitsPerChannel);
  EXPECT_EQ(2u, unit.Format(kAudioUnitScope_Global, 0).mChannelsPerFrame);
}

TEST(AURender, StreamFormatsOutsideTheConfigurationsAreRejected)
{
  Unit unit(TestPlugComponent());
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, unit.SetFormat(kAudioUnitScope_Input, 0, 3));
  EXPECT_EQ(0u, unit.Format(kAudioUnitScope_Input, 0).mChannelsPerFrame);
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, unit.SetFormat(kAudioUnitScope_Input, 0, 0));
  AudioStreamBasicDescription format = CanonicalFormat(44100.0, 2);
  format.mFormatFlags = kAudioFormatFlagIsSignedInteger;
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, SetFormatRecord(unit, kAudioUnitScope_Input, 0, format));
  format = CanonicalFormat(44100.0, 2);
  format.mFormatID = kAudioFormatAC3;
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, SetFormatRecord(unit, kAudioUnitScope_Input, 0, format));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, unit.SetFormat(kAudioUnitScope_Input, 1, 2));
  EXPECT_EQ(44100.0, unit.Float64Property(kAudioUnitProperty_SampleRate));

  // An accepted format sets the rate too.
  EXPECT_EQ(noErr, unit.SetFormat(kAudioUnitScope_Input, 0, 1, 48000.0));
  EXPECT_EQ(1u, unit.Format(kAudioUnitScope_Input, 0).mChannelsPerFrame);
  EXPECT_EQ(48000.0, unit.Float64Property(kAudioUnitProperty_SampleRate));
  // While inactive the other side is not consulted; while active it is.
  EXPECT_EQ(noErr, unit.SetFormat(kAudioUnitScope_Output, 0, 2));
  EXPECT_EQ(noErr, unit.SetFormat(kAudioUnitScope_Output, 0, 1));
  ASSERT_EQ(noErr, AudioUnitInitialize(unit));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, unit.SetFormat(kAudioUnitScope_Output, 0, 2));
}

TEST(AURender, BusesOfASideChainInstrument)
{
  Unit synth(TestSynthComponent());
  EXPECT_EQ(2u, synth.Format(kAudioUnitScope_Input, 0).mChannelsPerFrame);
  EXPECT_EQ(1u, synth.Format(kAudioUnitScope_Input, 1).mChannelsPerFrame);
  EXPECT_EQ(2u, synth.Format(kAudioUnitScope_Output, 0).mChannelsPerFrame);
  EXPECT_EQ(1u, synth.Format(kAudioUnitScope_Output, 1).mChannelsPerFrame);
  // "2-2 3-3": the main bus alone, then the side chain joining it.
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, synth.SetFormat(kAudioUnitScope_Input, 1, 1));
  EXPECT_EQ(noErr, synth.SetFormat(kAudioUnitScope_Input, 0, 2));
  EXPECT_EQ(noErr, synth.SetFormat(kAudioUnitScope_Input, 1, 1));
  EXPECT_EQ(noErr, synth.SetFormat(kAudioUnitScope_Output, 0, 2));
  EXPECT_EQ(noErr, synth.SetFormat(kAudioUnitScope_Output, 1, 1));
  EXPECT_EQ(noErr, AudioUnitInitialize(synth));
}

TEST(AURender, HostCallbackInputIsProcessed)
{
  FedEffect effect;
  BufferSet out(2, kFrames);
  ASSERT_EQ(noErr, RenderUnit(effect.unit, 0, kFrames, out.List()));
  EXPECT_EQ(1, effect.input.calls);
  EXPECT_EQ(0u, effect.input.lastBus);
  EXPECT_EQ(2u, effect.input.lastBuffers); // no format set: the bus assumed its two channels
  for (UInt32 c = 0; c < 2; ++c)
    for (UInt32 i = 0; i < kFrames; ++i)
      ASSERT_EQ(Processed(c, 0, i), out.Sample(c, i));
  EXPECT_EQ(1.0f, effect.unit.Param(kTestProcessCalls));
}

TEST(AURender, MonoConfiguration)
{
  Unit unit(TestPlugComponent());
  unit.SetParam(kTestGain, 1.0f);
  HostInput input;
  ASSERT_EQ(noErr, unit.SetFormat(kAudioUnitScope_Input, 0, 1));
  ASSERT_EQ(noErr, unit.SetFormat(kAudioUnitScope_Output, 0, 1));
  ASSERT_EQ(noErr, unit.SetInputCallback(HostInput::Render, &input));
  ASSERT_EQ(noErr, AudioUnitInitialize(unit));
  BufferSet out(1, kFrames);
  ASSERT_EQ(noErr, RenderUnit(unit, 0, kFrames, out.List()));
  EXPECT_EQ(1u, input.lastBuffers);
  EXPECT_EQ(Processed(0, 0, 5), out.Sample(0, 5));
}

TEST(AURender, InPlaceNullBuffersAndExtraBuffers)
{
  {
    FedEffect effect;
    BufferSet out(2, kFrames);
    InPlaceInput inPlace = {&out};
    ASSERT_EQ(noErr, effect.unit.SetInputCallback(InPlaceInput::Render, &inPlace));
    ASSERT_EQ(noErr, RenderUnit(effect.unit, 128, kFrames, out.List()));
    EXPECT_EQ(Processed(0, 128, 9), out.Sample(0, 9));
    EXPECT_EQ(Processed(1, 128, 63), out.Sample(1, 63));
  }
  {
    // No memory from the host: the unit's own buffers carry the output.
    FedEffect effect;
    BufferSet out(2, kFrames, false);
    ASSERT_EQ(noErr, RenderUnit(effect.unit, 0, kFrames, out.List()));
    ASSERT_NE(nullptr, out.Buffer(0).mData);
    ASSERT_NE(out.Buffer(0).mData, out.Buffer(1).mData);
    EXPECT_EQ(kFrames * 4, out.Buffer(1).mDataByteSize);
    EXPECT_EQ(Processed(1, 0, 17), out.Sample(1, 17));
  }
  {
    // A third buffer for a bus of two channels is left as the host gave it.
    FedEffect effect;
    BufferSet out(3, kFrames);
    ASSERT_EQ(noErr, RenderUnit(effect.unit, 0, kFrames, out.List()));
    EXPECT_EQ(Processed(1, 0, 1), out.Sample(1, 1));
    EXPECT_EQ(kUntouched, out.Sample(2, 1));
  }
}

TEST(AURender, BypassPassesTheInputThroughUnprocessed)
{
  FedEffect effect;
  effect.unit.SetParam(kTestGain, 2.0f);
  ASSERT_EQ(noErr, effect.unit.SetBypass(true));
  BufferSet out(2, kFrames);
  ASSERT_EQ(noErr, RenderUnit(effect.unit, 0, kFrames, out.List()));
  EXPECT_EQ(HostInput::Value(0, 0, 3), out.Sample(0, 3));
  EXPECT_EQ(HostInput::Value(1, 0, 60), out.Sample(1, 60));
  EXPECT_EQ(0.0f, effect.unit.Param(kTestProcessCalls));
  ASSERT_EQ(noErr, effect.unit.SetBypass(false));
  ASSERT_EQ(noErr, RenderUnit(effect.unit, kFrames, kFrames, out.List()));
  EXPECT_EQ(2.0f * HostInput::Value(0, kFrames, 3) + kTestProcessOffset, out.Sample(0, 3));
}

TEST(AURender, InvalidRendersProcessNothingAndNotifyNoOne)
{
  FedEffect effect;
  ASSERT_EQ(noErr, effect.unit.SetMaxFrames(256));
  ASSERT_EQ(noErr, AudioUnitAddRenderNotify(effect.unit, CountNotification, nullptr));
  gNotifications = 0;
  BufferSet out(2, 512);
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, RenderUnit(effect.unit, 0, 257, out.List()));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, RenderUnit(effect.unit, 0, 64, out.List(), 1));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, RenderUnit(effect.unit, 0, 64, nullptr));
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp noSampleTime = SampleTimeStamp(0);
  noSampleTime.mFlags = kAudioTimeStampHostTimeValid;
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitRender(effect.unit, &flags, &noSampleTime, 0, 64, out.List()));
  // Host memory too small for the block.
  BufferSet small(2, 32);
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, RenderUnit(effect.unit, 0, 64, small.List()));
  EXPECT_EQ(kUntouched, small.Sample(0, 0));
  EXPECT_EQ(0, gNotifications);
  EXPECT_EQ(0, effect.input.calls);
  EXPECT_EQ(kUntouched, out.Sample(0, 0));

  EXPECT_EQ(noErr, RenderUnit(effect.unit, 0, 256, out.List()));
  EXPECT_EQ(2, gNotifications);
  EXPECT_EQ(Processed(0, 0, 255), out.Sample(0, 255));
  EXPECT_EQ(kUntouched, out.Sample(0, 256));
}

TEST(AURender, InputIsPulledOncePerTimeStamp)
{
  FedEffect effect;
  BufferSet first(2, kFrames), second(2, kFrames);
  ASSERT_EQ(noErr, RenderUnit(effect.unit, 0, kFrames, first.List()));
  ASSERT_EQ(noErr, RenderUnit(effect.unit, 0, kFrames, second.List()));
  EXPECT_EQ(1, effect.input.calls);
  EXPECT_EQ(Processed(1, 0, 7), second.Sample(1, 7)); // the input pulled by the first render
  ASSERT_EQ(noErr, RenderUnit(effect.unit, kFrames, kFrames, second.List()));
  EXPECT_EQ(2, effect.input.calls);

  // Both output buses of the instrument for one time stamp pull its inputs once.
  Unit synth(TestSynthComponent());
  HostInput input;
  ASSERT_EQ(noErr, synth.SetInputCallback(HostInput::Render, &input));
  BufferSet main(2, kFrames), side(1, kFrames);
  ASSERT_EQ(noErr, RenderUnit(synth, 0, kFrames, main.List(), 0));
  ASSERT_EQ(noErr, RenderUnit(synth, 0, kFrames, side.List(), 1));
  EXPECT_EQ(1, input.calls);
  EXPECT_EQ(HostInput::Value(1, 0, 2), main.Sample(1, 2));
  EXPECT_EQ(0.0f, side.Sample(0, 2)); // the side-chain input is not connected
}

TEST(AURender, InputFailuresEndTheRender)
{
  FedEffect effect;
  ASSERT_EQ(noErr, AudioUnitAddRenderNotify(effect.unit, CountNotification, nullptr));
  gNotifications = 0;
  ASSERT_EQ(noErr, effect.unit.SetInputCallback(FailingInput, nullptr));
  BufferSet out(2, kFrames);
  EXPECT_EQ(-1234, RenderUnit(effect.unit, 0, kFrames, out.List()));
  EXPECT_EQ(kUntouched, out.Sample(0, 0));
  EXPECT_EQ(1, gNotifications); // the pre-render notification only
  ASSERT_EQ(noErr, effect.unit.SetInputCallback(DroppingInput, nullptr));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, RenderUnit(effect.unit, 0, kFrames, out.List()));
  EXPECT_EQ(0.0f, effect.unit.Param(kTestProcessCalls));

  // A null procedure disconnects the bus: the unit renders silence in.
  ASSERT_EQ(noErr, effect.unit.SetInputCallback(nullptr, nullptr));
  ASSERT_EQ(noErr, RenderUnit(effect.unit, 0, kFrames, out.List()));
  EXPECT_EQ(kTestProcessOffset, out.Sample(1, 10));
  // Only the input scope takes a callback.
  const AURenderCallbackStruct callback = {HostInput::Render, nullptr};
  EXPECT_EQ(kAudioUnitErr_InvalidProperty,
            AudioUnitSetProperty(effect.unit, kAudioUnitProperty_SetRenderCallback,
                                 kAudioUnitScope_Global, 0, &callback, sizeof(callback)));
}

TEST(AURender, UpstreamUnitThroughItsFastRenderProcedure)
{
  FedEffect upstream;
  Unit downstream(TestPlugComponent());
  downstream.SetParam(kTestGain, 2.0f);
  ASSERT_EQ(noErr, Connect(downstream, upstream.unit));
  ASSERT_EQ(noErr, AudioUnitInitialize(downstream));
  BufferSet out(2, kFrames);
  ASSERT_EQ(noErr, RenderUnit(downstream, 0, kFrames, out.List()));
  EXPECT_EQ(1, upstream.input.calls);
  EXPECT_EQ(1.0f, upstream.unit.Param(kTestProcessCalls));
  EXPECT_EQ(2.0f * Processed(1, 0, 4) + kTestProcessOffset, out.Sample(1, 4));

  // A null source disconnects.
  ASSERT_EQ(noErr, Connect(downstream, nullptr));
  ASSERT_EQ(noErr, RenderUnit(downstream, kFrames, kFrames, out.List()));
  EXPECT_EQ(1, upstream.input.calls);
  EXPECT_EQ(kTestProcessOffset, out.Sample(0, 4));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, Connect(downstream, upstream.unit, 1));
}

TEST(AURender, UpstreamUnitThroughAudioUnitRender)
{
  Unit source(TestSourceComponent());
  Unit effect(TestPlugComponent());
  effect.SetParam(kTestGain, 1.0f);
  ASSERT_EQ(noErr, Connect(effect, source));
  EXPECT_EQ(48000.0, effect.Float64Property(kAudioUnitProperty_SampleRate)); // the source's
  BufferSet out(2, kFrames);
  ASSERT_EQ(noErr, RenderUnit(effect, 100, kFrames, out.List()));
  ASSERT_EQ(noErr, RenderUnit(effect, 100, kFrames, out.List()));
  EXPECT_EQ(1.0f, source.Param(kSourceRenders));
  EXPECT_EQ(kSourceBase * 2 + 100 + 5 + kTestProcessOffset, out.Sample(1, 5));

  source.SetParam(kSourceFailWith, -50.0f);
  EXPECT_EQ(-50, RenderUnit(effect, 200, kFrames, out.List()));
  source.SetParam(kSourceFailWith, 0.0f);

  // A source with three channels cannot be connected: the bus is left disconnected.
  source.SetParam(kSourceChannels, 3.0f);
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, Connect(effect, source));
  EXPECT_EQ(0u, effect.Format(kAudioUnitScope_Input, 0).mChannelsPerFrame);
  const float renders = source.Param(kSourceRenders);
  ASSERT_EQ(noErr, RenderUnit(effect, 300, kFrames, out.List()));
  EXPECT_EQ(renders, source.Param(kSourceRenders));
}
