#include "platform/window/backends/x11/X11Backend.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <spawn.h>
#include <sys/select.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "platform/window/TextField.h"
#include "platform/window/Timer.h"
#include "platform/window/Window.h"
#include "platform/window/backends/x11/X11BackendImpl.h"

extern char** environ;

// ---- Opening ----------------------------------------------------------------------

namespace
{
// A request about a window another program destroyed fails; that is no
// reason to end the program (Xlib's default handler would).
int ignoreError(Display*, XErrorEvent*)
{
  return 0;
}
} // namespace

std::unique_ptr<X11Backend> X11Backend::Open(const char* displayName, std::string* error)
{
  Display* dpy = XOpenDisplay(displayName);
  if (!dpy)
  {
    if (error)
    {
      const char* name = displayName ? displayName : XDisplayName(nullptr);
      *error = std::string("cannot open the X display '") + (name ? name : "") + "'";
    }
    return nullptr;
  }
  std::unique_ptr<Impl> impl(new Impl);
  // The loading program's handler comes back when the backend goes (a plug-in
  // editor shares the program with its host).
  impl->previousErrorHandler = XSetErrorHandler(ignoreError);
  X11Display& d = impl->display;
  d.dpy = dpy;
  d.screen = DefaultScreen(dpy);
  d.root = RootWindow(dpy, d.screen);
  d.visual = DefaultVisual(dpy, d.screen);
  d.depth = DefaultDepth(dpy, d.screen);
  d.format.redMask = uint32_t(d.visual->red_mask);
  d.format.greenMask = uint32_t(d.visual->green_mask);
  d.format.blueMask = uint32_t(d.visual->blue_mask);
  int count = 0;
  if (XPixmapFormatValues* formats = XListPixmapFormats(dpy, &count))
  {
    for (int i = 0; i < count; ++i)
      if (formats[i].depth == d.depth) d.format.bitsPerPixel = formats[i].bits_per_pixel;
    XFree(formats);
  }
  if (!d.format.supported())
  {
    XCloseDisplay(dpy);
    XSetErrorHandler(impl->previousErrorHandler);
    if (error) *error = "the X display's visual is not a true-colour one of 16, 24 or 32 bits";
    return nullptr;
  }
  d.shm = XShmQueryExtension(dpy) && !std::getenv("TOLVANE_X11_NO_SHM");
  impl->wmProtocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
  impl->wmDelete = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
  impl->start = std::chrono::steady_clock::now();
  return std::unique_ptr<X11Backend>(new X11Backend(std::move(impl)));
}

X11Backend::X11Backend(std::unique_ptr<Impl> impl) : mImpl(std::move(impl))
{
  mImpl->owner = this;
}

X11Backend::~X11Backend()
{
  mImpl->windows.clear();
  XCloseDisplay(mImpl->display.dpy);
  XSetErrorHandler(mImpl->previousErrorHandler);
}

double X11Backend::now()
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - mImpl->start).count();
}

unsigned long X11Backend::NativeWindowOf(NSWindow* window) const
{
  const Impl::Win* w = mImpl->find(window);
  return w ? w->surface->id() : 0;
}

bool X11Backend::CloseRequested(NSWindow* window) const
{
  const Impl::Win* w = mImpl->find(window);
  return w && w->closeRequested;
}

bool X11Backend::UsesSharedMemory() const
{
  for (const auto& w : mImpl->windows)
    if (w.second->surface->sharedMemory()) return true;
  return false;
}

void X11Backend::SetUnhandledKeyHandler(std::function<void(const NSEvent&)> handler)
{
  mUnhandledKey = std::move(handler);
}

// ---- Windows ------------------------------------------------------------------------

const X11Backend::Impl::Win* X11Backend::Impl::find(NSWindow* window) const
{
  auto it = windows.find(window);
  return it == windows.end() ? nullptr : it->second.get();
}

X11Backend::Impl::Win* X11Backend::Impl::find(NSWindow* window)
{
  auto it = windows.find(window);
  return it == windows.end() ? nullptr : it->second.get();
}

