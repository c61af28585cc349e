// PNG data into new bitmaps and into a caller's bitmap.
#include "lice/lice_png.h"

#include <cstddef>
#include <cstdint>

namespace
{
// Images the decoder accepts but that take long to fill add nothing the small
// ones do not: the header's declared size above 4 million pixels is only
// decoded when it is over the decoder's limit, to check the refusal.
bool WorthDecoding(const std::uint8_t* data, std::size_t size)
{
  if (size < 24) return true;
  auto word = [data](int at)
  { return std::uint64_t(data[at]) << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3]; };
  const std::uint64_t pixels = word(16) * word(20);
  return pixels <= 4000000 || pixels > 32000000;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (!WorthDecoding(data, size)) return 0;
  const int length = size > 1 << 24 ? 1 << 24 : static_cast<int>(size);
  delete LICE_LoadPNGFromMemory(data, length, nullptr);
  static LICE_MemBitmap mine(3, 3);
  LICE_LoadPNGFromMemory(data, length, &mine);
  return 0;
}
