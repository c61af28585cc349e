// Pixel throughput of the raster layer's blits and fills on editor-sized
// bitmaps, and the decode time of an editor-sized PNG.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "lice/lice.h"
#include "lice/lice_png.h"

namespace
{
const int kWidth = 595, kHeight = 433;

// A picture with every alpha value, as film strips with soft edges have.
void fillPicture(LICE_IBitmap* bm)
{
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      LICE_PutPixel(bm, x, y, LICE_RGBA(x & 255, y & 255, (x + y) & 255, (x * 7 + y * 3) & 255),
                    1.0f, 0);
}

struct Bitmaps
{
  LICE_MemBitmap src{kWidth, kHeight}, dest{kWidth, kHeight};
  Bitmaps()
  {
    fillPicture(&src);
    LICE_Clear(&dest, LICE_RGBA(40, 80, 120, 255));
  }
};

void countPixels(benchmark::State& state)
{
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void blit(benchmark::State& state, float alpha, int mode)
{
  Bitmaps b;
  for (auto _ : state)
  {
    LICE_Blit(&b.dest, &b.src, 0, 0, nullptr, alpha, mode);
    benchmark::DoNotOptimize(b.dest.getBits());
    benchmark::ClobberMemory();
  }
  countPixels(state);
}

void fill(benchmark::State& state, float alpha)
{
  Bitmaps b;
  for (auto _ : state)
  {
    LICE_FillRect(&b.dest, 0, 0, kWidth, kHeight, LICE_RGBA(200, 100, 50, 255), alpha, 0);
    benchmark::DoNotOptimize(b.dest.getBits());
    benchmark::ClobberMemory();
  }
  countPixels(state);
}

void BM_BlitOpaque(benchmark::State& state)
{
  blit(state, 1.0f, 0);
}
void BM_BlitSourceAlpha(benchmark::State& state)
{
  blit(state, 1.0f, LICE_BLIT_USE_ALPHA);
}
void BM_BlitHalf(benchmark::State& state)
{
  blit(state, 0.5f, 0);
}
void BM_Fill100(benchmark::State& state)
{
  fill(state, 1.0f);
}
void BM_Fill50(benchmark::State& state)
{
  fill(state, 0.5f);
}
void BM_Fill03(benchmark::State& state)
{
  fill(state, 0.3f);
}

// An editor-sized RGBA PNG, made with LICE_WritePNG and read back into memory.
std::vector<unsigned char> editorSizedPng()
{
  LICE_MemBitmap picture(kWidth, kHeight);
  fillPicture(&picture);
  const std::string path = "/tmp/bench_lice_" + std::to_string(getpid()) + ".png";
  std::vector<unsigned char> data;
  if (LICE_WritePNG(path.c_str(), &picture))
  {
    if (FILE* f = std::fopen(path.c_str(), "rb"))
    {
      unsigned char buf[65536];
      for (size_t n; (n = std::fread(buf, 1, sizeof(buf), f)) > 0;)
        data.insert(data.end(), buf, buf + n);
      std::fclose(f);
    }
    std::remove(path.c_str());
  }
  return data;
}

void BM_DecodePng(benchmark::State& state)
{
  const std::vector<unsigned char> png = editorSizedPng();
  LICE_MemBitmap target;
  for (auto _ : state)
  {
    if (!LICE_LoadPNGFromMemory(png.data(), int(png.size()), &target))
    {
      state.SkipWithError("decode failed");
      break;
    }
    benchmark::DoNotOptimize(target.getBits());
  }
  countPixels(state);
}
} // namespace

BENCHMARK(BM_BlitOpaque);
BENCHMARK(BM_BlitSourceAlpha);
BENCHMARK(BM_BlitHalf);
BENCHMARK(BM_Fill100);
BENCHMARK(BM_Fill50);
BENCHMARK(BM_Fill03);
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);
