// File panels of the X11 backend: a small dialog of our own with the folder,
// a path field, the folder's sub-folders and matching files, and Cancel and
// Open (or Save) buttons. Modal: it returns once confirmed or cancelled.
#include <X11/keysym.h>

#include "platform/window/FilePanel.h"
#include "platform/window/TextField.h"
#include "platform/window/Window.h"
#include "platform/window/backends/x11/X11BackendImpl.h"
#include "platform/window/backends/x11/X11FilePanelModel.h"

namespace
{
const int kW = 460, kH = 330, kPad = 10, kFieldTop = 34, kFieldH = 22, kListTop = 66,
          kRowH = 18, kListH = 198, kMessageTop = 268, kButtonTop = 292, kButtonW = 86,
          kButtonH = 26;
const LICE_pixel kBack = LICE_RGBA(236, 236, 236, 255), kText = LICE_RGBA(20, 20, 20, 255),
                 kEdge = LICE_RGBA(140, 140, 140, 255), kWhite = LICE_RGBA(255, 255, 255, 255),
                 kSelect = LICE_RGBA(60, 100, 190, 255), kWarn = LICE_RGBA(170, 30, 30, 255);

struct Button
{
  int x;
  const char* label;
};
const Button kCancel = {kW - 2 * (kButtonW + kPad), "Cancel"};
const Button kConfirm = {kW - (kButtonW + kPad), nullptr};

bool inside(int x, int y, int left, int top, int w, int h)
{
  return x >= left && y >= top && x < left + w && y < top + h;
}

// The dialog's look and hit areas around the model.
struct PanelView
{
  FilePanelModel& model;
  NSTextField* field;
  int scroll = 0;

  int visibleRows() const { return kListH / kRowH; }
  int rowAt(int x, int y) const
  {
    if (!inside(x, y, kPad, kListTop, kW - 2 * kPad, kListH)) return -1;
    const int row = scroll + (y - kListTop) / kRowH;
    return row < int(model.entries().size()) ? row : -1;
  }
  void keepSelectedInView()
  {
    const int s = model.selected();
    if (s < scroll) scroll = s;
    if (s >= scroll + visibleRows()) scroll = s - visibleRows() + 1;
    if (scroll < 0) scroll = 0;
  }
  void draw(LICE_IBitmap* bm)
  {
    LICE_CachedFont* font = x11ui::UiFont();
    LICE_Clear(bm, kBack);
    x11ui::Text(bm, font, "Folder: " + model.folder(), kPad, 8, kW - 2 * kPad, 20, kText);
    DrawTextField(bm, field, kPad, kFieldTop, true);
    LICE_FillRect(bm, kPad, kListTop, kW - 2 * kPad, kListH, kWhite);
    x11ui::Frame(bm, kPad, kListTop, kW - 2 * kPad, kListH, kEdge);
    const auto& entries = model.entries();
    for (int r = 0; r < visibleRows() && scroll + r < int(entries.size()); ++r)
    {
      const int i = scroll + r, top = kListTop + 1 + r * kRowH;
      const bool lit = i == model.selected();
      if (lit) LICE_FillRect(bm, kPad + 1, top, kW - 2 * kPad - 2, kRowH, kSelect);
      const FileEntry& e = entries[size_t(i)];
      x11ui::Text(bm, font, e.folder ? e.name + "/" : e.name, kPad + 6, top, kW - 2 * kPad - 8,
                  kRowH, lit ? kWhite : kText);
    }
    x11ui::Text(bm, font, model.message(), kPad, kMessageTop, kW - 2 * kPad, 20, kWarn);
    for (const Button& b : {kCancel, kConfirm})
    {
      LICE_FillRect(bm, b.x, kButtonTop, kButtonW, kButtonH, kWhite);
      x11ui::Frame(bm, b.x, kButtonTop, kButtonW, kButtonH, kEdge);
      const char* label = b.label ? b.label : model.isSave() ? "Save" : "Open";
      x11ui::Text(bm, font, label, b.x, kButtonTop, kButtonW, kButtonH, kText, 1);
    }
  }
};
} // namespace

