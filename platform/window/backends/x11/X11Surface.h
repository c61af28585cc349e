// An X11 window with a canvas of our pixels and the image that carries them
// to the server (shared memory when it is offered, a plain image otherwise),
// plus the drawing helpers the backend's own widgets use.
//
// Threads: the main thread only.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <memory>
#include <string>

#include "lice/lice.h"
#include "lice/lice_text.h"
#include "platform/window/backends/x11/X11PixelFormat.h"

struct X11Display
{
  Display* dpy = nullptr;
  int screen = 0;
  Window root = 0;
  Visual* visual = nullptr;
  int depth = 0;
  X11PixelFormat format;
  bool shm = false; // the server offers shared-memory images
};

class X11Surface
{
public:
  X11Surface(X11Display& display, Window id, int w, int h);
  ~X11Surface();
  X11Surface(const X11Surface&) = delete;
  X11Surface& operator=(const X11Surface&) = delete;

  Window id() const { return mId; }
  int width() const { return mW; }
  int height() const { return mH; }
  LICE_IBitmap* canvas() { return &mCanvas; }
  // Makes canvas and image w x h (the X11 window is the caller's).
  void resize(int w, int h);
  // Sends the canvas to the window.
  void put();
  bool sharedMemory() const { return mShmAttached; }

private:
  void makeImage();
  void dropImage();

  X11Display& mDisplay;
  Window mId;
  GC mGC;
  int mW, mH;
  LICE_MemBitmap mCanvas;
  XImage* mImage = nullptr;
  XShmSegmentInfo mShmInfo = {};
  bool mShmAttached = false;
};

// Drawing for the backend's menus, fields and panels.
namespace x11ui
{
// A font of the face at a pixel size, kept for the process.
LICE_CachedFont* Font(const std::string& face, int pixelSize);
LICE_CachedFont* UiFont();
int TextWidth(LICE_CachedFont* font, const std::string& text);
// Text in the box, vertically centred; align 0 left, 1 centre, 2 right.
void Text(LICE_IBitmap* bm, LICE_CachedFont* font, const std::string& text, int x, int y, int w,
          int h, LICE_pixel color, int align = 0);
void Frame(LICE_IBitmap* bm, int x, int y, int w, int h, LICE_pixel color);
} // namespace x11ui
