#include "platform/window/Geometry.h"

#include <algorithm>

NSRect NSUnionRect(const NSRect& a, const NSRect& b)
{
  if (NSIsEmptyRect(a)) return b;
  if (NSIsEmptyRect(b)) return a;
  const CGFloat x = std::min(a.origin.x, b.origin.x), y = std::min(a.origin.y, b.origin.y);
  return NSMakeRect(x, y, std::max(NSMaxX(a), NSMaxX(b)) - x, std::max(NSMaxY(a), NSMaxY(b)) - y);
}

NSRect NSIntersectionRect(const NSRect& a, const NSRect& b)
{
  const CGFloat x = std::max(a.origin.x, b.origin.x), y = std::max(a.origin.y, b.origin.y);
  const CGFloat r = std::min(NSMaxX(a), NSMaxX(b)), t = std::min(NSMaxY(a), NSMaxY(b));
  if (r <= x || t <= y) return NSMakeRect(0, 0, 0, 0);
  return NSMakeRect(x, y, r - x, t - y);
}

bool NSApplicationLoad()
{
  return true;
}
