#pragma once

// One automatable parameter. The host and the editor exchange normalised
// values from 0 to 1; state and presets hold plain values.

#include "IPlug/Containers.h"

// normalized^shape * (hi - lo) + lo
double FromNormalizedParam(double normalizedValue, double lo, double hi, double shape);
// ((value - lo) / (hi - lo))^(1 / shape)
double ToNormalizedParam(double nonNormalizedValue, double lo, double hi, double shape);
// The value read as decibels, as a linear gain.
double DBToAmp(double dB);

// double -> int truncating toward zero, saturating at the int range (NaN gives 0).
int TruncToInt(double value);

class IParam
{
public:
  enum EParamType
  {
    kTypeNone = 0,
    kTypeBool = 1,
    kTypeInt = 2,
    kTypeEnum = 3,
    kTypeDouble = 4
  };

  // Names, labels and display texts hold at most this many characters.
  static constexpr int kMaxNameLen = 31;

  struct DisplayText
  {
    int mValue;
    char mText[kMaxNameLen + 1];
  };

  IParam() = default;

  // The outermost initialisation decides the kind: each sets it only while it
  // is still kTypeNone.
  void InitBool(const char* name, bool defaultVal, const char* label = "");
  void InitEnum(const char* name, int defaultVal, int nEnums);
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "");

  void SetShape(double shape); // 0.0 is ignored
  void SetDisplayText(int value, const char* text);

  void Set(double value); // clamped to the bounds
  // Denormalises, snaps all kinds but double to the step, clamps at the top only.
  void SetNormalized(double normalizedValue);

  double Value() const { return mValue; }
  bool Bool() const { return mValue >= 0.5; }
  int Int() const { return TruncToInt(mValue); }
  double DBToAmp() const { return ::DBToAmp(mValue); }
  double GetNormalized() const { return GetNormalized(mValue); }
  double GetNormalized(double nonNormalizedValue) const;
  void GetBounds(double* lo, double* hi) const;
  EParamType Type() const { return mType; }
  double GetShape() const { return mShape; }
  double GetStep() const { return mStep; }
  double GetDefault() const { return mDefault; }
  int GetPrecision() const { return mDisplayPrecision; }

  const char* GetNameForHost() const { return mName; }
  const char* GetLabelForHost() const { return mLabel; }
  int GetNDisplayTexts() const { return mDisplayTexts.GetSize(); }
  // Text of the first entry with this value, "" if none.
  const char* GetDisplayText(int value) const;
  // Text of the entry at idx in the order given ("" outside the list); value,
  // if not null, receives the entry's value.
  const char* GetDisplayTextAtIdx(int idx, int* value = nullptr) const
  {
    if (idx < 0 || idx >= mDisplayTexts.GetSize()) return "";
    if (value) *value = mDisplayTexts.Get()[idx].mValue;
    return mDisplayTexts.Get()[idx].mText;
  }
  // Finds the first entry whose text equals text exactly; false leaves value alone.
  bool MapDisplayText(const char* text, int* value) const;
  bool DisplayIsNegated() const { return mNegateDisplay; }

  // The functions below write at most kTextBufferSize bytes into text.
  void GetDisplayForHost(double value, bool normalized, char* text,
                         bool withDisplayText = true) const;
  void GetDisplayForHost(char* text) const { GetDisplayForHost(mValue, false, text, true); }
  void GetDisplayForHostNoDisplayText(char* text) const
  {
    GetDisplayForHost(mValue, false, text, false);
  }

private:
  EParamType mType = kTypeNone;
  double mValue = 0.0;
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  char mName[kMaxNameLen + 1] = "";
  char mLabel[kMaxNameLen + 1] = "";
  bool mNegateDisplay = false;
  WDL_TypedBuf<DisplayText> mDisplayTexts;
};
