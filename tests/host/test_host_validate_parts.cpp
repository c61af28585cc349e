// The validator's own judgement: what a render's counts make of a check, the
// worker's report read back, and the census of broken samples.

#include "host/validate/RenderProbe.h"
#include "host/validate/ValidateSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
RenderPathCounts Counts(long renders, long allocations, long locks, long systemCalls)
{
  RenderPathCounts counts;
  counts.available = true;
  counts.renders = renders;
  counts.allocations = allocations;
  counts.locks = locks;
  counts.systemCalls = systemCalls;
  return counts;
}

AudioData Stereo(size_t frames)
{
  AudioData audio;
  audio.Allocate(2, frames);
  return audio;
}
} // namespace

TEST(ValidateJudgement, AnAllocationFailsLocksAndSystemCallsWarn)
{
  EXPECT_EQ(JudgeRenderCounts(Counts(64, 0, 64, 0), 1).verdict, Verdict::Pass);
  EXPECT_EQ(JudgeRenderCounts(Counts(64, 0, 0, 0), 0).verdict, Verdict::Pass);

  const CheckResult allocating = JudgeRenderCounts(Counts(64, 1, 0, 0), 1);
  EXPECT_EQ(allocating.verdict, Verdict::Fail);
  EXPECT_EQ(allocating.text, "1 allocator call in 64 renders");
  // One lock more than the path allows, or one system call: a warning.
  EXPECT_EQ(JudgeRenderCounts(Counts(64, 0, 65, 0), 1).verdict, Verdict::Warn);
  EXPECT_EQ(JudgeRenderCounts(Counts(64, 0, 1, 0), 0).verdict, Verdict::Warn);
  const CheckResult calling = JudgeRenderCounts(Counts(64, 0, 0, 3), 0);
  EXPECT_EQ(calling.verdict, Verdict::Warn);
  EXPECT_NE(calling.text.find("3 system calls"), std::string::npos) << calling.text;
  // Nothing rendered is nothing shown.
  EXPECT_EQ(JudgeRenderCounts(Counts(0, 0, 0, 0), 1).verdict, Verdict::Fail);
}

TEST(ValidateJudgement, TheWorkersReportReadsBackAndBrokenReportsAreRefused)
{
  RenderProbeReport report;
  report.countingWorks = true;
  report.entry = Counts(64, 2, 64, 1);
  const std::string text = FormatProbeReport(report);
  RenderProbeReport back;
  ASSERT_TRUE(ParseProbeReport(text, back)) << text;
  EXPECT_TRUE(back.countingWorks);
  EXPECT_TRUE(back.entry.available);
  EXPECT_EQ(back.entry.renders, 64);
  EXPECT_EQ(back.entry.allocations, 2);
  EXPECT_EQ(back.entry.locks, 64);
  EXPECT_EQ(back.entry.systemCalls, 1);
  EXPECT_FALSE(back.fast.available); // no fast-dispatch procedure

  RenderProbeReport ignored;
  EXPECT_FALSE(ParseProbeReport("", ignored));
  EXPECT_FALSE(ParseProbeReport(text.substr(0, text.rfind("fast")), ignored));
  EXPECT_FALSE(ParseProbeReport("counting works\nentry 64 0\nfast none\n", ignored));
}

TEST(ValidateSamples, NaNInfinitiesAndSubnormalsAreCountedWithTheFirstPlace)
{
  AudioData audio = Stereo(16);
  EXPECT_EQ(NonFiniteSamples(audio), "");
  EXPECT_EQ(SubnormalSamples(audio), "");
  audio.channels[1][5] = std::numeric_limits<float>::quiet_NaN();
  audio.channels[1][9] = -std::numeric_limits<float>::infinity();
  audio.channels[0][12] = std::numeric_limits<float>::infinity();
  EXPECT_EQ(NonFiniteSamples(audio), "3 NaN or infinite samples, the first at channel 0 frame 12");
  EXPECT_TRUE(std::isnan(PeakOf(audio)));

  AudioData quiet = Stereo(16);
  quiet.channels[0][3] = std::numeric_limits<float>::min(); // the smallest normal
  quiet.channels[0][4] = -0.0f;
  EXPECT_EQ(SubnormalSamples(quiet), "");
  quiet.channels[1][7] = std::numeric_limits<float>::denorm_min();
  EXPECT_EQ(SubnormalSamples(quiet), "1 subnormal sample, the first at channel 1 frame 7");
  EXPECT_EQ(NonFiniteSamples(quiet), "");
  EXPECT_EQ(PeakOf(quiet), std::numeric_limits<float>::min());
}
