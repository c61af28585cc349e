// Hand-made binary property lists for tests: objects are appended as raw bytes, references are
// four bytes wide, and Finish adds the offset table and trailer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class BinaryPlistBuilder
{
public:
  // Returns the new object's index.
  std::uint32_t Add(const std::string& object)
  {
    mOffsets.push_back(static_cast<std::uint32_t>(mBody.size() + 8));
    mBody += object;
    return static_cast<std::uint32_t>(mOffsets.size() - 1);
  }

  static std::string Ref(std::uint32_t index) { return BigEndian(index, 4); }
  // Marker with an element count, using the extended count for 15 and more.
  static std::string Marker(unsigned type, std::uint32_t count)
  {
    if (count < 15) return std::string(1, static_cast<char>(type << 4 | count));
    return std::string(1, static_cast<char>(type << 4 | 0xf)) + '\x12' + BigEndian(count, 4);
  }
  static std::string Array(const std::vector<std::uint32_t>& refs)
  {
    std::string out = Marker(0xa, static_cast<std::uint32_t>(refs.size()));
    for (std::uint32_t r : refs)
      out += Ref(r);
    return out;
  }
  static std::string Dict(const std::vector<std::uint32_t>& keys,
                          const std::vector<std::uint32_t>& values)
  {
    std::string out = Marker(0xd, static_cast<std::uint32_t>(keys.size()));
    for (std::uint32_t r : keys)
      out += Ref(r);
    for (std::uint32_t r : values)
      out += Ref(r);
    return out;
  }
  static std::string Ascii(const std::string& text)
  {
    return Marker(0x5, static_cast<std::uint32_t>(text.size())) + text;
  }
  // UTF-16 big-endian code units.
  static std::string Utf16(const std::vector<std::uint16_t>& units)
  {
    std::string out = Marker(0x6, static_cast<std::uint32_t>(units.size()));
    for (std::uint16_t u : units)
      out += BigEndian(u, 2);
    return out;
  }

  std::string Finish(std::uint32_t root) const
  {
    std::string out = "bplist00" + mBody;
    const std::uint64_t table = out.size();
    for (std::uint32_t offset : mOffsets)
      out += BigEndian(offset, 4);
    out += std::string(6, '\0') + '\x04' + '\x04';
    out += BigEndian(mOffsets.size(), 8) + BigEndian(root, 8) + BigEndian(table, 8);
    return out;
  }

  static std::string BigEndian(std::uint64_t value, int size)
  {
    std::string out(static_cast<size_t>(size), '\0');
    for (int i = size - 1; i >= 0; --i, value >>= 8)
      out[static_cast<size_t>(i)] = static_cast<char>(value & 0xff);
    return out;
  }

private:
  std::string mBody;
  std::vector<std::uint32_t> mOffsets;
};

// Arrays nested `levels` deep, each holding the next; the innermost is empty.
inline std::string NestedArrays(std::uint32_t levels)
{
  BinaryPlistBuilder b;
  for (std::uint32_t i = 0; i + 1 < levels; ++i)
    b.Add(BinaryPlistBuilder::Array({i + 1}));
  b.Add(BinaryPlistBuilder::Array({}));
  return b.Finish(0);
}
