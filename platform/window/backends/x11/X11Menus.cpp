// Popup menus of the X11 backend: an override-redirect window drawn with our
// raster layer and fonts, holding the pointer and keyboard until an item is
// chosen or the menu is dismissed.
#include <X11/keysym.h>

#include "platform/window/Menu.h"
#include "platform/window/Window.h"
#include "platform/window/backends/x11/X11BackendImpl.h"
#include "platform/window/backends/x11/X11MenuLayout.h"

namespace
{
const LICE_pixel kBack = LICE_RGBA(242, 242, 242, 255), kEdge = LICE_RGBA(120, 120, 120, 255),
                 kText = LICE_RGBA(20, 20, 20, 255), kDim = LICE_RGBA(150, 150, 150, 255),
                 kHighlight = LICE_RGBA(60, 100, 190, 255), kOnHighlight = LICE_RGBA(255, 255, 255, 255);

void drawCheck(LICE_IBitmap* bm, int x, int y, LICE_pixel color)
{
  for (int t = 0; t < 2; ++t)
  {
    LICE_Line(bm, x, y + 4 + t, x + 3, y + 7 + t, color);
    LICE_Line(bm, x + 3, y + 7 + t, x + 9, y + t, color);
  }
}

void drawMenu(LICE_IBitmap* bm, const MenuLayout& layout, int highlighted)
{
  LICE_Clear(bm, kBack);
  x11ui::Frame(bm, 0, 0, layout.width(), layout.height(), kEdge);
  LICE_CachedFont* font = x11ui::UiFont();
  for (int i = 0; i < layout.count(); ++i)
  {
    const MenuRow& row = layout.row(i);
    const int top = layout.rowTop(i), h = layout.rowHeight(i);
    if (row.separator)
    {
      LICE_FillRect(bm, 4, top + h / 2, layout.width() - 8, 1, LICE_RGBA(200, 200, 200, 255));
      continue;
    }
    const bool lit = i == highlighted;
    if (lit) LICE_FillRect(bm, 1, top, layout.width() - 2, h, kHighlight);
    const LICE_pixel color = lit ? kOnHighlight : row.enabled ? kText : kDim;
    if (row.checked) drawCheck(bm, 6, top + (h - 9) / 2, color);
    x11ui::Text(bm, font, row.text, layout.textLeft(i), top, layout.width() - layout.textLeft(i), h,
                color);
  }
}
} // namespace

void X11Backend::Impl::mapAndWait(Window id)
{
  Display* dpy = display.dpy;
  XMapRaised(dpy, id);
  XSync(dpy, False);
  for (int tries = 0; tries < 200; ++tries)
  {
    XWindowAttributes a;
    if (XGetWindowAttributes(dpy, id, &a) && a.map_state == IsViewable) return;
    waitForEvent(0.005);
    // Leave the events queued: the caller's loop handles them.
    XSync(dpy, False);
  }
}

int X11Backend::popUpMenu(NSMenu* menu, NSPoint location, NSWindow* window)
{
  Impl::Win* owner = mImpl->find(window);
  if (!menu || !owner || menu->numberOfItems() == 0) return -1;
  Display* dpy = mImpl->display.dpy;
  LICE_CachedFont* font = x11ui::UiFont();
  const MenuLayout layout(MenuRowsOf(menu),
                          [font](const std::string& t) { return x11ui::TextWidth(font, t); });

  // Window point (bottom-left origin) to the screen.
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(dpy, owner->surface->id(), mImpl->display.root, int(location.x),
                        owner->surface->height() - int(location.y), &rx, &ry, &child);
  const int sw = DisplayWidth(dpy, mImpl->display.screen),
            sh = DisplayHeight(dpy, mImpl->display.screen);
  if (rx + layout.width() > sw) rx = std::max(0, sw - layout.width());
  if (ry + layout.height() > sh) ry = std::max(0, ry - layout.height());

  XSetWindowAttributes attributes = {};
  attributes.override_redirect = True;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          KeyPressMask | StructureNotifyMask;
  const Window id = XCreateWindow(dpy, mImpl->display.root, rx, ry, unsigned(layout.width()),
                                  unsigned(layout.height()), 0, CopyFromParent, InputOutput,
                                  CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
  XStoreName(dpy, id, menu->title().c_str());
  X11Surface surface(mImpl->display, id, layout.width(), layout.height());
  int highlighted = -1;
  auto redraw = [&]
  {
    drawMenu(surface.canvas(), layout, highlighted);
    surface.put();
  };
  redraw();
  mImpl->mapAndWait(id);
  for (int tries = 0; tries < 100; ++tries)
    if (XGrabPointer(dpy, id, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess)
      break;
    else
      mImpl->waitForEvent(0.01);
  XGrabKeyboard(dpy, id, False, GrabModeAsync, GrabModeAsync, CurrentTime);

  int chosen = -1;
  bool done = false, armed = false;
  auto previous = std::move(mImpl->modal);
  mImpl->modal = [&](XEvent& e)
  {
    if (e.xany.window != id) return false;
    switch (e.type)
    {
    case Expose:
      if (e.xexpose.count == 0) redraw();
      break;
    case MotionNotify:
    {
      const int row = layout.rowAt(e.xmotion.x, e.xmotion.y);
      if (row >= 0) armed = true;
      if (row != highlighted)
      {
        highlighted = row;
        redraw();
      }
      break;
    }
    case ButtonPress:
      if (e.xbutton.x < 0 || e.xbutton.y < 0 || e.xbutton.x >= layout.width() ||
          e.xbutton.y >= layout.height())
        done = true; // a click elsewhere dismisses
      else
        armed = true;
      break;
    case ButtonRelease:
    {
      // The release of the click that opened the menu chooses nothing.
      const int row = layout.rowAt(e.xbutton.x, e.xbutton.y);
      if (armed && row >= 0)
      {
        chosen = row;
        done = true;
      }
      break;
    }
    case KeyPress:
    {
      const KeySym sym = XLookupKeysym(&e.xkey, 0);
      if (sym == XK_Escape)
        done = true;
      else if (sym == XK_Down || sym == XK_Up)
      {
        highlighted = layout.step(highlighted, sym == XK_Down ? 1 : -1);
        redraw();
      }
      else if ((sym == XK_Return || sym == XK_KP_Enter || sym == XK_Linefeed || sym == XK_space) &&
               layout.selectable(highlighted))
      {
        chosen = highlighted;
        done = true;
      }
      break;
    }
    default:
      break;
    }
    return true;
  };
  while (!done && !CloseRequested(window) && mImpl->find(window))
    mImpl->pump(0.05);
  mImpl->modal = std::move(previous);
  XUngrabPointer(dpy, CurrentTime);
  XUngrabKeyboard(dpy, CurrentTime);
  XDestroyWindow(dpy, id);
  XFlush(dpy);
  return chosen;
}
