#include "platform/window/backends/x11/X11Surface.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

namespace
{
bool sAttachFailed = false;
int trapAttachError(Display*, XErrorEvent*)
{
  sAttachFailed = true;
  return 0;
}
} // namespace

X11Surface::X11Surface(X11Display& display, Window id, int w, int h)
    : mDisplay(display), mId(id), mW(w), mH(h), mCanvas(w, h, 1)
{
  mGC = XCreateGC(display.dpy, id, 0, nullptr);
  LICE_Clear(&mCanvas, 0);
  makeImage();
}

X11Surface::~X11Surface()
{
  dropImage();
  XFreeGC(mDisplay.dpy, mGC);
}

void X11Surface::resize(int w, int h)
{
  if (w == mW && h == mH) return;
  dropImage();
  mW = w;
  mH = h;
  mCanvas.resize(w, h);
  LICE_Clear(&mCanvas, 0);
  makeImage();
}

void X11Surface::makeImage()
{
  if (mW <= 0 || mH <= 0) return;
  Display* dpy = mDisplay.dpy;
  if (mDisplay.shm)
  {
    mImage = XShmCreateImage(dpy, mDisplay.visual, unsigned(mDisplay.depth), ZPixmap, nullptr,
                             &mShmInfo, unsigned(mW), unsigned(mH));
    if (mImage)
    {
      mShmInfo.shmid = shmget(IPC_PRIVATE, size_t(mImage->bytes_per_line) * size_t(mH),
                              IPC_CREAT | 0600);
      void* addr = mShmInfo.shmid >= 0 ? shmat(mShmInfo.shmid, nullptr, 0) : (void*)-1;
      if (addr != (void*)-1)
      {
        mShmInfo.shmaddr = mImage->data = static_cast<char*>(addr);
        mShmInfo.readOnly = False;
        XSync(dpy, False);
        sAttachFailed = false;
        XErrorHandler previous = XSetErrorHandler(trapAttachError);
        const bool attached = XShmAttach(dpy, &mShmInfo);
        XSync(dpy, False);
        XSetErrorHandler(previous);
        mShmAttached = attached && !sAttachFailed;
        shmctl(mShmInfo.shmid, IPC_RMID, nullptr); // gone once both sides detach
        if (mShmAttached) return;
        shmdt(addr);
      }
      else if (mShmInfo.shmid >= 0)
        shmctl(mShmInfo.shmid, IPC_RMID, nullptr);
      mImage->data = nullptr;
      XDestroyImage(mImage);
      mImage = nullptr;
      mDisplay.shm = false; // not for this server after all
    }
  }
  const int bpp = mDisplay.format.bitsPerPixel;
  const int pad = bpp == 16 ? 16 : 32;
  mImage = XCreateImage(dpy, mDisplay.visual, unsigned(mDisplay.depth), ZPixmap, 0, nullptr,
                        unsigned(mW), unsigned(mH), pad, 0);
  if (mImage) mImage->data = static_cast<char*>(std::calloc(size_t(mImage->bytes_per_line), size_t(mH)));
}

void X11Surface::dropImage()
{
  if (!mImage) return;
  if (mShmAttached)
  {
    XShmDetach(mDisplay.dpy, &mShmInfo);
    XSync(mDisplay.dpy, False);
    shmdt(mShmInfo.shmaddr);
    mImage->data = nullptr;
    mShmAttached = false;
  }
  XDestroyImage(mImage); // frees plain image data too
  mImage = nullptr;
}

void X11Surface::put()
{
  if (!mImage || !mImage->data) return;
  X11PixelFormat format = mDisplay.format;
  format.msbFirst = mImage->byte_order == MSBFirst;
  format.bitsPerPixel = mImage->bits_per_pixel;
  const LICE_pixel* bits = mCanvas.getBits();
  const int span = mCanvas.getRowSpan();
  for (int y = 0; y < mH; ++y)
    format.convertRow(bits + size_t(y) * size_t(span), mW,
                      reinterpret_cast<uint8_t*>(mImage->data) + size_t(y) * size_t(mImage->bytes_per_line));
  if (mShmAttached)
  {
    XShmPutImage(mDisplay.dpy, mId, mGC, mImage, 0, 0, 0, 0, unsigned(mW), unsigned(mH), False);
    XSync(mDisplay.dpy, False); // the segment is ours again before the next frame
  }
  else
    XPutImage(mDisplay.dpy, mId, mGC, mImage, 0, 0, 0, 0, unsigned(mW), unsigned(mH));
}

namespace x11ui
{
LICE_CachedFont* Font(const std::string& face, int pixelSize)
{
  static std::map<std::pair<std::string, int>, std::unique_ptr<LICE_CachedFont>> fonts;
  std::unique_ptr<LICE_CachedFont>& font = fonts[{face, pixelSize}];
  if (!font)
  {
    font.reset(new LICE_CachedFont);
    font->SetFromHFont(CreateFont(-pixelSize, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, face.c_str()),
                       LICE_FONT_FLAG_OWNS_HFONT);
  }
  return font.get();
}

LICE_CachedFont* UiFont()
{
  return Font("DejaVu Sans", 13);
}

int TextWidth(LICE_CachedFont* font, const std::string& text)
{
  if (text.empty()) return 0;
  RECT r = {0, 0, 0, 0};
  LICE_MemBitmap scratch(1, 1);
  font->DrawText(&scratch, text.c_str(), -1, &r, LICE_DT_CALCRECT);
  return r.right - r.left;
}

void Text(LICE_IBitmap* bm, LICE_CachedFont* font, const std::string& text, int x, int y, int w,
          int h, LICE_pixel color, int align)
{
  if (text.empty()) return;
  const int lh = font->GetLineHeight();
  RECT r = {x, y + (h - lh) / 2, x + w, y + (h - lh) / 2 + lh};
  font->SetTextColor(color);
  font->DrawText(bm, text.c_str(), -1, &r,
                 align == 1 ? LICE_DT_CENTER : align == 2 ? LICE_DT_RIGHT : 0);
}

void Frame(LICE_IBitmap* bm, int x, int y, int w, int h, LICE_pixel color)
{
  LICE_FillRect(bm, x, y, w, 1, color);
  LICE_FillRect(bm, x, y + h - 1, w, 1, color);
  LICE_FillRect(bm, x, y, 1, h, color);
  LICE_FillRect(bm, x + w - 1, y, 1, h, color);
}
} // namespace x11ui
