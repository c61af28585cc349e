#pragma once

// A small effect built on the Audio Unit wrapper, standing in for a real
// plug-in in the wrapper's tests: a few parameters of each kind, a trivial
// processing (gain plus a fixed offset, so processed audio is told apart from
// passed-through audio) and diagnostic parameters through which a host sees
// what the plug-in was asked to do.

#include "IPlug/IPlugAU.h"

enum EAUTestPlugParams
{
  kTestGain = 0, // double 0..2, label "x"
  kTestMode,     // enumerated: "Soft", "Hard", "Off"
  kTestEnable,   // boolean
  kTestCount,    // integer 0..10
  kTestLongName, // double, 31-character name, no label
  kTestFirstDiagnostic,
  kTestResets = kTestFirstDiagnostic, // calls of Reset()
  kTestParamChanges,                  // OnParamChange calls for the parameters above
  kTestActivations,                   // OnActivate(true) calls
  kTestDeactivations,
  kTestProcessCalls,
  kTestTempo,     // GetTempo() at the last block
  kTestTimeSig,   // numerator * 100 + denominator at the last block (-1 each if unknown)
  kTestSamplePos, // GetSamplePos() at the last block
  kTestMidi,      // status << 16 | data1 << 8 | data2 of the last MIDI message
  kTestMidiOffset,
  kTestHost,        // GetHost() at the last Reset()
  kTestHostVersion, // GetHostVersion(false) at the last Reset()
  kNumTestParams
};

constexpr double kTestProcessOffset = 0.25;
constexpr const char* kTestLongParamName = "A parameter with a long name 31";
constexpr const char* kTestPresetName = "Test Preset";
constexpr int kTestUniqueID = 0x54706c67; // 'Tplg'
constexpr int kTestMfrID = 0x74457374;    // 'tEst'
constexpr int kTestVersion = 0x00010203;

class AUTestPlug : public IPlugAU
{
public:
  explicit AUTestPlug(IPlugInstanceInfo info);

  void Reset() override;
  void OnParamChange(int paramIdx) override;
  void OnActivate(bool active) override;
  void ProcessMidiMsg(IMidiMsg* msg) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

private:
  void Count(int paramIdx);
};
