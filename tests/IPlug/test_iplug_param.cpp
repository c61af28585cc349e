#include "IPlug/IParam.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <cmath>
#include <string>

namespace
{
std::string Display(const IParam& p, bool withTexts = true)
{
  char text[kTextBufferSize];
  p.GetDisplayForHost(p.Value(), false, text, withTexts);
  return text;
}
} // namespace

TEST(Param, BlankAtConstruction)
{
  IParam p;
  double lo, hi;
  p.GetBounds(&lo, &hi);
  EXPECT_EQ(p.Type(), IParam::kTypeNone);
  EXPECT_EQ(p.Value(), 0.0);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 1.0);
  EXPECT_EQ(p.GetStep(), 1.0);
  EXPECT_EQ(p.GetShape(), 1.0);
  EXPECT_STREQ(p.GetNameForHost(), "");
  EXPECT_STREQ(p.GetDisplayText(0), "");
  EXPECT_FALSE(p.DisplayIsNegated());
}

TEST(Param, InitDoubleRaisesMaximumAndKeepsDefaultUnclamped)
{
  IParam p;
  p.InitDouble("x", 0.0, 0.0, 0.0, 1.0, "");
  double lo, hi;
  p.GetBounds(&lo, &hi);
  EXPECT_EQ(hi, 1.0);

  IParam q;
  q.InitDouble("q", 50.0, 0.0, 10.0, 1.0, "dB");
  EXPECT_EQ(q.Value(), 50.0);
  EXPECT_EQ(q.GetDefault(), 50.0);
  EXPECT_STREQ(q.GetLabelForHost(), "dB");
  q.Set(q.Value());
  EXPECT_EQ(q.Value(), 10.0);
  q.Set(-3.0);
  EXPECT_EQ(q.Value(), 0.0);
}

TEST(Param, OutermostInitialisationDecidesTheKind)
{
  IParam b;
  b.InitBool("b", true, "label");
  double lo, hi;
  b.GetBounds(&lo, &hi);
  EXPECT_EQ(b.Type(), IParam::kTypeBool);
  EXPECT_EQ(b.Value(), 1.0);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 1.0);
  EXPECT_EQ(b.GetStep(), 1.0);
  EXPECT_STREQ(b.GetLabelForHost(), "");
  EXPECT_EQ(Display(b), "on");
  EXPECT_EQ(Display(b, false), "1");
  EXPECT_EQ(b.GetNDisplayTexts(), 2);

  IParam e;
  e.InitEnum("e", 2, 4);
  e.GetBounds(&lo, &hi);
  EXPECT_EQ(e.Type(), IParam::kTypeEnum);
  EXPECT_EQ(hi, 3.0);

  IParam i;
  i.InitInt("i", 3, 0, 10, "st");
  EXPECT_EQ(i.Type(), IParam::kTypeInt);
  EXPECT_EQ(i.GetPrecision(), 0);
}

TEST(Param, SetNormalizedSnapsAllButDoublesAndClampsOnlyAtTheTop)
{
  IParam i;
  i.InitInt("i", 0, 0, 10);
  i.SetNormalized(0.44);
  EXPECT_EQ(i.Value(), 4.0);
  i.SetNormalized(0.46);
  EXPECT_EQ(i.Value(), 5.0);
  i.SetNormalized(1.7);
  EXPECT_EQ(i.Value(), 10.0);
  i.SetNormalized(-0.5); // no lower clamp
  EXPECT_EQ(i.Value(), -5.0);

  IParam d;
  d.InitDouble("d", 0.0, 0.0, 10.0, 1.0);
  d.SetNormalized(0.44);
  EXPECT_DOUBLE_EQ(d.Value(), 4.4);
  EXPECT_EQ(Display(d), "4");

  IParam c;
  c.InitDouble("c", 0.0, -10.0, 10.0, 1.0);
  c.SetNormalized(0.5);
  EXPECT_EQ(c.Value(), 0.0);
  EXPECT_EQ(c.GetNormalized(0.0), 0.5);
  EXPECT_EQ(c.GetNormalized(50.0), 1.0); // clamped first
}

TEST(Param, ShapeCurves)
{
  EXPECT_EQ(FromNormalizedParam(0.5, 0.0, 1.0, 2.0), 0.25);
  EXPECT_EQ(ToNormalizedParam(0.25, 0.0, 1.0, 2.0), 0.5);
  IParam p;
  p.InitDouble("p", 0.0, 0.0, 100.0, 0.1);
  p.SetShape(2.0);
  p.SetShape(0.0); // ignored
  EXPECT_EQ(p.GetShape(), 2.0);
  p.SetNormalized(0.5);
  EXPECT_DOUBLE_EQ(p.Value(), 25.0);
  EXPECT_DOUBLE_EQ(p.GetNormalized(), 0.5);
}

