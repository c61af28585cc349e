// PNG decoding of images made here with libpng's writer (every colour type the
// loader converts), damaged and short input, caller bitmaps, and writing.
#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "lice/lice.h"
#include "lice/lice_png.h"
#include "tests/lice/lice_test_util.h"

namespace
{
using Bytes = std::vector<unsigned char>;

struct Image
{
  int w = 0, h = 0, colorType = PNG_COLOR_TYPE_RGB, bitDepth = 8;
  bool interlaced = false;
  std::vector<png_color> palette;
  Bytes paletteAlpha;                             // tRNS for palette images
  const png_color_16* transparentColor = nullptr; // tRNS for gray and RGB images
  std::vector<Bytes> rows;                        // packed as the file stores them
};

void appendToBytes(png_structp png, png_bytep data, png_size_t n)
{
  Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

Bytes encode(const Image& img)
{
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)))
  {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "test image could not be encoded";
    return Bytes();
  }
  png_set_write_fn(png, &out, appendToBytes, nullptr);
  png_set_IHDR(png, info, img.w, img.h, img.bitDepth, img.colorType,
               img.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!img.palette.empty()) png_set_PLTE(png, info, img.palette.data(), int(img.palette.size()));
  if (!img.paletteAlpha.empty())
    png_set_tRNS(png, info, img.paletteAlpha.data(), int(img.paletteAlpha.size()), nullptr);
  if (img.transparentColor) png_set_tRNS(png, info, nullptr, 0, img.transparentColor);
  png_write_info(png, info);
  std::vector<png_bytep> rowPointers;
  for (const Bytes& r : img.rows)
    rowPointers.push_back(const_cast<png_bytep>(r.data()));
  png_write_image(png, rowPointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// An RGBA image whose pixels differ in every channel.
Image rgbaImage(int w, int h)
{
  Image img;
  img.w = w;
  img.h = h;
  img.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  for (int y = 0; y < h; ++y)
  {
    Bytes row;
    for (int x = 0; x < w; ++x)
      row.insert(row.end(), {Bytes::value_type(x * 9), Bytes::value_type(y * 7),
                             Bytes::value_type(x + y), Bytes::value_type(255 - x * 3)});
    img.rows.push_back(row);
  }
  return img;
}
LICE_pixel rgbaPixel(int x, int y)
{
  return LICE_RGBA(x * 9, y * 7, x + y, 255 - x * 3);
}

struct Decoded
{
  LICE_IBitmap* bm = nullptr;
  ~Decoded() { delete bm; }
};

LICE_IBitmap* decode(const Bytes& png, LICE_IBitmap* into = nullptr)
{
  return LICE_LoadPNGFromMemory(png.data(), int(png.size()), into);
}

std::string tempPath(const char* name)
{
  return ::testing::TempDir() + "lice_png_" + std::to_string(getpid()) + "_" + name;
}

void writeFile(const std::string& path, const Bytes& data)
{
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

// Offset of the first IDAT chunk's length field.
size_t firstIdat(const Bytes& png)
{
  for (size_t pos = 8; pos + 8 <= png.size();)
  {
    const size_t len = size_t(png[pos]) << 24 | size_t(png[pos + 1]) << 16 |
                       size_t(png[pos + 2]) << 8 | png[pos + 3];
    if (std::string(png.begin() + long(pos) + 4, png.begin() + long(pos) + 8) == "IDAT") return pos;
    pos += 12 + len;
  }
  return 0;
}

// Replaces the checksum of the chunk at pos so that only its data is damaged.
void refreshChecksum(Bytes& png, size_t pos)
{
  const size_t len = size_t(png[pos]) << 24 | size_t(png[pos + 1]) << 16 |
                     size_t(png[pos + 2]) << 8 | png[pos + 3];
  const uLong crc = crc32(0, png.data() + pos + 4, uInt(len + 4));
  for (int i = 0; i < 4; ++i)
    png[pos + 8 + len + i] = Bytes::value_type(crc >> (24 - 8 * i));
}
} // namespace

TEST(LicePng, RgbGetsOpaqueAlpha)
{
  Image img;
  img.w = 3;
  img.h = 2;
  img.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}};
  Decoded d{decode(encode(img))};
  ASSERT_NE(d.bm, nullptr);
  EXPECT_EQ(d.bm->getWidth(), 3);
  EXPECT_EQ(d.bm->getHeight(), 2);
  EXPECT_EQ(d.bm->getRowSpan(), 4); // a new memory bitmap with line alignment 4
  EXPECT_EQ(LICE_GetPixel(d.bm, 0, 0), LICE_RGBA(1, 2, 3, 255));
  EXPECT_EQ(LICE_GetPixel(d.bm, 2, 1), LICE_RGBA(16, 17, 18, 255));
}

