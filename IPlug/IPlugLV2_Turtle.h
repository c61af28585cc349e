#pragma once

// The Turtle files of an LV2 bundle, written from a plug-in's own parameter
// table and factory presets, so that the description can never disagree with
// the code. Run by the bundle's generator program at build time; main thread.

#include <string>
#include <vector>

class IPlugBase;

struct LV2BundleNames
{
  const char* pluginURI;   // e.g. "urn:maker:Effect"
  const char* binary;      // the module's file name in the bundle
  const char* pluginFile;  // the description's file name, e.g. "Effect.ttl"
  const char* presetsFile; // the factory presets' file name
  const char* pluginClass; // an lv2: class such as "DelayPlugin"
  // The editor's X11 UI module in the bundle; null for a bundle without one.
  // Its URI is pluginURI + "#ui".
  const char* uiBinary = nullptr;
};

// A valid LV2 symbol from a parameter name: lower case; characters other than
// letters, digits and '_' become '_'; a leading digit gets a '_' before it.
std::string LV2PortSymbol(const char* name);

// The symbols of the plug-in's parameter ports in index order, made unique by
// a "_2", "_3", ... suffix where names collide.
std::vector<std::string> LV2ParamSymbols(const IPlugBase& plug);

// The URI of factory preset idx.
std::string LV2PresetURI(const LV2BundleNames& names, int presetIdx);

std::string LV2UIURI(const LV2BundleNames& names);

// manifest.ttl: the plug-in, its UI and each initialised factory preset.
std::string LV2ManifestTurtle(const IPlugBase& plug, const LV2BundleNames& names);

// The plug-in's description: ports with ranges, defaults (the parameters'
// current values) and properties, the tempo port and the time-position input,
// features and the state interface.
std::string LV2PluginTurtle(const IPlugBase& plug, const LV2BundleNames& names);

// Each initialised factory preset as port values plus the exact parameter
// chunk under the state key. Restores each preset in turn and preset 0 last.
std::string LV2PresetsTurtle(IPlugBase& plug, const LV2BundleNames& names);

// The shortest decimal text that reads back as exactly this double.
std::string LV2Number(double value);
