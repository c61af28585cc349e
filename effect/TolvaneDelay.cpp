#include "effect/TolvaneDelay.h"

#include "effect/DSP_Vector.h"
#include "effect/GuiBlocker.h"
#include "effect/TempoSync.h"

#include "IPlug/IControl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>

namespace
{
constexpr int kNumPresets = 3;

// Half way both gains are 1; 0 is fully dry, 1 fully wet.
TolvaneDelay::WetDry WetDryGains(float v)
{
  TolvaneDelay::WetDry gains;
  if (v < 0.5f)
    gains.wet = v * 2;
  else
    gains.dry = (v - 0.5f) * -2.0f + 1.0f;
  return gains;
}

// What enters the engines: a sample that is not finite is silence.
inline float EngineInput(float x)
{
  return std::isfinite(x) ? x : 0.0f;
}

// Sums the input pair to mono, runs the engine and mixes its stereo output with
// the dry input, in single precision, one sample after the other.
template <class Engine>
void RunEnginePerSample(Engine& engine, TolvaneDelay::WetDry gains, double** inputs,
                        double** outputs, int nFrames)
{
  const float wet = gains.wet, dry = gains.dry;
  const double* inLeft = inputs[0];
  const double* inRight = inputs[1];
  double* outLeft = outputs[0];
  double* outRight = outputs[1];
  for (int i = 0; i < nFrames; ++i)
  {
    const float left = static_cast<float>(inLeft[i]);
    const float right = static_cast<float>(inRight[i]);
    const float* pair = engine.process((EngineInput(left) + EngineInput(right)) / 2);
    outLeft[i] = pair[0] * wet + left * dry;
    outRight[i] = pair[1] * wet + right * dry;
  }
}
// The input pair in single precision, and the engine's mono input: their
// mean, a sample that is not finite counting as silence. Four lanes at a time,
// each as EngineInput and the scalar tail compute it.
template <class Sample>
void ConvertInput(const Sample* inLeft, const Sample* inRight, float* left, float* right,
                  float* mono, int n)
{
  int i = 0;
  for (; i + 4 <= n; i += 4)
  {
    const Float4 l = loadSingle(inLeft + i), r = loadSingle(inRight + i);
    storeLanes(left + i, l);
    storeLanes(right + i, r);
    // x - x is 0 for a finite x and NaN otherwise.
    const Float4 finiteL = selectLanes(l - l == 0.0f, l, Float4{});
    const Float4 finiteR = selectLanes(r - r == 0.0f, r, Float4{});
    storeLanes(mono + i, (finiteL + finiteR) / 2.0f);
  }
  for (; i < n; ++i)
  {
    left[i] = static_cast<float>(inLeft[i]);
    right[i] = static_cast<float>(inRight[i]);
    mono[i] = (EngineInput(left[i]) + EngineInput(right[i])) / 2;
  }
}

// wet * wet gain + dry * dry gain in single precision, stored as a host sample.
template <class Sample>
void Mix(const float* wetSignal, const float* drySignal, float wet, float dry, Sample* out, int n)
{
  int i = 0;
  for (; i + 4 <= n; i += 4)
    storeSingle(out + i,
                loadLanes<Float4>(wetSignal + i) * wet + loadLanes<Float4>(drySignal + i) * dry);
  for (; i < n; ++i)
    out[i] = wetSignal[i] * wet + drySignal[i] * dry;
}

// Samples converted and mixed at a time: the stereo engine takes up to four
// runs at once when its delays hold still; the loop engine works a run at a
// time (longer chunks only cost it).
constexpr int kLongestChunk = 4 * kRunLength;
template <class Engine> constexpr int ChunkLength()
{
  return std::is_same<Engine, StereoDelay>::value ? kLongestChunk : kRunLength;
}

// The same through the engine's block form, a chunk of samples at a time: each
// step of the chunk is a loop of its own that the compiler can vectorise. The
// input of a chunk is read before its output is written, so the outputs may be
// the inputs' own buffers.
template <class Engine, class Sample>
void RunEngine(Engine& engine, TolvaneDelay::WetDry gains, Sample** inputs, Sample** outputs,
               int nFrames)
{
  const float wet = gains.wet, dry = gains.dry;
  constexpr int kChunk = ChunkLength<Engine>();
  float left[kChunk], right[kChunk], mono[kChunk];
  float wetLeft[kChunk], wetRight[kChunk];
  for (int start = 0; start < nFrames; start += kChunk)
  {
    const int n = nFrames - start < kChunk ? nFrames - start : kChunk;
    ConvertInput(inputs[0] + start, inputs[1] + start, left, right, mono, n);
    engine.processBlock(mono, wetLeft, wetRight, n);
    Mix(wetLeft, left, wet, dry, outputs[0] + start, n);
    Mix(wetRight, right, wet, dry, outputs[1] + start, n);
  }
}
} // namespace

