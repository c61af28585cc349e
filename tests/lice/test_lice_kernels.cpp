// The fast row loops against the combiners they stand in for, over every
// weight and every source alpha, with row lengths that leave scalar tails.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lice/lice_combine.h"
#include "lice/lice_kernels.h"

namespace
{
// Pixels with every source alpha 0 ... 255 and assorted channels.
struct RowPair
{
  std::vector<LICE_pixel> dest, src;
};

RowPair makeRows(uint32_t seed, int n)
{
  RowPair rows;
  for (int i = 0; i < n; ++i)
  {
    seed = seed * 1664525u + 1013904223u;
    rows.dest.push_back(seed);
    seed = seed * 1664525u + 1013904223u;
    rows.src.push_back((seed & ~0xffu) | LICE_pixel(i & 255));
  }
  return rows;
}

template <class C> std::vector<LICE_pixel> reference(const RowPair& rows, int w)
{
  std::vector<LICE_pixel> out(rows.dest.size());
  for (size_t i = 0; i < out.size(); ++i)
  {
    const LICE_pixel s = rows.src[i];
    out[i] = C::doPix(rows.dest[i], LICE_GETR(s), LICE_GETG(s), LICE_GETB(s), LICE_GETA(s), w);
  }
  return out;
}
} // namespace

TEST(LiceKernels, SourceAlphaCopyAtFullWeight)
{
  for (int n : {256 * 3, 1, 3, 7})
  {
    RowPair rows = makeRows(7u + n, n);
    const auto expected =
        reference<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>(rows, 256);
    lice_detail::copySourceAlphaFullRow(rows.dest.data(), rows.src.data(), n);
    EXPECT_EQ(rows.dest, expected) << "row of " << n;
  }
}

TEST(LiceKernels, SourceAlphaCopyAtEveryWeight)
{
  for (int w = 1; w < 256; ++w)
  {
    RowPair rows = makeRows(w, 256 + 5);
    const auto expected = reference<_LICE_CombinePixelsCopySourceAlphaNoClamp>(rows, w);
    lice_detail::copySourceAlphaRow(rows.dest.data(), rows.src.data(), int(rows.dest.size()), w);
    ASSERT_EQ(rows.dest, expected) << "weight " << w;
  }
}

TEST(LiceKernels, CopyAtEveryWeight)
{
  for (int w = 1; w < 256; ++w)
  {
    RowPair rows = makeRows(1000u + w, 256 + 3);
    const auto expected = reference<_LICE_CombinePixelsCopyNoClamp>(rows, w);
    lice_detail::copyRow(rows.dest.data(), rows.src.data(), int(rows.dest.size()), w);
    ASSERT_EQ(rows.dest, expected) << "weight " << w;
  }
}

TEST(LiceKernels, ColourCopyAtEveryWeight)
{
  for (int w = 1; w < 256; ++w)
  {
    RowPair rows = makeRows(5000u + w, 64 + 2);
    const LICE_pixel color = rows.src[w % rows.src.size()] | LICE_pixel(w);
    for (LICE_pixel& s : rows.src)
      s = color;
    const auto expected = reference<_LICE_CombinePixelsCopyNoClamp>(rows, w);
    lice_detail::copyColorRow(rows.dest.data(), int(rows.dest.size()), color, w);
    ASSERT_EQ(rows.dest, expected) << "weight " << w;
  }
}
