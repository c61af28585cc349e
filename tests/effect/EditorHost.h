#pragma once

// A host that opens the effect's editor the way a music application does:
// the unit's Cocoa view property names a bundle and a factory class, the
// class registry gives the factory, and the factory gives the view. Mouse
// events go to the view in window coordinates (bottom-left origin); the
// view's timer runs on the test's clock; the view's pixels are what a window
// would show. For checks of the controls themselves it also reaches the
// editor behind the view.

#include "tests/effect/EffectHost.h"

#include "IPlug/IGraphicsCocoa.h"

#include <AppKit/AppKit.h>
#include <AudioToolbox/AudioUnitUtilities.h>
#include <AudioUnit/AUCocoaUIView.h>

#include <map>
#include <memory>
#include <string>

class EditorHost
{
public:
  EditorHost() = default;
  ~EditorHost() { Close(); }
  EditorHost(const EditorHost&) = delete;
  EditorHost& operator=(const EditorHost&) = delete;

  // Opens the unit and its view; false with Failure() set when any step fails.
  bool Open()
  {
    mHost.reset(new EffectHost());
    if (!mHost->Unit()) return Fail("the component does not open");
    AudioUnitCocoaViewInfo info = {};
    UInt32 size = sizeof info;
    if (AudioUnitGetProperty(mHost->Unit(), kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0,
                             &info, &size) != noErr)
      return Fail("no Cocoa view property");
    char className[256] = {};
    CFStringGetCString(info.mCocoaAUViewClass[0], className, sizeof className,
                       kCFStringEncodingUTF8);
    CFRelease(info.mCocoaAUViewClass[0]);
    CFRelease(info.mCocoaAUViewBundleLocation);
    mClassName = className;
    mFactory.reset(static_cast<AUCocoaUIBase*>(NSCreateObject(className)));
    if (!mFactory) return Fail("no factory class named " + mClassName);
    mView = mFactory->uiViewForAudioUnit(mHost->Unit(), NSMakeSize(100, 100));
    if (!mView) return Fail("the factory gives no view");
    ListenToGestures();
    return true;
  }

  void Close()
  {
    if (mListener) AUListenerDispose(mListener);
    mListener = nullptr;
    if (mView) mView->removeFromSuperview();
    delete mView;
    mView = nullptr;
    mFactory.reset();
    mHost.reset();
  }

  const std::string& Failure() const { return mFailure; }
  const std::string& ClassName() const { return mClassName; }
  AudioUnit Unit() const { return mHost->Unit(); }
  NSView* View() const { return mView; }
  // The editor behind the view (for looking at its controls).
  IGraphics* Graphics() const
  {
    auto* view = static_cast<IGraphicsCocoa_vTolvaneDelay_au*>(mView);
    return view ? view->graphics() : nullptr;
  }

  ComponentResult SetParameter(int id, float value) { return mHost->SetParameter(id, value); }
  float GetParameter(int id) const
  {
    AudioUnitParameterValue value = -1.0f;
    AudioUnitGetParameter(mHost->Unit(), id, kAudioUnitScope_Global, 0, &value);
    return value;
  }

  // One period of the editor's timer, then the window system's repaint.
  void Tick()
  {
    NSTimer::advanceClock(0.04);
    mView->displayIfNeeded();
  }

  // ---- Mouse events at editor coordinates -------------------------------------

  void Click(int x, int y, unsigned long flags = 0)
  {
    Send(&NSView::mouseDown, x, y, flags);
    Send(&NSView::mouseUp, x, y, flags);
  }
  void Drag(int x0, int y0, int x1, int y1, unsigned long flags = 0)
  {
    Send(&NSView::mouseDown, x0, y0, flags);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
      Send(&NSView::mouseDragged, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, flags);
    Send(&NSView::mouseUp, x1, y1, flags);
  }

  // The colour a window shows at editor pixel (x, y).
  IColor ViewPixel(int x, int y) const
  {
    const LICE_pixel p = mView->pixelAt(x, y);
    return IColor(LICE_GETA(p), LICE_GETR(p), LICE_GETG(p), LICE_GETB(p));
  }

  int GestureBegins(int param) const { return Count(mBegins, param); }
  int GestureEnds(int param) const { return Count(mEnds, param); }

private:
  bool Fail(const std::string& why)
  {
    mFailure = why;
    return false;
  }

  // Editor (x, y) is view point (x + 2, H - y - 3): the inverse of the view's mapping.
  void Send(void (NSView::*handler)(NSEvent*), int x, int y, unsigned long flags)
  {
    const double h = mView->frame().size.height;
    NSEvent event(NSMakePoint(x + 2, h - y - 3), flags, 1);
    (mView->*handler)(&event);
  }

  void ListenToGestures()
  {
    AUEventListenerCreate(&EditorHost::OnEvent, this, nullptr, nullptr, 0.0f, 0.0f, &mListener);
    for (AudioUnitEventType type :
         {kAudioUnitEvent_BeginParameterChangeGesture, kAudioUnitEvent_EndParameterChangeGesture})
      for (int id = 0; id < 28; ++id)
      {
        AudioUnitEvent event = {};
        event.mEventType = type;
        event.mArgument.mParameter = {mHost->Unit(), static_cast<AudioUnitParameterID>(id),
                                      kAudioUnitScope_Global, 0};
        AUEventListenerAddEventType(mListener, this, &event);
      }
  }

  static void OnEvent(void* self, void*, const AudioUnitEvent* event, UInt64, Float32)
  {
    auto* host = static_cast<EditorHost*>(self);
    const int id = static_cast<int>(event->mArgument.mParameter.mParameterID);
    if (event->mEventType == kAudioUnitEvent_BeginParameterChangeGesture) ++host->mBegins[id];
    if (event->mEventType == kAudioUnitEvent_EndParameterChangeGesture) ++host->mEnds[id];
  }

  static int Count(const std::map<int, int>& counts, int param)
  {
    auto it = counts.find(param);
    return it == counts.end() ? 0 : it->second;
  }

  std::unique_ptr<EffectHost> mHost;
  std::unique_ptr<AUCocoaUIBase> mFactory;
  NSView* mView = nullptr;
  AUEventListenerRef mListener = nullptr;
  std::map<int, int> mBegins, mEnds;
  std::string mClassName, mFailure;
};