TEST(LicePng, RgbaKeepsStraightAlpha)
{
  Decoded d{decode(encode(rgbaImage(5, 4)))};
  ASSERT_NE(d.bm, nullptr);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(LICE_GetPixel(d.bm, x, y), rgbaPixel(x, y));
}

TEST(LicePng, PaletteWithAndWithoutTransparency)
{
  Image img;
  img.w = 4;
  img.h = 1;
  img.colorType = PNG_COLOR_TYPE_PALETTE;
  img.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};
  img.rows = {{3, 2, 1, 0}};
  Decoded opaque{decode(encode(img))};
  ASSERT_NE(opaque.bm, nullptr);
  EXPECT_EQ(LICE_GetPixel(opaque.bm, 0, 0), LICE_RGBA(100, 110, 120, 255));
  EXPECT_EQ(LICE_GetPixel(opaque.bm, 3, 0), LICE_RGBA(10, 20, 30, 255));

  // Entries past the transparency chunk's end are opaque.
  img.paletteAlpha = {0, 128, 200};
  Decoded clear{decode(encode(img))};
  ASSERT_NE(clear.bm, nullptr);
  EXPECT_EQ(LICE_GetPixel(clear.bm, 3, 0), LICE_RGBA(10, 20, 30, 0));
  EXPECT_EQ(LICE_GetPixel(clear.bm, 2, 0), LICE_RGBA(40, 50, 60, 128));
  EXPECT_EQ(LICE_GetPixel(clear.bm, 1, 0), LICE_RGBA(70, 80, 90, 200));
  EXPECT_EQ(LICE_GetPixel(clear.bm, 0, 0), LICE_RGBA(100, 110, 120, 255));
}

TEST(LicePng, TransparentColourOfGrayAndRgbImages)
{
  png_color_16 key{};
  key.gray = 7;
  Image gray;
  gray.w = 2;
  gray.h = 1;
  gray.colorType = PNG_COLOR_TYPE_GRAY;
  gray.transparentColor = &key;
  gray.rows = {{7, 8}};
  Decoded g{decode(encode(gray))};
  ASSERT_NE(g.bm, nullptr);
  EXPECT_EQ(LICE_GetPixel(g.bm, 0, 0), LICE_RGBA(7, 7, 7, 0));
  EXPECT_EQ(LICE_GetPixel(g.bm, 1, 0), LICE_RGBA(8, 8, 8, 255));

  png_color_16 rgbKey{};
  rgbKey.red = 1;
  rgbKey.green = 2;
  rgbKey.blue = 3;
  Image rgb;
  rgb.w = 2;
  rgb.h = 1;
  rgb.transparentColor = &rgbKey;
  rgb.rows = {{1, 2, 3, 1, 2, 4}};
  Decoded c{decode(encode(rgb))};
  ASSERT_NE(c.bm, nullptr);
  EXPECT_EQ(LICE_GetPixel(c.bm, 0, 0), LICE_RGBA(1, 2, 3, 0));
  EXPECT_EQ(LICE_GetPixel(c.bm, 1, 0), LICE_RGBA(1, 2, 4, 255));
}

TEST(LicePng, OneBitGrayBecomesBlackAndWhite)
{
  Image img;
  img.w = 10;
  img.h = 1;
  img.colorType = PNG_COLOR_TYPE_GRAY;
  img.bitDepth = 1;
  img.rows = {{0xA5, 0x80}}; // 1010 0101 10
  Decoded d{decode(encode(img))};
  ASSERT_NE(d.bm, nullptr);
  const int bits[10] = {1, 0, 1, 0, 0, 1, 0, 1, 1, 0};
  for (int x = 0; x < 10; ++x)
  {
    const int v = bits[x] ? 255 : 0;
    EXPECT_EQ(LICE_GetPixel(d.bm, x, 0), LICE_RGBA(v, v, v, 255)) << "x " << x;
  }
}

TEST(LicePng, SixteenBitGrayWithAlphaKeepsTheHighBytes)
{
  Image img;
  img.w = 2;
  img.h = 1;
  img.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  img.bitDepth = 16;
  img.rows = {{0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF, 0x00, 0x01}};
  Decoded d{decode(encode(img))};
  ASSERT_NE(d.bm, nullptr);
  EXPECT_EQ(LICE_GetPixel(d.bm, 0, 0), LICE_RGBA(0x12, 0x12, 0x12, 0xAB));
  EXPECT_EQ(LICE_GetPixel(d.bm, 1, 0), LICE_RGBA(0xFF, 0xFF, 0xFF, 0x00));
}

