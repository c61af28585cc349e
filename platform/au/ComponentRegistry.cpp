#include "platform/au/ComponentRegistry.h"

#include <algorithm>

namespace tolvane_au
{

ComponentRecord* ResolveComponent(const void* handle)
{
  if (!handle) return nullptr;
  auto* record = static_cast<ManagedRecord*>(const_cast<void*>(handle));
  const uint32_t tag = record->tag.load(std::memory_order_acquire);
  if (tag == ManagedRecord::kComponentTag) return static_cast<ComponentRecord*>(record);
  if (tag == ManagedRecord::kLiveInstanceTag)
    return static_cast<ComponentInstanceRecord*>(record)->component;
  return nullptr;
}

ComponentInstanceRecord* LiveInstance(ComponentInstance ci)
{
  if (!ci || ci->tag.load(std::memory_order_acquire) != ManagedRecord::kLiveInstanceTag)
    return nullptr;
  return ci;
}

bool DescriptionMatches(const ComponentDescription& component, const ComponentDescription* looking)
{
  if (!looking) return true;
  auto codeMatches = [](OSType have, OSType wanted) { return wanted == 0 || have == wanted; };
  const UInt32 mask = looking->componentFlagsMask;
  return codeMatches(component.componentType, looking->componentType) &&
         codeMatches(component.componentSubType, looking->componentSubType) &&
         codeMatches(component.componentManufacturer, looking->componentManufacturer) &&
         (component.componentFlags & mask) == (looking->componentFlags & mask);
}

ComponentRegistry& ComponentRegistry::Get()
{
  // Never destroyed: components stay loaded until the process ends.
  static ComponentRegistry* registry = new ComponentRegistry;
  return *registry;
}

ComponentRecord* ComponentRegistry::FindBundleLocked(const std::string& bundleIdentifier)
{
  for (ComponentRecord* component : mComponents)
    if (component->registered && component->bundleIdentifier == bundleIdentifier) return component;
  return nullptr;
}

ComponentRecord* ComponentRegistry::FindBundle(const std::string& bundleIdentifier)
{
  std::lock_guard<std::mutex> lock(mMutex);
  return FindBundleLocked(bundleIdentifier);
}

ComponentRecord*
ComponentRegistry::AddBundle(std::vector<std::unique_ptr<ComponentRecord>>& records)
{
  if (records.empty()) return nullptr;
  std::lock_guard<std::mutex> lock(mMutex);
  if (ComponentRecord* existing = FindBundleLocked(records.front()->bundleIdentifier))
    return existing;
  ComponentRecord* first = records.front().get();
  for (auto& record : records)
  {
    record->registered = true;
    record->tag.store(ManagedRecord::kComponentTag, std::memory_order_release);
    mComponents.push_back(record.release());
  }
  records.clear();
  return first;
}

OSErr ComponentRegistry::Unregister(ComponentRecord* component)
{
  std::lock_guard<std::mutex> lock(mMutex);
  if (!component || !component->registered) return invalidComponentID;
  if (component->openInstances > 0) return validInstancesExist;
  component->registered = false;
  return noErr;
}

Component ComponentRegistry::FindNext(Component after, const ComponentDescription* looking)
{
  std::lock_guard<std::mutex> lock(mMutex);
  auto it = mComponents.begin();
  if (after)
  {
    it = std::find(mComponents.begin(), mComponents.end(), after);
    if (it == mComponents.end()) return nullptr;
    ++it;
  }
  for (; it != mComponents.end(); ++it)
    if ((*it)->registered && DescriptionMatches((*it)->description, looking)) return *it;
  return nullptr;
}

long ComponentRegistry::Count(const ComponentDescription* looking)
{
  std::lock_guard<std::mutex> lock(mMutex);
  return static_cast<long>(std::count_if(mComponents.begin(), mComponents.end(),
                                         [looking](ComponentRecord* c) {
                                           return c->registered &&
                                                  DescriptionMatches(c->description, looking);
                                         }));
}

ComponentInstanceRecord* ComponentRegistry::NewInstance(ComponentRecord* component)
{
  std::lock_guard<std::mutex> lock(mMutex);
  if (!component || !component->registered) return nullptr;
  ComponentInstanceRecord* instance;
  if (mFreeInstances.empty())
    instance = new ComponentInstanceRecord;
  else
  {
    instance = mFreeInstances.back();
    mFreeInstances.pop_back();
  }
  instance->component = component;
  instance->storage = nullptr;
  instance->tag.store(ManagedRecord::kLiveInstanceTag, std::memory_order_release);
  ++component->openInstances;
  return instance;
}

void ComponentRegistry::ReleaseInstance(ComponentInstanceRecord* instance)
{
  std::lock_guard<std::mutex> lock(mMutex);
  instance->tag.store(0, std::memory_order_release);
  --instance->component->openInstances;
  instance->storage = nullptr;
  mFreeInstances.push_back(instance);
}

} // namespace tolvane_au
