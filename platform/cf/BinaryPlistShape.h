// A structural check of binary property-list bytes, run before the bytes reach libplist, whose
// reader recurses once per nesting level, expands shared objects once per reference and asserts
// on dictionary keys holding a NUL. Any thread; no shared state.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cf
{

struct BinaryPlistLimits
{
  int maxDepth;              // containers on any path from the root, the root included
  std::uint64_t maxValues;   // values in the fully expanded tree
};

// True when the bytes are a binary list whose objects, references and trailer lie inside the
// bytes, whose structure has no cycle and stays within the limits, and whose dictionary keys
// are strings without a NUL. Time and memory grow linearly with the size of the bytes; no
// recursion.
bool BinaryPlistShapeIsSafe(const std::uint8_t* bytes, std::size_t length,
                            const BinaryPlistLimits& limits);

} // namespace cf
