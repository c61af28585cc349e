#include "TestPlug.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

TEST(PlugBase, ConstructionState)
{
  TestPlug plug(4, "1-1 2-2", 3, "TestEffect", 0x10203);
  EXPECT_EQ(plug.NParams(), 4);
  EXPECT_EQ(plug.NPresets(), 3);
  EXPECT_EQ(plug.GetParam(4), nullptr);
  EXPECT_EQ(plug.GetParam(-1), nullptr);
  EXPECT_STREQ(plug.GetEffectName(), "TestEffect");
  EXPECT_STREQ(plug.GetProductName(), "TestProduct");
  EXPECT_STREQ(plug.GetMfrName(), "TestMfr");
  EXPECT_EQ(plug.GetUniqueID(), 0x54657374);
  EXPECT_EQ(plug.GetMfrID(), 0x744D6672);
  EXPECT_EQ(plug.GetSampleRate(), 44100.0);
  EXPECT_EQ(plug.GetBlockSize(), 0);
  EXPECT_EQ(plug.GetLatency(), 0);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_EQ(plug.GetGUI(), nullptr);
  EXPECT_FALSE(plug.IsInst());
  EXPECT_FALSE(plug.DoesStateChunks());
  EXPECT_EQ(plug.IPlugBase::GetHost(), kHostUninit);
  EXPECT_EQ(plug.GetEffectVersion(false), 0x10203);
  plug.SetSampleRate(48000.0);
  plug.SetLatency(64);
  EXPECT_EQ(plug.GetSampleRate(), 48000.0);
  EXPECT_EQ(plug.GetLatency(), 64);
}

TEST(PlugBase, LongNamesAreCutToTheirFields)
{
  const std::string longName(300, 'e');
  TestPlug plug(1, "1-1", 0, longName.c_str());
  EXPECT_EQ(std::string(plug.GetEffectName()), longName.substr(0, 127));
}

TEST(PlugBase, ChannelIOStringAndLegalIO)
{
  TestPlug plug;
  ASSERT_EQ(plug.NChannelIO(), 2);
  EXPECT_EQ(plug.GetChannelIO(0)->mIn, 1);
  EXPECT_EQ(plug.GetChannelIO(0)->mOut, 1);
  EXPECT_EQ(plug.GetChannelIO(1)->mIn, 2);
  EXPECT_EQ(plug.GetChannelIO(1)->mOut, 2);
  EXPECT_EQ(plug.GetChannelIO(2), nullptr);
  EXPECT_EQ(plug.NInChannels(), 2);
  EXPECT_EQ(plug.NOutChannels(), 2);
  EXPECT_TRUE(plug.LegalIO(1, 1));
  EXPECT_TRUE(plug.LegalIO(2, 2));
  EXPECT_TRUE(plug.LegalIO(-1, 2));
  EXPECT_TRUE(plug.LegalIO(2, -1));
  EXPECT_TRUE(plug.LegalIO(-1, -1));
  EXPECT_FALSE(plug.LegalIO(1, 2));
  EXPECT_FALSE(plug.LegalIO(0, 0));

  TestPlug single(1, "2-2");
  EXPECT_EQ(single.NChannelIO(), 1);
  TestPlug uneven(1, "1-2 0-6");
  EXPECT_EQ(uneven.NInChannels(), 1);
  EXPECT_EQ(uneven.NOutChannels(), 6);
  EXPECT_TRUE(uneven.LegalIO(0, 6));
}

TEST(PlugBase, ConnectionFlagsAreClippedToTheChannels)
{
  TestPlug plug;
  EXPECT_FALSE(plug.IsInChannelConnected(0));
  plug.SetInputChannelConnections(-1, 2, true); // only channel 0 lies in range
  EXPECT_TRUE(plug.IsInChannelConnected(0));
  EXPECT_FALSE(plug.IsInChannelConnected(1));
  plug.SetOutputChannelConnections(1, 100, true);
  EXPECT_FALSE(plug.IsOutChannelConnected(0));
  EXPECT_TRUE(plug.IsOutChannelConnected(1));
  EXPECT_FALSE(plug.IsOutChannelConnected(2));
  EXPECT_FALSE(plug.IsInChannelConnected(-5));
}

