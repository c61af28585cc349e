#include <CoreServices/Gestalt.h>

namespace
{
// The stand-in reports a system that offers every service the components use.
constexpr SInt32 kReportedSystemVersion = 0x1068;
} // namespace

extern "C" OSErr Gestalt(OSType selector, SInt32* response)
{
  if (!response || selector != gestaltSystemVersion) return gestaltUndefSelectorErr;
  *response = kReportedSystemVersion;
  return noErr;
}
