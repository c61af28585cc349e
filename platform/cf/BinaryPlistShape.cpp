#include "platform/cf/BinaryPlistShape.h"

#include <cstring>
#include <vector>

namespace cf
{
namespace
{

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kTrailerSize = 32;

std::uint64_t ReadBigEndian(const std::uint8_t* p, unsigned size)
{
  std::uint64_t value = 0;
  for (unsigned i = 0; i < size; ++i)
    value = (value << 8) | p[i];
  return value;
}

// The object table as the trailer describes it, with every bound checked once.
class ObjectTable
{
public:
  ObjectTable(const std::uint8_t* bytes, std::size_t length) : mBytes(bytes)
  {
    if (length < kHeaderSize + kTrailerSize) return;
    mObjectsEnd = length - kTrailerSize;
    const std::uint8_t* trailer = bytes + mObjectsEnd;
    mOffsetSize = trailer[6];
    mRefSize = trailer[7];
    const std::uint64_t count = ReadBigEndian(trailer + 8, 8);
    mRoot = ReadBigEndian(trailer + 16, 8);
    const std::uint64_t tableOffset = ReadBigEndian(trailer + 24, 8);
    if (mOffsetSize < 1 || mOffsetSize > 8 || mRefSize < 1 || mRefSize > 8) return;
    if (count == 0 || mRoot >= count || tableOffset < kHeaderSize || tableOffset > mObjectsEnd)
      return;
    if (count > (mObjectsEnd - tableOffset) / mOffsetSize) return;
    mCount = count;
    mTable = bytes + tableOffset;
  }

  bool Valid() const { return mCount != 0; }
  std::uint64_t Count() const { return mCount; }
  std::uint64_t Root() const { return mRoot; }

  // Where an object starts; 0 when the offset points outside the objects.
  std::size_t Offset(std::uint64_t object) const
  {
    const std::uint64_t offset = ReadBigEndian(mTable + object * mOffsetSize, mOffsetSize);
    return offset >= kHeaderSize && offset < mObjectsEnd ? static_cast<std::size_t>(offset) : 0;
  }

  // The marker's element count and where the elements start; false when they do not fit.
  bool Elements(std::size_t offset, unsigned elementSize, std::uint64_t* count,
                std::size_t* start) const
  {
    std::uint64_t n = mBytes[offset] & 0x0f;
    std::size_t pos = offset + 1;
    if (n == 0x0f)
    {
      if (pos >= mObjectsEnd || (mBytes[pos] & 0xf0) != 0x10) return false;
      const unsigned size = 1u << (mBytes[pos] & 0x0f);
      if (size > 8 || size > mObjectsEnd - pos - 1) return false;
      n = ReadBigEndian(mBytes + pos + 1, size);
      pos += 1 + size;
    }
    if (n > (mObjectsEnd - pos) / elementSize) return false;
    *count = n;
    *start = pos;
    return true;
  }

  std::uint64_t Ref(std::size_t pos, std::uint64_t index) const
  {
    return ReadBigEndian(mBytes + pos + index * mRefSize, mRefSize);
  }
  unsigned RefSize() const { return mRefSize; }
  const std::uint8_t* Bytes() const { return mBytes; }

private:
  const std::uint8_t* mBytes;
  std::size_t mObjectsEnd = 0;
  const std::uint8_t* mTable = nullptr;
  unsigned mOffsetSize = 0;
  unsigned mRefSize = 0;
  std::uint64_t mCount = 0;
  std::uint64_t mRoot = 0;
};

bool IsContainer(std::uint8_t marker)
{
  const unsigned type = marker >> 4;
  return type == 0xa || type == 0xc || type == 0xd;
}

// A key must be an ASCII or UTF-16 string without a NUL.
bool KeyIsSafe(const ObjectTable& table, std::uint64_t key)
{
  const std::size_t offset = table.Offset(key);
  if (!offset) return false;
  const std::uint8_t* bytes = table.Bytes();
  const unsigned type = bytes[offset] >> 4;
  const unsigned unit = type == 0x5 ? 1 : type == 0x6 ? 2 : 0;
  std::uint64_t count = 0;
  std::size_t start = 0;
  if (!unit || !table.Elements(offset, unit, &count, &start)) return false;
  for (std::uint64_t i = 0; i < count; ++i)
  {
    const std::uint8_t* c = bytes + start + i * unit;
    if (c[0] == 0 && (unit == 1 || c[1] == 0)) return false;
  }
  return true;
}

enum : std::uint8_t
{
  kUnseen = 0,
  kOnPath = 1,
  kDone = 2,
  kKeyChecked = 4
};

// One container on the path from the root.
struct Frame
{
  std::uint64_t object;
  std::size_t refs;        // where its references start
  std::uint64_t nRefs;     // dictionaries: keys then values
  std::uint64_t nKeys;
  std::uint64_t next = 0;  // next reference to visit
  std::uint32_t height = 1;
  std::uint64_t values = 1;
};

class ShapeWalk
{
public:
  ShapeWalk(const ObjectTable& table, const BinaryPlistLimits& limits)
      : mTable(table), mLimits(limits), mState(table.Count(), kUnseen),
        mHeight(table.Count(), 0), mValues(table.Count(), 1)
  {
  }

