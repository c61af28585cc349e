// Validation: property listeners and render notifications reach the host,
// and stop once removed.

#include "host/kit/AUProperty.h"
#include "host/validate/ValidateSupport.h"

namespace
{
struct PropertyCall
{
  AudioUnit unit;
  AudioUnitPropertyID id;
  AudioUnitScope scope;
};

void RecordProperty(void* calls, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                    AudioUnitElement)
{
  static_cast<std::vector<PropertyCall>*>(calls)->push_back({unit, id, scope});
}

size_t CallsFor(const std::vector<PropertyCall>& calls, AudioUnitPropertyID id)
{
  size_t count = 0;
  for (const PropertyCall& call : calls)
    count += call.id == id;
  return count;
}

CheckResult PropertyListeners(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  const AudioUnit u = unit.Get();
  std::vector<PropertyCall> calls;
  Findings findings;
  for (const AudioUnitPropertyID id :
       {kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitProperty_BypassEffect})
    findings.RequireNoErr(AudioUnitAddPropertyListener(u, id, RecordProperty, &calls),
                          "adding a listener");

  SetGlobalProperty(u, kAudioUnitProperty_MaximumFramesPerSlice, UInt32(2048));
  SetGlobalProperty(u, kAudioUnitProperty_BypassEffect, UInt32(1));
  findings.Require(CallsFor(calls, kAudioUnitProperty_MaximumFramesPerSlice) == 1,
                   "the maximum-frames listener heard " +
                       std::to_string(CallsFor(calls, kAudioUnitProperty_MaximumFramesPerSlice)) +
                       " calls");
  findings.Require(CallsFor(calls, kAudioUnitProperty_BypassEffect) == 1,
                   "the bypass listener was not called once");
  for (const PropertyCall& call : calls)
    findings.Require(call.unit == u && call.scope == kAudioUnitScope_Global,
                     "a listener call names another unit or scope");

  calls.clear();
  findings.RequireNoErr(
      AudioUnitRemovePropertyListener(u, kAudioUnitProperty_MaximumFramesPerSlice, RecordProperty),
      "removing a listener");
  findings.RequireNoErr(AudioUnitRemovePropertyListenerWithUserData(
                            u, kAudioUnitProperty_BypassEffect, RecordProperty, &calls),
                        "removing a listener with its user data");
  SetGlobalProperty(u, kAudioUnitProperty_MaximumFramesPerSlice, UInt32(1024));
  SetGlobalProperty(u, kAudioUnitProperty_BypassEffect, UInt32(0));
  findings.Require(calls.empty(), "a removed listener is still called");
  return findings.Result();
}

struct RenderCall
{
  AudioUnitRenderActionFlags flags;
  Float64 sampleTime;
  UInt32 bus;
  UInt32 frames;
};

OSStatus RecordRender(void* calls, AudioUnitRenderActionFlags* flags,
                      const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 frames, AudioBufferList*)
{
  static_cast<std::vector<RenderCall>*>(calls)->push_back(
      {flags ? *flags : 0, timeStamp ? timeStamp->mSampleTime : -1.0, bus, frames});
  return noErr;
}

CheckResult RenderNotifications(ValidationContext& context)
{
  const StreamSetup setup = StereoSetup();
  PlayingUnit unit;
  std::string error;
  if (!unit.Start(context, setup, error)) return Fail(error);
  std::vector<RenderCall> calls;
  Findings findings;
  findings.RequireNoErr(AudioUnitAddRenderNotify(unit.Unit(), RecordRender, &calls),
                        "adding a notification");
  const AudioData input = MakeNoise(setup, 256.0 / setup.sampleRate, 0.5f);
  AudioData output;
  findings.RequireNoErr(RenderSignal(unit.Renderer(), input, output), "rendering");
  findings.Require(calls.size() == 2,
                   "one render gives " + std::to_string(calls.size()) + " notifications, not 2");
  if (calls.size() == 2)
  {
    findings.Require((calls[0].flags & kAudioUnitRenderAction_PreRender) != 0,
                     "the first is not pre-render");
    findings.Require((calls[1].flags & kAudioUnitRenderAction_PostRender) != 0,
                     "the second is not post-render");
    for (const RenderCall& call : calls)
      findings.Require(call.sampleTime == 0.0 && call.frames == 256 && call.bus == 0,
                       "a notification with another time, bus or frame count");
  }
  calls.clear();
  findings.RequireNoErr(AudioUnitRemoveRenderNotify(unit.Unit(), RecordRender, &calls),
                        "removing the notification");
  findings.RequireNoErr(RenderSignal(unit.Renderer(), input, output), "rendering");
  findings.Require(calls.empty(), "a removed notification is still called");
  return findings.Result();
}
} // namespace

CheckGroup NotificationChecks()
{
  return {"notifications",
          {{"property listeners hear changes until removed", PropertyListeners},
           {"render notifications come before and after each render", RenderNotifications}}};
}
