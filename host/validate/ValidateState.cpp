// Validation: factory presets, the class-info dictionary and its round trip,
// and refusal of foreign, incomplete and damaged states.

#include "host/kit/AUProperty.h"
#include "host/kit/CFRef.h"
#include "host/kit/ComponentInfo.h"
#include "host/kit/FactoryPresets.h"
#include "host/kit/PresetFile.h"
#include "host/kit/StatusText.h"
#include "host/validate/ValidateSupport.h"

#include <algorithm>
#include <cmath>

namespace
{
const char* const kKeys[] = {"version", "type", "subtype", "manufacturer", "name", "data"};

CFTypeRef DictValue(CFDictionaryRef dict, const char* key)
{
  return CFDictionaryGetValue(dict, OwnedCFString(key).Get());
}

bool NumberValue(CFDictionaryRef dict, const char* key, SInt64& number)
{
  const CFTypeRef value = DictValue(dict, key);
  return value && CFGetTypeID(value) == CFNumberGetTypeID() &&
         CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt64Type, &number);
}

// An instance with distinct parameter values and its class-info dictionary.
struct SavedState
{
  UnitInstance unit;
  CFRef<CFPropertyListRef> plist;
  std::vector<AudioUnitParameterValue> values;

  bool Make(ValidationContext& context, std::string& error)
  {
    if (!OpenUnit(context.GetComponent(), unit, error)) return false;
    SetDistinctValues(unit.Get(), context.Parameters());
    values = ReadValues(unit.Get(), context.Parameters());
    return CopyClassInfo(unit.Get(), plist, error);
  }
  CFDictionaryRef Dict() const { return static_cast<CFDictionaryRef>(plist.Get()); }
  CFRef<CFMutableDictionaryRef> MutableCopy() const
  {
    return CFRef<CFMutableDictionaryRef>(CFDictionaryCreateMutableCopy(nullptr, 0, Dict()));
  }
};

CheckResult FactoryPresetsSelectable(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  std::vector<FactoryPreset> presets;
  if (!OpenUnit(context.GetComponent(), unit, error) ||
      !ReadFactoryPresets(unit.Get(), presets, error))
    return Fail(error);
  Findings findings;
  for (size_t i = 0; i < presets.size(); ++i)
  {
    const FactoryPreset& preset = presets[i];
    findings.Require(preset.number == SInt32(i), "preset " + std::to_string(i) + " is numbered " +
                                                     std::to_string(preset.number));
    findings.Require(!preset.name.empty(), "preset " + std::to_string(i) + " has no name");
    findings.RequireNoErr(SelectPreset(unit.Get(), preset), "selecting '" + preset.name + "'");
    FactoryPreset present;
    findings.RequireNoErr(ReadPresentPreset(unit.Get(), present), "reading the present preset");
    findings.Require(present.number == preset.number && present.name == preset.name,
                     "the present preset is not '" + preset.name + "' after selecting it");
  }
  std::string names;
  for (const FactoryPreset& preset : presets)
    names += (names.empty() ? "\"" : ", \"") + preset.name + "\"";
  return findings.Result(std::to_string(presets.size()) +
                         (presets.empty() ? " presets" : ": " + names));
}

CheckResult DictionaryKeys(ValidationContext& context)
{
  SavedState saved;
  std::string error;
  ComponentIdentity identity;
  if (!saved.Make(context, error) ||
      !ReadComponentIdentity(context.GetComponent(), identity, error))
    return Fail(error);
  Findings findings;
  if (CFGetTypeID(saved.plist.Get()) != CFDictionaryGetTypeID())
    return Fail("the state is not a dictionary");
  const CFDictionaryRef dict = saved.Dict();
  for (const char* key : kKeys)
    findings.Require(DictValue(dict, key) != nullptr, std::string("no \"") + key + "\"");
  SInt64 version = 0, type = 0, subtype = 0, manufacturer = 0;
  findings.Require(NumberValue(dict, "version", version) &&
                       version == CallComponentVersion(saved.unit.Get()),
                   "\"version\" is not the component's version");
  const ComponentDescription& d = identity.description;
  findings.Require(NumberValue(dict, "type", type) && type == SInt64(d.componentType),
                   "\"type\" differs");
  findings.Require(NumberValue(dict, "subtype", subtype) && subtype == SInt64(d.componentSubType),
                   "\"subtype\" differs");
  findings.Require(NumberValue(dict, "manufacturer", manufacturer) &&
                       manufacturer == SInt64(d.componentManufacturer),
                   "\"manufacturer\" differs");
  const CFTypeRef name = DictValue(dict, "name");
  findings.Require(name && CFGetTypeID(name) == CFStringGetTypeID(), "\"name\" is not a string");
  const CFTypeRef data = DictValue(dict, "data");
  findings.Require(data && CFGetTypeID(data) == CFDataGetTypeID(), "\"data\" is not a data value");
  return findings.Result();
}

