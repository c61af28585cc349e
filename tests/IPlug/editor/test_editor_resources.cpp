// The bitmap cache and its operations, text drawing flags and bitmap-font
// text positions.

#include <gtest/gtest.h>

#include "IPlug/IBitmapMonoText.h"
#include "IPlug/IGraphicsCaches.h"
#include "lice/lice_text.h"
#include "tests/IPlug/editor/EditorTestSupport.h"

namespace
{
struct Resources : ::testing::Test
{
  GesturePlug plug{1};
  TestGraphics* gui = new TestGraphics(&plug);
  void SetUp() override { plug.AttachGraphics(gui); }
};

// Records what text drawing asks of a font.
class RecordingFont : public LICE_IFont
{
public:
  void SetFromHFont(HFONT, int) override {}
  LICE_pixel SetTextColor(LICE_pixel color) override
  {
    colour = color;
    return color;
  }
  int GetLineHeight() override { return 10; }
  int DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect,
               unsigned int dtFlags) override
  {
    target = bm;
    text = str;
    count = strcnt;
    r = *rect;
    flags = dtFlags;
    ++draws;
    return 10;
  }
  LICE_pixel colour = 0;
  LICE_IBitmap* target = nullptr;
  std::string text;
  int count = 0, draws = 0;
  RECT r{};
  unsigned int flags = 0;
};
} // namespace

TEST_F(Resources, LoadIBitmapCachesByIdAlone)
{
  LICE_MemBitmap* strip = MakeStrip(8, 10, 6);
  gui->resources["knob.png"] = strip;
  IBitmap a = gui->LoadIBitmap(1001, "knob.png", 6);
  IBitmap b = gui->LoadIBitmap(1001, "other.png", 3); // the ID is the key
  EXPECT_EQ(a.mData, strip);
  EXPECT_EQ(b.mData, strip);
  EXPECT_EQ(a.N, 6);
  EXPECT_EQ(b.N, 3);
  EXPECT_EQ(a.W, 8);
  EXPECT_EQ(a.H, 60);
  EXPECT_EQ(gui->osLoads, 1);
  EXPECT_EQ(s_bitmapCache.Find(1001), strip);
}

TEST_F(Resources, MissingResourceGivesAnEmptyBitmapOnce)
{
  testing::internal::CaptureStderr();
  IBitmap a = gui->LoadIBitmap(1002, "missing.png", 60);
  IBitmap b = gui->LoadIBitmap(1002, "missing.png", 60);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "imgResourceFound: missing.png\n");
  EXPECT_EQ(gui->osLoads, 1);
  ASSERT_NE(a.mData, nullptr);
  EXPECT_EQ(a.W, 0);
  EXPECT_EQ(a.H, 0);
  EXPECT_EQ(a.mData->getBits(), nullptr);
  EXPECT_EQ(b.mData, a.mData);
  // Controls built on it have no size and draw nothing; dragging divides by nothing.
  auto* knob = new IKnobMultiControl(&plug, 5, 5, 0, &a, kVertical, 4.0);
  gui->AttachControl(knob);
  EXPECT_EQ(*knob->GetRECT(), IRECT(5, 5, 5, 5));
  IMouseMod left(true);
  knob->OnMouseDrag(5, 5, 0, -10, &left);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.0);
  gui->SetDrawRECT(IRECT(0, 0, 200, 100));
  EXPECT_TRUE(knob->Draw(gui));
  IRECT dest(0, 0, 20, 20);
  gui->DrawBitmap(&a, &dest, 30, nullptr);
  for (int y = 0; y < 20; ++y)
    EXPECT_EQ(gui->GetPoint(y, y), COLOR_TRANSPARENT);
}

TEST_F(Resources, BackgroundComesFromTheCache)
{
  gui->resources["bg.png"] = MakeStrip(200, 100, 1);
  IControl* bg = gui->AttachBackground(1003, "bg.png");
  EXPECT_EQ(gui->GetControl(0), bg);
  EXPECT_EQ(*bg->GetRECT(), IRECT(0, 0, 200, 100));
  EXPECT_EQ(bg->ParamIdx(), -1);
  EXPECT_EQ(bg->GetBlend()->mMethod, IChannelBlend::kBlendClobber);
}

