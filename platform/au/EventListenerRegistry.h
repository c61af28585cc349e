// The listeners hosts and views register for parameter, gesture and property events, and the
// synchronous delivery of those events.
#pragma once

#include <AudioToolbox/AudioToolbox.h>

#include <memory>
#include <mutex>
#include <vector>

// A listener: either an event procedure or a parameter procedure, with its user data.
struct AUListenerBase
{
  AUEventListenerProc eventProc = nullptr;
  AUParameterListenerProc parameterProc = nullptr;
  void* refCon = nullptr;
};

namespace tolvane_au
{

class EventListenerRegistry
{
public:
  static EventListenerRegistry& Get();

  AUListenerBase* Create(AUEventListenerProc eventProc, AUParameterListenerProc parameterProc,
                         void* refCon);
  OSStatus Dispose(AUListenerBase* listener);
  OSStatus Add(AUListenerBase* listener, void* object, const AudioUnitEvent& event);
  OSStatus Remove(AUListenerBase* listener, void* object, const AudioUnitEvent& event);
  OSStatus Notify(AUListenerBase* sender, void* senderObject, const AudioUnitEvent& event);
  // Drops every registration for a unit that is being closed.
  void ForgetUnit(AudioUnit unit);

private:
  struct Registration
  {
    AUListenerBase* listener;
    void* object;
    AudioUnitEvent event;
  };
  struct Delivery
  {
    AUListenerBase listener;
    void* object;
  };

  bool KnownLocked(AUListenerBase* listener) const;
  bool UnitPropertyStillWatchedLocked(const AudioUnitEvent& event) const;
  std::vector<Delivery> MatchingDeliveries(AUListenerBase* sender, void* senderObject,
                                           const AudioUnitEvent& event);
  void StopWatchingUnitProperties(const std::vector<AudioUnitEvent>& events);

  std::mutex mMutex;
  std::vector<std::unique_ptr<AUListenerBase>> mListeners;
  std::vector<Registration> mRegistrations;
};

} // namespace tolvane_au
