#include "lice/lice_png.h"

#include <png.h>

#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "lice/lice_paint.h"

// Rows are read and written as the bytes A, R, G, B of each pixel word.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixel bytes assume little-endian words");

namespace
{
const png_uint_32 kMaxSide = 16384;
// Larger files are refused unread: the largest accepted image compresses to
// far less.
const size_t kMaxFileBytes = size_t(256) << 20;
// Refused before any pixel memory is taken: the editor's largest picture has a quarter of a
// million pixels, so this leaves room for anything real.
const unsigned long long kMaxPixels = 32000000;

bool sizeIsAccepted(png_uint_32 w, png_uint_32 h)
{
  if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return false;
  return static_cast<unsigned long long>(w) * h <= kMaxPixels;
}

// Failures are return values: libpng's messages are not printed.
void failSilently(png_structp png, png_const_charp)
{
  png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp) {}

struct MemoryInput
{
  const unsigned char* data;
  size_t size;
  size_t pos;
};

// A read past the end fails the decode, as the end of a file does: zeros in
// its place read as endless empty chunks, which libpng walks for seconds.
void readFromMemory(png_structp png, png_bytep out, png_size_t n)
{
  MemoryInput* in = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (n > in->size - in->pos) png_error(png, "truncated");
  std::memcpy(out, in->data + in->pos, n);
  in->pos += n;
}

// Every row arrives as width pixels of bytes A, R, G, B.
void requestArgbRows(png_structp png, png_infop info, int colorType, int bitDepth)
{
  const bool hasTransparencyChunk = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (hasTransparencyChunk) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  // An alpha channel made from a transparency chunk is swapped to the front
  // like a stored one; only images without any alpha get the filler.
  if ((colorType & PNG_COLOR_MASK_ALPHA) || hasTransparencyChunk)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
}

// The bitmap that takes the image: bmp resized, or a new one (made = true).
LICE_IBitmap* targetBitmap(LICE_IBitmap* bmp, int w, int h, bool* made)
{
  *made = !bmp;
  if (bmp)
    bmp->resize(w, h);
  else
    bmp = new (std::nothrow) LICE_MemBitmap(w, h, 4);
  if (bmp && bmp->getWidth() == w && bmp->getHeight() == h && bmp->getBits()) return bmp;
  if (*made) delete bmp;
  return nullptr;
}

// Reads header and rows from a read structure whose input is set. Nothing
// here may need a destructor: an error jumps straight back to setjmp.
LICE_IBitmap* readImage(png_structp png, png_infop info, LICE_IBitmap* bmp)
{
  LICE_IBitmap* volatile created = nullptr;
  png_bytep* volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png)))
  {
    std::free(rows);
    delete created;
    return nullptr;
  }
  png_read_info(png, info);
  png_uint_32 w = 0, h = 0;
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(png, info, &w, &h, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  if (!sizeIsAccepted(w, h)) return nullptr;
  requestArgbRows(png, info, colorType, bitDepth);

  bool made = false;
  LICE_IBitmap* target = targetBitmap(bmp, int(w), int(h), &made);
  if (!target) return nullptr;
  if (made) created = target;
  rows = static_cast<png_bytep*>(std::malloc(h * sizeof(png_bytep)));
  if (!rows) png_longjmp(png, 1);
  const lice_detail::Rows bitmapRows = lice_detail::rowsOf(target);
  for (png_uint_32 i = 0; i < h; ++i)
    rows[i] = reinterpret_cast<png_bytep>(bitmapRows.row(int(i)));
  png_read_image(png, rows);
  std::free(rows);
  return target;
}

// True unless a chunk before IEND declares more bytes than follow it. libpng
// takes a chunk's buffer at the declared length before reading it, so a few
// dozen bytes declaring a 2 GB chunk cost gigabytes and seconds to refuse.
// Anything else (a missing IEND, a bad CRC) is left for libpng to judge.
bool chunkLengthsFit(const unsigned char* data, size_t size)
{
  size_t pos = 8;
  while (size - pos >= 8) // length and type: enough for libpng to act on
  {
    const size_t length = png_get_uint_32(data + pos);
    if (size - pos < 12 || length > size - pos - 12) return false; // data and CRC
    if (std::memcmp(data + pos + 4, "IEND", 4) == 0) return true;
    pos += 12 + length;
  }
  return true;
}

