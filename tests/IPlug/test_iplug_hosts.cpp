#include "TestPlug.h"

#include "IPlug/Log.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

TEST(Hosts, LookUpByLowerCaseSubstringInTableOrder)
{
  EXPECT_EQ(LookUpHost("REAPER"), kHostReaper);
  EXPECT_EQ(LookUpHost("Cubase 5"), kHostCubase);
  EXPECT_EQ(LookUpHost("Ableton Live 8"), kHostLive);
  EXPECT_EQ(LookUpHost("Cubase standalone"), kHostStandalone);
  EXPECT_EQ(LookUpHost("reaper cubase"), kHostCubase);
  EXPECT_EQ(LookUpHost("com.apple.logic.pro"), kHostLogic);
  EXPECT_EQ(LookUpHost("PreSonus VST2 Host"), kHostPresonusVst2);
  EXPECT_EQ(LookUpHost(""), kHostUnknown);
  EXPECT_EQ(LookUpHost(nullptr), kHostUnknown);
  // Only the first 255 characters are searched.
  EXPECT_EQ(LookUpHost((std::string(255, 'x') + "reaper").c_str()), kHostUnknown);
  EXPECT_EQ(LookUpHost((std::string(249, 'x') + "reaper").c_str()), kHostReaper);
}

TEST(Hosts, ToLowerIsBounded)
{
  char text[6];
  ToLower(text, "AbC");
  EXPECT_STREQ(text, "abc");
  ToLower(text, "LONGER TEXT", sizeof(text));
  EXPECT_STREQ(text, "longe");
}

TEST(Versions, PackedDecimalAndText)
{
  int major, minor, revision;
  GetVersionParts(0x10203, &major, &minor, &revision);
  EXPECT_EQ(major, 1);
  EXPECT_EQ(minor, 2);
  EXPECT_EQ(revision, 3);
  EXPECT_EQ(GetDecimalVersion(0x10203), 10203);
  EXPECT_EQ(GetDecimalVersion(0x10000), 10000);
  char text[kTextBufferSize];
  GetVersionStr(0x10203, text);
  EXPECT_STREQ(text, "v1.2.3");
  GetVersionStr(static_cast<int>(0xFFFF0000u), text); // major read as unsigned
  EXPECT_STREQ(text, "v65535.0.0");
}

TEST(Versions, EffectAndHostVersions)
{
  TestPlug plug;
  char text[kTextBufferSize];
  plug.GetEffectVersionStr(text);
  EXPECT_STREQ(text, "v1.0.0D");
  EXPECT_EQ(plug.GetEffectVersion(true), 10000);
  EXPECT_EQ(plug.GetEffectVersion(false), 0x10000);

  EXPECT_EQ(plug.GetHostVersion(true), 0); // identifies the host first
  EXPECT_EQ(plug.getHostCalls, 1);

  plug.SetHost("Reaper", 0x40500);
  EXPECT_EQ(plug.GetHost(), kHostReaper);
  EXPECT_EQ(plug.GetHostVersion(true), 40500);
  EXPECT_EQ(plug.GetHostVersion(false), 0x40500);
  plug.GetHostVersionStr(text);
  EXPECT_STREQ(text, "v4.5.0");
  plug.SetHost("Some Other App", 0);
  EXPECT_EQ(plug.GetHost(), kHostUnknown);
}

TEST(Log, CurrentTimeShapeAndEmptyLookUps)
{
  const std::string now = CurrentTime();
  ASSERT_GE(now.size(), 15u);
  for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 12, 13})
    EXPECT_TRUE(isdigit(now[i])) << now;
  EXPECT_EQ(now[8], ' ');
  EXPECT_EQ(now[11], ':');
  EXPECT_EQ(now[14], ' ');
  for (size_t i = 15; i < now.size(); ++i)
    EXPECT_TRUE(isupper(now[i])) << now;

  EXPECT_STREQ(VSTOpcodeStr(1), "");
  EXPECT_STREQ(AUSelectStr(1), "");
  EXPECT_STREQ(AUPropertyStr(1), "");
  EXPECT_STREQ(AUScopeStr(1), "");
  TraceEvent("fn", 1, "%d %s", 1, "x"); // writes nothing
  // The hook evaluates nothing in a normal build.
  int evaluated = 0;
  Trace("fn", 2, "%d", ++evaluated);
  EXPECT_EQ(evaluated, 0);
}
