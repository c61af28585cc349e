// The component manager's records behind the opaque Component and ComponentInstance handles.
// Records are never freed: a stale handle stays safe to look at, and its tag tells it apart.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

#include <atomic>
#include <cstdint>
#include <string>

// Both records start with a tag, so a handle of either kind can be told apart.
struct ManagedRecord
{
  static constexpr uint32_t kComponentTag = 0x636f6d70;    // 'comp'
  static constexpr uint32_t kLiveInstanceTag = 0x696e7374; // 'inst'
  std::atomic<uint32_t> tag{0};
};

struct ComponentRecord : ManagedRecord
{
  ComponentDescription description{};
  std::string name;
  long version = 0;
  ComponentRoutineProcPtr entry = nullptr;
  CFBundleRef bundle = nullptr; // one reference held for the life of the process
  std::string bundleIdentifier;
  // Guarded by the registry's mutex.
  bool registered = false;
  int openInstances = 0;
};

struct ComponentInstanceRecord : ManagedRecord
{
  ComponentRecord* component = nullptr;
  void* storage = nullptr;
};

namespace tolvane_au
{

// The component, or the component of a live instance; null for anything else.
ComponentRecord* ResolveComponent(const void* handle);
// The instance while it is open; null for null, closed or foreign handles.
ComponentInstanceRecord* LiveInstance(ComponentInstance ci);

} // namespace tolvane_au
