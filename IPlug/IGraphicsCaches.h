#pragma once

// The process-wide bitmap and font caches shared by every editor instance.
// Each has its own mutex: several plug-in instances may build editors at the
// same time on different threads. Entries stay until the plug-in is unloaded
// (a bitmap also until ReleaseBitmap).

#include "IPlug/Containers.h"
#include "IPlug/IGraphicsStructs.h"

class BitmapStorage
{
public:
  struct BitmapKey
  {
    int id;
    LICE_IBitmap* bitmap;
  };

  BitmapStorage() = default;
  ~BitmapStorage();
  BitmapStorage(const BitmapStorage&) = delete;
  BitmapStorage& operator=(const BitmapStorage&) = delete;

  // The first bitmap cached under the ID, or null.
  LICE_IBitmap* Find(int id);
  // The cache owns the bitmap from now on.
  void Add(LICE_IBitmap* bitmap, int id = -1);
  // Deletes the first entry holding the bitmap, and the bitmap; a bitmap the
  // cache does not hold changes nothing.
  void Remove(LICE_IBitmap* bitmap);
  int Size();

private:
  WDL_PtrList<BitmapKey> mBitmaps;
  WDL_Mutex mMutex;
};

class FontStorage
{
public:
  struct FontKey
  {
    int size;
    int orientation;
    IText::EStyle style;
    char face[IText::kFontLen];
    LICE_IFont* font;
  };

  FontStorage() = default;
  ~FontStorage();
  FontStorage(const FontStorage&) = delete;
  FontStorage& operator=(const FontStorage&) = delete;

  // The first font with the style's size, orientation, style and face (colour,
  // alignment and quality are not part of the key), or null.
  LICE_IFont* Find(const IText* text);
  void Add(LICE_IFont* font, const IText* text);
  int Size();

private:
  WDL_PtrList<FontKey> mFonts;
  WDL_Mutex mMutex;
};

extern BitmapStorage s_bitmapCache;
extern FontStorage s_fontCache;