namespace
{
// Two inputs, two outputs, block size 4, everything connected.
struct FloatFrame : ::testing::Test
{
  TestPlug plug;
  float in0[4] = {1, 2, 3, 4}, in1[4] = {5, 6, 7, 8};
  float out0[4] = {-1, -1, -1, -1}, out1[4] = {-1, -1, -1, -1};
  float* ins[2] = {in0, in1};
  float* outs[2] = {out0, out1};

  void SetUp() override
  {
    plug.SetBlockSize(4);
    plug.SetInputChannelConnections(0, 2, true);
    plug.SetOutputChannelConnections(0, 2, true);
  }
};
} // namespace

TEST_F(FloatFrame, ProcessBuffersConvertsBothWays)
{
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(plug.lastFrames, 4);
  for (int s = 0; s < 4; ++s)
  {
    EXPECT_EQ(out0[s], 1000.0f + in0[s]);
    EXPECT_EQ(out1[s], 2000.0f + in0[s]);
  }
  EXPECT_EQ(plug.seenInputs[1][2], 7.0); // converted copy of the second input
  EXPECT_NE(plug.seenInputs[1], nullptr);
}

TEST_F(FloatFrame, UnconnectedInputSkipsAHostBufferAndReadsItsScratch)
{
  plug.SetInputChannelConnections(1, 1, false);
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 4);
  ASSERT_EQ(plug.seenInputs.size(), 2u);
  EXPECT_EQ(plug.seenInputs[0][0], 1.0);
  for (int s = 0; s < 4; ++s)
    EXPECT_EQ(plug.seenInputs[1][s], 0.0);

  // Input 1 unconnected, input 0 unconnected too: host buffers advance only for
  // connected channels, so connecting just input 1 gives it the first buffer.
  plug.SetInputChannelConnections(0, 1, false);
  plug.SetInputChannelConnections(1, 1, true);
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(plug.seenInputs[1][3], 4.0);
}

TEST_F(FloatFrame, UnconnectedOutputLeavesItsHostBufferAlone)
{
  plug.SetOutputChannelConnections(1, 1, false);
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(out0[0], 1001.0f);
  for (float v : out1)
    EXPECT_EQ(v, -1.0f);
}

TEST_F(FloatFrame, AccumulatingAddsIntoTheHostBuffers)
{
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffersAccumulating(0.0f, 4);
  EXPECT_EQ(out0[1], 1002.0f - 1.0f);
  EXPECT_EQ(out1[3], 2004.0f - 1.0f);
}

TEST_F(FloatFrame, PassThroughCopiesExactlyWithoutTheEffect)
{
  const float odd[4] = {0.1f, -0.3f, 1e-30f, 3.4e38f};
  std::copy(odd, odd + 4, in0);
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.PassThroughBuffers(0.0f, 4);
  EXPECT_EQ(plug.processCalls, 0);
  for (int s = 0; s < 4; ++s)
  {
    EXPECT_EQ(out0[s], odd[s]);
    EXPECT_EQ(out1[s], in1[s]);
  }
}

TEST_F(FloatFrame, OversizeBlocksAreCutToTheBlockSize)
{
  float big0[8] = {1, 2, 3, 4, 5, 6, 7, 8}, bigOut[8] = {0, 0, 0, 0, 0, 0, 0, -7};
  float* bigIns[2] = {big0, big0};
  float* bigOuts[2] = {bigOut, out1};
  plug.AttachInputBuffers(0, 2, bigIns, 8);
  plug.AttachOutputBuffers(0, 2, bigOuts);
  plug.ProcessBuffers(0.0f, 8);
  EXPECT_EQ(plug.lastFrames, 4);
  EXPECT_EQ(bigOut[3], 1004.0f);
  EXPECT_EQ(bigOut[7], -7.0f);
}

