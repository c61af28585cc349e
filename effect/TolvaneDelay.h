#pragma once

// The effect: a tempo-synchronised stereo delay with two engines. The input is
// summed to mono, run through the selected engine (the stereo delay when
// "switch" is above one half, the loop delay otherwise) and mixed with the dry
// input into both outputs.
//
// Threads: ProcessDoubleReplacing and ProcessSingleReplacing run on the audio
// thread under the plug-in mutex and allocate nothing. Reset and
// OnParamChange run on any thread and take the plug-in mutex; they allocate
// nothing either (the engines and their delay lines are built at
// construction). The read-only views are for tests and the editor, under the
// mutex.

#include "IPlug/IPlugEdition.h"

#include "effect/DSP_DelayLoop.h"
#include "effect/EditorLayout.h"
#include "effect/DSP_StereoDelay.h"
#include "effect/ParamHandover.h"
#include "effect/TolvaneDelayParams.h"
#include "effect/ValueDisplay.h"

#include <memory>

class IGuiBlocker;
class ITextControl;

constexpr int kTolvaneUniqueID = 0x5476646C; // 'Tvdl'
constexpr int kTolvaneMfrID = 0x74566C6C;    // 'tVll'
constexpr int kTolvaneVersion = 0x10000;     // 1.0.0

class TolvaneDelay : public IPlugEdition
{
public:
  explicit TolvaneDelay(IPlugInstanceInfo instanceInfo);
  ~TolvaneDelay() override;

  // Sizes and clears the engines' delay lines for the current sample rate.
  // Not while a render runs (the entry's mutex keeps them apart). Inside a
  // reset scope it clears nothing itself: each line trades its ring for a
  // clean spare, and the scope's end clears the old ring.
  void Reset() override;
  // Host thread, outside the plug-in mutex (IResetScope): entering takes the
  // reset guard and finishes any clearing an earlier reset left; leaving
  // clears what this one left and gives the guard up.
  void EnterResetScope() override;
  void LeaveResetScope() override;
  // Not while a render runs: backs both engines' delay lines with memory.
  void PrepareRealTimeMemory() override;
  // Any thread: hands the parameter's value to the audio thread, which retunes
  // the engines and the output gains at its next block, and writes the value
  // display's text.
  void OnParamChange(int paramIdx) override;
  // Audio thread. Input samples that are not finite enter the engines as
  // silence; the dry signal passes as it came.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  // Audio thread: the same on float buffers, with the bits of the double path
  // (the engines and the mix work in single precision); the processing frame
  // hands float host buffers to it directly.
  void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) override;
  // Audio thread: the same output bits, one engine call per sample. The
  // reference that the block form is measured and checked against.
  void ProcessPerSample(double** inputs, double** outputs, int nFrames);
  // The value display's text at a plain value, for hosts.
  bool GetParamValueText(int paramIdx, double value, char* text, int size) override;
  // The longest delay target of the selected engine times the repeats its
  // feedback needs to fall below -90 dB, at most kMaxTailSeconds.
  double GetTailSeconds() override;

  // ---- Read-only views of the effect's state -------------------------------

  // The engines as the last block (or reset) left them: parameter values
  // handed over since then reach them at the next block.
  const StereoDelay& GetStereoEngine() const { return *mStereoEngine; }
  const DelayLoop& GetLoopEngine() const { return *mLoopEngine; }
  // These follow the latest parameter values.
  bool StereoEngineSelected() const { return mHandover.Latest(kSwitch) > 0.5f; }
  // The editor layout: true when the stereo panel is usable and the loop
  // panel blocked ("switch" at one half or more).
  bool StereoPanelShown() const { return mStereoPanelShown; }
  float GetWetGain1() const { return LatestGains(kWetDry1).wet; }
  float GetDryGain1() const { return LatestGains(kWetDry1).dry; }
  float GetWetGain2() const { return LatestGains(kMix).wet; }
  float GetDryGain2() const { return LatestGains(kMix).dry; }
  // Derived from the note and fine values at the last processed block.
  int GetNoteDivision() const { return mNoteDivision; }
  float GetFineFactor() const { return mFineFactor; }
  // Tempo-derived delays are clamped to this, the length of the delay lines.
  float GetLongestDelayMS() const { return mLongestDelayMS; }
  // Bytes of delay line the resets so far cleared themselves (under the
  // mutex), and whether every line has a clean spare for the next reset.
  std::size_t GetBytesClearedByResets() const;
  bool SpareRingsClean() const;
  // The text a parameter's value display shows; "" for a parameter without one.
  void GetValueDisplayText(int paramIdx, WDL_String* text) const;
  // The editor's value display for a parameter (null for none) and its
  // blockers (0 to 2 over the stereo panel, 3 to 5 over the loop panel).
  ITextControl* GetValueDisplay(int paramIdx) const;
  IGuiBlocker* GetBlocker(int i) const;

  struct WetDry
  {
    float wet = 1.0f, dry = 1.0f;
  };

private:
  WetDry LatestGains(int paramIdx) const;
  // Applies the values handed over since the last block to the engines.
  void TakeParamChanges();
  void ApplyParam(int paramIdx, float v);
  void InitParams();
  void BuildEditor();
  void AttachLayoutControl(IGraphics* graphics, const LayoutControl& row);
  void MakeFactoryPreset();
  void ApplyLoopParam(int paramIdx, float v);
  void ApplyStereoParam(int paramIdx, float v);
  void ShowValueText(int paramIdx, const char* text);
  void ShowStereoPanel(bool stereo);
  void UpdateDelayTargets(double tempo);
  // Takes the parameter changes and the tempo for the next block.
  void StartBlock();
  // Starts the block and runs run(engine, gains) on the selected engine.
  template <class Fn> void RunSelectedEngine(Fn run);
  float ClampDelay(float ms) const { return ms < mLongestDelayMS ? ms : mLongestDelayMS; }
  void SetLoopTarget(float ms);
  void SetStereoTargets(float ms1, float ms2);

  std::unique_ptr<DelayLoop> mLoopEngine;
  float mNoteValue = 0.0f;
  int mNoteDivision = 1;
  float mFineValue = 0.0f;
  float mFineFactor = 0.0f;
  float mSwitchValue = 0.0f;
  std::unique_ptr<StereoDelay> mStereoEngine;
  float mUnitsValue = 0.0f;
  float mDelay1Value = 0.0f;
  float mDelay2Value = 0.0f;
  WetDry mGains1, mGains2;
  float mLongestDelayMS;
  // The delay targets last given to each engine; none since construction or reset
  // while the flags are false.
  bool mLoopHasTarget = false, mStereoHasTarget = false;
  float mLoopTargetMS = 0.0f, mStereoTargetMS[2] = {0.0f, 0.0f};
  bool mStereoPanelShown = false;
  char mValueDisplayTexts[kNumParams][kValueDisplayTextSize] = {};
  // Normalised values from the parameter hook to the audio thread. Everything
  // above except the displays and the panel flag belongs to the audio thread.
  ParamHandover<kNumParams> mHandover;
  // Held by a reset scope from before the plug-in mutex until the lines'
  // spares are clean again; the spares are cleared only under it.
  WDL_Mutex mResetGuard;
  // Owned by the editor; the parameter hook writes their texts and visibility.
  ITextControl* mValueDisplays[kNumParams] = {};
  IGuiBlocker* mBlockers[kNumBlockers] = {};
};