TEST(Param, DisplayPrecisionFollowsTheStep)
{
  const struct
  {
    double step;
    int precision;
  } cases[] = {{1.0, 0}, {0.5, 1}, {0.1, 1}, {0.01, 2}, {0.25, 2}, {0.001, 3}, {1.0 / 3.0, 6}};
  for (const auto& c : cases)
  {
    IParam p;
    p.InitDouble("p", 0.0, 0.0, 1.0, c.step);
    EXPECT_EQ(p.GetPrecision(), c.precision) << c.step;
  }
  IParam p;
  p.InitDouble("p", 0.5, 0.0, 1.0, 0.01);
  EXPECT_EQ(Display(p), "0.50");
  char text[kTextBufferSize];
  p.GetDisplayForHost(0.25, true, text, false); // normalised: 0.25 of 0..1
  EXPECT_STREQ(text, "0.25");
}

TEST(Param, DisplayTextsTakeTheFirstMatchAndAreCaseSensitive)
{
  IParam e;
  e.InitEnum("mode", 1, 3);
  e.SetDisplayText(0, "A");
  e.SetDisplayText(1, "B");
  e.SetDisplayText(1, "B2");
  e.SetDisplayText(2, "A");
  EXPECT_STREQ(e.GetDisplayText(1), "B");
  EXPECT_STREQ(e.GetDisplayText(7), "");
  int v = 99;
  EXPECT_TRUE(e.MapDisplayText("A", &v));
  EXPECT_EQ(v, 0);
  v = 99;
  EXPECT_FALSE(e.MapDisplayText("a", &v));
  EXPECT_EQ(v, 99);

  IParam b;
  b.InitBool("b", false);
  EXPECT_FALSE(b.MapDisplayText("On", &v));
  EXPECT_EQ(Display(b), "off");
}

TEST(Param, BoolIntAndDecibels)
{
  IParam p;
  p.InitDouble("p", 0.0, -100.0, 100.0, 0.0001);
  p.Set(0.4999);
  EXPECT_FALSE(p.Bool());
  p.Set(0.5);
  EXPECT_TRUE(p.Bool());
  p.Set(-2.7);
  EXPECT_EQ(p.Int(), -2);
  p.Set(-6.0);
  EXPECT_NEAR(p.DBToAmp(), 0.501187, 1e-6);
  EXPECT_EQ(DBToAmp(0.0), 1.0);
  EXPECT_EQ(DBToAmp(20.0), std::exp(20.0 * 0.1151292546497));
}

TEST(Param, LongNamesAndTextsAreCutToTheirFields)
{
  const std::string longName(60, 'n');
  IParam p;
  p.InitDouble(longName.c_str(), 0.0, 0.0, 1.0, 1.0, longName.c_str());
  EXPECT_EQ(std::string(p.GetNameForHost()), longName.substr(0, 31));
  EXPECT_EQ(std::string(p.GetLabelForHost()), longName.substr(0, 31));
  p.SetDisplayText(0, longName.c_str());
  EXPECT_EQ(std::string(p.GetDisplayText(0)), longName.substr(0, 31));
  int v = -1;
  EXPECT_TRUE(p.MapDisplayText(longName.substr(0, 31).c_str(), &v));
}

TEST(Param, DisplayWritesAtMostTheBufferCapacity)
{
  IParam p;
  p.InitDouble("p", 0.0, -1e300, 1e300, 0.1);
  p.Set(1e300); // about 300 digits before the point
  char text[kTextBufferSize + 8];
  memset(text, 'X', sizeof(text));
  p.GetDisplayForHostNoDisplayText(text);
  EXPECT_EQ(strlen(text), static_cast<size_t>(kTextBufferSize - 1));
  EXPECT_EQ(text[kTextBufferSize], 'X');

  IParam i;
  i.InitDouble("i", 0.0, -1e20, 1e20, 1.0);
  i.Set(1e20); // beyond the int range: shown saturated, no undefined conversion
  i.GetDisplayForHost(text);
  EXPECT_EQ(std::string(text), std::to_string(INT_MAX));
  EXPECT_EQ(TruncToInt(NAN), 0);
  EXPECT_EQ(TruncToInt(-1e30), INT_MIN);
}
