// Relocatable memory blocks. A Handle points at the block's data pointer, which is the first
// member of its header.
#include <CoreServices/CoreServices.h>

#include <cstdlib>
#include <cstring>

namespace
{

struct HandleBlock
{
  char* data;
  Size size;
};

thread_local OSErr gLastError = noErr;

HandleBlock* BlockOf(Handle h)
{
  return reinterpret_cast<HandleBlock*>(h);
}

Handle MakeHandle(Size byteCount, bool clear)
{
  gLastError = memFullErr;
  if (byteCount < 0) return nullptr;
  auto* block = static_cast<HandleBlock*>(std::malloc(sizeof(HandleBlock)));
  if (!block) return nullptr;
  // At least one byte, so that *h is never null.
  block->data = static_cast<char*>(clear ? std::calloc(byteCount ? byteCount : 1, 1)
                                         : std::malloc(byteCount ? byteCount : 1));
  if (!block->data)
  {
    std::free(block);
    return nullptr;
  }
  block->size = byteCount;
  gLastError = noErr;
  return &block->data;
}

} // namespace

extern "C"
{

  Handle NewHandle(Size byteCount)
  {
    return MakeHandle(byteCount, false);
  }

  Handle NewHandleClear(Size byteCount)
  {
    return MakeHandle(byteCount, true);
  }

  void DisposeHandle(Handle h)
  {
    gLastError = noErr;
    if (!h) return;
    std::free(BlockOf(h)->data);
    std::free(BlockOf(h));
  }

  Size GetHandleSize(Handle h)
  {
    if (!h)
    {
      gLastError = nilHandleErr;
      return 0;
    }
    gLastError = noErr;
    return BlockOf(h)->size;
  }

  void SetHandleSize(Handle h, Size newSize)
  {
    if (!h)
    {
      gLastError = nilHandleErr;
      return;
    }
    HandleBlock* block = BlockOf(h);
    gLastError = memFullErr;
    if (newSize < 0) return;
    auto* data = static_cast<char*>(std::realloc(block->data, newSize ? newSize : 1));
    if (!data) return;
    if (newSize > block->size) std::memset(data + block->size, 0, newSize - block->size);
    block->data = data;
    block->size = newSize;
    gLastError = noErr;
  }

  OSErr MemError(void)
  {
    return gLastError;
  }

  void HLock(Handle) {}

  void HUnlock(Handle) {}

} // extern "C"