  bool Run()
  {
    if (!Enter(mTable.Root())) return false;
    while (!mPath.empty())
    {
      Frame& top = mPath.back();
      if (top.next == top.nRefs)
      {
        if (!Leave()) return false;
        continue;
      }
      const std::uint64_t index = top.next++;
      const std::uint64_t child = mTable.Ref(top.refs, index);
      if (child >= mTable.Count()) return false;
      if (index < top.nKeys && !CheckKey(child)) return false;
      if (!Visit(child)) return false;
    }
    return true;
  }

private:
  bool CheckKey(std::uint64_t key)
  {
    if (mState[key] & kKeyChecked) return true;
    mState[key] |= kKeyChecked;
    return KeyIsSafe(mTable, key);
  }

  // Adds a child's height and size to the container on top of the path.
  void Account(std::uint32_t height, std::uint64_t values)
  {
    Frame& top = mPath.back();
    if (height + 1 > top.height) top.height = height + 1;
    top.values += values;
    if (top.values > mLimits.maxValues) top.values = mLimits.maxValues + 1;
  }

  bool Visit(std::uint64_t child)
  {
    const std::uint8_t state = mState[child] & 3;
    if (state == kOnPath) return false; // a cycle
    if (state == kDone)
    {
      Account(mHeight[child], mValues[child]);
      return mPath.back().values <= mLimits.maxValues;
    }
    const std::size_t offset = mTable.Offset(child);
    if (!offset) return false;
    if (!IsContainer(mTable.Bytes()[offset]))
    {
      mState[child] |= kDone;
      Account(0, 1);
      return mPath.back().values <= mLimits.maxValues;
    }
    return Enter(child);
  }

  bool Enter(std::uint64_t object)
  {
    if (mPath.size() >= static_cast<std::size_t>(mLimits.maxDepth)) return false;
    const std::size_t offset = mTable.Offset(object);
    if (!offset) return false;
    Frame frame{};
    frame.object = object;
    if (IsContainer(mTable.Bytes()[offset]))
    {
      const bool dictionary = (mTable.Bytes()[offset] >> 4) == 0xd;
      const unsigned elementSize = (dictionary ? 2 : 1) * mTable.RefSize();
      std::uint64_t count = 0;
      if (!mTable.Elements(offset, elementSize, &count, &frame.refs)) return false;
      frame.nKeys = dictionary ? count : 0;
      frame.nRefs = dictionary ? 2 * count : count;
    }
    frame.height = 1;
    frame.values = 1;
    mState[object] = (mState[object] & kKeyChecked) | kOnPath;
    mPath.push_back(frame);
    return true;
  }

  bool Leave()
  {
    const Frame done = mPath.back();
    mPath.pop_back();
    mState[done.object] = (mState[done.object] & kKeyChecked) | kDone;
    mHeight[done.object] = done.height;
    mValues[done.object] = done.values;
    if (mPath.empty()) return done.height <= static_cast<std::uint32_t>(mLimits.maxDepth);
    Account(done.height, done.values);
    return mPath.back().values <= mLimits.maxValues;
  }

  const ObjectTable& mTable;
  const BinaryPlistLimits& mLimits;
  std::vector<std::uint8_t> mState;
  std::vector<std::uint32_t> mHeight;
  std::vector<std::uint64_t> mValues;
  std::vector<Frame> mPath;
};

} // namespace

bool BinaryPlistShapeIsSafe(const std::uint8_t* bytes, std::size_t length,
                            const BinaryPlistLimits& limits)
{
  if (!bytes || limits.maxDepth < 1) return false;
  const ObjectTable table(bytes, length);
  if (!table.Valid()) return false;
  ShapeWalk walk(table, limits);
  return walk.Run();
}

} // namespace cf
