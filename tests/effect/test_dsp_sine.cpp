// The inline saturator sine, alone and in pairs, gives the C library's bits. The whole float range
// is compared by bench/effect/sine_all_floats; here a dense spread and the
// edges of each range of the computation.

#include "effect/DSP_Sine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
std::uint32_t Bits(float v)
{
  std::uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

float FromBits(std::uint32_t b)
{
  float v;
  std::memcpy(&v, &b, sizeof v);
  return v;
}

bool SameOrBothNaN(float a, float b)
{
  return Bits(a) == Bits(b) || (std::isnan(a) && std::isnan(b));
}

// The bit patterns of the inputs whose library and inline sines differ.
__attribute__((target("fma"))) std::vector<std::uint32_t>
Mismatches(const std::vector<float>& inputs)
{
  std::vector<std::uint32_t> differ;
  for (float x : inputs)
  {
    const float fused = fusedSine(x), library = std::sin(x);
    // The pair form, beside an input from elsewhere in the spread.
    const float other = FromBits(Bits(x) * 2654435761u);
    float pairFirst, pairSecond;
    fusedSinePair(x, other, pairFirst, pairSecond);
    if (!SameOrBothNaN(fused, library) || !SameOrBothNaN(pairFirst, library) ||
        !SameOrBothNaN(pairSecond, std::sin(other)))
      differ.push_back(Bits(x));
  }
  return differ;
}
} // namespace

TEST(FusedSine, SameBitsAsTheLibrary)
{
  if (!fusedSineMatchesLibrary()) GTEST_SKIP() << "the library's fused sine is not in use here";
  std::vector<float> inputs;
  // A dense spread: every 1021st bit pattern, both signs, every exponent.
  for (std::uint64_t b = 0; b < 0x100000000ull; b += 1021)
    inputs.push_back(FromBits(static_cast<std::uint32_t>(b)));
  // Every float around the edges of the short path (2^-12), the polynomial
  // without reduction (0.75, pi/4), the quadrants and the long reduction (120).
  for (float edge : {0x1p-12f, 0.75f, 0.7853982f, 1.5707964f, 2.3561945f, 3.1415927f, 4.712389f,
                     6.2831855f, 119.99999f, 120.0f})
    for (float sign : {1.0f, -1.0f})
    {
      const std::uint32_t centre = Bits(edge * sign);
      for (std::uint32_t b = centre - 2000; b != centre + 2000; ++b)
        inputs.push_back(FromBits(b));
    }
  const float inf = std::numeric_limits<float>::infinity();
  for (float special : {0.0f, -0.0f, 1e-45f, -1e-45f, 1e-38f, 1e-30f, 3.0e38f, -3.0e38f, inf, -inf,
                        std::numeric_limits<float>::quiet_NaN()})
    inputs.push_back(special);
  const std::vector<std::uint32_t> differ = Mismatches(inputs);
  EXPECT_TRUE(differ.empty()) << differ.size() << " differ, the first at bits " << std::hex
                              << differ.front();
}