X11Backend::Impl::Win* X11Backend::Impl::findNative(Window id)
{
  for (auto& w : windows)
    if (w.second->surface->id() == id) return w.second.get();
  return nullptr;
}

X11Backend::Impl::Win* X11Backend::Impl::create(NSWindow* window)
{
  Display* dpy = display.dpy;
  const NSRect frame = window->frame();
  const int w = std::max(1, int(frame.size.width)), h = std::max(1, int(frame.size.height));
  Window parent = display.root;
  int x = 0, y = 0;
  bool topLevel = true;
  if (window->nativeParent())
  {
    parent = Window(window->nativeParent());
    topLevel = false;
  }
  else if (NSWindow* host = window->parentWindow())
    if (Win* hw = find(host))
    {
      // A child window sits over its parent, placed by both frames.
      const NSRect pf = host->frame();
      parent = hw->surface->id();
      x = int(frame.origin.x - pf.origin.x);
      y = int((pf.origin.y + pf.size.height) - (frame.origin.y + frame.size.height));
      topLevel = false;
    }
  XSetWindowAttributes attributes = {};
  attributes.background_pixel = BlackPixel(dpy, display.screen);
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask;
  const Window id =
      XCreateWindow(dpy, parent, x, y, unsigned(w), unsigned(h), 0, CopyFromParent, InputOutput,
                    CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  if (topLevel)
  {
    XStoreName(dpy, id, window->title().empty() ? "Tolvane" : window->title().c_str());
    XSetWMProtocols(dpy, id, &wmDelete, 1);
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = w;
    hints->min_height = hints->max_height = h;
    XSetWMNormalHints(dpy, id, hints);
    XFree(hints);
    XClassHint classHint = {const_cast<char*>("tolvane"), const_cast<char*>("Tolvane")};
    XSetClassHint(dpy, id, &classHint);
  }
  std::unique_ptr<Win> win(new Win);
  win->window = window;
  win->embedded = window->nativeParent() != 0;
  win->surface.reset(new X11Surface(display, id, w, h));
  Win* result = win.get();
  windows[window] = std::move(win);
  return result;
}

void X11Backend::windowOrderedFront(NSWindow* window)
{
  Impl::Win* w = mImpl->find(window);
  if (!w) w = mImpl->create(window);
  Display* dpy = mImpl->display.dpy;
  XMapRaised(dpy, w->surface->id());
  // A window coming to the screen draws all of itself.
  std::function<void(NSView*)> markAll = [&](NSView* v)
  {
    v->setNeedsDisplay(true);
    for (NSView* sub : v->subviews())
      markAll(sub);
  };
  if (NSView* content = window->contentView()) markAll(content);
  window->retain();
  window->displayIfNeeded();
  if (Impl::Win* still = mImpl->find(window))
  {
    mImpl->compose(still);
    still->surface->put();
  }
  window->release();
  XFlush(dpy);
}

void X11Backend::windowClosed(NSWindow* window)
{
  auto it = mImpl->windows.find(window);
  if (it == mImpl->windows.end()) return;
  const Window id = it->second->surface->id();
  mImpl->windows.erase(it);
  XDestroyWindow(mImpl->display.dpy, id);
  XFlush(mImpl->display.dpy);
}

void X11Backend::windowDisplayed(NSWindow* window)
{
  if (Impl::Win* w = mImpl->find(window))
  {
    mImpl->compose(w);
    w->surface->put();
  }
}

void X11Backend::textFieldBeganEditing(NSTextField* field)
{
  if (field && field->window()) windowDisplayed(field->window());
}

// ---- Putting the views on the canvas -------------------------------------------------------

namespace
{
void blitView(NSView* view, LICE_IBitmap* canvas, int windowHeight)
{
  if (view->isHidden()) return;
  const NSPoint origin = view->convertPointToWindow(NSMakePoint(0, 0));
  const int left = int(std::floor(origin.x));
  const int top = windowHeight - int(std::floor(origin.y)) - view->pixelHeight();
  const int cw = canvas->getWidth(), ch = canvas->getHeight(), span = canvas->getRowSpan();
  LICE_pixel* bits = canvas->getBits();
  const uint32_t* src = view->pixels();
  const int vw = view->pixelWidth();
  if (!view->isOpaque() && view->superview() && !dynamic_cast<NSTextField*>(view))
  {
    // A see-through view shows what is behind where it is transparent.
    for (int y = 0; y < view->pixelHeight(); ++y)
      for (int x = 0; x < vw; ++x)
      {
        const int cx = left + x, cy = top + y;
        const uint32_t p = src[size_t(y) * size_t(vw) + size_t(x)];
        if (cx >= 0 && cy >= 0 && cx < cw && cy < ch && (p & 0xff))
          bits[size_t(cy) * size_t(span) + size_t(cx)] = p;
      }
  }
  else
    for (int y = 0; y < view->pixelHeight(); ++y)
    {
      const int cy = top + y;
      if (cy < 0 || cy >= ch) continue;
      for (int x = 0; x < vw; ++x)
      {
        const int cx = left + x;
        if (cx >= 0 && cx < cw)
          bits[size_t(cy) * size_t(span) + size_t(cx)] = src[size_t(y) * size_t(vw) + size_t(x)];
      }
    }
  if (NSTextField* field = dynamic_cast<NSTextField*>(view))
    DrawTextField(canvas, field, left, top, view->window() && view->window()->firstResponder() == view);
  for (NSView* sub : view->subviews())
    blitView(sub, canvas, windowHeight);
}
} // namespace

void DrawTextField(LICE_IBitmap* canvas, NSTextField* field, int left, int top, bool editing)
{
  const int w = field->pixelWidth(), h = field->pixelHeight();
  LICE_FillRect(canvas, left, top, w, h, LICE_RGBA(255, 255, 255, 255));
  x11ui::Frame(canvas, left, top, w, h, LICE_RGBA(90, 110, 160, 255));
  const NSFont& font = field->font();
  LICE_CachedFont* f = x11ui::Font(font.name.empty() ? "DejaVu Sans" : font.name,
                                   std::max(6, int(font.pointSize)));
  const NSColor c = field->textColor();
  const LICE_pixel color = LICE_RGBA(int(c.red * 255), int(c.green * 255), int(c.blue * 255), 255);
  const std::string& text = field->stringValue();
  const int pad = 3, inner = w - 2 * pad;
  const int tw = x11ui::TextWidth(f, text);
  int x = left + pad;
  if (field->alignment() == NSCenterTextAlignment) x = left + pad + (inner - tw) / 2;
  if (field->alignment() == NSRightTextAlignment) x = left + pad + inner - tw;
  // Keep the caret in sight when the text is wider than the field.
  const int caretX = x + x11ui::TextWidth(f, text.substr(0, field->caret()));
  if (caretX > left + w - pad) x -= caretX - (left + w - pad);
  LICE_MemBitmap strip(w - 2, h - 2);
  LICE_Blit(&strip, canvas, 0, 0, left + 1, top + 1, w - 2, h - 2, 1.0f, LICE_BLIT_MODE_COPY);
  x11ui::Text(&strip, f, text, x - left - 1, 0, tw + 2, h - 2, color);
  if (editing)
  {
    const int cx = x - left - 1 + x11ui::TextWidth(f, text.substr(0, field->caret()));
    LICE_FillRect(&strip, cx, 2, 1, h - 6, color);
  }
  LICE_Blit(canvas, &strip, left + 1, top + 1, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
}

void X11Backend::Impl::compose(Win* w)
{
  LICE_IBitmap* canvas = w->surface->canvas();
  LICE_Clear(canvas, 0);
  if (NSView* content = w->window->contentView()) blitView(content, canvas, w->surface->height());
}

// ---- Events and the run loop -------------------------------------------------------------

void X11Backend::Impl::dispatch(XEvent& event)
{
  if (modal && modal(event)) return;
  Win* w = findNative(event.xany.window);
  if (!w) return;
  switch (event.type)
  {
  case Expose:
    if (event.xexpose.count == 0) w->surface->put();
    return;
  case ClientMessage:
    if (Atom(event.xclient.message_type) == wmProtocols && Atom(event.xclient.data.l[0]) == wmDelete)
      w->closeRequested = true;
    return;
  case DestroyNotify:
    // Destroyed from outside (another program, or with its parent): as good
    // as a request to close.
    if (event.xdestroywindow.window == w->surface->id()) w->closeRequested = true;
    return;
  case ButtonPress:
    // Keys go where the user clicked, inside another program's window too.
    XSetInputFocus(display.dpy, w->surface->id(), RevertToParent, event.xbutton.time);
    break;
  default:
    break;
  }
  if (modal) return; // input belongs to the open menu or panel
  NSEvent ns;
  if (!TranslateX11Event(event, w->surface->height(), w->clicks, XlibKeyLookup(), owner->now(), &ns))
    return;
  NSWindow* window = w->window;
  window->retain();
  if (event.type == KeyPress)
  {
    currentKey = event.xkey;
    currentKeyWindow = w;
  }
  window->sendEvent(&ns);
  currentKeyWindow = nullptr;
  // A field being typed into shows each keystroke at once.
  if (Win* still = find(window))
    if (dynamic_cast<NSTextField*>(window->firstResponder()))
    {
      compose(still);
      still->surface->put();
    }
  window->release();
}

void X11Backend::unhandledKey(const NSEvent& event)
{
  Impl::Win* w = mImpl->currentKeyWindow;
  if (w && w->embedded)
  {
    // Inside another program's window: the key is that program's.
    XKeyEvent key = mImpl->currentKey;
    key.window = Window(w->window->nativeParent());
    XSendEvent(mImpl->display.dpy, key.window, True, KeyPressMask, reinterpret_cast<XEvent*>(&key));
    XFlush(mImpl->display.dpy);
    return;
  }
  if (mUnhandledKey) mUnhandledKey(event);
}

void X11Backend::Impl::waitForEvent(double seconds)
{
  Display* dpy = display.dpy;
  XFlush(dpy);
  if (XPending(dpy) || seconds <= 0) return;
  const int fd = ConnectionNumber(dpy);
  fd_set set;
  FD_ZERO(&set);
  FD_SET(fd, &set);
  timeval tv;
  tv.tv_sec = long(seconds);
  tv.tv_usec = long((seconds - double(tv.tv_sec)) * 1e6);
  select(fd + 1, &set, nullptr, nullptr, &tv);
}

void X11Backend::Impl::pump(double maxWait)
{
  NSRunLoop* loop = NSRunLoop::currentRunLoop();
  double wait = maxWait;
  const double next = loop->nextFireDate();
  if (next >= 0) wait = std::min(wait, std::max(0.0, next - owner->now()));
  waitForEvent(wait);
  Display* dpy = display.dpy;
  while (XPending(dpy))
  {
    XEvent event;
    XNextEvent(dpy, &event);
    dispatch(event);
  }
  loop->runPass();
  XFlush(dpy);
}

void X11Backend::RunOnce(double maxWait)
{
  mImpl->pump(maxWait);
}

void X11Backend::RunUntil(const std::function<bool()>& done, double seconds)
{
  const double end = seconds < 0 ? -1 : now() + seconds;
  while (!done())
  {
    const double left = end < 0 ? 0.05 : end - now();
    if (end >= 0 && left <= 0) return;
    mImpl->pump(std::min(left, 0.05));
  }
}

// ---- Opening URLs ------------------------------------------------------------------------

bool SpawnDetached(const std::string& program, const std::string& arg)
{
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(arg.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  // Reap it once it ends, without waiting for it here.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}

bool X11Backend::openURL(const std::string& url)
{
  return SpawnDetached(mOpener, url);
}