// Restores the state into a fresh instance and compares every parameter.
void CheckRestore(ValidationContext& context, const SavedState& saved, CFPropertyListRef plist,
                  const std::string& how, Findings& findings)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return findings.Require(false, error);
  findings.RequireNoErr(RestoreClassInfo(unit.Get(), plist), "restoring " + how);
  const std::vector<AudioUnitParameterValue> values = ReadValues(unit.Get(), context.Parameters());
  for (size_t i = 0; i < values.size(); ++i)
    findings.Require(values[i] == saved.values[i], how + ": '" + context.Parameters()[i].name +
                                                       "' comes back as " + ValueText(values[i]) +
                                                       ", not " + ValueText(saved.values[i]));
}

CheckResult RoundTrip(ValidationContext& context)
{
  SavedState saved;
  std::string error;
  if (!saved.Make(context, error)) return Fail(error);
  Findings findings;
  CheckRestore(context, saved, saved.plist.Get(), "the dictionary", findings);

  CFRef<CFErrorRef> cfError;
  const CFRef<CFDataRef> xml(CFPropertyListCreateData(
      nullptr, saved.plist.Get(), kCFPropertyListXMLFormat_v1_0, 0, cfError.Receive()));
  const CFRef<CFPropertyListRef> parsed(
      xml ? CFPropertyListCreateWithData(nullptr, xml.Get(), kCFPropertyListImmutable, nullptr,
                                         cfError.Receive())
          : nullptr);
  findings.Require(static_cast<bool>(parsed), "the state does not survive XML");
  if (parsed) CheckRestore(context, saved, parsed.Get(), "the XML property list", findings);
  return findings.Result(std::to_string(saved.values.size()) + " parameters bit for bit");
}

// Offers the changed dictionary to the saved instance: it must refuse it and keep its values.
void RequireRefusedState(ValidationContext& context, SavedState& saved, CFPropertyListRef plist,
                         const std::string& what, Findings& findings)
{
  findings.RequireRefused(RestoreClassInfo(saved.unit.Get(), plist), what);
  findings.Require(ReadValues(saved.unit.Get(), context.Parameters()) == saved.values,
                   what + " changed the parameters");
}

CheckResult ForeignStateRefused(ValidationContext& context)
{
  SavedState saved;
  std::string error;
  if (!saved.Make(context, error)) return Fail(error);
  Findings findings;
  for (const char* key : {"type", "subtype", "manufacturer"})
  {
    SInt64 code = 0;
    NumberValue(saved.Dict(), key, code);
    const SInt32 other = static_cast<SInt32>(code ^ 0x20);
    const CFRef<CFMutableDictionaryRef> copy = saved.MutableCopy();
    const CFRef<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberSInt32Type, &other));
    CFDictionarySetValue(copy.Get(), OwnedCFString(key).Get(), number.Get());
    RequireRefusedState(context, saved, copy.Get(), std::string("a state with another ") + key,
                        findings);
  }
  return findings.Result();
}

CheckResult IncompleteStateRefused(ValidationContext& context)
{
  SavedState saved;
  std::string error;
  if (!saved.Make(context, error)) return Fail(error);
  Findings findings;
  for (const char* key : kKeys)
  {
    const CFRef<CFMutableDictionaryRef> copy = saved.MutableCopy();
    CFDictionaryRemoveValue(copy.Get(), OwnedCFString(key).Get());
    // Without "data" the named preset may already have been selected; only the refusal counts.
    const ComponentResult status = RestoreClassInfo(saved.unit.Get(), copy.Get());
    findings.RequireRefused(status, std::string("a state without \"") + key + "\"");
  }
  return findings.Result();
}

