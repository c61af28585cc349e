#pragma once

// An editor without a window for the editor framework's tests: a plug-in that
// records gesture announcements, an IGraphics whose binding operations are
// scripted (bitmap resources by name, menu choices, text entries), and a
// control that records when it is drawn and clicked.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "IPlug/IControl.h"
#include "IPlug/IGraphics.h"
#include "IPlug/IPopupMenu.h"
#include "tests/IPlug/TestPlug.h"

class GesturePlug : public TestPlug
{
public:
  using TestPlug::TestPlug;
  void BeginInformHostOfParamChange(int idx) override { gestures.emplace_back('B', idx); }
  void EndInformHostOfParamChange(int idx) override { gestures.emplace_back('E', idx); }
  void ResizeGraphics(int w, int h) override
  {
    resizedTo = {w, h};
    if (onResize) onResize();
  }
  std::vector<std::pair<char, int>> gestures;
  std::pair<int, int> resizedTo{-1, -1};
  void (*onResize)() = nullptr;
};

// A film strip of n frames, each w x frameH, frame k (0-based) filled with the
// pixel word 0xFF | k << 8 (opaque, red channel = frame index).
inline LICE_MemBitmap* MakeStrip(int w, int frameH, int n)
{
  auto* bm = new LICE_MemBitmap(w, frameH * n);
  for (int k = 0; k < n; ++k)
    LICE_FillRect(bm, 0, k * frameH, w, frameH, LICE_RGBA(k, 0, 0, 255), 1.0f, 0);
  return bm;
}

class TestGraphics : public IGraphics
{
public:
  TestGraphics(IPlugBase* plug, int w = 200, int h = 100, int fps = 0) : IGraphics(plug, w, h, fps)
  {
  }

  bool DrawScreen(IRECT* r) override
  {
    screens.push_back(*r);
    return true;
  }
  void ForceEndUserEdit() override {}
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* rect) override
  {
    menuRect = *rect;
    menuItems.clear();
    for (int i = 0; i < menu->GetNItems(); ++i)
      menuItems.emplace_back(menu->GetItem(i)->GetText(), menu->GetItem(i)->GetChecked());
    if (menuChoice < 0) return nullptr;
    menu->SetChosenItemIdx(menuChoice);
    return menu;
  }
  void CreateTextEntry(IControl* control, IText*, IRECT* rect, const char* str,
                       IParam* param) override
  {
    entryControl = control;
    entryParam = param;
    entryRect = *rect;
    entryText = str;
    ++textEntries;
  }
  void HostPath(WDL_String*) override {}
  void PluginPath(WDL_String*) override {}
  void PromptForFile(WDL_String* fileName, EFileAction, WDL_String*, char*) override
  {
    fileName->Set(fileAnswer.c_str());
  }
  bool PromptForColor(IColor*, char*) override { return false; }
  bool OpenURL(const char* url, const char*, const char*, const char*) override
  {
    urls.push_back(url);
    return urlResult;
  }
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  LICE_IBitmap* OSLoadBitmap(int, const char* name) override
  {
    ++osLoads;
    auto it = resources.find(name ? name : "");
    if (it == resources.end()) return nullptr;
    LICE_IBitmap* bm = it->second;
    resources.erase(it); // the cache owns it from now on
    return bm;
  }

  void SetDrawRECT(const IRECT& r) { mDrawRECT = r; }

  std::vector<IRECT> screens;
  std::map<std::string, LICE_IBitmap*> resources;
  int osLoads = 0;
  int menuChoice = -1;
  IRECT menuRect, entryRect;
  std::vector<std::pair<std::string, bool>> menuItems;
  IControl* entryControl = nullptr;
  IParam* entryParam = nullptr;
  std::string entryText;
  int textEntries = 0;
  std::string fileAnswer;
  std::vector<std::string> urls;
  bool urlResult = true;
};

// Records draws and mouse events into a shared log as "<name>:<event>".
class ProbeControl : public IControl
{
public:
  ProbeControl(IPlugBase* plug, IRECT rect, int paramIdx, std::vector<std::string>* log,
               std::string name)
      : IControl(plug, rect, paramIdx), mLog(log), mName(std::move(name))
  {
  }
  bool Draw(IGraphics* g) override
  {
    mLog->push_back(mName + ":draw");
    lastDrawRect = g->GetDrawRECT();
    return true;
  }
  void OnMouseDown(int x, int y, IMouseMod*) override { Note("down", x, y); }
  void OnMouseUp(int x, int y, IMouseMod*) override { Note("up", x, y); }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod*) override
  {
    mLog->push_back(mName + ":drag " + std::to_string(dX) + "," + std::to_string(dY));
    (void)x;
    (void)y;
  }
  void OnMouseDblClick(int x, int y, IMouseMod*) override { Note("dbl", x, y); }
  void OnMouseWheel(int, int, IMouseMod*, int d) override
  {
    mLog->push_back(mName + ":wheel " + std::to_string(d));
  }
  bool OnKeyDown(int, int, int key) override
  {
    mLog->push_back(mName + ":key " + std::to_string(key));
    return true;
  }
  void OnMouseOver(int x, int y, IMouseMod*) override { Note("over", x, y); }
  void OnMouseOut() override { mLog->push_back(mName + ":out"); }

  IRECT lastDrawRect;
  using IControl::mDblAsSingleClick;

private:
  void Note(const char* what, int x, int y)
  {
    mLog->push_back(mName + ":" + what + " " + std::to_string(x) + "," + std::to_string(y));
  }
  std::vector<std::string>* mLog;
  std::string mName;
};