png_structp createReader()
{
  return png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failSilently, ignoreWarning);
}

// Sets up the read structures, hands the input to setInput, decodes, releases.
template <class SetInput> LICE_IBitmap* decode(LICE_IBitmap* bmp, SetInput&& setInput)
{
  png_structp png = createReader();
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  LICE_IBitmap* result = nullptr;
  if (info)
  {
    setInput(png);
    result = readImage(png, info, bmp);
  }
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  return result;
}
} // namespace

LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp)
{
  // Read whole, so that the chunks can be checked against the file's length.
  if (!filename) return nullptr;
  FILE* f = std::fopen(filename, "rb");
  if (!f) return nullptr;
  std::vector<unsigned char> bytes;
  unsigned char block[65536];
  size_t n = 0;
  while ((n = std::fread(block, 1, sizeof(block), f)) > 0 && bytes.size() <= kMaxFileBytes)
    bytes.insert(bytes.end(), block, block + n);
  const bool complete = !std::ferror(f) && bytes.size() <= kMaxFileBytes;
  std::fclose(f);
  if (!complete) return nullptr;
  return LICE_LoadPNGFromMemory(bytes.data(), int(bytes.size()), bmp);
}

LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int len, LICE_IBitmap* bmp)
{
  if (!data || len <= 7) return nullptr;
  if (png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) return nullptr;
  MemoryInput in{static_cast<const unsigned char*>(data), size_t(len), 0};
  if (!chunkLengthsFit(in.data, in.size)) return nullptr;
  return decode(bmp, [&in](png_structp png) { png_set_read_fn(png, &in, readFromMemory); });
}