TolvaneDelay::TolvaneDelay(IPlugInstanceInfo instanceInfo)
    : IPlugEdition(instanceInfo, kNumParams, "1-1 2-2", kNumPresets, "TolvaneDelay", "", "kvo",
                   kTolvaneVersion, kTolvaneUniqueID, kTolvaneMfrID, 0, false, false, false, 0),
      mLoopEngine(new DelayLoop(44100)), mStereoEngine(new StereoDelay(44100)),
      mLongestDelayMS(LongestDelayMS(44100))
{
  // The engines work in single precision: float host buffers need no conversions.
  UseSingleReplacing(true);
  InitParams();
#if !defined(IPLUG_LV2) || defined(IPLUG_LV2_EDITOR)
  BuildEditor(); // the LV2 plug-in module leaves the editor to its UI module
#endif
  MakeFactoryPreset();
  // Sets every parameter, which configures both engines, the gains and the displays.
  RestorePreset(0);
}

TolvaneDelay::~TolvaneDelay() = default;

void TolvaneDelay::InitParams()
{
  for (int i = 0; i < kNumParams; ++i)
    GetParam(i)->InitDouble(kParamNames[i], 50.0, 0.0, 100.0, 0.01, "%");
}

void TolvaneDelay::MakeFactoryPreset()
{
  // "2msDelay1" is not named and keeps its default.
  MakePresetFromNamedParams(
      "Tolvane Delay", 27, kUnits, 24.29, kWetDry1, 47.0, kLP1, 100.0, kHP1, 38.61, kPan1, 0.0,
      kDelay1, 16.36, kFeedback1, 75.0, kLevel1, 47.0, kLP2, 100.0, kHP2, 38.61, kPan2, 100.0,
      kDelay2, 27.27, kFeedback2, 75.0, kLevel2, 47.0, kFine, 66.6, kFeedback, 15.0, kNote, 65.66,
      kMix, 50.0, kHiCut, 100.0, kLowCut, 21.68, kFltRate, 0.0, kFltIntensity, 0.0, kLfoIntensity,
      0.0, kLfoRate, 0.0, kSwitch, 100.0, kSmooth, 39.47, kPong, 100.0);
}

void TolvaneDelay::Reset()
{
  IMutexLock lock(this);
  TakeParamChanges();
  // Every rate runs at itself; delays the lines cannot hold are clamped.
  const float rate = static_cast<float>(GetSampleRate());
  mLoopEngine->reset(rate);
  mStereoEngine->reset(rate);
  mLongestDelayMS = LongestDelayMS(rate);
  mLoopHasTarget = mStereoHasTarget = false;
}

void TolvaneDelay::EnterResetScope()
{
  mResetGuard.Enter();
  mLoopEngine->cleanSpareRings();
  mStereoEngine->cleanSpareRings();
}

void TolvaneDelay::LeaveResetScope()
{
  mLoopEngine->cleanSpareRings();
  mStereoEngine->cleanSpareRings();
  mResetGuard.Leave();
}

void TolvaneDelay::PrepareRealTimeMemory()
{
  mLoopEngine->touchRingPages();
  mStereoEngine->touchRingPages();
}

std::size_t TolvaneDelay::GetBytesClearedByResets() const
{
  return (mLoopEngine->slotsClearedByResets() + mStereoEngine->slotsClearedByResets()) *
         sizeof(float);
}

bool TolvaneDelay::SpareRingsClean() const
{
  return mLoopEngine->spareRingsClean() && mStereoEngine->spareRingsClean();
}

void TolvaneDelay::OnParamChange(int paramIdx)
{
  IMutexLock lock(this);
  if (paramIdx < 0 || paramIdx >= kNumParams || paramIdx == kMsDelay1) return;
  const float v = static_cast<float>(GetParam(paramIdx)->Value() / 100.0);
  mHandover.Store(paramIdx, v);
  if (paramIdx == kSwitch) ShowStereoPanel(v >= 0.5f);
  char text[kValueDisplayTextSize];
  if (FormatValueDisplay(paramIdx, v, text)) ShowValueText(paramIdx, text);
}

TolvaneDelay::WetDry TolvaneDelay::LatestGains(int paramIdx) const
{
  return WetDryGains(mHandover.Latest(paramIdx));
}

