// Compares fusedSine and fusedSinePair with the C library's sinf on every one
// of the 2^32 float bit patterns and prints how many differ (NaNs count as equal when both
// results are NaN). Exit status 0 only when none differ. Not a test: it runs
// for tens of seconds.

#include "effect/DSP_Sine.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace
{
bool sameBitsOrBothNaN(float a, float b)
{
  return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

__attribute__((target("fma"))) std::uint64_t countDifferences()
{
  std::uint64_t differ = 0;
  std::uint32_t b = 0;
  do
  {
    float x, fused, library;
    std::memcpy(&x, &b, sizeof x);
    fused = fusedSine(x);
    library = std::sin(x);
    // The pair form, each lane beside an input of the other sign.
    float pairFirst, pairSecond;
    fusedSinePair(x, -x, pairFirst, pairSecond);
    if (!sameBitsOrBothNaN(pairFirst, library) || !sameBitsOrBothNaN(pairSecond, std::sin(-x)))
    {
      if (differ < 10) std::printf("the pair form differs at %08x\n", static_cast<unsigned>(b));
      ++differ;
    }
    std::uint32_t fb, lb;
    std::memcpy(&fb, &fused, sizeof fb);
    std::memcpy(&lb, &library, sizeof lb);
    if (fb != lb && !(std::isnan(fused) && std::isnan(library)))
    {
      if (differ < 10)
        std::printf("differs at %08x: %a against %a\n", static_cast<unsigned>(b), fused, library);
      ++differ;
    }
  } while (++b != 0);
  return differ;
}
} // namespace

int main()
{
  if (!__builtin_cpu_supports("fma") || !__builtin_cpu_supports("avx2"))
  {
    std::printf("this processor lacks FMA or AVX2: the library's fused sine is not in use\n");
    return 2;
  }
  const std::uint64_t differ = countDifferences();
  std::printf("%llu of 4294967296 inputs differ\n", static_cast<unsigned long long>(differ));
  return differ == 0 ? 0 : 1;
}
