#include "effect/DSP_Sine.h"

#include <initializer_list>

namespace
{
bool sameBits(float a, float b)
{
  return std::memcmp(&a, &b, sizeof a) == 0;
}

__attribute__((target("fma"))) bool fusedAgreesOnSpread()
{
  // Every 40,503rd bit pattern (a prime step, so every exponent and many
  // mantissas are visited), both signs, plus the edges of each range.
  for (std::uint64_t bits = 0; bits < 0x100000000ull; bits += 40503)
  {
    const std::uint32_t b = static_cast<std::uint32_t>(bits);
    float x;
    std::memcpy(&x, &b, sizeof x);
    if (!std::isnan(x) && !sameBits(fusedSine(x), std::sin(x))) return false;
  }
  for (float x : {0.0f, -0.0f, 0x1p-12f, 0.7853981f, 0.75f, 1.5707964f, 3.1415927f, 119.99999f,
                  120.0f, -120.0f, 1e-40f})
    if (!sameBits(fusedSine(x), std::sin(x))) return false;
  return true;
}
} // namespace

bool fusedSineMatchesLibrary()
{
  __builtin_cpu_init();
  static const bool matches =
      __builtin_cpu_supports("fma") && __builtin_cpu_supports("avx2") && fusedAgreesOnSpread();
  return matches;
}
