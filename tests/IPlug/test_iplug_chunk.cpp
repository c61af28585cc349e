#include "TestPlug.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace
{
std::vector<unsigned char> Bytes(const ByteChunk& chunk)
{
  return std::vector<unsigned char>(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

void PutLength(ByteChunk* chunk, int n)
{
  chunk->Put(&n);
}
} // namespace

TEST(ByteChunk, TypedAppendsAreLittleEndian)
{
  ByteChunk chunk;
  EXPECT_EQ(chunk.Size(), 0);
  const int i = -2;
  const unsigned int u = 0x01020304u;
  const double d = 1.0;
  EXPECT_EQ(chunk.Put(&i), 4);
  EXPECT_EQ(chunk.Put(&u), 8);
  EXPECT_EQ(chunk.Put(&d), 16);
  EXPECT_EQ(chunk.PutBool(true), 17);
  EXPECT_EQ(chunk.PutBool(false), 18);
  EXPECT_EQ(Bytes(chunk), (std::vector<unsigned char>{0xFE, 0xFF, 0xFF, 0xFF, 4, 3, 2, 1, 0, 0, 0,
                                                      0, 0, 0, 0xF0, 0x3F, 1, 0}));

  int ri;
  unsigned int ru;
  double rd;
  bool rb = false;
  EXPECT_EQ(chunk.Get(&ri, 0), 4);
  EXPECT_EQ(chunk.Get(&ru, 4), 8);
  EXPECT_EQ(chunk.Get(&rd, 8), 16);
  EXPECT_EQ(chunk.GetBool(&rb, 16), 17);
  EXPECT_EQ(ri, -2);
  EXPECT_EQ(ru, u);
  EXPECT_EQ(rd, 1.0);
  EXPECT_TRUE(rb);
}

TEST(ByteChunk, StringsAndNestedChunks)
{
  ByteChunk chunk;
  chunk.PutStr("abc");
  chunk.PutStr("");
  EXPECT_EQ(Bytes(chunk), (std::vector<unsigned char>{3, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0}));

  ByteChunk outer;
  outer.PutBool(true);
  EXPECT_EQ(outer.PutChunk(&chunk), 12);
  EXPECT_EQ(outer.GetBytes()[5], 'a');

  WDL_String s("keep");
  EXPECT_EQ(chunk.GetStr(&s, 0), 7);
  EXPECT_STREQ(s.Get(), "abc");
  EXPECT_EQ(chunk.GetStr(&s, 7), 11); // empty stored string: target kept
  EXPECT_STREQ(s.Get(), "abc");
}

TEST(ByteChunk, StringStopsAtAZeroByteAndBoolReadsAnyNonZero)
{
  ByteChunk chunk;
  PutLength(&chunk, 3);
  const unsigned char body[4] = {'x', 0, 'y', 7};
  chunk.PutBytes(body, 4);
  WDL_String s;
  EXPECT_EQ(chunk.GetStr(&s, 0), 7);
  EXPECT_STREQ(s.Get(), "x");
  bool b = false;
  EXPECT_EQ(chunk.GetBool(&b, 7), 8);
  EXPECT_TRUE(b);
}

TEST(ByteChunk, ShortReadsFailWithoutWriting)
{
  ByteChunk chunk;
  PutLength(&chunk, 10); // claims 10 characters, holds 2
  chunk.PutBytes("hi", 2);
  WDL_String s("old");
  const int pos = chunk.GetStr(&s, 0);
  EXPECT_EQ(pos, 14);
  EXPECT_GT(pos, chunk.Size());
  EXPECT_STREQ(s.Get(), "old");
  bool b = true;
  EXPECT_EQ(chunk.GetBool(&b, pos), -1);
  EXPECT_TRUE(b);

  double d = 5.0;
  EXPECT_EQ(chunk.Get(&d, 0), -1); // 6 bytes only
  EXPECT_EQ(d, 5.0);
  EXPECT_EQ(chunk.GetBytes(&d, 0, chunk.Size()), chunk.Size()); // zero bytes at the end
  EXPECT_EQ(chunk.GetBytes(&d, 0, chunk.Size() + 1), -1);
  EXPECT_EQ(chunk.GetBytes(&d, 1, -1), -1);
  EXPECT_EQ(chunk.GetStr(&s, -4), -1);
}

TEST(ByteChunk, ReadPositionsNeverOverflow)
{
  ByteChunk chunk;
  chunk.Resize(16);
  unsigned char dest[4] = {9, 9, 9, 9};
  EXPECT_EQ(chunk.GetBytes(dest, -1, 0), -1);
  EXPECT_EQ(chunk.GetBytes(dest, INT_MAX, 8), -1);
  EXPECT_EQ(chunk.GetBytes(dest, 4, INT_MAX), -1);
  EXPECT_EQ(dest[0], 9);

  ByteChunk negative;
  PutLength(&negative, -5);
  negative.PutBytes("abcdefgh", 8);
  WDL_String s("old");
  EXPECT_EQ(negative.GetStr(&s, 0), -1);
  EXPECT_STREQ(s.Get(), "old");

  ByteChunk huge;
  PutLength(&huge, INT_MAX - 2);
  huge.PutBytes("abc", 3);
  EXPECT_EQ(huge.GetStr(&s, 0), -1); // its end does not fit a position
  EXPECT_STREQ(s.Get(), "old");
}

TEST(ByteChunk, ResizeAndClear)
{
  ByteChunk chunk;
  chunk.PutBytes("abcd", 4);
  EXPECT_EQ(chunk.Resize(10), 4);
  ASSERT_EQ(chunk.Size(), 10);
  for (int i = 4; i < 10; ++i)
    EXPECT_EQ(chunk.GetBytes()[i], 0);
  EXPECT_EQ(chunk.Resize(-1), 10);
  EXPECT_EQ(chunk.Size(), 10);
  EXPECT_EQ(chunk.PutBytes("x", -3), 10);
  chunk.Clear();
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(chunk.GetBytes(), nullptr);
}

TEST(ParamChunk, ValuesInIndexOrderAsDoubles)
{
  TestPlug plug(3);
  plug.InitDoubles({1.0, -2.5, 100.0});
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializeParams(&chunk));
  EXPECT_EQ(Bytes(chunk),
            (std::vector<unsigned char>{0, 0, 0,    0,    0, 0, 0xF0, 0x3F, 0, 0, 0,    0,
                                        0, 0, 0x04, 0xC0, 0, 0, 0,    0,    0, 0, 0x59, 0x40}));

  ByteChunk state;
  EXPECT_TRUE(plug.SerializeState(&state));
  EXPECT_EQ(Bytes(state), Bytes(chunk));
}

TEST(ParamChunk, UnserializeRestoresClampsAndRunsEveryHook)
{
  TestPlug plug(3);
  plug.InitDoubles({0.0, 0.0, 0.0});
  ByteChunk chunk;
  chunk.PutBytes("??", 2); // a prefix to start after
  const double values[4] = {7.0, 500.0, -50.0, 1.0};
  for (const double& v : values)
    chunk.Put(&v);

  EXPECT_EQ(plug.UnserializeParams(&chunk, 2), 26);
  EXPECT_EQ(plug.GetParam(0)->Value(), 7.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 100.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), -10.0);
  EXPECT_EQ(plug.paramChanges, (std::vector<int>{0, 1, 2}));

  plug.paramChanges.clear();
  EXPECT_EQ(plug.UnserializeState(&chunk, -1), -1); // reads nothing, still resets
  EXPECT_EQ(plug.GetParam(0)->Value(), 7.0);
  EXPECT_EQ(plug.paramChanges.size(), 3u);
}

TEST(ParamChunk, ShortChunkRestoresWhatItCovers)
{
  TestPlug plug(28);
  for (int i = 0; i < 28; ++i)
    plug.GetParam(i)->InitDouble("p", -1.0, -1.0, 100.0, 0.01);
  ByteChunk chunk;
  for (int i = 0; i < 27; ++i)
  {
    const double v = i;
    chunk.Put(&v);
  }
  EXPECT_EQ(plug.UnserializeParams(&chunk, 0), -1);
  EXPECT_EQ(plug.GetParam(26)->Value(), 26.0);
  EXPECT_EQ(plug.GetParam(27)->Value(), -1.0);
  EXPECT_EQ(plug.paramChanges.size(), 28u);
}
