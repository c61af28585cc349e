// Validation: opening and closing, the component's description and version
// against its bundle's registration, and the selectors it answers.

#include "host/kit/CFRef.h"
#include "host/kit/ComponentInfo.h"
#include "host/kit/StatusText.h"
#include "host/validate/ValidateSupport.h"

#include <StandInExtensions.h>
#include <chrono>

namespace
{
using Clock = std::chrono::steady_clock;
const int kOpenCycles = 10;

double Since(Clock::time_point start)
{
  return std::chrono::duration<double>(Clock::now() - start).count();
}

CheckResult OpenAndClose(ValidationContext& context)
{
  Findings findings;
  double first = 0.0, opening = 0.0, closing = 0.0;
  for (int i = 0; i < kOpenCycles; ++i)
  {
    UnitInstance unit;
    Clock::time_point start = Clock::now();
    const OSErr opened = unit.Open(context.GetComponent());
    const double openTime = Since(start);
    (i == 0 ? first : opening) += openTime;
    findings.RequireNoErr(opened, "open " + std::to_string(i + 1));
    findings.Require(opened != noErr || unit.Get(), "open gives no instance");
    start = Clock::now();
    findings.RequireNoErr(unit.Close(), "close " + std::to_string(i + 1));
    closing += Since(start);
  }
  return findings.Result("first open " + Milliseconds(first) + ", then " +
                         Milliseconds(opening / (kOpenCycles - 1)) + " on average; close " +
                         Milliseconds(closing / kOpenCycles));
}

// The first entry of "AudioComponents" in the bundle's Info.plist.
CFDictionaryRef RegisteredEntry(CFBundleRef bundle)
{
  const CFTypeRef list = CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("AudioComponents"));
  if (!list || CFGetTypeID(list) != CFArrayGetTypeID() ||
      CFArrayGetCount(static_cast<CFArrayRef>(list)) < 1)
    return nullptr;
  const CFTypeRef entry = CFArrayGetValueAtIndex(static_cast<CFArrayRef>(list), 0);
  return entry && CFGetTypeID(entry) == CFDictionaryGetTypeID()
             ? static_cast<CFDictionaryRef>(entry)
             : nullptr;
}

std::string EntryText(CFDictionaryRef entry, const char* key)
{
  const CFTypeRef value = CFDictionaryGetValue(entry, OwnedCFString(key).Get());
  return value && CFGetTypeID(value) == CFStringGetTypeID()
             ? CFStringText(static_cast<CFStringRef>(value))
             : std::string();
}

long EntryNumber(CFDictionaryRef entry, const char* key)
{
  const CFTypeRef value = CFDictionaryGetValue(entry, OwnedCFString(key).Get());
  SInt64 number = -1;
  if (value && CFGetTypeID(value) == CFNumberGetTypeID())
    CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt64Type, &number);
  return static_cast<long>(number);
}

CFRef<CFBundleRef> OpenBundle(const std::string& path)
{
  const CFRef<CFURLRef> url(
      CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(path.c_str()),
                                              static_cast<CFIndex>(path.size()), true));
  return CFRef<CFBundleRef>(url ? CFBundleCreate(nullptr, url.Get()) : nullptr);
}

CheckResult DescriptionMatchesBundle(ValidationContext& context)
{
  ComponentIdentity identity;
  std::string error;
  if (!ReadComponentIdentity(context.GetComponent(), identity, error)) return Fail(error);
  const CFRef<CFBundleRef> bundle = OpenBundle(context.BundlePath());
  const CFDictionaryRef entry = bundle ? RegisteredEntry(bundle.Get()) : nullptr;
  if (!entry) return Fail("the bundle's Info.plist has no AudioComponents entry");

  const ComponentDescription& d = identity.description;
  Findings findings;
  findings.Require(d.componentType == kAudioUnitType_Effect,
                   "type '" + FourCCText(d.componentType) + "' is not 'aufx'");
  const auto same = [&findings, entry](const char* key, const std::string& actual)
  {
    const std::string registered = EntryText(entry, key);
    findings.Require(registered == actual, std::string(key) + " '" + actual +
                                               "' differs from the registered '" + registered +
                                               "'");
  };
  same("type", FourCCText(d.componentType));
  same("subtype", FourCCText(d.componentSubType));
  same("manufacturer", FourCCText(d.componentManufacturer));
  same("name", identity.name);
  findings.Require(!identity.name.empty(), "the component has no name");
  return findings.Result("'" + FourCCText(d.componentType) + "' '" +
                         FourCCText(d.componentSubType) + "' '" +
                         FourCCText(d.componentManufacturer) + "', \"" + identity.name + "\"");
}

CheckResult VersionMatchesBundle(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  const long version = CallComponentVersion(unit.Get());
  const CFRef<CFBundleRef> bundle = OpenBundle(context.BundlePath());
  const CFDictionaryRef entry = bundle ? RegisteredEntry(bundle.Get()) : nullptr;
  const long registered = entry ? EntryNumber(entry, "version") : -1;
  Findings findings;
  findings.Require(version > 0, "the version call answers " + std::to_string(version));
  findings.Require(version == registered, "version " + std::to_string(version) +
                                              " differs from the registered " +
                                              std::to_string(registered));
  return findings.Result(VersionText(version));
}

const SInt16 kRequiredSelectors[] = {kAudioUnitInitializeSelect,
                                     kAudioUnitUninitializeSelect,
                                     kAudioUnitGetPropertyInfoSelect,
                                     kAudioUnitGetPropertySelect,
                                     kAudioUnitSetPropertySelect,
                                     kAudioUnitGetParameterSelect,
                                     kAudioUnitSetParameterSelect,
                                     kAudioUnitResetSelect,
                                     kAudioUnitAddPropertyListenerSelect,
                                     kAudioUnitRemovePropertyListenerSelect,
                                     kAudioUnitRenderSelect,
                                     kAudioUnitAddRenderNotifySelect,
                                     kAudioUnitRemoveRenderNotifySelect,
                                     kAudioUnitScheduleParametersSelect};
const SInt16 kUnknownSelector = 0x1234;

CheckResult CanDoAnswers(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Findings findings;
  for (SInt16 selector : kRequiredSelectors)
    findings.Require(CallComponentCanDo(unit.Get(), selector) == 1,
                     "can-do " + std::to_string(selector) + " is not 1");
  findings.Require(CallComponentCanDo(unit.Get(), kUnknownSelector) == 0,
                   "can-do of an unknown selector is not 0");
  return findings.Result();
}

CheckResult UnknownSelectorRefused(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  ComponentParameters params = {};
  params.what = kUnknownSelector;
  const ComponentResult status = CallComponentWithParameters(unit.Get(), &params);
  if (status != badComponentSelector)
    return Fail("selector " + std::to_string(kUnknownSelector) + " answers " + StatusText(status));
  return Pass();
}
} // namespace

CheckGroup OpenChecks()
{
  return {"open",
          {{"ten instances open and close", OpenAndClose},
           {"description matches the bundle's registration", DescriptionMatchesBundle},
           {"version matches the bundle's registration", VersionMatchesBundle},
           {"can-do answers for the Audio Unit selectors", CanDoAnswers},
           {"unknown selectors are refused", UnknownSelectorRefused}}};
}