void TolvaneDelay::TakeParamChanges()
{
  mHandover.TakeChanges([this](int paramIdx, float v) { ApplyParam(paramIdx, v); });
}

void TolvaneDelay::ApplyParam(int paramIdx, float v)
{
  if (paramIdx < kSwitch)
    ApplyLoopParam(paramIdx, v);
  else
    ApplyStereoParam(paramIdx, v);
}

void TolvaneDelay::ApplyLoopParam(int paramIdx, float v)
{
  DelayLoop& loop = *mLoopEngine;
  switch (paramIdx)
  {
  case kHiCut:
    loop.setLPCutoff(v);
    break;
  case kLowCut:
    loop.setHPCutoff(v);
    break;
  case kFeedback:
    loop.setFeedback(static_cast<float>(v * 1.6));
    break;
  case kPong:
    loop.mPong = v >= 0.5f;
    break;
  case kNote:
    mNoteValue = v;
    break;
  case kFine:
    mFineValue = v;
    break;
  case kLfoIntensity:
    loop.setLfoIntensity(v);
    break;
  case kLfoRate:
    loop.setLfoRate((v * 0.8f + 0.2f) * 20.0f);
    break; // 4 ... 20 Hz
  case kFltIntensity:
    loop.setFltIntensity(v);
    break;
  case kFltRate:
    loop.setFltRate(static_cast<float>((v * 0.2 + 0.8) * 50));
    break; // 40 ... 50 Hz
  case kSmooth:
    loop.setSmooth(static_cast<float>(v * 0.0095 + 0.99));
    break;
  case kMix:
    mGains2 = WetDryGains(v);
    break;
  default:
    break;
  }
}

void TolvaneDelay::ApplyStereoParam(int paramIdx, float v)
{
  StereoDelay& stereo = *mStereoEngine;
  switch (paramIdx)
  {
  case kSwitch:
    mSwitchValue = v;
    break;
  case kUnits:
    mUnitsValue = v;
    break;
  case kWetDry1:
    mGains1 = WetDryGains(v);
    break;
  case kLP1:
    stereo.setLP1Cutoff(v);
    break;
  case kHP1:
    stereo.setHP1Cutoff(v);
    break;
  case kPan1:
    stereo.setPan1(v);
    break;
  case kDelay1:
    mDelay1Value = v;
    break;
  case kFeedback1:
    stereo.setFeedback1(v);
    break;
  case kLevel1:
    stereo.setLevel1(v);
    break;
  case kLP2:
    stereo.setLP2Cutoff(v);
    break;
  case kHP2:
    stereo.setHP2Cutoff(v);
    break;
  case kPan2:
    stereo.setPan2(v);
    break;
  case kDelay2:
    mDelay2Value = v;
    break;
  case kFeedback2:
    stereo.setFeedback2(v);
    break;
  case kLevel2:
    stereo.setLevel2(v);
    break;
  default:
    break;
  }
}

// Hands the text to the parameter's value display in the editor.
void TolvaneDelay::ShowValueText(int paramIdx, const char* text)
{
  std::snprintf(mValueDisplayTexts[paramIdx], kValueDisplayTextSize, "%s", text);
  if (mValueDisplays[paramIdx]) mValueDisplays[paramIdx]->SetTextFromPlug(text);
}

// Dims and locks the panel of the engine that is not selected; each group in
// the order its blockers were created.
void TolvaneDelay::ShowStereoPanel(bool stereo)
{
  mStereoPanelShown = stereo;
  for (int i = 0; i < kNumBlockers; ++i)
  {
    const bool top = i < kNumTopBlockers;
    if (mBlockers[i]) mBlockers[i]->Hide(top == stereo);
  }
}

void TolvaneDelay::GetValueDisplayText(int paramIdx, WDL_String* text) const
{
  text->Set(paramIdx >= 0 && paramIdx < kNumParams ? mValueDisplayTexts[paramIdx] : "");
}

ITextControl* TolvaneDelay::GetValueDisplay(int paramIdx) const
{
  return paramIdx >= 0 && paramIdx < kNumParams ? mValueDisplays[paramIdx] : nullptr;
}

IGuiBlocker* TolvaneDelay::GetBlocker(int i) const
{
  return i >= 0 && i < kNumBlockers ? mBlockers[i] : nullptr;
}