CheckResult WrongTypesRefused(ValidationContext& context)
{
  SavedState saved;
  std::string error;
  if (!saved.Make(context, error)) return Fail(error);
  Findings findings;
  const SInt32 number = 1;
  const CFRef<CFNumberRef> aNumber(CFNumberCreate(nullptr, kCFNumberSInt32Type, &number));
  const CFRef<CFStringRef> aString = OwnedCFString("aufx");
  for (const char* key : kKeys)
  {
    const std::string name = key;
    const CFRef<CFMutableDictionaryRef> copy = saved.MutableCopy();
    const bool wantsString = name == "name";
    CFDictionarySetValue(copy.Get(), OwnedCFString(key).Get(),
                         wantsString ? static_cast<CFTypeRef>(aNumber.Get()) : aString.Get());
    RequireRefusedState(context, saved, copy.Get(),
                        "a state whose \"" + name + "\" has the wrong type", findings);
  }
  const CFRef<CFArrayRef> array(CFArrayCreate(nullptr, nullptr, 0, &kCFTypeArrayCallBacks));
  RequireRefusedState(context, saved, aString.Get(), "a string as the state", findings);
  RequireRefusedState(context, saved, array.Get(), "an array as the state", findings);
  RequireRefusedState(context, saved, nullptr, "no state", findings);
  return findings.Result();
}

CheckResult DamagedDataHarmless(ValidationContext& context)
{
  SavedState saved;
  std::string error;
  if (!saved.Make(context, error)) return Fail(error);
  const CFDataRef data = static_cast<CFDataRef>(DictValue(saved.Dict(), "data"));
  if (!data || CFGetTypeID(data) != CFDataGetTypeID()) return Fail("the state has no data");
  std::vector<UInt8> bytes(CFDataGetBytePtr(data), CFDataGetBytePtr(data) + CFDataGetLength(data));
  std::vector<UInt8> garbage(bytes.size());
  for (size_t i = 0; i < garbage.size(); ++i)
    garbage[i] = static_cast<UInt8>(0xff - (i * 37) % 23);
  const std::vector<UInt8> allOnes(bytes.size(), 0xff); // every double a NaN
  const std::vector<std::pair<std::string, std::vector<UInt8>>> damages = {
      {"empty data", {}},
      {"data cut to 3 bytes",
       std::vector<UInt8>(bytes.begin(), bytes.begin() + std::min<size_t>(3, bytes.size()))},
      {"data cut in half", std::vector<UInt8>(bytes.begin(), bytes.begin() + bytes.size() / 2)},
      {"data of random bytes", garbage},
      {"data of NaN values", allOnes}};

  Findings findings;
  for (const auto& [what, damaged] : damages)
  {
    const CFRef<CFMutableDictionaryRef> copy = saved.MutableCopy();
    const CFRef<CFDataRef> value(CFDataCreate(nullptr, damaged.data(), CFIndex(damaged.size())));
    CFDictionarySetValue(copy.Get(), OwnedCFString("data").Get(), value.Get());
    RestoreClassInfo(saved.unit.Get(), copy.Get());
    const std::vector<AudioUnitParameterValue> values =
        ReadValues(saved.unit.Get(), context.Parameters());
    for (size_t i = 0; i < values.size(); ++i)
    {
      const ParameterDesc& desc = context.Parameters()[i];
      findings.Require(values[i] >= desc.minValue && values[i] <= desc.maxValue,
                       what + " leaves '" + desc.name + "' at " + ValueText(values[i]));
    }
  }
  return findings.Result();
}
// A megabyte of repeatable random bytes.
std::vector<UInt8> RandomBlob(unsigned seed)
{
  std::vector<UInt8> bytes(1 << 20);
  unsigned state = seed * 2654435761u + 1u;
  for (UInt8& byte : bytes)
  {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<UInt8>(state >> 24);
  }
  return bytes;
}

// Offers the state and reports whether it was taken; refused, nothing may change.
bool OfferState(ValidationContext& context, AudioUnit unit, CFPropertyListRef plist,
                const std::string& what, Findings& findings)
{
  const std::vector<AudioUnitParameterValue> before = ReadValues(unit, context.Parameters());
  if (RestoreClassInfo(unit, plist) == noErr) return true;
  findings.Require(ReadValues(unit, context.Parameters()) == before,
                   "refusing " + what + " changed the parameters");
  return false;
}

