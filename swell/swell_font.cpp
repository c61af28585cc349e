#include "swell/swell_font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <strings.h>

struct SWELL_Font
{
  FT_Face face = nullptr;
  std::string requestedFace, family, file;
  bool fellBack = false;
  bool embolden = false;
  int weight = FW_NORMAL;
  bool italic = false, underline = false, strikeOut = false;
  bool antialiased = true;
  int orientation = 0;
  SWELL_FontMetrics metrics = {};
};

namespace
{
const int kDefaultCellHeight = 13;
const char* const kFallbackFamily = "monospace";

// The process's FreeType library and fontconfig set-up. Opening and closing
// faces and matching patterns go through its lock.
class FontLibrary
{
public:
  // Never destroyed: fonts held by static objects are released during exit,
  // possibly after any static library object would be gone.
  static FontLibrary& instance()
  {
    static FontLibrary* library = new FontLibrary;
    return *library;
  }
  std::mutex& lock() { return m_lock; }
  FT_Library freetype() const { return m_freetype; }
  bool ready() const { return m_freetype && m_fontconfig; }

private:
  FontLibrary()
  {
    if (FT_Init_FreeType(&m_freetype) != 0) m_freetype = nullptr;
    m_fontconfig = FcInit() == FcTrue;
  }
  std::mutex m_lock;
  FT_Library m_freetype = nullptr;
  bool m_fontconfig = false;
};

struct FaceMatch
{
  std::string file, family;
  int index = 0;
  bool embolden = false;
  bool familyMatches = false;
};

// Generic names fontconfig resolves through its aliases: asking for one of
// them is never a miss.
bool isGenericFamily(const char* name)
{
  static const char* const generic[] = {"monospace", "sans-serif", "sans", "serif"};
  for (const char* g : generic)
    if (strcasecmp(name, g) == 0) return true;
  return false;
}

bool patternHasFamily(FcPattern* pattern, const char* wanted)
{
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &family) == FcResultMatch; ++i)
    if (strcasecmp(reinterpret_cast<const char*>(family), wanted) == 0) return true;
  return false;
}

// Best installed face for the family, weight and slant; false when fontconfig
// finds no file at all. Call with the library lock held.
bool matchFace(const char* family, int weight, bool italic, FaceMatch* out)
{
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;

  bool found = false;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
  {
    found = true;
    out->file = reinterpret_cast<const char*>(file);
    FcChar8* matched = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &matched) == FcResultMatch)
      out->family = reinterpret_cast<const char*>(matched);
    int index = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) out->index = index;
    FcBool embolden = FcFalse;
    if (FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
      out->embolden = embolden == FcTrue;
    out->familyMatches = isGenericFamily(family) || patternHasFamily(match, family);
  }
  FcPatternDestroy(match);
  return found;
}

int roundToInt(double v)
{
  return int(std::floor(v + 0.5));
}

// Sizes the face so that its ascent plus descent make the asked height, and
// records the whole-pixel metrics.
bool sizeFace(SWELL_Font* font, int height)
{
  FT_Face face = font->face;
  const double upem = face->units_per_EM > 0 ? face->units_per_EM : 1000.0;
  double asc = face->ascender, desc = -double(face->descender);
  if (asc + desc <= 0)
  {
    asc = 0.8 * upem;
    desc = 0.2 * upem;
  }
  double em;
  int lineHeight;
  if (height < 0)
  {
    em = -double(height);
    lineHeight = roundToInt((asc + desc) * em / upem);
  }
  else
  {
    lineHeight = height > 0 ? height : kDefaultCellHeight;
    em = lineHeight * upem / (asc + desc);
  }
  if (lineHeight < 1) lineHeight = 1;
  const FT_F26Dot6 size26 = FT_F26Dot6(std::lround(em * 64.0));
  if (FT_Set_Char_Size(face, 0, size26 > 64 ? size26 : 64, 72, 72) != 0) return false;

  SWELL_FontMetrics& m = font->metrics;
  m.lineHeight = lineHeight;
  m.ascent = roundToInt(lineHeight * asc / (asc + desc));
  m.descent = lineHeight - m.ascent;
  const double pxPerUnit = em / upem;
  m.underlineOffset = roundToInt(-face->underline_position * pxPerUnit);
  if (m.underlineOffset < 1) m.underlineOffset = 1;
  m.underlineThickness = roundToInt(face->underline_thickness * pxPerUnit);
  if (m.underlineThickness < 1) m.underlineThickness = 1;
  return true;
}

