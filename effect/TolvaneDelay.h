#pragma once

// The effect: a tempo-synchronised stereo delay with two engines. The input is
// summed to mono, run through the selected engine (the stereo delay when
// "switch" is above one half, the loop delay otherwise) and mixed with the dry
// input into both outputs.
//
// Threads: ProcessDoubleReplacing runs on the audio thread under the plug-in
// mutex and allocates nothing. Reset and OnParamChange run on any thread and
// take the plug-in mutex; they allocate nothing either (the engines and their
// delay lines are built at construction). The read-only views are for tests
// and the editor, under the mutex.

#include "IPlug/IPlugAU.h"

#include "effect/DSP_DelayLoop.h"
#include "effect/EditorLayout.h"
#include "effect/DSP_StereoDelay.h"
#include "effect/TolvaneDelayParams.h"
#include "effect/ValueDisplay.h"

#include <memory>

class IGuiBlocker;
class ITextControl;

constexpr int kTolvaneUniqueID = 0x5476646C; // 'Tvdl'
constexpr int kTolvaneMfrID = 0x74566C6C;    // 'tVll'
constexpr int kTolvaneVersion = 0x10000;     // 1.0.0

class TolvaneDelay : public IPlugAU
{
public:
  explicit TolvaneDelay(IPlugInstanceInfo instanceInfo);
  ~TolvaneDelay() override;

  // Sizes and clears the engines' delay lines for the current sample rate.
  void Reset() override;
  // Retunes the engines and the output gains for one parameter, and writes its
  // value display's text.
  void OnParamChange(int paramIdx) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  // The value display's text at a plain value, for hosts.
  bool GetParamValueText(int paramIdx, double value, char* text, int size) override;
  // The longest delay target of the selected engine times the repeats its
  // feedback needs to fall below -90 dB, at most kMaxTailSeconds.
  double GetTailSeconds() override;

  // ---- Read-only views of the effect's state -------------------------------

  const StereoDelay& GetStereoEngine() const { return *mStereoEngine; }
  const DelayLoop& GetLoopEngine() const { return *mLoopEngine; }
  bool StereoEngineSelected() const { return mSwitchValue > 0.5f; }
  // The editor layout: true when the stereo panel is usable and the loop
  // panel blocked ("switch" at one half or more).
  bool StereoPanelShown() const;
  float GetWetGain1() const { return mWetGain1; }
  float GetDryGain1() const { return mDryGain1; }
  float GetWetGain2() const { return mWetGain2; }
  float GetDryGain2() const { return mDryGain2; }
  // Derived from the note and fine values at the last processed block.
  int GetNoteDivision() const { return mNoteDivision; }
  float GetFineFactor() const { return mFineFactor; }
  // Tempo-derived delays are clamped to this, the length of the delay lines.
  float GetLongestDelayMS() const { return mLongestDelayMS; }
  // The text a parameter's value display shows; "" for a parameter without one.
  void GetValueDisplayText(int paramIdx, WDL_String* text) const;
  // The editor's value display for a parameter (null for none) and its
  // blockers (0 to 2 over the stereo panel, 3 to 5 over the loop panel).
  ITextControl* GetValueDisplay(int paramIdx) const;
  IGuiBlocker* GetBlocker(int i) const;

private:
  void InitParams();
  void BuildEditor();
  void AttachLayoutControl(IGraphics* graphics, const LayoutControl& row);
  void MakeFactoryPreset();
  void ApplyLoopParam(int paramIdx, float v);
  void ApplyStereoParam(int paramIdx, float v);
  void ShowValueText(int paramIdx, const char* text);
  void ShowStereoPanel(bool stereo);
  void UpdateDelayTargets(double tempo);
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
  float mWetGain1 = 1.0f, mDryGain1 = 1.0f;
  float mWetGain2 = 1.0f, mDryGain2 = 1.0f;
  float mLongestDelayMS;
  // The delay targets last given to each engine; none since construction or reset
  // while the flags are false.
  bool mLoopHasTarget = false, mStereoHasTarget = false;
  float mLoopTargetMS = 0.0f, mStereoTargetMS[2] = {0.0f, 0.0f};
  // Owned by the editor; the parameter hook writes their texts and visibility.
  ITextControl* mValueDisplays[kNumParams] = {};
  IGuiBlocker* mBlockers[kNumBlockers] = {};
};