// Three random megabytes as the state itself, as the bytes of a property list
// and as the data of a state that is otherwise the component's own. The first
// two must be refused untouched; the data may be taken by a format without a
// length or checksum (a warning), but only into values inside their ranges.
CheckResult RandomStatesRefused(ValidationContext& context)
{
  SavedState saved;
  std::string error;
  if (!saved.Make(context, error)) return Fail(error);
  Findings findings;
  std::vector<std::string> taken;
  for (unsigned seed = 1; seed <= 3; ++seed)
  {
    const std::vector<UInt8> blob = RandomBlob(seed);
    const std::string what = "random megabyte " + std::to_string(seed);
    const CFRef<CFDataRef> data(CFDataCreate(nullptr, blob.data(), CFIndex(blob.size())));
    findings.Require(!OfferState(context, saved.unit.Get(), data.Get(), what, findings),
                     what + " is taken as the state");
    CFRef<CFErrorRef> cfError;
    const CFRef<CFPropertyListRef> parsed(CFPropertyListCreateWithData(
        nullptr, data.Get(), kCFPropertyListImmutable, nullptr, cfError.Receive()));
    if (parsed)
      findings.Require(!OfferState(context, saved.unit.Get(), parsed.Get(), what, findings),
                       what + " read as a property list is taken as the state");

    const CFRef<CFMutableDictionaryRef> copy = saved.MutableCopy();
    CFDictionarySetValue(copy.Get(), OwnedCFString("data").Get(), data.Get());
    if (!OfferState(context, saved.unit.Get(), copy.Get(), what + " as the data", findings))
      continue;
    taken.push_back(what);
    const std::vector<AudioUnitParameterValue> values =
        ReadValues(saved.unit.Get(), context.Parameters());
    for (size_t i = 0; i < values.size(); ++i)
    {
      const ParameterDesc& desc = context.Parameters()[i];
      findings.Require(values[i] >= desc.minValue && values[i] <= desc.maxValue,
                       what + " as the data leaves '" + desc.name + "' at " + ValueText(values[i]));
    }
  }
  if (findings.Any()) return findings.Result();
  if (!taken.empty())
    return Warn(std::to_string(taken.size()) +
                " random megabytes are taken as the data of a state (values inside their "
                "ranges; the state's data has no length or checksum to refuse them by)");
  return Pass("refused as states, property lists and data");
}

// The state as the bytes of its binary property list.
bool StateBytes(AudioUnit unit, std::vector<UInt8>& bytes, std::string& error)
{
  CFRef<CFPropertyListRef> plist;
  if (!CopyClassInfo(unit, plist, error)) return false;
  CFRef<CFErrorRef> cfError;
  const CFRef<CFDataRef> data(CFPropertyListCreateData(
      nullptr, plist.Get(), kCFPropertyListBinaryFormat_v1_0, 0, cfError.Receive()));
  if (!data)
  {
    error = "the state does not serialise";
    return false;
  }
  bytes.assign(CFDataGetBytePtr(data.Get()),
               CFDataGetBytePtr(data.Get()) + CFDataGetLength(data.Get()));
  return true;
}

// Saving twice gives the same bytes, and so does saving what was restored.
CheckResult StateReproducible(ValidationContext& context)
{
  SavedState saved;
  std::string error;
  std::vector<UInt8> first, second, restored;
  UnitInstance other;
  if (!saved.Make(context, error) || !StateBytes(saved.unit.Get(), first, error) ||
      !StateBytes(saved.unit.Get(), second, error) ||
      !OpenUnit(context.GetComponent(), other, error))
    return Fail(error);
  Findings findings;
  findings.Require(first == second, "saving twice gives different bytes");
  findings.RequireNoErr(RestoreClassInfo(other.Get(), saved.plist.Get()), "restoring");
  findings.Require(StateBytes(other.Get(), restored, error), error);
  findings.Require(restored == first, "a restored state saves as different bytes");
  return findings.Result(std::to_string(first.size()) + " bytes");
}
} // namespace

CheckGroup StateChecks()
{
  return {"state",
          {{"factory presets are numbered and selectable", FactoryPresetsSelectable},
           {"the class-info dictionary holds its six keys", DictionaryKeys},
           {"the class-info round trip restores every parameter", RoundTrip},
           {"a foreign component's state is refused", ForeignStateRefused},
           {"incomplete states are refused", IncompleteStateRefused},
           {"values of the wrong type are refused", WrongTypesRefused},
           {"damaged data leaves every parameter in its range", DamagedDataHarmless},
           {"random megabytes of state are refused or kept in range", RandomStatesRefused},
           {"saving and restoring reproduces the state byte for byte", StateReproducible}}};
}