namespace
{
// Pictures of at least this many pixels are compressed in two halves at once.
const long long kParallelPixels = 1 << 20;
const int kCompressionLevel = 3;

// One half of the image data: the rows [first, last) as the file holds them
// (a filter byte of 0, then R, G, B, A per pixel), deflated on their own into
// a raw stream that the next half's stream continues; `last` the stream ends.
struct DeflatedRows
{
  std::vector<unsigned char> bytes;
  unsigned long adler = 1; // of the rows' uncompressed bytes
  bool ok = false;
};

void deflateRows(LICE_IBitmap* bmp, int first, int last, bool final, DeflatedRows& out)
{
  z_stream z = {};
  if (deflateInit2(&z, kCompressionLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return;
  const lice_detail::Rows rows = lice_detail::rowsOf(bmp);
  const size_t rowBytes = size_t(bmp->getWidth()) * 4 + 1;
  std::vector<unsigned char> row(rowBytes);
  // Room grows as needed: the bound for incompressible rows would be megabytes of fresh memory.
  const size_t kStep = 64 * 1024;
  size_t written = 0;
  bool ok = true;
  for (int y = first; y < last && ok; ++y)
  {
    const LICE_pixel* pixels = rows.row(y);
    row[0] = 0; // no filter
    for (int x = 0; x < bmp->getWidth(); ++x)
    {
      const uint32_t argb = pixels[x]; // bytes A, R, G, B
      const uint32_t rgba = (argb >> 8) | (argb << 24);
      std::memcpy(&row[1 + size_t(x) * 4], &rgba, 4);
    }
    out.adler = adler32(out.adler, row.data(), uInt(rowBytes));
    z.next_in = row.data();
    z.avail_in = uInt(rowBytes);
    const int flush = y + 1 < last ? Z_NO_FLUSH : (final ? Z_FINISH : Z_SYNC_FLUSH);
    int status = Z_OK;
    do
    {
      if (out.bytes.size() - written < kStep) out.bytes.resize(written + kStep);
      z.next_out = out.bytes.data() + written;
      z.avail_out = uInt(out.bytes.size() - written);
      status = deflate(&z, flush);
      written = out.bytes.size() - z.avail_out;
    } while (status == Z_OK && (z.avail_in > 0 || z.avail_out == 0));
    ok = status == Z_OK || status == Z_STREAM_END || status == Z_BUF_ERROR;
  }
  out.bytes.resize(written);
  out.ok = ok;
  deflateEnd(&z);
}

// The image data of a large picture: its two halves deflated at once on two
// threads, joined into one zlib stream (the second half starts a fresh
// window, which costs little on pictures of flat colours).
bool deflateInHalves(LICE_IBitmap* bmp, std::vector<unsigned char>& data)
{
  const int middle = bmp->getHeight() / 2;
  DeflatedRows top, bottom;
  std::thread second;
  try
  {
    second = std::thread([&] { deflateRows(bmp, middle, bmp->getHeight(), true, bottom); });
  }
  catch (const std::system_error&)
  {
    deflateRows(bmp, middle, bmp->getHeight(), true, bottom);
  }
  deflateRows(bmp, 0, middle, false, top);
  if (second.joinable()) second.join();
  if (!top.ok || !bottom.ok) return false;
  const size_t bottomBytes = size_t(bmp->getHeight() - middle) * (size_t(bmp->getWidth()) * 4 + 1);
  const unsigned long adler = adler32_combine(top.adler, bottom.adler, z_off_t(bottomBytes));
  data = {0x78, 0x5e}; // deflate, 32 KB window, a fast level
  data.insert(data.end(), top.bytes.begin(), top.bytes.end());
  data.insert(data.end(), bottom.bytes.begin(), bottom.bytes.end());
  for (int shift = 24; shift >= 0; shift -= 8)
    data.push_back(static_cast<unsigned char>(adler >> shift));
  return true;
}

void writeHeader(png_structp png, png_infop info, FILE* f, LICE_IBitmap* bmp)
{
  png_init_io(png, f);
  png_set_IHDR(png, info, png_uint_32(bmp->getWidth()), png_uint_32(bmp->getHeight()), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  // Pictures of flat colours: unfiltered rows and a fast deflate level write
  // several times faster than the adaptive defaults and stay small.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, kCompressionLevel);
  png_write_info(png, info);
}

// Writes every row; false on any libpng or file error.
bool writeRows(png_structp png, png_infop info, FILE* f, LICE_IBitmap* bmp)
{
  if (setjmp(png_jmpbuf(png))) return false;
  writeHeader(png, info, f, bmp);
  png_set_swap_alpha(png); // our rows are A, R, G, B; the file's are R, G, B, A
  const lice_detail::Rows rows = lice_detail::rowsOf(bmp);
  for (int y = 0; y < bmp->getHeight(); ++y)
    png_write_row(png, reinterpret_cast<png_const_bytep>(rows.row(y)));
  png_write_end(png, nullptr);
  return true;
}

// The same with the image data deflated beforehand, written as one chunk.
bool writeDeflated(png_structp png, png_infop info, FILE* f, LICE_IBitmap* bmp,
                   const std::vector<unsigned char>& data)
{
  if (setjmp(png_jmpbuf(png))) return false;
  writeHeader(png, info, f, bmp);
  png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), data.data(), data.size());
  png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
  png_write_flush(png);
  return true;
}

bool isLarge(LICE_IBitmap* bmp)
{
  return static_cast<long long>(bmp->getWidth()) * bmp->getHeight() >= kParallelPixels;
}
} // namespace

bool LICE_WritePNG(const char* filename, LICE_IBitmap* bmp)
{
  if (!filename || !lice_detail::hasPixels(bmp) || bmp->getWidth() <= 0 || bmp->getHeight() <= 0)
    return false;
  std::vector<unsigned char> data;
  const bool deflated = isLarge(bmp) && deflateInHalves(bmp, data);
  FILE* f = std::fopen(filename, "wb");
  if (!f) return false;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, failSilently, ignoreWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = info && (deflated ? writeDeflated(png, info, f, bmp, data) : writeRows(png, info, f, bmp));
  if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
  ok = std::fclose(f) == 0 && ok;
  if (!ok) std::remove(filename);
  return ok;
}
