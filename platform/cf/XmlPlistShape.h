// A nesting check of XML property-list text, run before the text reaches libplist, which
// recurses once per nesting level when it frees what it read. Any thread; no shared state.
#pragma once

#include <cstddef>

namespace cf
{

// True when no array or dictionary in the text lies deeper than maxDepth containers. Comments,
// character data sections, processing instructions and declarations are skipped; anything else
// is left for the parser to judge. Linear in the length; no recursion.
bool XmlPlistNestingIsSafe(const char* text, std::size_t length, int maxDepth);

} // namespace cf
