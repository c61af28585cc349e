// The Turtle writer: symbols, port properties by parameter kind, scale points,
// number texts and the presets' exact chunks.

#include "IPlug/IPlugLV2_Turtle.h"
#include "tests/IPlug/TestPlug.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
const LV2BundleNames kNames = {"urn:test:Plug", "Plug.so", "Plug.ttl", "presets.ttl",
                               "DelayPlugin"};

// The text of the port block holding this symbol.
std::string PortBlock(const std::string& ttl, const std::string& symbol)
{
  const size_t at = ttl.find("lv2:symbol \"" + symbol + "\"");
  if (at == std::string::npos) return "";
  const size_t begin = ttl.rfind('[', at);
  return ttl.substr(begin, ttl.find("  ]", at) - begin);
}

size_t Count(const std::string& text, const std::string& what)
{
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}
} // namespace

TEST(LV2Turtle, SymbolsAreValidAndUnique)
{
  EXPECT_EQ("_2lfo_intensity", LV2PortSymbol("2LFO intensity"));
  EXPECT_EQ("wetdry1", LV2PortSymbol("wetdry1"));
  EXPECT_EQ("_", LV2PortSymbol(""));
  EXPECT_EQ("gain__db_", LV2PortSymbol("Gain (dB)"));
  EXPECT_EQ("caf__", LV2PortSymbol("Caf\xc3\xa9"));

  TestPlug plug(4);
  plug.GetParam(0)->InitDouble("Mix", 0, 0, 1, 0.01);
  plug.GetParam(1)->InitDouble("mix", 0, 0, 1, 0.01);
  plug.GetParam(2)->InitDouble("BPM", 0, 0, 1, 0.01); // the tempo port's symbol
  plug.GetParam(3)->InitDouble("Mix", 0, 0, 1, 0.01);
  EXPECT_EQ((std::vector<std::string>{"mix", "mix_2", "bpm_2", "mix_3"}), LV2ParamSymbols(plug));
}

TEST(LV2Turtle, NumbersReadBackExactly)
{
  for (double v : {0.0, 100.0, 24.29, 0.1 + 0.2, 1e-7, -3.5, 123456789.125, 1e300})
  {
    const std::string text = LV2Number(v);
    EXPECT_EQ(v, std::strtod(text.c_str(), nullptr)) << text;
  }
  EXPECT_EQ("24.29", LV2Number(24.29));
  EXPECT_EQ("100", LV2Number(100.0));
}

TEST(LV2Turtle, PortsCarryTheParameterKindAndTexts)
{
  TestPlug plug(4, "1-1 2-2", 1);
  plug.GetParam(0)->InitDouble("Level", 12.5, -10.0, 20.0, 0.1, "dB");
  plug.GetParam(1)->InitBool("Bypass \"now\"", true);
  plug.GetParam(2)->InitInt("Steps", 3, 1, 16);
  plug.GetParam(3)->InitEnum("Mode", 1, 2);
  plug.GetParam(3)->SetDisplayText(0, "Tape");
  plug.GetParam(3)->SetDisplayText(1, "Digital");
  const std::string ttl = LV2PluginTurtle(plug, kNames);

  const std::string level = PortBlock(ttl, "level");
  EXPECT_NE(std::string::npos, level.find("lv2:index 4 ;"));
  EXPECT_NE(std::string::npos, level.find("lv2:default 12.5 ;"));
  EXPECT_NE(std::string::npos, level.find("lv2:minimum -10.0 ;"));
  EXPECT_NE(std::string::npos, level.find("units:unit units:db"));
  EXPECT_EQ(std::string::npos, level.find("portProperty"));

  const std::string toggle = PortBlock(ttl, "bypass__now_");
  EXPECT_NE(std::string::npos, toggle.find("lv2:name \"Bypass \\\"now\\\"\""));
  EXPECT_NE(std::string::npos, toggle.find("lv2:toggled"));
  EXPECT_NE(std::string::npos, PortBlock(ttl, "steps").find("lv2:integer"));

  const std::string mode = PortBlock(ttl, "mode");
  EXPECT_NE(std::string::npos, mode.find("lv2:integer, lv2:enumeration"));
  EXPECT_NE(std::string::npos, mode.find("rdfs:label \"Digital\" ; rdf:value 1.0"));
  EXPECT_EQ(2u, Count(mode, "lv2:scalePoint"));
}

