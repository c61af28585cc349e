#include "effect/DSP_RingStorage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace
{
bool AllZero(const RingStorage& ring, std::size_t from, std::size_t to)
{
  return std::all_of(ring.get() + from, ring.get() + to, [](float x) { return x == 0.0f; });
}

void Fill(RingStorage& ring, std::size_t n, float value)
{
  std::fill(ring.get(), ring.get() + n, value);
}

// Heap-backed (small) and mapped (a delay line's size) rings behave alike.
class RingStorageSizes : public ::testing::TestWithParam<std::size_t>
{
};

TEST_P(RingStorageSizes, StartsZeroAndTradesOrClearsOnReset)
{
  const std::size_t slots = GetParam();
  RingStorage ring(slots);
  ASSERT_EQ(ring.slots(), slots);
  EXPECT_TRUE(AllZero(ring, 0, slots));
  EXPECT_TRUE(ring.spareClean());

  // Every slot is usable, the last included.
  Fill(ring, slots, 0.5f);
  ring.touchPages();
  EXPECT_EQ(ring[slots - 1], 0.5f);
  EXPECT_EQ(ring[0], 0.5f);

  // A clean spare: trade, nothing cleared now, the ring in use reads zero.
  float* const written = ring.get();
  EXPECT_EQ(ring.clear(slots), 0u);
  EXPECT_NE(ring.get(), written);
  EXPECT_TRUE(AllZero(ring, 0, slots));
  EXPECT_FALSE(ring.spareClean());

  // A dirty spare: the written part is cleared in place.
  Fill(ring, slots / 2, -1.0f);
  EXPECT_EQ(ring.clear(slots / 2), slots / 2);
  EXPECT_TRUE(AllZero(ring, 0, slots));

  // The spare cleaned later trades back in, all zero.
  EXPECT_EQ(ring.cleanSpare(), slots);
  EXPECT_TRUE(ring.spareClean());
  Fill(ring, 10, 2.0f);
  EXPECT_EQ(ring.clear(10), 0u);
  EXPECT_EQ(ring.get(), written);
  EXPECT_TRUE(AllZero(ring, 0, slots));
}

INSTANTIATE_TEST_SUITE_P(Sizes, RingStorageSizes,
                         ::testing::Values(std::size_t(1000), std::size_t(1552001),
                                           std::size_t(2) << 18));

TEST(RingStorage, LargeRingsStartOnLargePageBoundaries)
{
  constexpr std::uintptr_t kLargePage = std::uintptr_t(2) << 20;
  RingStorage ring(1552001);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(ring.get()) % kLargePage, 0u);
  ring.clear(1);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(ring.get()) % kLargePage, 0u);
}
} // namespace
