#include "host/plot/PlotFont.h"

#include <map>
#include <memory>

#include "lice/lice_text.h"
#include "swell/swell_font.h"

namespace
{
// One monospace font per scale, built on first use and kept for the program's
// life (the plot is drawn on one thread).
LICE_IFont* FontFor(int scale)
{
  static std::map<int, std::unique_ptr<LICE_CachedFont>> fonts;
  auto& font = fonts[scale];
  if (!font)
  {
    font = std::make_unique<LICE_CachedFont>();
    HFONT handle = CreateFont(PlotTextHeight(scale), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                              DEFAULT_PITCH, "DejaVu Sans Mono");
    if (handle) font->SetFromHFont(handle, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
  }
  return font.get();
}
} // namespace

void DrawPlotText(LICE_IBitmap* bitmap, int x, int y, const std::string& text, LICE_pixel color,
                  int scale)
{
  if (text.empty()) return;
  LICE_IFont* font = FontFor(scale);
  font->SetTextColor(color);
  RECT r{x, y, x + PlotTextWidth(text, scale) + 1, y + PlotTextHeight(scale)};
  font->DrawText(bitmap, text.c_str(), int(text.size()), &r, LICE_DT_NOCLIP);
}

int PlotTextWidth(const std::string& text, int scale)
{
  if (text.empty()) return 0;
  RECT r{0, 0, 0, 0};
  FontFor(scale)->DrawText(nullptr, text.c_str(), int(text.size()), &r, LICE_DT_CALCRECT);
  return r.right - r.left;
}

void PreparePlotText()
{
  for (int scale : {1, 2})
    PlotTextWidth("0", scale);
}

int PlotTextHeight(int scale)
{
  return 10 * scale;
}
