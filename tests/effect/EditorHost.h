#pragma once

// A host that opens the effect's editor the way a music application does
// (host/EditorView: the Cocoa view property, the factory class from the
// module, the view in a window), drives it with mouse events and timer ticks
// and reads the parameters back through the host API. For checks of the
// controls themselves it also reaches the editor behind the view.

#include "host/kit/EditorView.h"
#include "host/kit/HostedUnit.h"

#include "IPlug/IGraphicsCocoa.h"

#include <AudioToolbox/AudioUnitUtilities.h>

#include <map>
#include <memory>
#include <string>

class EditorHost
{
public:
  static constexpr double kTick = 1.0 / 25; // the editor's timer period

  EditorHost() = default;
  ~EditorHost() { Close(); }
  EditorHost(const EditorHost&) = delete;
  EditorHost& operator=(const EditorHost&) = delete;

  // Opens the unit and its view; false with Failure() set when any step fails.
  bool Open()
  {
    mHost.reset(new HostedUnit());
    if (!mHost->OpenFound("", mFailure)) return false;
    if (!mView.Open(mHost->Unit(), mFailure)) return false;
    ListenToGestures();
    return true;
  }

  void Close()
  {
    if (mListener) AUListenerDispose(mListener);
    mListener = nullptr;
    mView.Close();
    mHost.reset();
  }

  const std::string& Failure() const { return mFailure; }
  AudioUnit Unit() const { return mHost->Unit(); }
  EditorView& View() { return mView; }
  // The editor behind the view (for looking at its controls).
  IGraphics* Graphics() const
  {
    auto* view = static_cast<IGraphicsCocoa_vTolvaneDelay_au*>(mView.View());
    return view ? view->graphics() : nullptr;
  }

  ComponentResult SetParameter(int id, float value) { return mHost->SetParameter(id, value); }
  float GetParameter(int id) const
  {
    AudioUnitParameterValue value = -1.0f;
    AudioUnitGetParameter(mHost->Unit(), id, kAudioUnitScope_Global, 0, &value);
    return value;
  }

  // One period of the editor's timer and the repaint it asks for.
  void Tick() { mView.Run(kTick); }

  // A press and release; the clock then moves on so that the next press is
  // not taken for a double click.
  void Click(int x, int y, uint32_t flags = 0)
  {
    mView.MouseDown(x, y, flags);
    mView.MouseUp(x, y, flags);
    mView.Run(0.6);
  }
  void Drag(int x0, int y0, int x1, int y1, uint32_t flags = 0)
  {
    mView.MouseDown(x0, y0, flags);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
      mView.MouseDrag(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, flags);
    mView.MouseUp(x1, y1, flags);
    mView.Run(0.6);
  }

  // The colour a window shows at editor pixel (x, y).
  IColor ViewPixel(int x, int y) const
  {
    const uint32_t p = mView.Pixel(x, y);
    return IColor(p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF, (p >> 24) & 0xFF);
  }

  int GestureBegins(int param) const { return Count(mBegins, param); }
  int GestureEnds(int param) const { return Count(mEnds, param); }

private:
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

  std::unique_ptr<HostedUnit> mHost;
  EditorView mView;
  AUEventListenerRef mListener = nullptr;
  std::map<int, int> mBegins, mEnds;
  std::string mFailure;
};
