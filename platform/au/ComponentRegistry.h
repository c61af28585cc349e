// The process-wide list of registered components (in registration order) and the pool of
// instance records.
#pragma once

#include "platform/au/ComponentRecords.h"

#include <memory>
#include <mutex>
#include <vector>

namespace tolvane_au
{

class ComponentRegistry
{
public:
  static ComponentRegistry& Get();

  // Registers all records at once; returns the first. If a bundle with the same identifier is
  // already registered, nothing is taken from records and its first component is returned.
  ComponentRecord* AddBundle(std::vector<std::unique_ptr<ComponentRecord>>& records);
  ComponentRecord* FindBundle(const std::string& bundleIdentifier);
  OSErr Unregister(ComponentRecord* component);

  Component FindNext(Component after, const ComponentDescription* looking);
  long Count(const ComponentDescription* looking);

  // A fresh instance record for a registered component, or null.
  ComponentInstanceRecord* NewInstance(ComponentRecord* component);
  void ReleaseInstance(ComponentInstanceRecord* instance);

private:
  ComponentRecord* FindBundleLocked(const std::string& bundleIdentifier);

  std::mutex mMutex;
  std::vector<ComponentRecord*> mComponents;
  std::vector<ComponentInstanceRecord*> mFreeInstances;
};

bool DescriptionMatches(const ComponentDescription& component, const ComponentDescription* looking);

} // namespace tolvane_au
