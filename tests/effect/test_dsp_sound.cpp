#include "effect/DSP_DelayLoop.h"
#include "effect/DSP_StereoDelay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

// The engines' output is pinned bit for bit: a change of precision, of the
// order of operations or of a constant changes the sound, and every build
// must produce these same bits.
namespace
{
class BitHash
{
public:
  void add(float v)
  {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 4; ++i)
    {
      mHash ^= (bits >> (8 * i)) & 0xffu;
      mHash *= 1099511628211ull;
    }
  }
  std::uint64_t value() const { return mHash; }

private:
  std::uint64_t mHash = 14695981039346656037ull;
};

float testSignal(int i)
{
  const float burst = (i % 9000) < 600 ? 1.0f : 0.0f;
  return burst * 0.8f * std::sin(i * 0.031f) + (i % 4410 == 0 ? 0.5f : 0.0f);
}

template <class Engine> std::uint64_t hashOutput(Engine& engine, int length)
{
  BitHash hash;
  int sounding = 0;
  for (int i = 0; i < length; ++i)
  {
    const float* pair = engine.process(testSignal(i));
    hash.add(pair[0]);
    hash.add(pair[1]);
    sounding += pair[0] != 0.0f || pair[1] != 0.0f;
  }
  EXPECT_GT(sounding, length / 2);
  return hash.value();
}

void configureLoop(DelayLoop& engine, bool pong)
{
  engine.mPong = pong;
  engine.setLPCutoff(0.7f);
  engine.setHPCutoff(0.2168f);
  engine.setFeedback(static_cast<float>(0.6 * 1.6));
  engine.setSmooth(static_cast<float>(0.3947 * 0.0095 + 0.99));
  engine.setLfoIntensity(0.4f);
  engine.setLfoRate(9.0f);
  engine.setFltIntensity(0.3f);
  engine.setFltRate(44.0f);
  engine.setDelayMS(187.5f);
}
} // namespace

TEST(DspSound, StereoEngineBits)
{
  StereoDelay engine(44100.0f);
  engine.setLP1Cutoff(0.9f);
  engine.setLP2Cutoff(1.0f);
  engine.setHP1Cutoff(0.3861f);
  engine.setHP2Cutoff(0.0f);
  engine.setPan1(0.2f);
  engine.setPan2(0.9f);
  engine.setFeedback1(0.75f);
  engine.setFeedback2(0.6f);
  engine.setLevel1(0.47f);
  engine.setLevel2(0.8f);
  engine.setDelayMS1(375.0f);
  engine.setDelayMS2(625.0f);
  engine.reset(48000.0f);
  const std::uint64_t first = hashOutput(engine, 60000);
  engine.setDelayMS1(120.0f);
  EXPECT_EQ(first, 9645701576988399441ull);
  EXPECT_EQ(hashOutput(engine, 30000), 1496063366328799125ull);
}

TEST(DspSound, LoopEngineBits)
{
  for (bool pong : {false, true})
  {
    DelayLoop engine(44100.0f);
    configureLoop(engine, pong);
    engine.reset(44100.0f);
    EXPECT_EQ(hashOutput(engine, 60000), pong ? 3669212088382228999ull : 7115553697674806181ull)
        << "pong " << pong;
  }
}