TEST(LicePng, InterlacedDecodesLikeProgressive)
{
  Image img = rgbaImage(13, 11);
  img.interlaced = true;
  Decoded d{decode(encode(img))};
  ASSERT_NE(d.bm, nullptr);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(LICE_GetPixel(d.bm, x, y), rgbaPixel(x, y));
}

TEST(LicePng, ShortAndForeignMemoryBlocks)
{
  const Bytes png = encode(rgbaImage(8, 8));
  EXPECT_EQ(LICE_LoadPNGFromMemory(png.data(), 7, nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(png.data(), 0, nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(png.data(), -5, nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(nullptr, 100, nullptr), nullptr);
  Bytes foreign = png;
  foreign[1] = 'Q';
  EXPECT_EQ(decode(foreign), nullptr);
  // The signature alone, and every cut inside the data, fail cleanly.
  for (size_t len : {size_t(8), size_t(20), size_t(40), png.size() / 2, png.size() - 13})
    EXPECT_EQ(LICE_LoadPNGFromMemory(png.data(), int(len), nullptr), nullptr) << "length " << len;
}

TEST(LicePng, DamagedImageDataReturnsNull)
{
  Bytes png = encode(rgbaImage(16, 16));
  const size_t idat = firstIdat(png);
  ASSERT_GT(idat, 0u);
  Bytes badChecksum = png;
  badChecksum[idat + 8 + 5] ^= 0x55;
  EXPECT_EQ(decode(badChecksum), nullptr);
  // Damaged compressed data behind a valid checksum: libpng stops in the rows.
  Bytes badData = png;
  for (int i = 2; i < 12; ++i)
    badData[idat + 8 + i] ^= 0xff;
  refreshChecksum(badData, idat);
  EXPECT_EQ(decode(badData), nullptr);
  LICE_MemBitmap mine(1, 1);
  EXPECT_EQ(decode(badData, &mine), nullptr);
}

// A chunk header declaring more bytes than follow it is refused before libpng
// takes a buffer of that size (2 GB for a few dozen bytes, found by fuzzing);
// chunks that fit and bytes after the end still decode.
TEST(LicePng, ChunksLongerThanTheDataAreRefusedUnread)
{
  const Bytes png = encode(rgbaImage(4, 4));
  const size_t afterHeader = 8 + 12 + 13;
  const auto withChunk = [&](const Bytes& chunk) {
    Bytes out(png.begin(), png.begin() + long(afterHeader));
    out.insert(out.end(), chunk.begin(), chunk.end());
    out.insert(out.end(), png.begin() + long(afterHeader), png.end());
    return out;
  };
  const Bytes huge = withChunk({0x73, 0x73, 0x73, 0x73, 's', 'P', 'L', 'T', 1, 2, 3, 4});
  EXPECT_EQ(decode(huge), nullptr);
  // The declaring header alone, as the last bytes.
  Bytes headerLast(png.begin(), png.begin() + long(afterHeader));
  headerLast.insert(headerLast.end(), {0x73, 0x73, 0x73, 0x73, 's', 'P', 'L', 'T'});
  EXPECT_EQ(decode(headerLast), nullptr);
  const std::string path = tempPath("huge-chunk.png");
  writeFile(path, huge);
  EXPECT_EQ(LICE_LoadPNG(path.c_str()), nullptr);
  std::remove(path.c_str());

  // An unknown private chunk of four bytes with its checksum, and trailing bytes.
  Bytes fits = withChunk({0, 0, 0, 4, 'p', 'r', 'i', 'v', 1, 2, 3, 4, 0, 0, 0, 0});
  refreshChecksum(fits, afterHeader);
  fits.insert(fits.end(), {9, 9, 9});
  Decoded d{decode(fits)};
  ASSERT_NE(d.bm, nullptr);
  EXPECT_EQ(LICE_GetPixel(d.bm, 3, 3), rgbaPixel(3, 3));
}

TEST(LicePng, RefusesImagesOver16384PixelsASide)
{
  Image wide;
  wide.w = 16385;
  wide.h = 1;
  wide.colorType = PNG_COLOR_TYPE_GRAY;
  wide.rows = {Bytes(16385, 9)};
  EXPECT_EQ(decode(encode(wide)), nullptr);
  wide.w = 16384;
  wide.rows = {Bytes(16384, 9)};
  Decoded d{decode(encode(wide))};
  ASSERT_NE(d.bm, nullptr);
  EXPECT_EQ(LICE_GetPixel(d.bm, 16383, 0), LICE_RGBA(9, 9, 9, 255));
}

// A signature, a header chunk and the start of the image data.
Bytes headerOnly(png_uint_32 w, png_uint_32 h)
{
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (png_uint_32 v : {w, h})
    for (int i = 3; i >= 0; --i)
      png.push_back(Bytes::value_type(v >> (8 * i)));
  for (int b : {8, 6, 0, 0, 0, 0, 0, 0, 0})
    png.push_back(Bytes::value_type(b));
  refreshChecksum(png, 8);
  // The start of the image data, so that the header is read to its end.
  Bytes zeros(16, 0), packed(64);
  uLongf packedSize = packed.size();
  compress(packed.data(), &packedSize, zeros.data(), zeros.size());
  const size_t idat = png.size();
  for (int i = 3; i >= 0; --i)
    png.push_back(Bytes::value_type(packedSize >> (8 * i)));
  for (char c : {'I', 'D', 'A', 'T'})
    png.push_back(Bytes::value_type(c));
  png.insert(png.end(), packed.begin(), packed.begin() + long(packedSize));
  png.resize(png.size() + 4);
  refreshChecksum(png, idat);
  return png;
}

TEST(LicePng, RefusesMoreThan32MillionPixelsBeforeTakingMemory)
{
  // A caller's bitmap keeps its size: the refusal comes before the resize.
  for (auto size : {std::pair<png_uint_32, png_uint_32>{16384, 16384}, {8000, 4001}})
  {
    LICE_MemBitmap mine(3, 2);
    EXPECT_EQ(decode(headerOnly(size.first, size.second), &mine), nullptr);
    EXPECT_EQ(mine.getWidth(), 3) << size.first << "x" << size.second;
    EXPECT_EQ(mine.getHeight(), 2);
  }
  // Exactly 32 million is not refused for its size; it fails later for want of data.
  LICE_MemBitmap mine(3, 2);
  EXPECT_EQ(decode(headerOnly(8000, 4000), &mine), nullptr);
  EXPECT_EQ(mine.getWidth(), 8000);
}

TEST(LicePng, CallerBitmapsAreResized)
{
  const Bytes png = encode(rgbaImage(5, 3));
  LICE_MemBitmap mem(40, 40);
  EXPECT_EQ(decode(png, &mem), &mem);
  EXPECT_EQ(mem.getWidth(), 5);
  EXPECT_EQ(mem.getHeight(), 3);
  EXPECT_EQ(LICE_GetPixel(&mem, 4, 2), rgbaPixel(4, 2));

  LICE_SysBitmap sys(1, 1); // row span 8 after the resize
  EXPECT_EQ(decode(png, &sys), &sys);
  EXPECT_EQ(sys.getRowSpan(), 8);
  EXPECT_EQ(LICE_GetPixel(&sys, 4, 1), rgbaPixel(4, 1));
}

namespace
{

// A bitmap that cannot change its size.
class FixedBitmap : public LICE_MemBitmap
{
public:
  FixedBitmap() : LICE_MemBitmap(2, 2) {}
  bool resize(int, int) override { return false; }
};
} // namespace

TEST(LicePng, FlippedAndFixedCallerBitmaps)
{
  const Bytes png = encode(rgbaImage(3, 2));
  lice_test::FlippedBitmap flipped;
  ASSERT_EQ(decode(png, &flipped), &flipped);
  EXPECT_EQ(LICE_GetPixel(&flipped, 1, 0), rgbaPixel(1, 0));
  EXPECT_EQ(flipped.getBits()[1], rgbaPixel(1, 1)); // bottom row stored first

  FixedBitmap fixed;
  EXPECT_EQ(decode(png, &fixed), nullptr);
}

TEST(LicePng, FilesAndTruncatedFiles)
{
  const Bytes png = encode(rgbaImage(6, 6));
  const std::string path = tempPath("whole.png"), cut = tempPath("cut.png");
  writeFile(path, png);
  writeFile(cut, Bytes(png.begin(), png.begin() + long(png.size()) - 30));
  Decoded d{LICE_LoadPNG(path.c_str())};
  ASSERT_NE(d.bm, nullptr);
  EXPECT_EQ(LICE_GetPixel(d.bm, 5, 5), rgbaPixel(5, 5));
  EXPECT_EQ(LICE_LoadPNG(cut.c_str()), nullptr);
  EXPECT_EQ(LICE_LoadPNG(tempPath("missing.png").c_str()), nullptr);
  EXPECT_EQ(LICE_LoadPNG(nullptr), nullptr);
  LICE_MemBitmap mine(2, 2);
  EXPECT_EQ(LICE_LoadPNG(path.c_str(), &mine), &mine);
  std::remove(path.c_str());
  std::remove(cut.c_str());
}

TEST(LicePng, WriteAndReadBack)
{
  LICE_MemBitmap bm(7, 5, 16);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      LICE_PutPixel(&bm, x, y, rgbaPixel(x, y), 1.0f, 0);
  const std::string path = tempPath("written.png");
  ASSERT_TRUE(LICE_WritePNG(path.c_str(), &bm));
  Decoded d{LICE_LoadPNG(path.c_str())};
  ASSERT_NE(d.bm, nullptr);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(LICE_GetPixel(d.bm, x, y), rgbaPixel(x, y));

  // Read by libpng's own converter, the file holds the same straight RGBA.
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0);
  EXPECT_EQ(image.format, PNG_FORMAT_RGBA);
  image.format = PNG_FORMAT_RGBA;
  Bytes samples(PNG_IMAGE_SIZE(image));
  ASSERT_NE(png_image_finish_read(&image, nullptr, samples.data(), 0, nullptr), 0);
  EXPECT_EQ(Bytes(samples.begin() + 4 * 8, samples.begin() + 4 * 9),
            (Bytes{9, 7, 2, 252})); // pixel (1, 1)
  std::remove(path.c_str());

  LICE_MemBitmap empty;
  EXPECT_FALSE(LICE_WritePNG(path.c_str(), &empty));
  EXPECT_FALSE(LICE_WritePNG(path.c_str(), nullptr));
  EXPECT_FALSE(LICE_WritePNG("/nonexistent-folder/x.png", &bm));
  EXPECT_FALSE(LICE_WritePNG(nullptr, &bm));
  struct stat st;
  EXPECT_NE(stat(path.c_str(), &st), 0); // nothing left behind
}

// A picture of a million pixels and more is deflated in two halves at once:
// libpng's own reader (which checks every checksum) gives back every pixel,
// flat stretches and noise alike, across the seam between the halves.
TEST(LicePng, LargePictureWritesInHalvesAndReadsBack)
{
  const int w = 1031, h = 1021;
  LICE_MemBitmap bm(w, h);
  unsigned int noise = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      noise = noise * 1103515245u + 12345u;
      const LICE_pixel flat = y < h / 3 ? rgbaPixel(x / 100, y / 100) : 0;
      LICE_PutPixel(&bm, x, y, flat ? flat : noise | 0x01u, 1.0f, 0);
    }
  const std::string path = tempPath("large.png");
  ASSERT_TRUE(LICE_WritePNG(path.c_str(), &bm));
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0);
  image.format = PNG_FORMAT_RGBA;
  Bytes samples(PNG_IMAGE_SIZE(image));
  ASSERT_NE(png_image_finish_read(&image, nullptr, samples.data(), 0, nullptr), 0);
  Decoded d{LICE_LoadPNG(path.c_str())};
  ASSERT_NE(d.bm, nullptr);
  int differing = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      differing += LICE_GetPixel(d.bm, x, y) != LICE_GetPixel(&bm, x, y);
  EXPECT_EQ(differing, 0);
  std::remove(path.c_str());
}

