#include "platform/au/EventListenerRegistry.h"

#include <algorithm>
#include <chrono>

namespace tolvane_au
{

namespace
{

// Parameter and property events name their target with the same four fields.
struct EventTarget
{
  AudioUnit unit;
  UInt32 id;
  AudioUnitScope scope;
  AudioUnitElement element;
};

bool IsPropertyEvent(const AudioUnitEvent& event)
{
  return event.mEventType == kAudioUnitEvent_PropertyChange;
}

EventTarget TargetOf(const AudioUnitEvent& event)
{
  if (IsPropertyEvent(event))
  {
    const AudioUnitProperty& p = event.mArgument.mProperty;
    return {p.mAudioUnit, p.mPropertyID, p.mScope, p.mElement};
  }
  const AudioUnitParameter& p = event.mArgument.mParameter;
  return {p.mAudioUnit, p.mParameterID, p.mScope, p.mElement};
}

bool SameEvent(const AudioUnitEvent& a, const AudioUnitEvent& b)
{
  const EventTarget ta = TargetOf(a), tb = TargetOf(b);
  return a.mEventType == b.mEventType && ta.unit == tb.unit && ta.id == tb.id &&
         ta.scope == tb.scope && ta.element == tb.element;
}

bool Matches(const AudioUnitEvent& registered, const AudioUnitEvent& sent)
{
  const EventTarget r = TargetOf(registered), s = TargetOf(sent);
  const bool idMatches = r.id == s.id || r.id == kAUParameterListener_AnyParameter ||
                         s.id == kAUParameterListener_AnyParameter;
  return registered.mEventType == sent.mEventType && r.unit == s.unit && idMatches &&
         r.scope == s.scope && r.element == s.element;
}

// Watches a unit's own property notifications on behalf of the property registrations. The
// unit keeps one listener per (property, procedure), so one watch serves all registrations.
void PropertyChanged(void*, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                     AudioUnitElement element)
{
  AudioUnitEvent event{};
  event.mEventType = kAudioUnitEvent_PropertyChange;
  event.mArgument.mProperty = {unit, id, scope, element};
  EventListenerRegistry::Get().Notify(nullptr, nullptr, event);
}

void StopWatching(const AudioUnitEvent& event)
{
  const EventTarget t = TargetOf(event);
  AudioUnitRemovePropertyListenerWithUserData(t.unit, t.id, PropertyChanged, nullptr);
}

UInt64 NowNanoseconds()
{
  using namespace std::chrono;
  return static_cast<UInt64>(
      duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

EventListenerRegistry& EventListenerRegistry::Get()
{
  // Never destroyed: listeners may be disposed of during process exit.
  static EventListenerRegistry* registry = new EventListenerRegistry;
  return *registry;
}

AUListenerBase* EventListenerRegistry::Create(AUEventListenerProc eventProc,
                                              AUParameterListenerProc parameterProc, void* refCon)
{
  auto listener = std::make_unique<AUListenerBase>();
  listener->eventProc = eventProc;
  listener->parameterProc = parameterProc;
  listener->refCon = refCon;
  std::lock_guard<std::mutex> lock(mMutex);
  mListeners.push_back(std::move(listener));
  return mListeners.back().get();
}

bool EventListenerRegistry::KnownLocked(AUListenerBase* listener) const
{
  return std::any_of(mListeners.begin(), mListeners.end(),
                     [listener](const auto& known) { return known.get() == listener; });
}

bool EventListenerRegistry::UnitPropertyStillWatchedLocked(const AudioUnitEvent& event) const
{
  const EventTarget t = TargetOf(event);
  return std::any_of(mRegistrations.begin(), mRegistrations.end(),
                     [&t](const Registration& r)
                     {
                       const EventTarget other = TargetOf(r.event);
                       return IsPropertyEvent(r.event) && other.unit == t.unit && other.id == t.id;
                     });
}

OSStatus EventListenerRegistry::Add(AUListenerBase* listener, void* object,
                                    const AudioUnitEvent& event)
{
  if (event.mEventType > kAudioUnitEvent_PropertyChange) return paramErr;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    if (!KnownLocked(listener)) return paramErr;
    if (listener->parameterProc && event.mEventType != kAudioUnitEvent_ParameterValueChange)
      return paramErr;
    for (const Registration& r : mRegistrations)
      if (r.listener == listener && r.object == object && SameEvent(r.event, event)) return noErr;
  }
  // Units are called outside the lock: their notifications come back through Notify.
  if (IsPropertyEvent(event))
  {
    const EventTarget t = TargetOf(event);
    if (OSStatus err = AudioUnitAddPropertyListener(t.unit, t.id, PropertyChanged, nullptr))
      return err;
  }
  std::lock_guard<std::mutex> lock(mMutex);
  if (KnownLocked(listener)) mRegistrations.push_back({listener, object, event});
  return noErr;
}

OSStatus EventListenerRegistry::Remove(AUListenerBase* listener, void* object,
                                       const AudioUnitEvent& event)
{
  bool unwatched = false;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = std::find_if(mRegistrations.begin(), mRegistrations.end(),
                           [&](const Registration& r) {
                             return r.listener == listener && r.object == object &&
                                    SameEvent(r.event, event);
                           });
    if (it == mRegistrations.end()) return kAudioUnitErr_InvalidParameter;
    mRegistrations.erase(it);
    unwatched = IsPropertyEvent(event) && !UnitPropertyStillWatchedLocked(event);
  }
  if (unwatched) StopWatching(event);
  return noErr;
}

OSStatus EventListenerRegistry::Dispose(AUListenerBase* listener)
{
  std::vector<AudioUnitEvent> unwatched;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    auto known = std::find_if(mListeners.begin(), mListeners.end(),
                              [listener](const auto& l) { return l.get() == listener; });
    if (known == mListeners.end()) return paramErr;
    std::vector<AudioUnitEvent> properties;
    for (const Registration& r : mRegistrations)
      if (r.listener == listener && IsPropertyEvent(r.event)) properties.push_back(r.event);
    mRegistrations.erase(std::remove_if(mRegistrations.begin(), mRegistrations.end(),
                                        [listener](const Registration& r)
                                        { return r.listener == listener; }),
                         mRegistrations.end());
    mListeners.erase(known);
    for (const AudioUnitEvent& event : properties)
      if (!UnitPropertyStillWatchedLocked(event)) unwatched.push_back(event);
  }
  for (const AudioUnitEvent& event : unwatched)
    StopWatching(event);
  return noErr;
}

void EventListenerRegistry::ForgetUnit(AudioUnit unit)
{
  std::lock_guard<std::mutex> lock(mMutex);
  mRegistrations.erase(std::remove_if(mRegistrations.begin(), mRegistrations.end(),
                                      [unit](const Registration& r)
                                      { return TargetOf(r.event).unit == unit; }),
                       mRegistrations.end());
}

std::vector<EventListenerRegistry::Delivery>
EventListenerRegistry::MatchingDeliveries(AUListenerBase* sender, void* senderObject,
                                          const AudioUnitEvent& event)
{
  std::vector<Delivery> deliveries;
  std::lock_guard<std::mutex> lock(mMutex);
  for (const Registration& r : mRegistrations)
  {
    const bool fromSender =
        sender && r.listener == sender && (!senderObject || r.object == senderObject);
    if (!fromSender && Matches(r.event, event)) deliveries.push_back({*r.listener, r.object});
  }
  return deliveries;
}

OSStatus EventListenerRegistry::Notify(AUListenerBase* sender, void* senderObject,
                                       const AudioUnitEvent& event)
{
  // Listeners are called without the lock, so that they may register, remove or notify.
  const std::vector<Delivery> deliveries = MatchingDeliveries(sender, senderObject, event);
  if (deliveries.empty()) return noErr;
  AudioUnitParameterValue value = 0;
  const bool valueChange = event.mEventType == kAudioUnitEvent_ParameterValueChange;
  if (valueChange)
  {
    const AudioUnitParameter& p = event.mArgument.mParameter;
    if (AudioUnitGetParameter(p.mAudioUnit, p.mParameterID, p.mScope, p.mElement, &value) != noErr)
      value = 0;
  }
  const UInt64 now = NowNanoseconds();
  for (const Delivery& d : deliveries)
  {
    if (d.listener.eventProc)
      d.listener.eventProc(d.listener.refCon, d.object, &event, now, value);
    else if (d.listener.parameterProc && valueChange)
      d.listener.parameterProc(d.listener.refCon, d.object, &event.mArgument.mParameter, value);
  }
  return noErr;
}

} // namespace tolvane_au
