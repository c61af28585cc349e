// Tempo sync and value-display texts of the effect, checked on exact values.

#include "effect/TempoSync.h"
#include "effect/TolvaneDelayParams.h"
#include "effect/ValueDisplay.h"

#include <gtest/gtest.h>

#include <string>

TEST(EffectTempoSync, NoteDivisionStepsAtEachFifth)
{
  const std::pair<double, int> cases[] = {{0.0, 1},   {19.99, 1}, {20.0, 2},  {40.0, 4},
                                          {59.99, 4}, {60.0, 8},  {80.0, 16}, {100.0, 16}};
  for (const auto& [percent, division] : cases)
    EXPECT_EQ(NoteDivision(static_cast<float>(percent / 100.0), kNoteStep), division) << percent;
}

TEST(EffectTempoSync, FineFactorSnapsToTripletAndStraight)
{
  EXPECT_EQ(SnapFineFactor(0.666f * 1.5f), 1.0f);
  EXPECT_EQ(SnapFineFactor(0.45f * 1.5f), 0.6666667f);
  EXPECT_EQ(SnapFineFactor(0.7f), 0.6666667f); // the window's ends are included
  EXPECT_EQ(SnapFineFactor(0.5999f), 0.5999f);
  EXPECT_EQ(SnapFineFactor(1.06f), 1.06f);
  EXPECT_EQ(SnapFineFactor(1.5f), 1.5f);
}

TEST(EffectTempoSync, DelayTimesAndTempoConditions)
{
  EXPECT_FLOAT_EQ(LoopDelayMS(4, 1.0f, 120.0), 500.0f);
  EXPECT_NEAR(LoopDelayMS(4, 0.6666667f, 120.0), 333.33f, 0.01f);
  EXPECT_FLOAT_EQ(LoopDelayMS(4, 1.5f, 120.0), 750.0f);
  EXPECT_EQ(StepCount(0.2429f), 4.0f);
  EXPECT_EQ(StepCount(1.0f), 16.0f);
  EXPECT_EQ(StereoDelayMS(4.0f, 3.0f, 120.0), 375.0f);
  EXPECT_EQ(StereoDelayMS(4.0f, 5.0f, 120.0), 625.0f);
  EXPECT_FALSE(LoopFollowsTempo(2, 60.0));
  EXPECT_TRUE(LoopFollowsTempo(2, 60.5));
  EXPECT_TRUE(LoopFollowsTempo(4, 10.0));
  EXPECT_FALSE(StereoFollowsTempo(50.0));
  EXPECT_TRUE(StereoFollowsTempo(50.1));
}

TEST(EffectTempoSync, LongestDelayIsTheRingAtTheRate)
{
  EXPECT_FLOAT_EQ(LongestDelayMS(44100.0f), 705599.0f / 44.1f);
  EXPECT_FLOAT_EQ(LongestDelayMS(192000.0f), 1551999.0f / 192.0f); // the storage limit
  EXPECT_EQ(LongestDelayMS(0.0f), 0.0f);
}

TEST(EffectValueDisplay, TextsPerRow)
{
  const struct
  {
    int param;
    float v;
    const char* text;
  } rows[] = {{kHiCut, 1.0f, "20.00"},  {kLowCut, 0.2168f, "4.34"}, {kFeedback, 0.15f, "15.00"},
              {kNote, 0.6566f, " 8.0"}, {kFine, 0.666f, "0.50"},    {kLfoRate, 0.0f, "0.00"},
              {kMix, 0.5f, "0.50"},     {kUnits, 0.2429f, " 4.0"},  {kLP1, 1.0f, "20000"},
              {kHP1, 0.0f, "  20"},     {kHP2, 1.0f, "20000"},      {kPan1, 0.0f, "-1.0"},
              {kPan2, 1.0f, " 1.0"},    {kDelay1, 0.1636f, " 3.0"}, {kDelay2, 0.2727f, " 5.0"},
              {kLevel2, 0.47f, "0.47"}};
  for (const auto& row : rows)
  {
    char text[kValueDisplayTextSize];
    ASSERT_TRUE(FormatValueDisplay(row.param, row.v, text)) << kParamNames[row.param];
    EXPECT_EQ(std::string(text), row.text) << kParamNames[row.param];
  }
}

TEST(EffectValueDisplay, RowsWithoutDisplayWriteNothing)
{
  for (int param : {int(kMsDelay1), int(kPong), int(kSmooth), int(kSwitch), -1, int(kNumParams)})
  {
    char text[kValueDisplayTextSize] = "untouched";
    EXPECT_FALSE(FormatValueDisplay(param, 0.5f, text));
    EXPECT_EQ(std::string(text), "untouched");
  }
}
