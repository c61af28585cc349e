// The musical time the host reports through its callbacks: beats, tempo,
// 4/4 bars and the playing transport at the rendered position.

#include "host/kit/HostTransport.h"

#include <gtest/gtest.h>

TEST(HostTransport, BeatTempoAndBarsFollowTheSamplePosition)
{
  HostTransport transport(120.0, 48000.0); // a beat is 24000 samples
  const HostCallbackInfo callbacks = transport.Callbacks();
  ASSERT_TRUE(callbacks.beatAndTempoProc && callbacks.musicalTimeLocationProc &&
              callbacks.transportStateProc);

  transport.SetSampleTime(36000.0); // beat 1.5
  Float64 beat = -1.0, tempo = -1.0;
  EXPECT_EQ(callbacks.beatAndTempoProc(callbacks.hostUserData, &beat, &tempo), noErr);
  EXPECT_DOUBLE_EQ(beat, 1.5);
  EXPECT_DOUBLE_EQ(tempo, 120.0);

  transport.SetSampleTime(5.5 * 24000.0); // half way through beat 6, in the second bar
  UInt32 toNextBeat = 0, denominator = 0;
  Float32 numerator = 0.0f;
  Float64 downBeat = -1.0;
  EXPECT_EQ(callbacks.musicalTimeLocationProc(callbacks.hostUserData, &toNextBeat, &numerator,
                                              &denominator, &downBeat),
            noErr);
  EXPECT_EQ(toNextBeat, 12000u);
  EXPECT_EQ(numerator, 4.0f);
  EXPECT_EQ(denominator, 4u);
  EXPECT_DOUBLE_EQ(downBeat, 4.0);

  Boolean playing = false, changed = true, cycling = true;
  Float64 sample = -1.0, cycleStart = -1.0, cycleEnd = -1.0;
  EXPECT_EQ(callbacks.transportStateProc(callbacks.hostUserData, &playing, &changed, &sample,
                                         &cycling, &cycleStart, &cycleEnd),
            noErr);
  EXPECT_TRUE(playing);
  EXPECT_FALSE(changed);
  EXPECT_FALSE(cycling);
  EXPECT_DOUBLE_EQ(sample, 132000.0);
}

TEST(HostTransport, AnyOutputMayBeLeftOut)
{
  HostTransport transport(97.0, 44100.0);
  const HostCallbackInfo callbacks = transport.Callbacks();
  Float64 tempo = 0.0;
  EXPECT_EQ(callbacks.beatAndTempoProc(callbacks.hostUserData, nullptr, &tempo), noErr);
  EXPECT_DOUBLE_EQ(tempo, 97.0);
  EXPECT_EQ(
      callbacks.musicalTimeLocationProc(callbacks.hostUserData, nullptr, nullptr, nullptr, nullptr),
      noErr);
  EXPECT_EQ(callbacks.transportStateProc(callbacks.hostUserData, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr),
            noErr);
}
