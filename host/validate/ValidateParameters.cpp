// Validation: parameter information, value round trips, clamping, the name
// and value-string conversions, scheduled events, scopes and unknown IDs.

#include "host/kit/AUProperty.h"
#include "host/kit/CFRef.h"
#include "host/validate/ValidateSupport.h"

#include <cmath>
#include <cstring>
#include <set>

namespace
{
const AudioUnitParameterOptions kReadWrite =
    kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;

CheckResult InfoRecords(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  const std::vector<ParameterDesc>& params = context.Parameters();
  Findings findings;
  findings.Require(!params.empty(), "no parameters");
  std::set<std::string> names;
  std::set<AudioUnitParameterID> ids;
  for (const ParameterDesc& desc : params)
  {
    const std::string what = "parameter " + std::to_string(desc.id);
    findings.Require(ids.insert(desc.id).second, what + " is listed twice");
    findings.Require((desc.flags & kReadWrite) == kReadWrite,
                     what + " is not readable and writable");
    findings.Require(!desc.name.empty(), what + " has no name");
    findings.Require(names.insert(desc.name).second,
                     what + " repeats the name '" + desc.name + "'");
    findings.Require(std::isfinite(desc.minValue) && std::isfinite(desc.maxValue) &&
                         desc.minValue < desc.maxValue,
                     what + " has no range");
    findings.Require(desc.defaultValue >= desc.minValue && desc.defaultValue <= desc.maxValue,
                     what + " starts outside its range");
    // The name field must agree with the name string.
    AudioUnitParameterInfo info = {};
    UInt32 size = sizeof(info);
    if (AudioUnitGetProperty(unit.Get(), kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global,
                             desc.id, &info, &size) == noErr)
    {
      findings.Require(std::memchr(info.name, '\0', sizeof(info.name)) != nullptr,
                       what + " has an unterminated name field");
      findings.Require(desc.name.compare(0, sizeof(info.name) - 1, info.name) == 0,
                       what + " name field differs from its name string");
      if (info.flags & kAudioUnitParameterFlag_CFNameRelease)
      {
        if (info.cfNameString) CFRelease(info.cfNameString);
        if (info.unit == kAudioUnitParameterUnit_CustomUnit && info.unitName)
          CFRelease(info.unitName);
      }
    }
  }
  return findings.Result(std::to_string(params.size()) + " parameters");
}

CheckResult RoundTrips(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Findings findings;
  for (const ParameterDesc& desc : context.Parameters())
  {
    for (const AudioUnitParameterValue value :
         {desc.minValue, (desc.minValue + desc.maxValue) / 2.0f, desc.maxValue})
    {
      AudioUnitParameterValue back = NAN;
      const std::string what = "'" + desc.name + "' = " + ValueText(value);
      findings.RequireNoErr(
          AudioUnitSetParameter(unit.Get(), desc.id, kAudioUnitScope_Global, 0, value, 0),
          "setting " + what);
      findings.RequireNoErr(
          AudioUnitGetParameter(unit.Get(), desc.id, kAudioUnitScope_Global, 0, &back),
          "reading " + what);
      findings.Require(back == value, what + " reads back as " + ValueText(back));
    }
  }
  return findings.Result();
}

CheckResult OutOfRangeValues(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Findings findings;
  for (const ParameterDesc& desc : context.Parameters())
  {
    const float span = desc.maxValue - desc.minValue;
    for (const AudioUnitParameterValue value : {desc.maxValue + span, desc.minValue - span})
    {
      AudioUnitSetParameter(unit.Get(), desc.id, kAudioUnitScope_Global, 0, value, 0);
      AudioUnitParameterValue back = NAN;
      AudioUnitGetParameter(unit.Get(), desc.id, kAudioUnitScope_Global, 0, &back);
      findings.Require(back >= desc.minValue && back <= desc.maxValue,
                       "'" + desc.name + "' set to " + ValueText(value) + " reads " +
                           ValueText(back));
    }
  }
  return findings.Result();
}

// A string property of one parameter, or the status it answers.
template <class Record>
ComponentResult GetRecord(AudioUnit unit, AudioUnitPropertyID id, Record& record)
{
  return GetAUProperty(unit, id, kAudioUnitScope_Global, 0, record);
}

CheckResult NamesAndStrings(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Findings findings;
  for (const ParameterDesc& desc : context.Parameters())
  {
    const std::string what = "'" + desc.name + "'";
    AudioUnitParameterIDName idName = {desc.id, kAudioUnitParameterName_Full, nullptr};
    findings.RequireNoErr(GetRecord(unit.Get(), kAudioUnitProperty_ParameterIDName, idName),
                          what + " name");
    CFRef<CFStringRef> fullName(idName.outName);
    findings.Require(CFStringText(fullName.Get()) == desc.name, what + " full name differs");

    idName = {desc.id, 4, nullptr};
    GetRecord(unit.Get(), kAudioUnitProperty_ParameterIDName, idName);
    CFRef<CFStringRef> shortName(idName.outName);
    findings.Require(CFStringText(shortName.Get()) == desc.name.substr(0, 4),
                     what + " short name differs");

    const AudioUnitParameterValue value = desc.maxValue;
    AudioUnitParameterStringFromValue toString = {desc.id, &value, nullptr};
    findings.RequireNoErr(
        GetRecord(unit.Get(), kAudioUnitProperty_ParameterStringFromValue, toString),
        what + " string from value");
    CFRef<CFStringRef> text(toString.outString);
    findings.Require(static_cast<bool>(text), what + " has no text for its maximum");

    const CFRef<CFStringRef> number = OwnedCFString(ValueText(desc.minValue).c_str());
    AudioUnitParameterValueFromString fromString = {desc.id, number.Get(), NAN};
    findings.RequireNoErr(
        GetRecord(unit.Get(), kAudioUnitProperty_ParameterValueFromString, fromString),
        what + " value from string");
    findings.Require(!(desc.unit == kAudioUnitParameterUnit_CustomUnit ||
                       desc.unit == kAudioUnitParameterUnit_Generic) ||
                         fromString.outValue == desc.minValue,
                     what + " reads its minimum back as " + ValueText(fromString.outValue));
  }
  return findings.Result();
}

CheckResult ScheduledEvents(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Findings findings;
  std::vector<AudioUnitParameterEvent> events;
  for (const ParameterDesc& desc : context.Parameters())
  {
    AudioUnitParameterEvent event = {};
    event.scope = kAudioUnitScope_Global;
    event.parameter = desc.id;
    event.eventType = kParameterEvent_Immediate;
    event.eventValues.immediate.value = desc.maxValue;
    events.push_back(event);
  }
  findings.RequireNoErr(
      AudioUnitScheduleParameters(unit.Get(), events.data(), UInt32(events.size())),
      "scheduling immediate events");
  const std::vector<AudioUnitParameterValue> values = ReadValues(unit.Get(), context.Parameters());
  for (size_t i = 0; i < values.size(); ++i)
    findings.Require(values[i] == context.Parameters()[i].maxValue,
                     "'" + context.Parameters()[i].name + "' does not take its scheduled value");
  return findings.Result();
}

CheckResult ScopesRefused(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Findings findings;
  const std::vector<AudioUnitParameterValue> before = ReadValues(unit.Get(), context.Parameters());
  for (const ParameterDesc& desc : context.Parameters())
  {
    AudioUnitParameterValue value = 0.0f;
    findings.RequireRefused(
        AudioUnitGetParameter(unit.Get(), desc.id, kAudioUnitScope_Input, 0, &value),
        "reading '" + desc.name + "' in the input scope");
    findings.RequireRefused(
        AudioUnitSetParameter(unit.Get(), desc.id, kAudioUnitScope_Output, 0, desc.maxValue, 0),
        "setting '" + desc.name + "' in the output scope");
  }
  findings.Require(ReadValues(unit.Get(), context.Parameters()) == before,
                   "a refused set changed a parameter");
  return findings.Result();
}

CheckResult UnknownIDsRefused(ValidationContext& context)
{
  UnitInstance unit;
  std::string error;
  if (!OpenUnit(context.GetComponent(), unit, error)) return Fail(error);
  Findings findings;
  const std::vector<AudioUnitParameterValue> before = ReadValues(unit.Get(), context.Parameters());
  AudioUnitParameterID unknown = 0;
  for (const ParameterDesc& desc : context.Parameters())
    unknown = std::max(unknown, desc.id + 1);
  for (const AudioUnitParameterID id : {unknown, unknown + 1000, AudioUnitParameterID(0x7fffffff)})
  {
    const std::string what = "parameter " + std::to_string(id);
    AudioUnitParameterValue value = 0.0f;
    findings.RequireRefused(
        AudioUnitGetParameter(unit.Get(), id, kAudioUnitScope_Global, 0, &value),
        "reading " + what);
    findings.RequireRefused(
        AudioUnitSetParameter(unit.Get(), id, kAudioUnitScope_Global, 0, 1.0f, 0),
        "setting " + what);
    ParameterDesc desc;
    findings.RequireRefused(ReadParameterInfo(unit.Get(), id, desc), "the info of " + what);
    AudioUnitParameterIDName idName = {id, kAudioUnitParameterName_Full, nullptr};
    findings.RequireRefused(GetRecord(unit.Get(), kAudioUnitProperty_ParameterIDName, idName),
                            "the name of " + what);
    CFRef<CFStringRef> name(idName.outName);
  }
  findings.Require(ReadValues(unit.Get(), context.Parameters()) == before,
                   "a refused set changed a parameter");
  return findings.Result();
}
} // namespace

CheckGroup ParameterChecks()
{
  return {"parameters",
          {{"info records", InfoRecords},
           {"values round-trip at the ends and middle of each range", RoundTrips},
           {"values outside the range stay inside it", OutOfRangeValues},
           {"names and value strings", NamesAndStrings},
           {"scheduled immediate events", ScheduledEvents},
           {"other scopes are refused", ScopesRefused},
           {"unknown parameter IDs are refused", UnknownIDsRefused}}};
}