// Opens the matched face; false when FreeType refuses the file.
bool openFace(SWELL_Font* font, const FaceMatch& match, FT_Library library)
{
  if (FT_New_Face(library, match.file.c_str(), match.index, &font->face) != 0)
  {
    font->face = nullptr;
    return false;
  }
  font->family = match.family;
  font->file = match.file;
  font->embolden = match.embolden;
  return true;
}

void copyCoverage(const FT_Bitmap& bitmap, SWELL_Glyph* glyph)
{
  const int w = int(bitmap.width), h = int(bitmap.rows);
  glyph->width = w;
  glyph->height = h;
  glyph->coverage.assign(size_t(w) * size_t(h), 0);
  for (int y = 0; y < h; ++y)
  {
    const unsigned char* row = bitmap.buffer + ptrdiff_t(y) * bitmap.pitch;
    if (bitmap.pitch < 0) row = bitmap.buffer + ptrdiff_t(h - 1 - y) * -bitmap.pitch;
    uint8_t* dst = glyph->coverage.data() + size_t(y) * size_t(w);
    for (int x = 0; x < w; ++x)
    {
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        dst[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
        dst[x] = row[x];
    }
  }
}
} // namespace

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, char italic,
                 char underline, char strikeOut, char charSet, char outPrecision,
                 char clipPrecision, char quality, char pitchAndFamily, const char* face)
{
  (void)width;
  (void)escapement;
  (void)charSet;
  (void)outPrecision;
  (void)clipPrecision;
  (void)pitchAndFamily;
  FontLibrary& library = FontLibrary::instance();
  if (!library.ready()) return nullptr;

  HFONT font = new (std::nothrow) SWELL_Font;
  if (!font) return nullptr;
  font->requestedFace = face ? face : "";
  font->weight = weight > 0 ? weight : FW_NORMAL;
  font->italic = italic != 0;
  font->underline = underline != 0;
  font->strikeOut = strikeOut != 0;
  font->antialiased = quality != NONANTIALIASED_QUALITY;
  font->orientation = orientation;

  {
    std::lock_guard<std::mutex> guard(library.lock());
    FaceMatch match;
    const bool named = !font->requestedFace.empty();
    if (named && matchFace(font->requestedFace.c_str(), font->weight, font->italic, &match) &&
        match.familyMatches)
      openFace(font, match, library.freetype());
    if (!font->face)
    {
      font->fellBack = true;
      FaceMatch fallback;
      if (matchFace(kFallbackFamily, font->weight, font->italic, &fallback))
        openFace(font, fallback, library.freetype());
    }
    if (font->face && !sizeFace(font, height))
    {
      FT_Done_Face(font->face);
      font->face = nullptr;
    }
  }
  if (!font->face)
  {
    delete font;
    return nullptr;
  }
  return font;
}

bool DeleteObject(HFONT font)
{
  if (!font) return false;
  {
    std::lock_guard<std::mutex> guard(FontLibrary::instance().lock());
    FT_Done_Face(font->face);
  }
  delete font;
  return true;
}

bool SWELL_GetFontInfo(HFONT font, SWELL_FontInfo* info)
{
  if (!font || !info) return false;
  info->requestedFace = font->requestedFace.c_str();
  info->family = font->family.c_str();
  info->file = font->file.c_str();
  info->fellBack = font->fellBack;
  info->weight = font->weight;
  info->italic = font->italic;
  info->underline = font->underline;
  info->strikeOut = font->strikeOut;
  info->antialiased = font->antialiased;
  info->orientation = font->orientation;
  return true;
}

bool SWELL_GetFontMetrics(HFONT font, SWELL_FontMetrics* metrics)
{
  if (!font || !metrics) return false;
  *metrics = font->metrics;
  return true;
}

bool SWELL_RenderGlyph(HFONT font, uint32_t codepoint, SWELL_Glyph* glyph)
{
  if (!font || !glyph) return false;
  FT_Face face = font->face;
  const FT_Int32 target = font->antialiased ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
  if (FT_Load_Char(face, codepoint, FT_LOAD_DEFAULT | target) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  if (font->embolden) FT_GlyphSlot_Embolden(slot);
  if (FT_Render_Glyph(slot, font->antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
    return false;
  copyCoverage(slot->bitmap, glyph);
  glyph->left = slot->bitmap_left;
  glyph->top = slot->bitmap_top;
  glyph->advance = int((slot->advance.x + 32) >> 6);
  return true;
}
