#include "IPlug/IPlugLV2_Turtle.h"

#include "IPlug/IPlugBase.h"
#include "IPlug/IPlugLV2_Ports.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace
{
const char* const kPrefixes = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                              "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
                              "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                              "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                              "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                              "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
                              "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                              "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                              "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                              "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
                              "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                              "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                              "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
                              "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

// A Turtle string literal.
std::string Quoted(const char* text)
{
  std::string out = "\"";
  for (const char* c = text; *c; ++c)
  {
    if (*c == '"' || *c == '\\') out += '\\';
    if (*c == '\n')
      out += "\\n";
    else
      out += *c;
  }
  return out + "\"";
}

std::string Line(const std::string& text)
{
  return "    " + text + " ;\n";
}

// Numbers with a decimal point or exponent read as xsd:decimal or xsd:double,
// which every host takes for a control value.
std::string Decimal(double value)
{
  std::string text = LV2Number(value);
  if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
  return text;
}

const char* UnitOf(const char* label)
{
  static const char* const kUnits[][2] = {
      {"%", "units:pc"}, {"dB", "units:db"}, {"Hz", "units:hz"}, {"ms", "units:ms"}};
  for (const auto& unit : kUnits)
    if (std::string(label) == unit[0]) return unit[1];
  return nullptr;
}

std::string AudioPort(bool input, int channel, int nChannels, uint32_t index)
{
  static const char* const kStereoNames[2][2] = {{"Left", "l"}, {"Right", "r"}};
  std::string symbol = input ? "in_" : "out_";
  std::string name;
  if (nChannels == 2)
  {
    symbol += kStereoNames[channel][1];
    name = std::string(kStereoNames[channel][0]) + (input ? " In" : " Out");
  }
  else
  {
    symbol += std::to_string(channel + 1);
    name = std::string(input ? "In " : "Out ") + std::to_string(channel + 1);
  }
  std::string port = "[\n";
  port += Line(std::string("a lv2:AudioPort, ") + (input ? "lv2:InputPort" : "lv2:OutputPort"));
  port += Line("lv2:index " + std::to_string(index));
  port += Line("lv2:symbol " + Quoted(symbol.c_str()));
  port += Line("lv2:name " + Quoted(name.c_str()));
  // Inputs past the first are optional: a mono host feeds only the first.
  if (input && channel > 0) port += Line("lv2:portProperty lv2:connectionOptional");
  return port + "  ]";
}

std::string ParamPort(const IParam& param, const std::string& symbol, uint32_t index)
{
  double lo = 0.0, hi = 1.0;
  param.GetBounds(&lo, &hi);
  std::string port = "[\n";
  port += Line("a lv2:ControlPort, lv2:InputPort");
  port += Line("lv2:index " + std::to_string(index));
  port += Line("lv2:symbol " + Quoted(symbol.c_str()));
  port += Line("lv2:name " + Quoted(param.GetNameForHost()));
  port += Line("lv2:default " + Decimal(param.Value()));
  port += Line("lv2:minimum " + Decimal(lo));
  port += Line("lv2:maximum " + Decimal(hi));
  switch (param.Type())
  {
  case IParam::kTypeBool:
    port += Line("lv2:portProperty lv2:toggled");
    break;
  case IParam::kTypeInt:
    port += Line("lv2:portProperty lv2:integer");
    break;
  case IParam::kTypeEnum:
    port += Line("lv2:portProperty lv2:integer, lv2:enumeration");
    break;
  default:
    break;
  }
  if (const char* unit = UnitOf(param.GetLabelForHost()))
    port += Line(std::string("units:unit ") + unit);
  for (int i = 0; i < param.GetNDisplayTexts(); ++i)
  {
    int value = 0;
    const char* text = param.GetDisplayTextAtIdx(i, &value);
    port += Line("lv2:scalePoint [ rdfs:label " + Quoted(text) + " ; rdf:value " + Decimal(value) +
                 " ]");
  }
  return port + "  ]";
}

std::string TempoPort(uint32_t index)
{
  std::string port = "[\n";
  port += Line("a lv2:ControlPort, lv2:InputPort");
  port += Line("lv2:index " + std::to_string(index));
  port += Line(std::string("lv2:symbol ") + Quoted(kLV2TempoSymbol));
  port += Line("lv2:name \"Tempo\"");
  port += Line("lv2:designation time:beatsPerMinute");
  port += Line("lv2:default " + Decimal(kLV2TempoDefault));
  port += Line("lv2:minimum " + Decimal(kLV2TempoMin));
  port += Line("lv2:maximum " + Decimal(kLV2TempoMax));
  port += Line("units:unit units:bpm");
  port += Line("lv2:portProperty lv2:connectionOptional");
  return port + "  ]";
}

std::string TimePort(uint32_t index)
{
  std::string port = "[\n";
  port += Line("a atom:AtomPort, lv2:InputPort");
  port += Line("atom:bufferType atom:Sequence");
  port += Line("atom:supports time:Position");
  port += Line("lv2:index " + std::to_string(index));
  port += Line(std::string("lv2:symbol ") + Quoted(kLV2TimeSymbol));
  port += Line("lv2:name \"Time Position\"");
  port += Line("lv2:portProperty lv2:connectionOptional");
  return port + "  ]";
}

const char kBase64Chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const unsigned char* bytes, int n)
{
  std::string out;
  for (int i = 0; i < n; i += 3)
  {
    const unsigned v =
        (bytes[i] << 16) | ((i + 1 < n ? bytes[i + 1] : 0) << 8) | (i + 2 < n ? bytes[i + 2] : 0);
    out += kBase64Chars[(v >> 18) & 63];
    out += kBase64Chars[(v >> 12) & 63];
    out += i + 1 < n ? kBase64Chars[(v >> 6) & 63] : '=';
    out += i + 2 < n ? kBase64Chars[v & 63] : '=';
  }
  return out;
}

