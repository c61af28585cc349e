// Points, sizes and rectangles of the window system: float coordinates with
// the origin at the bottom left and y growing upwards.
//
// Threads: plain values, usable anywhere.
#pragma once

typedef float CGFloat;

struct NSPoint
{
  CGFloat x, y;
};
struct NSSize
{
  CGFloat width, height;
};
struct NSRect
{
  NSPoint origin;
  NSSize size;
};

inline NSPoint NSMakePoint(CGFloat x, CGFloat y)
{
  return NSPoint{x, y};
}
inline NSSize NSMakeSize(CGFloat w, CGFloat h)
{
  return NSSize{w, h};
}
inline NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h)
{
  return NSRect{{x, y}, {w, h}};
}
inline CGFloat NSMaxX(const NSRect& r)
{
  return r.origin.x + r.size.width;
}
inline CGFloat NSMaxY(const NSRect& r)
{
  return r.origin.y + r.size.height;
}
inline bool NSIsEmptyRect(const NSRect& r)
{
  return !(r.size.width > 0) || !(r.size.height > 0);
}
// Left and bottom edges inside, right and top edges outside.
inline bool NSPointInRect(NSPoint p, const NSRect& r)
{
  return p.x >= r.origin.x && p.y >= r.origin.y && p.x < NSMaxX(r) && p.y < NSMaxY(r);
}
NSRect NSUnionRect(const NSRect& a, const NSRect& b);
NSRect NSIntersectionRect(const NSRect& a, const NSRect& b);
