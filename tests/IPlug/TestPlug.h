#pragma once

// A minimal plug-in over IPlugBase for the core's tests: it records what the
// base tells the host and the effect, and its processing writes a known
// pattern so the frame's routing can be checked.

#include "IPlug/IPlugBase.h"

#include <initializer_list>
#include <utility>
#include <vector>

class TestPlug : public IPlugBase
{
public:
  explicit TestPlug(int nParams = 3, const char* channelIO = "1-1 2-2", int nPresets = 3,
                    const char* effectName = "TestEffect", int version = 0x10000,
                    bool doesChunks = false)
      : IPlugBase(nParams, channelIO, nPresets, effectName, "TestProduct", "TestMfr", version,
                  0x54657374, 0x744D6672, 0, false, doesChunks, false)
  {
  }

  // Parameter i becomes a double parameter from -10 to 100, step 0.01, holding values[i].
  void InitDoubles(std::initializer_list<double> values)
  {
    int i = 0;
    for (double v : values)
      GetParam(i++)->InitDouble("p", v, -10.0, 100.0, 0.01);
  }

  void OnParamChange(int paramIdx) override { paramChanges.push_back(paramIdx); }

  // Output c sample s = 1000 * (c + 1) + input 0's sample s.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override
  {
    ++processCalls;
    lastFrames = nFrames;
    for (int c = 0; c < NOutChannels(); ++c)
      for (int s = 0; s < nFrames; ++s)
        outputs[c][s] = 1000.0 * (c + 1) + inputs[0][s];
    seenInputs.assign(inputs, inputs + NInChannels());
  }

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override
  {
    informed.emplace_back(paramIdx, normalizedValue);
  }
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override { ++programChanges; }
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return tempo; }
  void GetTimeSig(int* numerator, int* denominator) override
  {
    *numerator = 4;
    *denominator = 4;
  }
  void GetTime(ITimeInfo*) override {}
  EHost GetHost() override
  {
    ++getHostCalls;
    return IPlugBase::GetHost();
  }
  void ResizeGraphics(int, int) override {}
  void HostSpecificInit() override {}
  bool SendMidiMsg(IMidiMsg* msg) override
  {
    sentMidi.push_back(*msg);
    return true;
  }
  bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>*) override { return true; }
  void PresetsChangedByHost() override { ++presetsChanged; }

  double tempo = 120.0;
  int processCalls = 0, lastFrames = -1, getHostCalls = 0, presetsChanged = 0, programChanges = 0;
  std::vector<int> paramChanges;
  std::vector<std::pair<int, double>> informed;
  std::vector<double*> seenInputs;
  std::vector<IMidiMsg> sentMidi;
};
