// What the host learns about each parameter: its information record, its
// value strings, and conversions between values, names and text.

#include "IPlug/IPlugAU.h"

#include "IPlug/IPlugAU_PropertyReply.h"
#include "IPlug/IPlugAU_Strings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{
void FillParameterInfo(const IParam* param, AudioUnitParameterInfo* info)
{
  std::memset(info, 0, sizeof(AudioUnitParameterInfo));
  info->flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable |
                kAudioUnitParameterFlag_HasCFNameString | kAudioUnitParameterFlag_CFNameRelease;
  const char* name = param->GetNameForHost();
  info->cfNameString = MakeCFString(name);
  std::strncpy(info->name, name, sizeof(info->name) - 1);

  switch (param->Type())
  {
  case IParam::kTypeInt:
  case IParam::kTypeEnum:
    info->unit = kAudioUnitParameterUnit_Indexed;
    break;
  case IParam::kTypeBool:
    info->unit = kAudioUnitParameterUnit_Boolean;
    break;
  default:
    if (param->GetLabelForHost()[0])
    {
      info->unit = kAudioUnitParameterUnit_CustomUnit;
      info->unitName = MakeCFString(param->GetLabelForHost());
    }
    else
    {
      info->unit = kAudioUnitParameterUnit_Generic;
    }
    break;
  }

  double lo, hi;
  param->GetBounds(&lo, &hi);
  info->minValue = static_cast<AudioUnitParameterValue>(lo);
  info->maxValue = static_cast<AudioUnitParameterValue>(hi);
  info->defaultValue = static_cast<AudioUnitParameterValue>(param->Value());
}

CFArrayRef MakeValueStrings(const IParam* param)
{
  const int n = param->GetNDisplayTexts();
  CFMutableArrayRef strings = CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFTypeArrayCallBacks);
  for (int i = 0; i < n; ++i)
  {
    CFStrLocal text(param->GetDisplayTextAtIdx(i));
    CFArrayAppendValue(strings, text.Get());
  }
  return strings;
}
} // namespace

ComponentResult IPlugAU::GetParameterProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                              AudioUnitElement element, PropertyReply& reply)
{
  const bool global = scope == kAudioUnitScope_Global;
  switch (propID)
  {
  case kAudioUnitProperty_ParameterInfo:
  {
    if (!global) return kAudioUnitErr_InvalidProperty;
    const IParam* param = GetParam(static_cast<int>(element));
    if (!param) return kAudioUnitErr_InvalidParameter;
    if (!reply.Accept(sizeof(AudioUnitParameterInfo), false)) return reply.Result();
    FillParameterInfo(param, reply.Data<AudioUnitParameterInfo>());
    return noErr;
  }
  case kAudioUnitProperty_ParameterValueStrings:
  {
    if (!global) return kAudioUnitErr_InvalidProperty;
    const IParam* param = GetParam(static_cast<int>(element));
    if (!param) return kAudioUnitErr_InvalidParameter;
    if (param->GetNDisplayTexts() == 0)
    {
      *reply.Size() = 0;
      return kAudioUnitErr_InvalidProperty;
    }
    if (!reply.Accept(sizeof(CFArrayRef), false)) return reply.Result();
    CFArrayRef strings = MakeValueStrings(param);
    if (!strings) return coreFoundationUnknownErr;
    *reply.Data<CFArrayRef>() = strings;
    return noErr;
  }
  case kAudioUnitProperty_ParameterStringFromValue:
    if (!reply.Accept(sizeof(AudioUnitParameterStringFromValue), false) || !global)
      return reply.Result();
    return ParamStringFromValue(reply.Data<AudioUnitParameterStringFromValue>());
  case kAudioUnitProperty_ParameterIDName:
    if (!reply.Accept(sizeof(AudioUnitParameterIDName), false) || !global) return reply.Result();
    return ParamIDName(reply.Data<AudioUnitParameterIDName>());
  case kAudioUnitProperty_ParameterValueFromString:
    if (!reply.Accept(sizeof(AudioUnitParameterValueFromString), false) || !global)
      return reply.Result();
    return ParamValueFromString(reply.Data<AudioUnitParameterValueFromString>());
  default:
    return kAudioUnitErr_InvalidProperty;
  }
}

ComponentResult IPlugAU::ParamStringFromValue(AudioUnitParameterStringFromValue* conversion)
{
  const IParam* param = GetParam(static_cast<int>(conversion->inParamID));
  if (!param) return kAudioUnitErr_InvalidParameter;
  const double value = conversion->inValue ? *conversion->inValue : param->Int();
  conversion->outString = MakeCFString(param->GetDisplayText(TruncToInt(value)));
  return noErr;
}

ComponentResult IPlugAU::ParamIDName(AudioUnitParameterIDName* idName)
{
  const IParam* param = GetParam(static_cast<int>(idName->inID));
  if (!param) return kAudioUnitErr_InvalidParameter;
  char name[IParam::kMaxNameLen + 1];
  std::strncpy(name, param->GetNameForHost(), sizeof(name) - 1);
  name[sizeof(name) - 1] = '\0';
  // Any negative length asks for the whole name.
  if (idName->inDesiredLength >= 0)
    CutUTF8(name, std::min<SInt32>(idName->inDesiredLength, IParam::kMaxNameLen));
  idName->outName = MakeCFString(name);
  return noErr;
}

ComponentResult IPlugAU::ParamValueFromString(AudioUnitParameterValueFromString* conversion)
{
  const IParam* param = GetParam(static_cast<int>(conversion->inParamID));
  if (!param) return kAudioUnitErr_InvalidParameter;
  CStrLocal text(conversion->inString);
  if (param->GetNDisplayTexts() > 0)
  {
    int value;
    if (param->MapDisplayText(text.Get(), &value))
      conversion->outValue = static_cast<AudioUnitParameterValue>(value);
  }
  else
  {
    double value = std::atof(text.Get());
    if (param->DisplayIsNegated()) value = -value;
    conversion->outValue = static_cast<AudioUnitParameterValue>(value);
  }
  return noErr;
}