namespace
{
// Processes float buffers itself: output c = 1000 * (c + 1) + input 0, output
// 0 written in full before output 1 reads input 0, so a frame that let an
// output overwrite an input still to be read would show it.
struct SinglePlug : TestPlug
{
  SinglePlug() { UseSingleReplacing(true); }
  void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) override
  {
    ++singleCalls;
    lastFrames = nFrames;
    seenFloatInputs.assign(inputs, inputs + NInChannels());
    for (int c = 0; c < NOutChannels(); ++c)
      for (int s = 0; s < nFrames; ++s)
        outputs[c][s] = 1000.0f * (c + 1) + inputs[0][s];
  }
  int singleCalls = 0;
  std::vector<float*> seenFloatInputs;
};

struct SingleFrame : ::testing::Test
{
  SinglePlug plug;
  float in0[4] = {1, 2, 3, 4}, in1[4] = {5, 6, 7, 8};
  float out0[4] = {-1, -1, -1, -1}, out1[4] = {-1, -1, -1, -1};
  float* ins[2] = {in0, in1};
  float* outs[2] = {out0, out1};

  void SetUp() override
  {
    plug.SetBlockSize(4);
    plug.SetInputChannelConnections(0, 2, true);
    plug.SetOutputChannelConnections(0, 2, true);
  }
  void Attach(float** inputs, float** outputs, int nFrames = 4)
  {
    plug.AttachInputBuffers(0, 2, inputs, nFrames);
    plug.AttachOutputBuffers(0, 2, outputs);
  }
};
} // namespace

TEST_F(SingleFrame, HostBuffersReachTheProcessingUnconverted)
{
  Attach(ins, outs);
  plug.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(plug.processCalls, 0);
  ASSERT_EQ(plug.singleCalls, 1);
  EXPECT_EQ(plug.seenFloatInputs[0], in0);
  EXPECT_EQ(plug.seenFloatInputs[1], in1);
  for (int s = 0; s < 4; ++s)
  {
    EXPECT_EQ(out0[s], 1000.0f + in0[s]);
    EXPECT_EQ(out1[s], 2000.0f + in0[s]);
  }

  // Oversize blocks are cut to the block size; the frames after it stay.
  float big[8] = {1, 2, 3, 4, 5, 6, 7, 8}, bigOut[8] = {0, 0, 0, 0, 0, 0, 0, -7};
  float* bigIns[2] = {big, big};
  float* bigOuts[2] = {bigOut, out1};
  Attach(bigIns, bigOuts, 8);
  plug.ProcessBuffers(0.0f, 8);
  EXPECT_EQ(plug.lastFrames, 4);
  EXPECT_EQ(bigOut[3], 1004.0f);
  EXPECT_EQ(bigOut[7], -7.0f);
}