TEST_F(Resources, RetainReleaseCropAndScale)
{
  const int before = s_bitmapCache.Size();
  IBitmap strip(MakeStrip(4, 5, 4), 4, 20, 4);
  gui->RetainBitmap(&strip);
  EXPECT_EQ(s_bitmapCache.Size(), before + 1);

  IRECT r(1, 10, 3, 15); // the third frame, two columns
  IBitmap crop = gui->CropBitmap(&strip, &r);
  EXPECT_EQ(crop.W, 2);
  EXPECT_EQ(crop.H, 5);
  EXPECT_EQ(crop.N, 4);
  EXPECT_EQ(LICE_GETR(LICE_GetPixel(crop.mData, 0, 0)), 2);
  EXPECT_EQ(s_bitmapCache.Size(), before + 2);

  IBitmap scaled = gui->ScaleBitmap(&strip, 8, 40);
  EXPECT_EQ(scaled.W, 8);
  EXPECT_EQ(scaled.H, 40);
  EXPECT_EQ(scaled.N, 4);
  EXPECT_EQ(LICE_GETR(LICE_GetPixel(scaled.mData, 4, 1)), 0);
  EXPECT_EQ(LICE_GETR(LICE_GetPixel(scaled.mData, 4, 38)), 3);

  LICE_MemBitmap stranger(2, 2);
  IBitmap notCached(&stranger, 2, 2, 1);
  gui->ReleaseBitmap(&notCached); // not held: nothing happens
  EXPECT_EQ(s_bitmapCache.Size(), before + 3);
  gui->ReleaseBitmap(&crop);
  gui->ReleaseBitmap(&scaled);
  gui->ReleaseBitmap(&strip);
  EXPECT_EQ(s_bitmapCache.Size(), before);
}

TEST(FontStorage, KeyIgnoresColourAlignmentAndQuality)
{
  FontStorage cache;
  IText a(12, &COLOR_RED, "Face", IText::kStyleBold, IText::kAlignNear);
  IText b(12, &COLOR_BLUE, "Face", IText::kStyleBold, IText::kAlignFar, 0,
          IText::kQualityAntiAliased);
  auto* font = new RecordingFont;
  cache.Add(font, &a);
  EXPECT_EQ(cache.Find(&b), font);
  IText otherSize(13, &COLOR_RED, "Face", IText::kStyleBold);
  IText otherFace(12, &COLOR_RED, "face", IText::kStyleBold);
  IText otherStyle(12, &COLOR_RED, "Face", IText::kStyleItalic);
  IText turned(12, &COLOR_RED, "Face", IText::kStyleBold, IText::kAlignNear, 90);
  for (const IText* t : {&otherSize, &otherFace, &otherStyle, &turned})
    EXPECT_EQ(cache.Find(t), nullptr);
  EXPECT_EQ(cache.Size(), 1);
}

TEST_F(Resources, DrawITextFlags)
{
  RecordingFont font;
  IText t(10, &COLOR_BLACK);
  t.mCached = &font;
  IRECT r(10, 20, 60, 35);
  EXPECT_TRUE(gui->DrawIText(&t, "", &r));
  EXPECT_TRUE(gui->DrawIText(&t, nullptr, &r));
  EXPECT_EQ(font.draws, 0);

  EXPECT_TRUE(gui->DrawIText(&t, "1.5 ms", &r));
  EXPECT_EQ(font.flags, unsigned(LICE_DT_NOCLIP | LICE_DT_CENTER));
  EXPECT_EQ(font.text, "1.5 ms");
  EXPECT_EQ(font.count, -1);
  EXPECT_EQ(font.r.left, 10);
  EXPECT_EQ(font.r.bottom, 35);
  EXPECT_EQ(font.target, gui->GetDrawBitmap());
  EXPECT_EQ(font.colour, LiceColor(&COLOR_BLACK));

  t.mColor = IColor(128, 10, 20, 30);
  t.mAlign = IText::kAlignNear;
  gui->DrawIText(&t, "x", &r);
  EXPECT_EQ(font.flags, unsigned(LICE_DT_NOCLIP | LICE_DT_USEFGALPHA));
  t.mAlign = IText::kAlignFar;
  gui->DrawIText(&t, "x", &r);
  EXPECT_EQ(font.flags, unsigned(LICE_DT_NOCLIP | LICE_DT_USEFGALPHA | LICE_DT_RIGHT));
}

