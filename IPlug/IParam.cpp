#include "IPlug/IParam.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{
// ln(10) / 20, cut to 13 decimal places.
constexpr double kAmpDBFactor = 0.1151292546497;

// Copies at most destSize - 1 characters and always terminates.
void CopyCut(char* dest, const char* src, size_t destSize)
{
  snprintf(dest, destSize, "%s", src ? src : "");
}

// Digits after the decimal point needed to show multiples of step, at most 6.
int PrecisionOfStep(double step)
{
  int precision = 0;
  for (double s = step; precision <= 5 && s != std::floor(s); s *= 10.0)
    ++precision;
  return precision;
}
} // namespace

double FromNormalizedParam(double normalizedValue, double lo, double hi, double shape)
{
  return std::pow(normalizedValue, shape) * (hi - lo) + lo;
}

double ToNormalizedParam(double nonNormalizedValue, double lo, double hi, double shape)
{
  return std::pow((nonNormalizedValue - lo) / (hi - lo), 1.0 / shape);
}

double DBToAmp(double dB)
{
  return std::exp(dB * kAmpDBFactor);
}

int TruncToInt(double value)
{
  if (std::isnan(value)) return 0;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(value);
}

void IParam::InitBool(const char* name, bool defaultVal, const char*)
{
  if (mType == kTypeNone) mType = kTypeBool;
  InitEnum(name, defaultVal ? 1 : 0, 2);
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums)
{
  if (mType == kTypeNone) mType = kTypeEnum;
  InitInt(name, defaultVal, 0, nEnums - 1, "");
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label)
{
  if (mType == kTypeNone) mType = kTypeInt;
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, label);
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal,
                        double step, const char* label)
{
  if (mType == kTypeNone) mType = kTypeDouble;
  CopyCut(mName, name, sizeof(mName));
  CopyCut(mLabel, label, sizeof(mLabel));
  mValue = mDefault = defaultVal;
  mMin = minVal;
  mMax = minVal + step > maxVal ? minVal + step : maxVal;
  mStep = step;
  mDisplayPrecision = PrecisionOfStep(step);
}

void IParam::SetShape(double shape)
{
  if (shape != 0.0) mShape = shape;
}

void IParam::SetDisplayText(int value, const char* text)
{
  DisplayText entry;
  entry.mValue = value;
  CopyCut(entry.mText, text, sizeof(entry.mText));
  mDisplayTexts.Add(entry);
}

void IParam::Set(double value)
{
  // A NaN (from a damaged state or a host) has no place in the range: keep the value.
  if (value != value) return;
  mValue = value < mMin ? mMin : value > mMax ? mMax : value;
}

void IParam::SetNormalized(double normalizedValue)
{
  double value = FromNormalizedParam(normalizedValue, mMin, mMax, mShape);
  if (mType != kTypeDouble) value = std::floor(value / mStep + 0.5) * mStep;
  mValue = value < mMax ? value : mMax;
}

double IParam::GetNormalized(double nonNormalizedValue) const
{
  const double v = nonNormalizedValue < mMin   ? mMin
                   : nonNormalizedValue > mMax ? mMax
                                               : nonNormalizedValue;
  return ToNormalizedParam(v, mMin, mMax, mShape);
}

void IParam::GetBounds(double* lo, double* hi) const
{
  *lo = mMin;
  *hi = mMax;
}

const char* IParam::GetDisplayText(int value) const
{
  const DisplayText* entries = mDisplayTexts.Get();
  for (int i = 0; i < mDisplayTexts.GetSize(); ++i)
    if (entries[i].mValue == value) return entries[i].mText;
  return "";
}

bool IParam::MapDisplayText(const char* text, int* value) const
{
  const DisplayText* entries = mDisplayTexts.Get();
  for (int i = 0; text && i < mDisplayTexts.GetSize(); ++i)
    if (!strcmp(entries[i].mText, text))
    {
      *value = entries[i].mValue;
      return true;
    }
  return false;
}

void IParam::GetDisplayForHost(double value, bool normalized, char* text,
                               bool withDisplayText) const
{
  if (normalized) value = FromNormalizedParam(value, mMin, mMax, mShape);
  if (withDisplayText)
  {
    const char* displayText = GetDisplayText(TruncToInt(value));
    if (displayText[0])
    {
      CopyCut(text, displayText, kTextBufferSize);
      return;
    }
  }
  if (mNegateDisplay) value = -value;
  if (mDisplayPrecision)
    snprintf(text, kTextBufferSize, "%.*f", mDisplayPrecision, value);
  else
    snprintf(text, kTextBufferSize, "%d", TruncToInt(value));
}
