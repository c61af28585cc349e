#include "effect/DSP_DelayA.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace
{
constexpr std::int32_t kL44 = 705600; // 16 s at 44,100 Hz

std::unique_ptr<TapDelay> makeLine(std::int32_t rate, float delay)
{
  auto line = std::make_unique<TapDelay>(44100.0f, 10.0f);
  line->reset(rate, delay);
  return line;
}

// Feeds an impulse first and returns the outputs.
std::vector<float> impulseResponse(TapDelay& line, int length)
{
  std::vector<float> out(length);
  for (int i = 0; i < length; ++i)
    out[i] = line.Process(i == 0 ? 1.0f : 0.0f);
  return out;
}

void feedSilence(TapDelay& line, int count)
{
  for (int i = 0; i < count; ++i)
    line.Process(0.0f);
}
} // namespace

TEST(FloatToInt, TruncatesTheMagnitude)
{
  EXPECT_EQ(TapDelay::FloatToInt(0.0f), 0);
  EXPECT_EQ(TapDelay::FloatToInt(0.99f), 0);
  EXPECT_EQ(TapDelay::FloatToInt(1.0f), 1);
  EXPECT_EQ(TapDelay::FloatToInt(1.99f), 1);
  EXPECT_EQ(TapDelay::FloatToInt(705599.0f), 705599);
  EXPECT_EQ(TapDelay::FloatToInt(1551999.0f), 1551999);
  EXPECT_EQ(TapDelay::FloatToInt(-3.5f), 3);
  EXPECT_EQ(TapDelay::FloatToInt(2147483520.0f), 2147483520);
  EXPECT_EQ(TapDelay::FloatToInt(5e9f), 0);
  EXPECT_EQ(TapDelay::FloatToInt(1e-40f), 0);
  EXPECT_EQ(TapDelay::FloatToInt(std::numeric_limits<float>::infinity()), 0);
  EXPECT_EQ(TapDelay::FloatToInt(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(TapDelay, DelayZeroPassesTheInput)
{
  auto line = makeLine(44100, 0.0f);
  for (int i = 0; i < 1000; ++i)
  {
    const float x = std::sin(i * 0.37f) * (i % 7);
    ASSERT_EQ(line->Process(x), x) << "sample " << i;
  }
  const float y = line->Process(0.25f);
  EXPECT_EQ(line->lastOutput(), y);
}

TEST(TapDelay, IntegerDelaysGiveCleanImpulses)
{
  for (float d : {1.0f, 7.0f, 4410.0f})
  {
    auto line = makeLine(44100, d);
    const int delay = static_cast<int>(d);
    const std::vector<float> out = impulseResponse(*line, delay + 200);
    for (int i = 0; i < static_cast<int>(out.size()); ++i)
      ASSERT_EQ(out[i], i == delay ? 1.0f : 0.0f) << "delay " << d << " sample " << i;
  }
}

TEST(TapDelay, FractionalDelaysAndTheAllPassTransient)
{
  // At a steady fractional delay the all-pass cancels its own pole: the
  // impulse comes out whole one sample after the integer part.
  auto line = makeLine(44100, 10.5f);
  const std::vector<float> out = impulseResponse(*line, 100);
  for (int i = 0; i < 100; ++i)
    ASSERT_EQ(out[i], i == 11 ? 1.0f : 0.0f) << "sample " << i;

  // When the delay jumps, the all-pass rings with c = 1/3 around the new read.
  auto ramp = makeLine(44100, 10.5f);
  const int jump = 50;
  std::vector<float> y(jump + 4);
  for (int n = 0; n < jump + 4; ++n)
  {
    if (n == jump) ramp->setDelay(11.5f);
    y[n] = ramp->Process(static_cast<float>(n));
  }
  EXPECT_EQ(y[jump - 1], jump - 1 - 11);
  const float c = 1.0f / 3.0f;
  EXPECT_NEAR(y[jump], (jump - 12) - c, 1e-4f);
  EXPECT_NEAR(y[jump + 1], (jump - 11) + c * c, 1e-4f);
  EXPECT_NEAR(y[jump + 2], (jump - 10) - c * c * c, 1e-4f);
}

TEST(TapDelay, CountersWrapAtSixteenSeconds)
{
  auto line = makeLine(44100, 20.0f);
  EXPECT_EQ(line->ringLength(), kL44);
  feedSilence(*line, kL44 - 5);
  const std::vector<float> out = impulseResponse(*line, 40);
  for (int i = 0; i < 40; ++i)
    ASSERT_EQ(out[i], i == 20 ? 1.0f : 0.0f) << "sample " << i;
}

TEST(TapDelay, StraddlingReadMeasuresToTheEndOfTheRing)
{
  // The same signal and delay schedule, once from the start of the ring and
  // once placed so that the delay jump falls on the read that straddles the
  // ring's end. With the fraction measured to the end of the ring the two
  // outputs are identical.
  auto run = [](TapDelay& line)
  {
    std::vector<float> out;
    for (int i = 0; i < 40; ++i)
    {
      line.setDelay(i < 24 ? 3.5f : 4.5f);
      out.push_back(line.Process(std::sin(i * 0.9f) + 0.5f));
    }
    return out;
  };
  auto early = makeLine(44100, 3.5f);
  auto late = makeLine(44100, 3.5f);
  // After the silence the call at i = 24 has reference 4, whose read with
  // delay 4.5 spans the last and the first slot of the ring.
  feedSilence(*late, kL44 - 21);
  EXPECT_EQ(run(*early), run(*late));
}

TEST(TapDelay, ResetClearsHistoryButKeepsAllPassState)
{
  auto line = makeLine(44100, 0.5f);
  for (int i = 0; i < 5; ++i)
    line->Process(1.0f);
  line->setDelay(1.5f); // a jump leaves the all-pass ringing
  const float last = line->Process(0.0f);
  ASSERT_NE(last, 0.0f);

  line->reset(48000, 0.5f);
  EXPECT_EQ(line->ringLength(), 768000);
  // Cleared ring: only the carried all-pass state speaks, with c = 1/3.
  const float c = (1.0f - 0.5f) / (0.5f + 1.0f);
  EXPECT_EQ(line->Process(0.0f), -(last * c));

  // The new rate's ring length applies at once.
  auto fresh = makeLine(48000, 25.0f);
  feedSilence(*fresh, 768000 - 3);
  const std::vector<float> out = impulseResponse(*fresh, 40);
  for (int i = 0; i < 40; ++i)
    ASSERT_EQ(out[i], i == 25 ? 1.0f : 0.0f) << "sample " << i;
}

// After a reset every slot of the ring reads zero: the longest delay reads
// the slot the next write will take, so a pass over the ring reads them all.
void expectRingClear(TapDelay& line, const char* what)
{
  const std::int32_t length = line.ringLength();
  line.setDelay(static_cast<float>(length - 1));
  for (std::int32_t i = 0; i < length; ++i)
    ASSERT_EQ(line.Process(0.0f), 0.0f) << what << ", slot " << i;
}

void feedOnes(TapDelay& line, int count)
{
  for (int i = 0; i < count; ++i)
    line.Process(1.0f);
}

TEST(TapDelay, ResetClearsEverythingWrittenSinceTheLastClear)
{
  // 16 s at 10 Hz is a ring of 160 slots.
  auto line = makeLine(10, 1.0f);
  feedOnes(*line, 100);
  line->reset(10, 1.0f);
  expectRingClear(*line, "part of the ring written");

  feedOnes(*line, 1000);
  line->reset(10, 1.0f);
  expectRingClear(*line, "ring gone round");

  // Written at a longer ring, cleared, then read at it again.
  line->reset(100, 1.0f);
  feedOnes(*line, 1500);
  line->reset(10, 1.0f);
  line->reset(100, 1.0f);
  expectRingClear(*line, "back at the longer ring");
}

// A reset trades a written ring for the clean spare and clears nothing
// itself; cleanSpare clears the old ring later, all of what was written, even
// at a longer ring than the one in use when it comes back.
TEST(TapDelay, ResetTradesForTheCleanSpareAndCleanSpareClearsTheOldRing)
{
  auto line = makeLine(100, 1.0f); // a ring of 1600 slots
  line->cleanSpare();              // makeLine's reset traded the fresh ring
  feedOnes(*line, 2000);
  line->reset(100, 1.0f);
  EXPECT_EQ(line->slotsClearedByResets(), 0u);
  EXPECT_FALSE(line->spareClean());
  EXPECT_EQ(line->cleanSpare(), 1600u);
  EXPECT_TRUE(line->spareClean());
  EXPECT_EQ(line->cleanSpare(), 0u);
  expectRingClear(*line, "after a trade");

  feedOnes(*line, 2000);
  line->reset(10, 1.0f);
  line->cleanSpare();
  feedOnes(*line, 200);
  line->reset(100, 1.0f); // the 1600-slot ring, cleaned, comes back
  line->cleanSpare();
  EXPECT_EQ(line->slotsClearedByResets(), 0u);
  expectRingClear(*line, "the cleaned ring back at its length");
}

TEST(TapDelay, RingLengthStaysInsideTheStorage)
{
  EXPECT_EQ(ringLengthForRate(44100), kL44);
  EXPECT_EQ(ringLengthForRate(97000), kRingCapacity);
  EXPECT_EQ(ringLengthForRate(192000), kRingCapacity);
  EXPECT_EQ(ringLengthForRate(std::numeric_limits<std::int32_t>::max()), kRingCapacity);
  EXPECT_EQ(ringLengthForRate(0), 1);
  EXPECT_EQ(ringLengthForRate(-44100), 1);
  EXPECT_EQ(truncateSampleRate(44100.9f), 44100);
  EXPECT_EQ(truncateSampleRate(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(truncateSampleRate(-1.0f), 0);
  EXPECT_EQ(truncateSampleRate(1e20f), std::numeric_limits<std::int32_t>::max());
}

TEST(TapDelay, DelaysAreClampedToTheRing)
{
  auto line = makeLine(44100, 1e9f);
  EXPECT_EQ(line->delay(), kL44 - 1.0f);
  line->setDelay(-5.0f);
  EXPECT_EQ(line->delay(), 0.0f);
  line->setDelay(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(line->delay(), 0.0f);
  line->setDelay(std::numeric_limits<float>::infinity());
  EXPECT_EQ(line->delay(), kL44 - 1.0f);

  // The longest delay returns an impulse L - 1 samples later.
  line->reset(44100, 3e7f);
  std::vector<float> out = impulseResponse(*line, kL44 + 2);
  EXPECT_EQ(out[kL44 - 1], 1.0f);
  out[kL44 - 1] = 0.0f;
  for (float v : out)
    ASSERT_EQ(v, 0.0f);
}

TEST(TapDelay, RatesBeyondTheStorageStayInside)
{
  // 192 kHz: the ring is the whole storage; every delay, however long, reads
  // inside it (the sanitizer build checks every index).
  auto line = makeLine(192000, 1e12f);
  EXPECT_EQ(line->ringLength(), kRingCapacity);
  for (int i = 0; i < kRingCapacity + 100; ++i)
  {
    line->setDelay(static_cast<float>((i * 7919LL) % (2 * kRingCapacity)) - 1000.0f);
    line->Process(1.0f);
  }
  // Just above a whole sample, r + L rounds up to L: the read stays inside.
  auto edge = makeLine(192000, 1.0001f);
  EXPECT_EQ(edge->Process(1.0f), 0.0f);
  EXPECT_EQ(edge->Process(1.0f), 0.0f);

  auto tiny = makeLine(0, 5.0f);
  EXPECT_EQ(tiny->ringLength(), 1);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(tiny->Process(i + 1.0f), i + 1.0f);
}

// Where a steady run's reads are taken as moving on one slot per sample with
// one coefficient, they are exactly the reads the planner works out one by
// one: at every position of a short ring (so that the read position crosses
// every power of two, above and below the wrap), for whole, fractional and
// longest delays. Most such runs must qualify, or the fast path is lost.
TEST(ReadHead, SteadyReadsAreThePlannedReads)
{
  const std::int32_t rate = 1000, length = 16000;
  ReadHead head(rate, 0.0f);
  ReadPlan plan;
  std::int32_t references[kRunLength];
  long runs = 0, steady = 0;
  for (float width : {0.0f, 0.3f, 1.0f, 63.5f, 1000.37f, 1234.5678f, 8191.6f, 15999.0f, 3e4f})
    for (int n : {1, 17, kRunLength})
      for (std::int32_t first = 0; first + n <= length; first += 3)
      {
        for (int i = 0; i < n; ++i)
          references[i] = first + i;
        head.setWidth(width);
        head.plan(references, &width, n, plan, true);
        SteadyReads reads;
        ++runs;
        if (!head.planSteady(first, width, n, reads)) continue;
        ++steady;
        EXPECT_EQ(reads.width, head.width());
        for (int i = 0; i < n; ++i)
        {
          ASSERT_EQ(plan.index0[i], reads.first + i) << width << " at " << first + i;
          ASSERT_EQ(plan.index1[i], reads.first + 1 + i) << width << " at " << first + i;
          ASSERT_EQ(plan.coefficient[i], reads.coefficient) << width << " at " << first + i;
        }
      }
  EXPECT_GT(steady, runs * 9 / 10);
}