TEST(LV2Turtle, AudioTempoAndTimePortsFollowTheParameters)
{
  TestPlug plug(3);
  plug.InitDoubles({1, 2, 3});
  const std::string ttl = LV2PluginTurtle(plug, kNames);
  EXPECT_NE(std::string::npos, PortBlock(ttl, "in_r").find("lv2:connectionOptional"));
  EXPECT_EQ(std::string::npos, PortBlock(ttl, "in_l").find("lv2:connectionOptional"));
  EXPECT_NE(std::string::npos, PortBlock(ttl, "out_r").find("lv2:index 3 ;"));
  const std::string tempo = PortBlock(ttl, "bpm");
  EXPECT_NE(std::string::npos, tempo.find("lv2:index 7 ;"));
  EXPECT_NE(std::string::npos, tempo.find("lv2:designation time:beatsPerMinute"));
  const std::string time = PortBlock(ttl, "time");
  EXPECT_NE(std::string::npos, time.find("lv2:index 8 ;"));
  EXPECT_NE(std::string::npos, time.find("atom:supports time:Position"));
  EXPECT_NE(std::string::npos, time.find("lv2:connectionOptional"));
  EXPECT_EQ(std::string::npos, ttl.find("requiredFeature"));
}

TEST(LV2Turtle, OnlyMadePresetsAreListedWithTheirExactChunks)
{
  TestPlug plug(2, "1-1 2-2", 3);
  plug.InitDoubles({0.1, 0.2});
  plug.MakePreset("First", 0.1 + 0.2, 7.0);
  plug.MakePreset("Second", 50.0, 60.0);
  const std::string manifest = LV2ManifestTurtle(plug, kNames);
  EXPECT_NE(std::string::npos, manifest.find("<urn:test:Plug#preset2>"));
  EXPECT_EQ(std::string::npos, manifest.find("#preset3"));
  EXPECT_NE(std::string::npos, manifest.find("lv2:binary <Plug.so>"));

  const std::string presets = LV2PresetsTurtle(plug, kNames);
  EXPECT_EQ(2u, Count(presets, "a pset:Preset"));
  EXPECT_NE(std::string::npos, presets.find("rdfs:label \"Second\""));
  EXPECT_NE(std::string::npos, presets.find("pset:value 0.30000000000000004 ]"));
  // 0.1 + 0.2 and 7.0 as little-endian doubles, base64.
  EXPECT_NE(std::string::npos,
            presets.find("<urn:test:Plug#data> \"NDMzMzMz0z8AAAAAAAAcQA==\"^^xsd:base64Binary"));
  // Ends on the first preset, whose values become the ports' defaults.
  EXPECT_EQ(0.1 + 0.2, plug.GetParam(0)->Value());
}

TEST(LV2Turtle, AnEditorModuleBecomesTheX11UI)
{
  TestPlug plug(1);
  plug.InitDoubles({1});
  EXPECT_EQ(std::string::npos, LV2ManifestTurtle(plug, kNames).find("ui:X11UI"));
  EXPECT_EQ(std::string::npos, LV2PluginTurtle(plug, kNames).find("ui:ui"));
  LV2BundleNames names = kNames;
  names.uiBinary = "Plug_ui.so";
  const std::string manifest = LV2ManifestTurtle(plug, names);
  const size_t ui = manifest.find("<urn:test:Plug#ui>\n    a ui:X11UI ;");
  ASSERT_NE(std::string::npos, ui);
  EXPECT_NE(std::string::npos, manifest.find("ui:binary <Plug_ui.so>", ui));
  // Only the parent window is required: every host that embeds X11 UIs gives one.
  EXPECT_NE(std::string::npos, manifest.find("lv2:requiredFeature ui:parent ;", ui));
  EXPECT_EQ(manifest.find("requiredFeature", ui), manifest.rfind("requiredFeature"));
  EXPECT_NE(std::string::npos, manifest.find("lv2:extensionData ui:idleInterface", ui));
  EXPECT_NE(std::string::npos, LV2PluginTurtle(plug, names).find("ui:ui <urn:test:Plug#ui>"));
}
