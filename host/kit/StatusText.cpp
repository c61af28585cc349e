#include "host/kit/StatusText.h"

#include <AudioUnit/AudioUnit.h>

namespace
{
const char* StatusName(SInt32 status)
{
  switch (status)
  {
  case noErr:
    return "no error";
  case paramErr:
    return "bad argument";
  case fnfErr:
    return "file not found";
  case memFullErr:
    return "out of memory";
  case invalidComponentID:
    return "invalid component";
  case validInstancesExist:
    return "instances still open";
  case unresolvedComponentDLLErr:
    return "module does not load";
  case cfragNoSymbolErr:
    return "entry symbol missing";
  case coreFoundationUnknownErr:
    return "CoreFoundation failure";
  case badComponentInstance:
    return "bad component instance";
  case badComponentSelector:
    return "selector not handled";
  case kAudioUnitErr_InvalidProperty:
    return "invalid property";
  case kAudioUnitErr_InvalidParameter:
    return "invalid parameter";
  case kAudioUnitErr_InvalidElement:
    return "invalid element";
  case kAudioUnitErr_NoConnection:
    return "no connection";
  case kAudioUnitErr_FailedInitialization:
    return "failed initialisation";
  case kAudioUnitErr_TooManyFramesToProcess:
    return "too many frames";
  case kAudioUnitErr_FormatNotSupported:
    return "format not supported";
  case kAudioUnitErr_Uninitialized:
    return "not initialised";
  case kAudioUnitErr_InvalidScope:
    return "invalid scope";
  case kAudioUnitErr_PropertyNotWritable:
    return "property not writable";
  case kAudioUnitErr_InvalidPropertyValue:
    return "invalid property value";
  default:
    return nullptr;
  }
}
} // namespace

std::string StatusText(SInt32 status)
{
  std::string text = std::to_string(status);
  if (const char* name = StatusName(status)) text += std::string(" (") + name + ")";
  return text;
}

std::string FourCCText(UInt32 code)
{
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8)
  {
    const char c = static_cast<char>((code >> shift) & 0xff);
    text += (c >= 32 && c < 127) ? c : '?';
  }
  return text;
}