// ---- Bitmap-font text ------------------------------------------------------------

namespace
{
// A font bitmap of 96 frames of 8 x 10; the frame number is readable in the
// pixels' red channel (frame k + 1 has red k).
struct BitmapText : Resources
{
  IBitmap font{MakeStrip(8, 10, 96), 8, 960, 96};
  IText left{10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignNear};
  IText centred{10};
  void SetUp() override
  {
    Resources::SetUp();
    gui->SetDrawRECT(IRECT(0, 0, 200, 100));
  }
  void TearDown() override { delete font.mData; }
  // The red channel at a cell's top-left, or -1 where nothing was drawn.
  int CellAt(int x, int y)
  {
    const IColor c = gui->GetPoint(x, y);
    return c.A ? c.R : -1;
  }
};
} // namespace

TEST_F(BitmapText, LeftAlignedStartsOneCellIn)
{
  IRECT r(100, 0, 160, 10);
  DrawBitmapedText(gui, &font, &r, &left, nullptr, "!#", false, false, 8, 10);
  EXPECT_EQ(CellAt(107, 0), -1);
  EXPECT_EQ(CellAt(108, 0), '!' - 32);
  EXPECT_EQ(CellAt(116, 0), '#' - 32);
  EXPECT_EQ(CellAt(124, 0), -1);
}

TEST_F(BitmapText, CentredAndVerticallyCentred)
{
  IRECT r(100, 0, 140, 30);
  DrawBitmapedText(gui, &font, &r, &centred, nullptr, "AB", true, false, 8, 10);
  // (40 - 16) / 2 = 12 from the left, (30 - 10) / 2 = 10 from the top.
  EXPECT_EQ(CellAt(112, 10), 'A' - 32);
  EXPECT_EQ(CellAt(120, 10), 'B' - 32);
  EXPECT_EQ(CellAt(111, 10), -1);
  EXPECT_EQ(CellAt(112, 9), -1);
}

TEST_F(BitmapText, SingleLineWrapsOnceAndOutOfRangeCodesUseTheFirstFrame)
{
  // 48 wide: lineWidth 32, 4 characters a line, two rows at most.
  IRECT r(0, 40, 48, 70);
  DrawBitmapedText(gui, &font, &r, &left, nullptr, "abcdefgh\x01xyz", false, false, 8, 10);
  EXPECT_EQ(CellAt(8, 40), 'a' - 32);
  EXPECT_EQ(CellAt(32, 40), 'd' - 32);
  EXPECT_EQ(CellAt(8, 50), 'e' - 32);
  EXPECT_EQ(CellAt(32, 50), 'h' - 32);
  EXPECT_EQ(CellAt(8, 60), -1); // no third row
  IRECT low(0, 80, 48, 90);
  DrawBitmapedText(gui, &font, &low, &left, nullptr, "\x01\xE9", false, false, 8, 10);
  EXPECT_EQ(CellAt(8, 80), 0);
  EXPECT_EQ(CellAt(16, 80), 0);
}

TEST_F(BitmapText, TooNarrowRectangleDrawsNothing)
{
  IRECT r(0, 0, 16, 10);
  testing::internal::CaptureStderr();
  DrawBitmapedText(gui, &font, &r, &left, nullptr, "A", false, false, 8, 10);
  const std::string err = testing::internal::GetCapturedStderr();
#ifndef NDEBUG
  EXPECT_EQ(err, "lineWidth > 0\n");
#endif
  for (int x = 0; x < 16; ++x)
    EXPECT_EQ(CellAt(x, 0), -1);
}

TEST_F(BitmapText, ControlDrawsItsTextAndDirtiesOnChange)
{
  auto* c = new IBitmapTextControl(&plug, IRECT(0, 0, 64, 10), &font, "", &left, 8, 10);
  gui->AttachControl(c);
  c->SetClean();
  c->SetTextFromPlug("");
  EXPECT_FALSE(c->IsDirty());
  c->SetTextFromPlug("Hi");
  EXPECT_TRUE(c->IsDirty());
  EXPECT_TRUE(c->Draw(gui));
  EXPECT_EQ(CellAt(8, 0), 'H' - 32);
  EXPECT_EQ(CellAt(16, 0), 'i' - 32);
}