std::string PluginSubject(const LV2BundleNames& names)
{
  return std::string("<") + names.pluginURI + ">";
}
} // namespace

std::string LV2Number(double value)
{
  char text[64];
  // Plain decimals where they are short enough, else the shortest exponent form.
  if (std::fabs(value) < 1e15)
    for (int decimals = 0; decimals <= 17; ++decimals)
    {
      snprintf(text, sizeof(text), "%.*f", decimals, value);
      if (std::strtod(text, nullptr) == value) return text;
    }
  for (int precision = 1; precision <= 17; ++precision)
  {
    snprintf(text, sizeof(text), "%.*g", precision, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

std::string LV2PortSymbol(const char* name)
{
  std::string symbol;
  for (const char* c = name; *c; ++c)
  {
    const unsigned char ch = static_cast<unsigned char>(*c);
    symbol += std::isalnum(ch) && ch < 128 ? static_cast<char>(std::tolower(ch)) : '_';
  }
  if (symbol.empty() || std::isdigit(static_cast<unsigned char>(symbol[0]))) symbol.insert(0, "_");
  return symbol;
}

std::vector<std::string> LV2ParamSymbols(const IPlugBase& plug)
{
  std::set<std::string> taken = {kLV2TempoSymbol, kLV2TimeSymbol, "in_l", "in_r",  "out_l",
                                 "out_r",         "in_1",         "in_2", "out_1", "out_2"};
  std::vector<std::string> symbols;
  for (int i = 0; i < plug.NParams(); ++i)
  {
    const std::string base = LV2PortSymbol(plug.GetParam(i)->GetNameForHost());
    std::string symbol = base;
    for (int n = 2; taken.count(symbol); ++n)
      symbol = base + "_" + std::to_string(n);
    taken.insert(symbol);
    symbols.push_back(symbol);
  }
  return symbols;
}

std::string LV2PresetURI(const LV2BundleNames& names, int presetIdx)
{
  return std::string(names.pluginURI) + "#preset" + std::to_string(presetIdx + 1);
}

std::string LV2UIURI(const LV2BundleNames& names)
{
  return std::string(names.pluginURI) + "#ui";
}

std::string LV2ManifestTurtle(const IPlugBase& plug, const LV2BundleNames& names)
{
  std::string ttl = kPrefixes;
  ttl += PluginSubject(names) + "\n";
  ttl += Line("a lv2:Plugin");
  ttl += Line(std::string("lv2:binary <") + names.binary + ">");
  ttl += std::string("    rdfs:seeAlso <") + names.pluginFile + "> .\n";
  if (names.uiBinary)
  {
    ttl += "\n<" + LV2UIURI(names) + ">\n";
    ttl += Line("a ui:X11UI");
    ttl += Line(std::string("ui:binary <") + names.uiBinary + ">");
    // The editor lives in the host's window; the host drives it through idle calls.
    ttl += Line("lv2:requiredFeature ui:parent");
    ttl += Line("lv2:optionalFeature ui:resize, ui:idleInterface");
    ttl += "    lv2:extensionData ui:idleInterface .\n";
  }
  for (int i = 0; i < plug.NPresets(); ++i)
  {
    if (!plug.PresetInitialized(i)) continue;
    ttl += "\n<" + LV2PresetURI(names, i) + ">\n";
    ttl += Line("a pset:Preset");
    ttl += Line("lv2:appliesTo " + PluginSubject(names));
    ttl += std::string("    rdfs:seeAlso <") + names.presetsFile + "> .\n";
  }
  return ttl;
}

std::string LV2PluginTurtle(const IPlugBase& plug, const LV2BundleNames& names)
{
  const IPlugLV2Ports ports(plug.NInChannels(), plug.NOutChannels(), plug.NParams());
  const std::vector<std::string> symbols = LV2ParamSymbols(plug);
  std::string ttl = "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n";
  ttl += kPrefixes;
  ttl += PluginSubject(names) + "\n";
  ttl += Line(std::string("a lv2:Plugin, doap:Project, lv2:") + names.pluginClass);
  ttl += Line("doap:name " + Quoted(plug.GetEffectName()));
  ttl += Line("doap:maintainer [ foaf:name " + Quoted(plug.GetMfrName()) + " ]");
  ttl += Line("lv2:optionalFeature lv2:hardRTCapable, urid:map, opts:options");
  ttl += Line("opts:supportedOption bufsz:maxBlockLength");
  ttl += Line("lv2:extensionData state:interface");
  if (names.uiBinary) ttl += Line("ui:ui <" + LV2UIURI(names) + ">");
  std::vector<std::string> portTexts;
  for (int c = 0; c < ports.nIn; ++c)
    portTexts.push_back(AudioPort(true, c, ports.nIn, ports.FirstInput() + c));
  for (int c = 0; c < ports.nOut; ++c)
    portTexts.push_back(AudioPort(false, c, ports.nOut, ports.FirstOutput() + c));
  for (int i = 0; i < plug.NParams(); ++i)
    portTexts.push_back(ParamPort(*plug.GetParam(i), symbols[i], ports.ParamPort(i)));
  portTexts.push_back(TempoPort(ports.TempoPort()));
  portTexts.push_back(TimePort(ports.TimePort()));
  ttl += "    lv2:port ";
  for (size_t i = 0; i < portTexts.size(); ++i)
    ttl += portTexts[i] + (i + 1 < portTexts.size() ? ", " : " .\n");
  // The state key the saved parameter chunk is stored under.
  ttl += "\n<" + LV2StateKeyURI(names.pluginURI) + ">\n";
  ttl += Line("a rdf:Property");
  ttl += Line("rdfs:label \"parameter chunk\"");
  ttl += "    rdfs:range atom:Chunk .\n";
  return ttl;
}

std::string LV2PresetsTurtle(IPlugBase& plug, const LV2BundleNames& names)
{
  const std::vector<std::string> symbols = LV2ParamSymbols(plug);
  const std::string stateKey = LV2StateKeyURI(names.pluginURI);
  std::string ttl = kPrefixes;
  for (int p = 0; p < plug.NPresets(); ++p)
  {
    if (!plug.PresetInitialized(p) || !plug.RestorePreset(p)) continue;
    ttl += "<" + LV2PresetURI(names, p) + ">\n";
    ttl += Line("a pset:Preset");
    ttl += Line("lv2:appliesTo " + PluginSubject(names));
    ttl += Line("rdfs:label " + Quoted(plug.GetPresetName(p)));
    ttl += "    lv2:port ";
    for (int i = 0; i < plug.NParams(); ++i)
      ttl += "[ lv2:symbol " + Quoted(symbols[i].c_str()) + " ; pset:value " +
             Decimal(plug.GetParam(i)->Value()) + " ]" +
             (i + 1 < plug.NParams() ? ",\n      " : " ;\n");
    ByteChunk chunk;
    plug.SerializeParams(&chunk);
    ttl += "    state:state [ <" + stateKey + "> \"" + Base64(chunk.GetBytes(), chunk.Size()) +
           "\"^^xsd:base64Binary ] .\n\n";
  }
  plug.RestorePreset(0);
  return ttl;
}