TEST_F(SingleFrame, UnconnectedChannelsReadSilenceAndLeaveHostBuffersAlone)
{
  // In place first, so that input 0's samples pass through its scratch buffer.
  Attach(ins, ins);
  plug.ProcessBuffers(0.0f, 4);
  plug.SetInputChannelConnections(0, 1, false);
  plug.SetOutputChannelConnections(1, 1, false);
  float host1[4] = {9, 9, 9, 9};
  float* inputs[1] = {host1}; // only input 1 is connected: it takes the first buffer
  plug.AttachInputBuffers(0, 2, inputs, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(plug.seenFloatInputs[1], host1);
  for (int s = 0; s < 4; ++s)
  {
    EXPECT_EQ(out0[s], 1000.0f); // input 0 reads zeros
    EXPECT_EQ(out1[s], -1.0f);
  }
}

TEST_F(SingleFrame, InPlaceRenderingReadsEveryInputBeforeItIsOverwritten)
{
  const float original[4] = {1, 2, 3, 4};
  Attach(ins, ins); // the outputs are the inputs' own buffers
  plug.ProcessBuffers(0.0f, 4);
  for (int s = 0; s < 4; ++s)
  {
    EXPECT_EQ(in0[s], 1000.0f + original[s]);
    EXPECT_EQ(in1[s], 2000.0f + original[s]);
  }
  // A second render of the same input (no new attachment) reads it unchanged.
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(out1[3], 2004.0f);

  // Buffers that only overlap count too.
  float shared[6] = {1, 2, 3, 4, 5, 6};
  float* overlapIns[2] = {shared, in1};
  float* overlapOuts[2] = {shared + 2, out1};
  Attach(overlapIns, overlapOuts);
  plug.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(shared[5], 1004.0f);
  EXPECT_EQ(out1[3], 2004.0f);
}

TEST_F(SingleFrame, AccumulatingAndPassThrough)
{
  Attach(ins, outs);
  plug.ProcessBuffersAccumulating(0.0f, 4);
  EXPECT_EQ(out0[1], 1002.0f - 1.0f);
  EXPECT_EQ(out1[3], 2004.0f - 1.0f);
  // The outputs are the host's again for the next plain render.
  plug.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(out0[1], 1002.0f);

  const float odd[4] = {0.1f, -0.3f, 1e-30f, 3.4e38f};
  std::copy(odd, odd + 4, in0);
  const int calls = plug.singleCalls;
  plug.PassThroughBuffers(0.0f, 4);
  EXPECT_EQ(plug.singleCalls, calls);
  for (int s = 0; s < 4; ++s)
  {
    EXPECT_EQ(out0[s], odd[s]);
    EXPECT_EQ(out1[s], in1[s]);
  }
}

TEST(PlugBase, DoubleBuffersAreUsedInPlace)
{
  TestPlug plug;
  plug.SetBlockSize(3);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  double in0[3] = {1, 2, 3}, in1[3] = {4, 5, 6}, out0[3] = {}, out1[3] = {};
  double* ins[2] = {in0, in1};
  double* outs[2] = {out0, out1};
  plug.AttachInputBuffers(0, 2, ins, 3);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0, 3);
  EXPECT_EQ(plug.seenInputs[0], in0);
  EXPECT_EQ(out1[2], 2003.0);

  plug.PassThroughBuffers(0.0, 3);
  EXPECT_EQ(out0[1], 2.0);
  EXPECT_EQ(out1[1], 5.0);
}

TEST(PlugBase, DefaultProcessingCopiesAndZeroesTheRest)
{
  TestPlug plug(1, "1-3");
  double in[2] = {0.5, -0.5}, a[2] = {9, 9}, b[2] = {9, 9}, c[2] = {9, 9};
  double* ins[1] = {in};
  double* outs[3] = {a, b, c};
  plug.IPlugBase::ProcessDoubleReplacing(ins, outs, 2);
  EXPECT_EQ(a[1], -0.5);
  EXPECT_EQ(b[0], 0.0);
  EXPECT_EQ(c[1], 0.0);

  float fin[2] = {1.5f, 2.5f}, fa[2] = {}, fb[2] = {7, 7}, fc[2] = {7, 7};
  float* fins[1] = {fin};
  float* fouts[3] = {fa, fb, fc};
  plug.ProcessSingleReplacing(fins, fouts, 2);
  EXPECT_EQ(fa[1], 2.5f);
  EXPECT_EQ(fc[0], 0.0f);
}

TEST(PlugBase, SetBlockSizeZeroFillsOnlyWhenTheSizeChanges)
{
  TestPlug plug;
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  float in[4] = {1, 2, 3, 4};
  float* ins[2] = {in, in};
  float out[64];
  float* outs[2] = {out, out};
  plug.AttachInputBuffers(0, 2, ins, 4); // fills the scratch buffers
  plug.AttachOutputBuffers(0, 2, outs);

  plug.SetBlockSize(4);
  plug.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(plug.seenInputs[1][3], 4.0); // untouched

  plug.SetBlockSize(64); // moves the scratch buffers; slots on them follow
  plug.SetBlockSize(-3); // ignored
  EXPECT_EQ(plug.GetBlockSize(), 64);
  plug.ProcessBuffers(0.0f, 64);
  for (int s = 0; s < 64; ++s)
    ASSERT_EQ(plug.seenInputs[1][s], 0.0);

  // A channel that loses its host buffer reads silence, also after a resize.
  plug.SetBlockSize(4);
  plug.AttachInputBuffers(0, 2, ins, 4);
  plug.SetInputChannelConnections(1, 1, false);
  plug.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(plug.seenInputs[1][3], 0.0);
  plug.SetBlockSize(32);
  plug.ProcessBuffers(0.0f, 32);
  EXPECT_EQ(plug.seenInputs[1][31], 0.0);
}

