// Build-time program of the LV2 edition: writes the bundle's Turtle files from
// the effect's own parameter table and factory presets.
//   LV2BundleGenerator <bundle dir> <module file name> [<UI module file name>]

#include "IPlug/IPlugLV2_Turtle.h"
#include "effect/IPlug_include_in_plug_src.h"
#include "effect/TolvaneDelay.h"

#include <cstdio>
#include <memory>
#include <string>

namespace
{
bool WriteFile(const std::string& path, const std::string& text)
{
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && ok;
}
} // namespace

int main(int argc, char** argv)
{
  if (argc != 3 && argc != 4)
  {
    std::fprintf(stderr, "usage: %s <bundle dir> <module file name> [<UI module file name>]\n",
                 argv[0]);
    return 2;
  }
  std::unique_ptr<IPlugLV2> plug(MakePlug());
  if (!plug) return 1;
  const LV2BundleNames names = {kTolvaneLV2URI, argv[2],       "TolvaneDelay.ttl",
                                "presets.ttl",  "DelayPlugin", argc == 4 ? argv[3] : nullptr};
  const std::string dir = std::string(argv[1]) + "/";
  // The presets first: writing them restores each preset and ends on the first,
  // whose values are the ports' defaults.
  const std::string presets = LV2PresetsTurtle(*plug, names);
  const bool ok = WriteFile(dir + "manifest.ttl", LV2ManifestTurtle(*plug, names)) &&
                  WriteFile(dir + names.pluginFile, LV2PluginTurtle(*plug, names)) &&
                  WriteFile(dir + names.presetsFile, presets);
  if (!ok) std::fprintf(stderr, "%s: cannot write the Turtle files in %s\n", argv[0], argv[1]);
  return ok ? 0 : 1;
}
