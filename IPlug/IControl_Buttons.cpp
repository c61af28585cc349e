// Radio buttons, web links and the file selector.

#include "IPlug/IControl.h"
#include "IPlug/IGraphics.h"
#include "IPlug/IPlugBase.h"

// ---- Radio buttons -------------------------------------------------------------

IRadioButtonsControl::IRadioButtonsControl(IPlugBase* plug, IRECT rect, int paramIdx, int nButtons,
                                           IBitmap* bitmap, EDirection direction)
    : IControl(plug, rect, paramIdx), mBitmap(*bitmap)
{
  if (nButtons < 1) nButtons = 1;
  mRECTs.Resize(nButtons);
  const int w = bitmap->W, h = bitmap->FrameHeight();
  const int gaps = std::max(nButtons - 1, 1);
  int x = rect.L, y = rect.T;
  if (direction == kHorizontal)
  {
    const int gap = (rect.W() - nButtons * w) / gaps;
    for (int i = 0; i < nButtons; ++i, x += w + gap)
      mRECTs.Get()[i] = IRECT(x, y, x + w, y + h);
  }
  else
  {
    const int gap = (rect.H() - nButtons * h) / gaps;
    for (int i = 0; i < nButtons; ++i, y += h + gap)
      mRECTs.Get()[i] = IRECT(x, y, x + w, y + h);
  }
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* mod)
{
  if (mod && mod->R)
  {
    PromptUserInput();
    return;
  }
  const int n = NButtons();
  for (int i = 0; i < n; ++i)
    if (mRECTs.Get()[i].Contains(x, y))
    {
      mValue = n > 1 ? double(i) / double(n - 1) : 0.0;
      break;
    }
  SetDirty(true);
}

bool IRadioButtonsControl::Draw(IGraphics* graphics)
{
  const int n = NButtons();
  const int active = std::min(std::max(int(0.5 + mValue * double(n - 1)), 0), n - 1);
  for (int i = 0; i < n; ++i)
    graphics->DrawBitmap(&mBitmap, mRECTs.Get() + i, i == active ? 2 : 1, &mBlend);
  return true;
}

// ---- Web link ------------------------------------------------------------------

namespace
{
template <size_t N> void CopyText(char (&dest)[N], const char* src)
{
  std::memset(dest, 0, N);
  if (src && *src) std::strncpy(dest, src, N - 1);
}
} // namespace

IURLControl::IURLControl(IPlugBase* plug, IRECT rect, const char* url, const char* backupURL,
                         const char* errMsgOnFailure)
    : IControl(plug, rect)
{
  CopyText(mURL, url);
  CopyText(mFallbackURL, backupURL);
  CopyText(mFailureText, errMsgOnFailure);
}

void IURLControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* gui = GetGUI();
  if (!gui) return;
  bool opened = false;
  if (mURL[0]) opened = gui->OpenURL(mURL, mFailureText, nullptr, nullptr);
  if (!opened && mFallbackURL[0]) gui->OpenURL(mFallbackURL, mFailureText, nullptr, nullptr);
}

// ---- File selector -------------------------------------------------------------

IFileSelectorControl::IFileSelectorControl(IPlugBase* plug, IRECT rect, int paramIdx,
                                           IBitmap* bitmap, EFileAction action, const char* dir,
                                           const char* extensions)
    : IControl(plug, rect, paramIdx), mBitmap(*bitmap), mDir(dir), mExtensions(extensions),
      mFileAction(action)
{
}

void IFileSelectorControl::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* gui = GetGUI();
  if (!gui) return;
  mState = kFSSelecting;
  SetDirty(false);
  gui->PromptForFile(&mFile, mFileAction, &mDir, mExtensions.Get());
  mValue += 1.0;
  if (mValue > 1.0) mValue = 0.0;
  mState = kFSDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* graphics)
{
  if (mState == kFSSelecting) graphics->DrawBitmap(&mBitmap, &mRECT, 0, 0, nullptr);
  return true;
}

bool IFileSelectorControl::IsDirty()
{
  if (mDirty) return true;
  if (mState == kFSDone)
  {
    mState = kFSNone;
    return true;
  }
  return false;
}
