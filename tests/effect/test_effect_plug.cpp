// The effect class itself: parameter mapping, reset rates and tempo-driven
// delay targets, read back through its read-only views.

#include "effect/IPlug_include_in_plug_src.h"
#include "effect/TempoSync.h"
#include "effect/TolvaneDelay.h"
#include "host/kit/HostTransport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
class EffectPlug : public ::testing::Test
{
protected:
  void Set(int param, double value)
  {
    plug->GetParam(param)->Set(value);
    plug->OnParamChange(param);
  }

  void SetTempo(double bpm)
  {
    transport.SetTempo(bpm);
    HostCallbackInfo callbacks = transport.Callbacks();
    UInt32 size = sizeof callbacks;
    plug->SetProperty(kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, &size,
                      &callbacks);
  }

  // Processes silence long enough for the delay times to settle.
  void Run(double seconds = 1.0)
  {
    std::vector<double> in(512, 0.0), outLeft(512), outRight(512);
    double* inputs[2] = {in.data(), in.data()};
    double* outputs[2] = {outLeft.data(), outRight.data()};
    for (double t = 0.0; t < seconds; t += 512 / plug->GetSampleRate())
      plug->ProcessDoubleReplacing(inputs, outputs, 512);
  }

  // Gliding delays settle within a small fraction of their target in single precision.
  static void ExpectSettledAt(float ms, double target) { EXPECT_NEAR(ms, target, target * 2e-4); }

  std::string Display(int param) const
  {
    WDL_String text;
    plug->GetValueDisplayText(param, &text);
    return text.Get();
  }

  float LoopDelay() const { return plug->GetLoopEngine().getSmoothedDelayMS(); }
  float Delay1() const { return plug->GetStereoEngine().getSmoothedDelayMS1(); }

  std::unique_ptr<TolvaneDelay> plug{static_cast<TolvaneDelay*>(MakePlug())};
  HostTransport transport{120.0, 44100.0};
};
} // namespace

TEST_F(EffectPlug, FactoryPresetConfiguresEnginesGainsAndDisplays)
{
  EXPECT_TRUE(plug->StereoEngineSelected());
  EXPECT_TRUE(plug->StereoPanelShown());
  EXPECT_FLOAT_EQ(plug->GetWetGain1(), 0.94f);
  EXPECT_EQ(plug->GetDryGain1(), 1.0f);
  EXPECT_EQ(plug->GetWetGain2(), 1.0f);
  EXPECT_EQ(plug->GetDryGain2(), 1.0f);
  EXPECT_TRUE(plug->GetLoopEngine().mPong);
  EXPECT_EQ(plug->GetParam(kMsDelay1)->Value(), 50.0);
  EXPECT_EQ(Display(kPan1), "-1.0");
  EXPECT_EQ(Display(kPan2), " 1.0");
  EXPECT_EQ(Display(kUnits), " 4.0");
  EXPECT_EQ(Display(kNote), " 8.0");
  for (int i = 0; i < kNumParams; ++i)
    EXPECT_EQ(Display(i)[0] != '\0', HasValueDisplay(i)) << kParamNames[i];
}

TEST_F(EffectPlug, ParameterRowsMapToEngineAndGains)
{
  Set(kMsDelay1, 0.0); // drives nothing and shows nothing
  EXPECT_EQ(Display(kMsDelay1), "");
  plug->OnParamChange(-1);
  plug->OnParamChange(kNumParams);

  Set(kPong, 49.99);
  EXPECT_FALSE(plug->GetLoopEngine().mPong);
  Set(kPong, 50.0);
  EXPECT_TRUE(plug->GetLoopEngine().mPong);

  const struct
  {
    double mix;
    float wet, dry;
  } gains[] = {{0.0, 0.0f, 1.0f}, {100.0, 1.0f, 0.0f}, {75.0, 1.0f, 0.5f}, {25.0, 0.5f, 1.0f}};
  for (const auto& g : gains)
  {
    Set(kMix, g.mix);
    EXPECT_EQ(plug->GetWetGain2(), g.wet) << g.mix;
    EXPECT_EQ(plug->GetDryGain2(), g.dry) << g.mix;
    Set(kWetDry1, g.mix);
    EXPECT_EQ(plug->GetWetGain1(), g.wet) << g.mix;
    EXPECT_EQ(plug->GetDryGain1(), g.dry) << g.mix;
  }
  Set(kFeedback, 100.0);
  EXPECT_EQ(Display(kFeedback), "100.00");
}

TEST_F(EffectPlug, SwitchAtOneHalfShowsStereoPanelButRunsLoopEngine)
{
  Set(kSwitch, 50.0);
  EXPECT_TRUE(plug->StereoPanelShown());
  EXPECT_FALSE(plug->StereoEngineSelected());
  Set(kSwitch, 50.01);
  EXPECT_TRUE(plug->StereoPanelShown());
  EXPECT_TRUE(plug->StereoEngineSelected());
  Set(kSwitch, 49.99);
  EXPECT_FALSE(plug->StereoPanelShown());
  EXPECT_FALSE(plug->StereoEngineSelected());
}

TEST_F(EffectPlug, ResetRunsEnginesAtTheHostRate)
{
  for (double rate : {192000.0, 96000.0, 44100.0})
  {
    plug->SetSampleRate(rate);
    plug->Reset();
    EXPECT_FLOAT_EQ(plug->GetStereoEngine().getSamplesPerMS(), rate / 1000.0);
    EXPECT_FLOAT_EQ(plug->GetLoopEngine().getSamplesPerMS(), rate / 1000.0);
    EXPECT_FLOAT_EQ(plug->GetLongestDelayMS(), LongestDelayMS(static_cast<float>(rate)));
  }
}

TEST_F(EffectPlug, LoopDelayFollowsTempoForShortNotesOrFastTempos)
{
  plug->Reset();
  Set(kSwitch, 0.0);
  Set(kNote, 50.0); // quarter note
  const std::pair<double, float> fines[] = {{66.6, 500.0f}, {45.0, 333.33f}, {100.0, 750.0f}};
  for (const auto& [fine, ms] : fines)
  {
    Set(kFine, fine);
    Run();
    ExpectSettledAt(LoopDelay(), ms);
  }
  Set(kNote, 30.0); // half note: at 60 bpm the target stays where it was
  SetTempo(60.0);
  Run();
  EXPECT_EQ(plug->GetNoteDivision(), 2);
  ExpectSettledAt(LoopDelay(), 750.0f);
  SetTempo(60.5);
  Run();
  ExpectSettledAt(LoopDelay(), 240000.0 / (2 * 60.5) * 1.5);
}

TEST_F(EffectPlug, StereoDelaysFollowTemposAbove50AndStayInTheRing)
{
  plug->Reset();
  Run();
  ExpectSettledAt(Delay1(), 375.0f);
  SetTempo(50.0);
  Run();
  ExpectSettledAt(Delay1(), 375.0f);
  SetTempo(50.1);
  Run();
  ExpectSettledAt(Delay1(), 60000.0 * 3 / (4 * 50.1));

  SetTempo(55.0); // one step per beat, 16 steps: 17.45 s
  Set(kUnits, 0.0);
  Set(kDelay1, 100.0);
  Run(2.0);
  ExpectSettledAt(Delay1(), plug->GetLongestDelayMS());
  EXPECT_LT(Delay1(), 16000.0f);
}
