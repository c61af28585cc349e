// Draws the editor's pictures into a folder:
//   tolvane_artwork OUTDIR [--preview FILE]
// With --preview it also composes the whole editor at its factory settings
// (stereo engine running, loop panel dimmed) into FILE, for looking at.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "lice/lice_png.h"
#include "tools/artwork/Artwork.h"
#include "tools/artwork/Canvas.h"

using namespace artwork;

namespace
{
bool save(const std::string& dir, const char* name, LICE_IBitmap* bm)
{
  std::unique_ptr<LICE_IBitmap> owned(bm);
  const std::string path = dir + "/" + name;
  if (LICE_WritePNG(path.c_str(), bm)) return true;
  std::fprintf(stderr, "tolvane_artwork: cannot write %s\n", path.c_str());
  return false;
}

void frame(LICE_IBitmap* dst, LICE_IBitmap* strip, int x, int y, int w, int h, int index)
{
  LICE_Blit(dst, strip, x, y, 0, index * h, w, h, 1.0f, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
}

int frameOf(double v, int n)
{
  return int(0.5 + v * (n - 1));
}

void value(LICE_IBitmap* bm, const Box& d, const char* s, Panel panel)
{
  const int c = panel == kStereo ? 0x9999ff : 0xffff00;
  text(bm, s, d.l, d.t, d.r, 11, false, kCentre, rgb(c), false, "Monaco");
}

// The editor at its factory settings, as a host would first show it.
bool preview(const std::string& path)
{
  std::unique_ptr<LICE_IBitmap> bm(makeBackground());
  std::unique_ptr<LICE_IBitmap> topBig(makeKnobStrip(kTopBig, kStereo)),
      topSmall(makeKnobStrip(kTopSmall, kStereo)), bottom(makeKnobStrip(kBottomBig, kLoop)),
      smooth(makeKnobStrip(kBottomSmall, kLoop)), handle(makeSliderHandle()),
      engine(makeEngineButton()), pong(makePongButton());
  const double loop[] = {0.666, 0.15, 0.6566, 0.5, 0, 0, 0, 0, 1.0, 0.2168};
  const char* loopText[] = {"0.50", "15.00", "8.0",  "0.50",  "0.00",
                            "0.00", "0.00",  "0.00", "20.00", "4.34"};
  for (int i = 0; i < 10; ++i)
  {
    const Labelled& k = kLoopKnobs[i];
    frame(bm.get(), bottom.get(), k.x, k.y, kBottomBig, kBottomBig, frameOf(loop[i], kKnobFrames));
    value(bm.get(), k.display, loopText[i], kLoop);
  }
  frame(bm.get(), smooth.get(), kSmoothKnob.x, kSmoothKnob.y, kBottomSmall, kBottomSmall,
        frameOf(0.3947, kKnobFrames));
  const double big[] = {0.2429, 0.47};
  const char* bigText[] = {" 4.0", "0.47"};
  for (int i = 0; i < 2; ++i)
  {
    const Labelled& k = kStereoBigKnobs[i];
    frame(bm.get(), topBig.get(), k.x, k.y, kTopBig, kTopBig, frameOf(big[i], kKnobFrames));
    value(bm.get(), k.display, bigText[i], kStereo);
  }
  const double small[] = {1.0, 0.3861, 0.0, 1.0, 0.3861, 1.0};
  const char* smallText[] = {"20000", " 497", "-1.0", "20000", " 497", " 1.0"};
  for (int i = 0; i < 6; ++i)
  {
    const Labelled& k = kStereoSmallKnobs[i];
    frame(bm.get(), topSmall.get(), k.x, k.y, kTopSmall, kTopSmall, frameOf(small[i], kKnobFrames));
    value(bm.get(), k.display, smallText[i], kStereo);
  }
  const double fader[] = {0.1636, 0.75, 0.47, 0.2727, 0.75, 0.47};
  const char* faderText[] = {" 3.0", "0.75", "0.47", " 5.0", "0.75", "0.47"};
  for (int i = 0; i < 6; ++i)
  {
    const Labelled& f = kFaders[i];
    LICE_Blit(bm.get(), handle.get(), f.x, handleTop(f.y, fader[i]), 0, 0, kHandleW, kHandleH, 1.0f,
              LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
    value(bm.get(), f.display, faderText[i], kStereo);
  }
  frame(bm.get(), pong.get(), kPongX, kPongY, kPongW, kPongH, 1);
  frame(bm.get(), engine.get(), kEngineX, kEngineY, kEngineW, kEngineH, 1);
  for (const Box& a : kLoopAreas)
    LICE_FillRect(bm.get(), a.l, a.t, a.w(), a.h(), LICE_RGBA(155, 155, 155, 160), 1.0f,
                  LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
  return LICE_WritePNG(path.c_str(), bm.get());
}
} // namespace

int main(int argc, char** argv)
{
  if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--preview") == 0))
  {
    std::fprintf(stderr, "usage: tolvane_artwork OUTDIR [--preview FILE]\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = save(dir, "GUIFINAL2_KVO.png", makeBackground());
  ok = save(dir, "TopBig.png", makeKnobStrip(kTopBig, kStereo)) && ok;
  ok = save(dir, "TopSmall.png", makeKnobStrip(kTopSmall, kStereo)) && ok;
  ok = save(dir, "BottomBig3.png", makeKnobStrip(kBottomBig, kLoop)) && ok;
  ok = save(dir, "BottomSmall.png", makeKnobStrip(kBottomSmall, kLoop)) && ok;
  ok = save(dir, "SliderBody.png", makeSliderBody()) && ok;
  ok = save(dir, "SliderKnob.png", makeSliderHandle()) && ok;
  ok = save(dir, "SwitcherButton.png", makeEngineButton()) && ok;
  ok = save(dir, "PongButton.png", makePongButton()) && ok;
  if (argc == 4) ok = preview(argv[3]) && ok;
  return ok ? 0 : 1;
}