TEST(PlugBase, SetParameterFromGUIInformsTheHostWithTheControlsValue)
{
  TestPlug plug(2);
  plug.GetParam(1)->InitInt("i", 0, 0, 10);
  plug.SetParameterFromGUI(1, 0.5);
  plug.SetParameterFromGUI(1, 0.44);
  EXPECT_EQ(plug.GetParam(1)->Value(), 4.0);
  ASSERT_EQ(plug.informed.size(), 2u);
  EXPECT_EQ(plug.informed[1], std::make_pair(1, 0.44));
  EXPECT_EQ(plug.paramChanges, (std::vector<int>{1, 1}));

  plug.SetParameterFromGUI(7, 0.5); // outside the list: nothing happens
  EXPECT_EQ(plug.informed.size(), 2u);
}

TEST(PlugBase, ParamResetAndDirtyParametersVisitEveryParameter)
{
  TestPlug plug(3);
  plug.InitDoubles({0.0, 45.0, 100.0});
  plug.OnParamReset();
  EXPECT_EQ(plug.paramChanges, (std::vector<int>{0, 1, 2}));
  plug.DirtyParameters();
  ASSERT_EQ(plug.informed.size(), 3u);
  EXPECT_DOUBLE_EQ(plug.informed[1].second, 0.5);
  EXPECT_EQ(plug.informed[2].second, 1.0);
}

TEST(PlugBase, SamplesPerBeat)
{
  TestPlug plug;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 22050.0);
  plug.tempo = 0.0;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);
  plug.tempo = -5.0;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);
}

TEST(PlugBase, VirtualDefaults)
{
  TestPlug plug;
  IMidiMsg msg(3, 0x90, 60, 100);
  plug.ProcessMidiMsg(&msg); // MIDI through
  ASSERT_EQ(plug.sentMidi.size(), 1u);
  EXPECT_EQ(plug.sentMidi[0].mData1, 60);

  char name[8] = "xxxxxxx";
  EXPECT_FALSE(plug.MidiNoteName(60, name));
  EXPECT_STREQ(name, "");
  EXPECT_FALSE(plug.HostRequestingAboutBox());
  plug.Reset();
  plug.OnActivate(true);
  plug.IPlugBase::OnParamChange(0); // the base's hooks only take the mutex
  plug.AttachGraphics(nullptr);
  plug.RedrawParamControls();
  EXPECT_EQ(plug.GetGUI(), nullptr);
}

TEST(PlugBase, MutexGuardIsRecursiveForItsThread)
{
  TestPlug plug;
  IPlugBase::IMutexLock outer(&plug);
  plug.SetParameterFromGUI(0, 1.0); // takes the mutex again
  plug.Reset();
  IPlugBase::IMutexLock none(nullptr);
  EXPECT_EQ(plug.GetParam(0)->Value(), 1.0);
}

// A malformed channel I/O string is a programming error: an assertion where
// assertions are on; otherwise parsing stops before the bad entry.
TEST(PlugBase, MalformedChannelIOEntry)
{
#ifdef NDEBUG
  TestPlug plug(1, "2-2 x-1 1-1");
  EXPECT_EQ(plug.NChannelIO(), 1);
  TestPlug negative(1, "-1-2");
  EXPECT_EQ(negative.NChannelIO(), 0);
  EXPECT_EQ(negative.NInChannels(), 0);
#else
  EXPECT_DEATH(TestPlug(1, "2-2 x-1"), "channelIOStrValid");
#endif
}
