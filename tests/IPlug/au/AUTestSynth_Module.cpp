// A test instrument with a side-chain input, three inputs and three outputs
// (two output buses), state chunks and a latency: the bus layouts and paths the
// test effect does not take. Its processing is the base's copy-through; it
// records the musical time it is given and the MIDI it receives.

#include "tests/IPlug/au/AUTestSynth.h"

#include "IPlug/IPlugAU.h"

class AUTestSynth : public IPlugAU
{
public:
  explicit AUTestSynth(IPlugInstanceInfo info)
      : IPlugAU(info, kNumSynthParams, "2-2 3-3", 1, "AUTestSynth", "", "test", 0x00020300,
                0x5473796e /* 'Tsyn' */, 0x74457374 /* 'tEst' */, 7, true, true, true, 1)
  {
    for (int i = 0; i < kNumSynthParams; ++i)
      GetParam(i)->InitDouble(i == kSynthLevel ? "Level" : "Diagnostic", 0.0, -1e9, 1e9, 0.001, "");
    MakeDefaultPreset("Init", 1);
  }

  // The host hears of the latency when the unit is reset.
  void Reset() override { SetLatency(14); }

  void ProcessMidiMsg(IMidiMsg* msg) override
  {
    GetParam(kSynthMidi)->Set(msg->mStatus << 16 | msg->mData1 << 8 | msg->mData2);
    GetParam(kSynthMidiOffset)->Set(msg->mOffset);
  }

  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override
  {
    IPlugBase::ProcessDoubleReplacing(inputs, outputs, nFrames);
    ITimeInfo time;
    time.mTempo = time.mPPQPos = time.mLastBar = time.mSamplePos = -1.0;
    time.mCycleStart = time.mCycleEnd = -1.0;
    time.mNumerator = time.mDenominator = -1;
    GetTime(&time);
    GetParam(kSynthTempo)->Set(time.mTempo);
    GetParam(kSynthPPQ)->Set(time.mPPQPos);
    GetParam(kSynthLastBar)->Set(time.mLastBar);
    GetParam(kSynthSamplePos)->Set(time.mSamplePos);
    GetParam(kSynthCycleStart)->Set(time.mCycleStart);
    GetParam(kSynthCycleEnd)->Set(time.mCycleEnd);
    GetParam(kSynthTransport)
        ->Set((time.mTransportIsRunning ? 1 : 0) + (time.mTransportLoopEnabled ? 2 : 0));
    GetParam(kSynthTimeSig)->Set(time.mNumerator * 100 + time.mDenominator);
  }
};

IPlugAU* MakePlug()
{
  IPlugInstanceInfo info;
  info.mBundleID.Set("com.tolvane.test.AUTestSynth");
  info.mCocoaViewFactoryClassName.Set("AUTestSynth_View");
  return new AUTestSynth(info);
}

extern "C" ComponentResult AUTestSynth_Entry(ComponentParameters* params, void* storage)
{
  return IPlugAU::IPlugAUEntry(params, storage);
}
