#include "lice/lice_text.h"

#include <algorithm>
#include <cstring>

#include "lice/lice_combine.h"

namespace
{
// Next code point of UTF-8 text; a byte that starts no valid sequence stands
// for itself (Latin-1), so no text is ever dropped.
uint32_t nextCodepoint(const char*& p, const char* end)
{
  const unsigned char c = static_cast<unsigned char>(*p++);
  if (c < 0x80) return c;
  int extra = c >= 0xf0 && c < 0xf8 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : 0;
  if (extra == 0 || end - p < extra) return c;
  uint32_t cp = c & (0x3f >> extra);
  for (int i = 0; i < extra; ++i)
  {
    const unsigned char cc = static_cast<unsigned char>(p[i]);
    if ((cc & 0xc0) != 0x80) return c;
    cp = cp << 6 | (cc & 0x3f);
  }
  p += extra;
  return cp;
}

RECT intersect(const RECT& a, const RECT& b)
{
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

// Writable row y of the bitmap, whichever way up it stores its rows.
LICE_pixel* rowOf(LICE_IBitmap* bm, int y)
{
  const int row = bm->isFlipped() ? bm->getHeight() - 1 - y : y;
  return bm->getBits() + ptrdiff_t(row) * bm->getRowSpan();
}

typedef lice_detail::PerChannel<lice_detail::CopyChannel, lice_detail::StoreLowByte> TextOver;
} // namespace

LICE_CachedFont::LICE_CachedFont() = default;

LICE_CachedFont::~LICE_CachedFont()
{
  release();
}

void LICE_CachedFont::release()
{
  for (auto& g : m_ascii)
    g.reset();
  m_other.clear();
  if (m_font && (m_flags & LICE_FONT_FLAG_OWNS_HFONT)) DeleteObject(m_font);
  m_font = nullptr;
  m_metrics = SWELL_FontMetrics{};
  m_underline = m_strikeOut = false;
  m_rendered = 0;
}

void LICE_CachedFont::SetFromHFont(HFONT font, int flags)
{
  if (font == m_font)
  {
    m_flags = flags;
    return;
  }
  release();
  m_font = font;
  m_flags = flags;
  SWELL_FontInfo info;
  if (!SWELL_GetFontMetrics(font, &m_metrics) || !SWELL_GetFontInfo(font, &info)) return;
  m_underline = info.underline;
  m_strikeOut = info.strikeOut;
}

LICE_pixel LICE_CachedFont::SetTextColor(LICE_pixel color)
{
  const LICE_pixel old = m_color;
  m_color = color;
  return old;
}

int LICE_CachedFont::GetLineHeight()
{
  return m_metrics.lineHeight;
}

const SWELL_Glyph* LICE_CachedFont::glyph(uint32_t codepoint)
{
  std::unique_ptr<SWELL_Glyph>* slot;
  if (codepoint < 128)
    slot = &m_ascii[codepoint];
  else
    slot = &m_other[codepoint];
  if (!*slot)
  {
    slot->reset(new SWELL_Glyph);
    ++m_rendered;
    // A glyph the face cannot render stays empty: nothing drawn, no advance.
    if (!SWELL_RenderGlyph(m_font, codepoint, slot->get())) **slot = SWELL_Glyph{};
  }
  return slot->get();
}

int LICE_CachedFont::lineWidth(const char* str, int len)
{
  int w = 0;
  const char* end = str + len;
  for (const char* p = str; p < end;)
    w += glyph(nextCodepoint(p, end))->advance;
  return w;
}

void LICE_CachedFont::drawRule(LICE_IBitmap* bm, int x, int y, int w, int h, const RECT& clip,
                               int weight)
{
  const RECT r = intersect(RECT{x, y, x + w, y + h}, clip);
  const int cr = LICE_GETR(m_color), cg = LICE_GETG(m_color), cb = LICE_GETB(m_color);
  for (int yy = r.top; yy < r.bottom; ++yy)
  {
    LICE_pixel* row = rowOf(bm, yy);
    for (int xx = r.left; xx < r.right; ++xx)
      row[xx] = TextOver::doPix(row[xx], cr, cg, cb, 255, weight);
  }
}

void LICE_CachedFont::drawLine(LICE_IBitmap* bm, const char* str, int len, int x, int baseline,
                               const RECT& clip, int weight)
{
  const int cr = LICE_GETR(m_color), cg = LICE_GETG(m_color), cb = LICE_GETB(m_color);
  const char* end = str + len;
  int pen = x;
  for (const char* p = str; p < end;)
  {
    const SWELL_Glyph* g = glyph(nextCodepoint(p, end));
    const int gx = pen + g->left, gy = baseline - g->top;
    const RECT r = intersect(RECT{gx, gy, gx + g->width, gy + g->height}, clip);
    for (int y = r.top; y < r.bottom; ++y)
    {
      LICE_pixel* row = rowOf(bm, y);
      const uint8_t* cov = g->coverage.data() + size_t(y - gy) * size_t(g->width) - gx;
      for (int xx = r.left; xx < r.right; ++xx)
      {
        const int c = cov[xx];
        if (c == 0) continue;
        const int w = c * weight / 255;
        row[xx] = TextOver::doPix(row[xx], cr, cg, cb, 255, w);
      }
    }
    pen += g->advance;
  }
  const int width = pen - x;
  const int thickness = m_metrics.underlineThickness;
  if (m_underline)
    drawRule(bm, x, baseline + m_metrics.underlineOffset, width, thickness, clip, weight);
  if (m_strikeOut)
    drawRule(bm, x, baseline - m_metrics.ascent / 3 - thickness / 2, width, thickness, clip,
             weight);
}

int LICE_CachedFont::DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect,
                              unsigned int dtFlags)
{
  if (!m_font || !str || !rect) return 0;
  const int len = strcnt < 0 ? int(std::strlen(str)) : int(strnlen(str, size_t(strcnt)));
  const int lineHeight = m_metrics.lineHeight;
  if (len == 0)
  {
    if (dtFlags & LICE_DT_CALCRECT)
    {
      rect->right = rect->left;
      rect->bottom = rect->top;
    }
    return 0;
  }

  const bool draw = !(dtFlags & LICE_DT_CALCRECT) && bm && bm->getBits();
  RECT clip = RECT{0, 0, 0, 0};
  int weight = 0;
  if (draw)
  {
    clip = RECT{0, 0, bm->getWidth(), bm->getHeight()};
    if (!(dtFlags & LICE_DT_NOCLIP)) clip = intersect(clip, *rect);
    const int alpha = (dtFlags & LICE_DT_USEFGALPHA) ? LICE_GETA(m_color) : 255;
    weight = alpha * 256 / 255;
  }

  int lines = 0, widest = 0;
  const char* p = str;
  const char* end = str + len;
  while (true)
  {
    const char* nl = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
    const char* lineEnd = nl ? nl : end;
    int n = int(lineEnd - p);
    if (n > 0 && p[n - 1] == '\r') --n;
    const int w = lineWidth(p, n);
    widest = std::max(widest, w);
    if (draw && weight > 0)
    {
      int x = rect->left;
      if (dtFlags & LICE_DT_CENTER)
        x = rect->left + (rect->right - rect->left - w) / 2;
      else if (dtFlags & LICE_DT_RIGHT)
        x = rect->right - w;
      const int top = rect->top + lines * lineHeight;
      drawLine(bm, p, n, x, top + m_metrics.ascent, clip, weight);
    }
    ++lines;
    if (!nl) break;
    p = nl + 1;
  }
  if (dtFlags & LICE_DT_CALCRECT)
  {
    rect->right = rect->left + widest;
    rect->bottom = rect->top + lines * lineHeight;
  }
  return lines * lineHeight;
}
