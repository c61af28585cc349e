#include "tests/IPlug/au/AUTestPlug.h"

namespace
{
void InitDiagnostic(IParam* param, const char* name)
{
  param->InitDouble(name, 0.0, -1e9, 1e9, 1.0, "");
}
} // namespace

AUTestPlug::AUTestPlug(IPlugInstanceInfo info)
    : IPlugAU(info, kNumTestParams, "1-1 2-2", 3, "AUTestPlug", "", "test", kTestVersion,
              kTestUniqueID, kTestMfrID, 0, false, false, false, 0)
{
  GetParam(kTestGain)->InitDouble("Gain", 1.0, 0.0, 2.0, 0.01, "x");
  GetParam(kTestMode)->InitEnum("Mode", 0, 3);
  GetParam(kTestMode)->SetDisplayText(0, "Soft");
  GetParam(kTestMode)->SetDisplayText(1, "Hard");
  GetParam(kTestMode)->SetDisplayText(2, "Off");
  GetParam(kTestEnable)->InitBool("Enable", true);
  GetParam(kTestCount)->InitInt("Count", 5, 0, 10);
  GetParam(kTestLongName)->InitDouble(kTestLongParamName, 0.0, -10.0, 10.0, 0.1, "");
  const char* diagnostics[] = {"Resets",    "ParamChanges", "Activations", "Deactivations",
                               "Processed", "Tempo",        "TimeSig",     "SamplePos",
                               "Midi",      "MidiOffset",   "Host",        "HostVersion"};
  for (int i = kTestFirstDiagnostic; i < kNumTestParams; ++i)
    InitDiagnostic(GetParam(i), diagnostics[i - kTestFirstDiagnostic]);

  // Two presets; the third slot stays blank and is pruned when the host opens the unit.
  MakePresetFromNamedParams(kTestPresetName, 2, kTestGain, 0.5, kTestMode, 2);
  MakePresetFromNamedParams("Second", 1, kTestCount, 7);
  RestorePreset(0);
}

void AUTestPlug::Count(int paramIdx)
{
  GetParam(paramIdx)->Set(GetParam(paramIdx)->Value() + 1);
}

void AUTestPlug::Reset()
{
  Count(kTestResets);
  GetParam(kTestHost)->Set(GetHost());
  GetParam(kTestHostVersion)->Set(GetHostVersion(false));
}

void AUTestPlug::OnParamChange(int paramIdx)
{
  if (paramIdx < kTestFirstDiagnostic) Count(kTestParamChanges);
}

void AUTestPlug::OnActivate(bool active)
{
  Count(active ? kTestActivations : kTestDeactivations);
  if (!active) return;
  BeginInformHostOfParamChange(kTestGain);
  InformHostOfParamChange(kTestGain, GetParam(kTestGain)->GetNormalized());
  EndInformHostOfParamChange(kTestGain);
}

void AUTestPlug::ProcessMidiMsg(IMidiMsg* msg)
{
  GetParam(kTestMidi)->Set(msg->mStatus << 16 | msg->mData1 << 8 | msg->mData2);
  GetParam(kTestMidiOffset)->Set(msg->mOffset);
}

void AUTestPlug::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  const double gain = GetParam(kTestGain)->Value();
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < nFrames; ++i)
      outputs[c][i] = inputs[c][i] * gain + kTestProcessOffset;

  Count(kTestProcessCalls);
  GetParam(kTestTempo)->Set(GetTempo());
  int numerator = -1, denominator = -1;
  GetTimeSig(&numerator, &denominator);
  GetParam(kTestTimeSig)->Set(numerator * 100 + denominator);
  GetParam(kTestSamplePos)->Set(GetSamplePos());
}
