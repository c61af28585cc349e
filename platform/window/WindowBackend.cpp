#include "platform/window/WindowBackend.h"

#include <cstring>

#include "platform/window/AUCocoaUIBase.h"
#include "platform/window/backends/headless/HeadlessBackend.h"

namespace
{
WindowBackend* sBackend = nullptr;
}

WindowBackend* GetWindowBackend()
{
  return sBackend ? sBackend : &HeadlessBackend::instance();
}

void SetWindowBackend(WindowBackend* backend)
{
  sBackend = backend;
}

bool AUCocoaUIBase::conformsToProtocol(const char* name) const
{
  return name && std::strcmp(name, AUCocoaUIBaseProtocol) == 0;
}
