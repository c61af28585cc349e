// PNG data into new bitmaps and into a caller's bitmap.
#include "lice/lice_png.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const int length = size > 1 << 24 ? 1 << 24 : static_cast<int>(size);
  delete LICE_LoadPNGFromMemory(data, length, nullptr);
  static LICE_MemBitmap mine(3, 3);
  LICE_LoadPNGFromMemory(data, length, &mine);
  return 0;
}
