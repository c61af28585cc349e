// Allocators are constants: objects always come from the C++ heap, raw blocks from malloc.
#include "platform/cf/CFObject.h"

#include <cstdlib>

using namespace cf;

struct __CFAllocator : CFObject
{
  static constexpr CFTypeID kTypeID = kTypeAllocator;
  constexpr __CFAllocator(const char* name, bool allocates)
      : CFObject(kTypeID, true), mName(name), mAllocates(allocates)
  {
  }
  std::string Describe() const override { return mName; }

  const char* mName;
  bool mAllocates;
};

static __CFAllocator gSystemDefault("<CFAllocator kCFAllocatorSystemDefault>", true);
static __CFAllocator gMalloc("<CFAllocator kCFAllocatorMalloc>", true);
static __CFAllocator gNullAllocator("<CFAllocator kCFAllocatorNull>", false);

static bool Allocates(CFAllocatorRef allocator)
{
  const __CFAllocator* object = As<__CFAllocator>(allocator);
  return !object || object->mAllocates;
}

const CFAllocatorRef kCFAllocatorDefault = nullptr;
const CFAllocatorRef kCFAllocatorSystemDefault = &gSystemDefault;
const CFAllocatorRef kCFAllocatorMalloc = &gMalloc;
const CFAllocatorRef kCFAllocatorNull = &gNullAllocator;

CFTypeID CFAllocatorGetTypeID(void)
{
  return kTypeAllocator;
}

CFAllocatorRef CFAllocatorGetDefault(void)
{
  return kCFAllocatorSystemDefault;
}

void* CFAllocatorAllocate(CFAllocatorRef allocator, CFIndex size, CFOptionFlags)
{
  if (size <= 0 || !Allocates(allocator)) return nullptr;
  return std::malloc(static_cast<size_t>(size));
}

void* CFAllocatorReallocate(CFAllocatorRef allocator, void* ptr, CFIndex newsize, CFOptionFlags)
{
  if (!Allocates(allocator)) return nullptr;
  if (newsize <= 0)
  {
    std::free(ptr);
    return nullptr;
  }
  return std::realloc(ptr, static_cast<size_t>(newsize));
}

void CFAllocatorDeallocate(CFAllocatorRef allocator, void* ptr)
{
  if (Allocates(allocator)) std::free(ptr);
}