bool X11Backend::runFilePanel(NSSavePanel* panel, std::string* path)
{
  if (!panel || !path) return false;
  Display* dpy = mImpl->display.dpy;
  FilePanelModel model(!panel->isOpenPanel(), panel->directory(), panel->proposedFile(),
                       panel->allowedFileTypes());
  NSTextField* field = new NSTextField(NSMakeRect(0, 0, kW - 2 * kPad, kFieldH));
  field->setStringValue(model.typed);
  field->setFont(NSFont{"DejaVu Sans", 13});
  PanelView view{model, field};

  XSetWindowAttributes attributes = {};
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask |
                          StructureNotifyMask;
  const Window id = XCreateWindow(dpy, mImpl->display.root, 100, 100, kW, kH, 0, CopyFromParent,
                                  InputOutput, CopyFromParent, CWEventMask, &attributes);
  XStoreName(dpy, id, model.isSave() ? "Save" : "Open");
  XSetWMProtocols(dpy, id, &mImpl->wmDelete, 1);
  for (auto& w : mImpl->windows)
    if (!w.second->embedded && w.second->window->isVisible())
    {
      XSetTransientForHint(dpy, id, w.second->surface->id());
      break;
    }
  X11Surface surface(mImpl->display, id, kW, kH);
  auto redraw = [&]
  {
    model.typed = field->stringValue();
    view.draw(surface.canvas());
    surface.put();
  };
  redraw();
  mImpl->mapAndWait(id);
  XSetInputFocus(dpy, id, RevertToParent, CurrentTime);

  bool done = false, chosen = false;
  ClickCounter clicks;
  auto finish = [&](FilePanelModel::Outcome outcome)
  {
    if (outcome == FilePanelModel::kChosen) done = chosen = true;
    field->setStringValue(model.typed);
  };
  auto previous = std::move(mImpl->modal);
  mImpl->modal = [&](XEvent& e)
  {
    if (e.xany.window != id) return false;
    switch (e.type)
    {
    case Expose:
      if (e.xexpose.count == 0) surface.put();
      return true;
    case ClientMessage:
      if (Atom(e.xclient.data.l[0]) == mImpl->wmDelete) done = true;
      return true;
    case ButtonPress:
    {
      const XButtonEvent& b = e.xbutton;
      if (b.button == Button4 || b.button == Button5)
      {
        view.scroll = std::max(0, view.scroll + (b.button == Button4 ? -3 : 3));
        break;
      }
      const int count = clicks.press(b.button, b.time, b.x, b.y);
      const int row = view.rowAt(b.x, b.y);
      model.typed = field->stringValue();
      if (row >= 0)
      {
        model.select(row);
        field->setStringValue(model.typed);
        if (count >= 2) finish(model.activate(row, path));
      }
      else if (inside(b.x, b.y, kCancel.x, kButtonTop, kButtonW, kButtonH))
        done = true;
      else if (inside(b.x, b.y, kConfirm.x, kButtonTop, kButtonW, kButtonH))
        finish(model.confirm(path));
      break;
    }
    case KeyPress:
    {
      const KeySym sym = XLookupKeysym(&e.xkey, 0);
      model.typed = field->stringValue();
      if (sym == XK_Escape)
        done = true;
      else if (sym == XK_Return || sym == XK_KP_Enter || sym == XK_Linefeed)
        finish(model.confirm(path));
      else if (sym == XK_Up || sym == XK_Down)
      {
        const int n = int(model.entries().size());
        const int s = model.selected() + (sym == XK_Down ? 1 : -1);
        if (n > 0) model.select(std::max(0, std::min(n - 1, s)));
        view.keepSelectedInView();
        field->setStringValue(model.typed);
      }
      else
      {
        NSEvent ns;
        if (TranslateX11Event(e, kH, clicks, XlibKeyLookup(), now(), &ns)) field->keyDown(&ns);
      }
      break;
    }
    default:
      return true;
    }
    if (!done) redraw();
    return true;
  };
  while (!done)
    mImpl->pump(0.05);
  mImpl->modal = std::move(previous);
  XDestroyWindow(dpy, id);
  XFlush(dpy);
  field->release();
  if (!chosen) path->clear();
  return chosen;
}
