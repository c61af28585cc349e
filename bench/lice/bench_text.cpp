// Text drawing as the editor's value displays do it: a few characters at
// 11 pixels, centred, from the glyph cache, and the first drawing of a font
// (glyphs rendered on demand).
#include <benchmark/benchmark.h>

#include "lice/lice_text.h"

namespace
{
HFONT makeFont(int height)
{
  return CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Monaco");
}

void BM_ValueDisplayText(benchmark::State& state)
{
  LICE_MemBitmap bm(595, 433);
  LICE_CachedFont font;
  font.SetFromHFont(makeFont(11), LICE_FONT_FLAG_OWNS_HFONT);
  font.SetTextColor(LICE_RGBA(153, 153, 255, 255));
  RECT r = {265, 183, 286, 196};
  for (auto _ : state)
    benchmark::DoNotOptimize(font.DrawText(&bm, "0.75", -1, &r, LICE_DT_NOCLIP | LICE_DT_CENTER));
}
BENCHMARK(BM_ValueDisplayText);

void BM_FirstDrawOfAFont(benchmark::State& state)
{
  LICE_MemBitmap bm(595, 433);
  RECT r = {0, 0, 200, 20};
  for (auto _ : state)
  {
    LICE_CachedFont font;
    font.SetFromHFont(makeFont(11), LICE_FONT_FLAG_OWNS_HFONT);
    benchmark::DoNotOptimize(font.DrawText(&bm, "-1.0 20000 0.47", -1, &r, LICE_DT_NOCLIP));
  }
}
BENCHMARK(BM_FirstDrawOfAFont);
} // namespace