TEST(LicePng, NamedResourcesComeFromTheMainBundle)
{
  EXPECT_EQ(LICE_LoadPNGFromNamedResource(std::string(401, 'a').c_str()), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromNamedResource(nullptr), nullptr);
  // The main bundle is the folder of the running program.
  char exe[PATH_MAX] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof(exe) - 1), 0);
  std::string folder(exe);
  folder = folder.substr(0, folder.rfind('/'));
  const std::string resources = folder + "/Contents/Resources";
  mkdir((folder + "/Contents").c_str(), 0755);
  mkdir(resources.c_str(), 0755);
  const std::string name = "lice_test_" + std::to_string(getpid()) + ".png";
  writeFile(resources + "/" + name, encode(rgbaImage(2, 2)));
  Decoded d{LICE_LoadPNGFromNamedResource(name.c_str())};
  ASSERT_NE(d.bm, nullptr);
  EXPECT_EQ(LICE_GetPixel(d.bm, 1, 1), rgbaPixel(1, 1));
  EXPECT_EQ(LICE_LoadPNGFromNamedResource("lice_no_such_file.png"), nullptr);
  std::remove((resources + "/" + name).c_str());
  rmdir(resources.c_str()); // only when empty: another run may be using them
  rmdir((folder + "/Contents").c_str());
}