void TolvaneDelay::UpdateDelayTargets(double tempo)
{
  mNoteDivision = NoteDivision(mNoteValue, kNoteStep);
  mFineFactor = mFineValue * 1.5f;
  // Below the tempo limits an engine keeps the target it has; one that has had
  // none since it was built or reset takes the one the tempo gives.
  if (LoopFollowsTempo(mNoteDivision, tempo) || !mLoopHasTarget)
    SetLoopTarget(ClampDelay(LoopDelayMS(mNoteDivision, SnapFineFactor(mFineFactor), tempo)));
  if (StereoFollowsTempo(tempo) || !mStereoHasTarget)
  {
    const float units = StepCount(mUnitsValue);
    SetStereoTargets(ClampDelay(StereoDelayMS(units, StepCount(mDelay1Value), tempo)),
                     ClampDelay(StereoDelayMS(units, StepCount(mDelay2Value), tempo)));
  }
}

void TolvaneDelay::SetLoopTarget(float ms)
{
  mLoopEngine->setDelayMS(ms);
  mLoopTargetMS = ms;
  mLoopHasTarget = true;
}

void TolvaneDelay::SetStereoTargets(float ms1, float ms2)
{
  mStereoEngine->setDelayMS1(ms1);
  mStereoEngine->setDelayMS2(ms2);
  mStereoTargetMS[0] = ms1;
  mStereoTargetMS[1] = ms2;
  mStereoHasTarget = true;
}

bool TolvaneDelay::GetParamValueText(int paramIdx, double value, char* text, int size)
{
  char shown[kValueDisplayTextSize];
  if (size < 1 || !FormatValueDisplay(paramIdx, static_cast<float>(value / 100.0), shown))
    return false;
  std::snprintf(text, static_cast<size_t>(size), "%s", shown);
  return true;
}

namespace
{
// Echoes count as gone 90 dB down.
constexpr double kTailFloor = 3.1622776601683795e-5;
constexpr double kMaxTailSeconds = 60.0;

// Repeats of a feedback gain until they fall below the floor; 0 when they never do.
double RepeatsToDecay(double gain)
{
  gain = std::fabs(gain);
  if (gain >= 1.0 || !std::isfinite(gain)) return 0.0;
  if (gain < kTailFloor) return 1.0;
  return std::ceil(std::log(kTailFloor) / std::log(gain));
}

double TailFor(double delayMS, double feedbackGain)
{
  const double repeats = RepeatsToDecay(feedbackGain);
  if (repeats == 0.0) return kMaxTailSeconds;
  return std::min(kMaxTailSeconds, delayMS / 1000.0 * repeats);
}
} // namespace

double TolvaneDelay::GetTailSeconds()
{
  IMutexLock lock(this);
  // The parameter values as last handed over: the audio thread's own copies
  // may not have taken them yet.
  const double tempo = GetTempo();
  if (StereoEngineSelected())
  {
    const float units = StepCount(mHandover.Latest(kUnits));
    const double ms1 = mStereoHasTarget
                           ? mStereoTargetMS[0]
                           : ClampDelay(StereoDelayMS(units, StepCount(mHandover.Latest(kDelay1)), tempo));
    const double ms2 = mStereoHasTarget
                           ? mStereoTargetMS[1]
                           : ClampDelay(StereoDelayMS(units, StepCount(mHandover.Latest(kDelay2)), tempo));
    return std::max(TailFor(ms1, GetParam(kFeedback1)->Value() / 100.0),
                    TailFor(ms2, GetParam(kFeedback2)->Value() / 100.0));
  }
  const double ms = mLoopHasTarget
                        ? mLoopTargetMS
                        : ClampDelay(LoopDelayMS(NoteDivision(mHandover.Latest(kNote), kNoteStep),
                                                 SnapFineFactor(mHandover.Latest(kFine) * 1.5f), tempo));
  return TailFor(ms, GetParam(kFeedback)->Value() / 100.0 * 1.6);
}

void TolvaneDelay::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  RunSelectedEngine([&](auto& engine, WetDry gains)
                    { RunEngine(engine, gains, inputs, outputs, nFrames); });
}

void TolvaneDelay::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames)
{
  RunSelectedEngine([&](auto& engine, WetDry gains)
                    { RunEngine(engine, gains, inputs, outputs, nFrames); });
}

void TolvaneDelay::ProcessPerSample(double** inputs, double** outputs, int nFrames)
{
  RunSelectedEngine([&](auto& engine, WetDry gains)
                    { RunEnginePerSample(engine, gains, inputs, outputs, nFrames); });
}

template <class Fn> void TolvaneDelay::RunSelectedEngine(Fn run)
{
  StartBlock();
  if (mSwitchValue > 0.5f)
    run(*mStereoEngine, mGains1);
  else
    run(*mLoopEngine, mGains2);
}

void TolvaneDelay::StartBlock()
{
  TakeParamChanges();
  UpdateDelayTargets(GetTempo());
}
