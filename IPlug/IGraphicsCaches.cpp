// The process-wide bitmap and font caches.

#include "IPlug/IGraphicsCaches.h"

#include "lice/lice_text.h"

BitmapStorage s_bitmapCache;
FontStorage s_fontCache;

BitmapStorage::~BitmapStorage()
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mBitmaps.GetSize(); ++i)
    delete mBitmaps.Get(i)->bitmap;
  mBitmaps.Empty(true);
}

LICE_IBitmap* BitmapStorage::Find(int id)
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mBitmaps.GetSize(); ++i)
    if (mBitmaps.Get(i)->id == id) return mBitmaps.Get(i)->bitmap;
  return nullptr;
}

void BitmapStorage::Add(LICE_IBitmap* bitmap, int id)
{
  WDL_MutexLock lock(&mMutex);
  mBitmaps.Add(new BitmapKey{id, bitmap});
}

void BitmapStorage::Remove(LICE_IBitmap* bitmap)
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mBitmaps.GetSize(); ++i)
    if (mBitmaps.Get(i)->bitmap == bitmap)
    {
      mBitmaps.Delete(i, true);
      delete bitmap;
      return;
    }
}

int BitmapStorage::Size()
{
  WDL_MutexLock lock(&mMutex);
  return mBitmaps.GetSize();
}

FontStorage::~FontStorage()
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mFonts.GetSize(); ++i)
    delete mFonts.Get(i)->font;
  mFonts.Empty(true);
}

LICE_IFont* FontStorage::Find(const IText* text)
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < mFonts.GetSize(); ++i)
  {
    const FontKey* key = mFonts.Get(i);
    if (key->size == text->mSize && key->orientation == text->mOrientation &&
        key->style == text->mStyle && !std::strcmp(key->face, text->mFont))
      return key->font;
  }
  return nullptr;
}

void FontStorage::Add(LICE_IFont* font, const IText* text)
{
  WDL_MutexLock lock(&mMutex);
  FontKey* key = new FontKey{text->mSize, text->mOrientation, text->mStyle, {}, font};
  std::snprintf(key->face, sizeof(key->face), "%s", text->mFont);
  mFonts.Add(key);
}

int FontStorage::Size()
{
  WDL_MutexLock lock(&mMutex);
  return mFonts.GetSize();
}
