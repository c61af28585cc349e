#include "IPlug/IGraphicsLV2.h"

#include "lice/lice_png.h"

#include <dlfcn.h>
#include <strings.h>

#include <cstring>

namespace
{
// A relative name that stays inside its folder: no leading '/', no ".." part.
bool StaysInside(const char* name)
{
  if (!name || !name[0] || name[0] == '/') return false;
  for (const char* part = name; part;)
  {
    const char* slash = std::strchr(part, '/');
    const size_t len = slash ? size_t(slash - part) : std::strlen(part);
    if (len == 2 && part[0] == '.' && part[1] == '.') return false;
    part = slash ? slash + 1 : nullptr;
  }
  return true;
}

bool IsPNGName(const char* name)
{
  const char* dot = std::strrchr(name, '.');
  return dot && !strcasecmp(dot + 1, "png");
}
} // namespace

IGraphicsLV2::IGraphicsLV2(IPlugBase* plug, int w, int h, int refreshFPS, const char* resourceDir)
    : IGraphicsMac(plug, w, h, refreshFPS), mResourceDir(resourceDir ? resourceDir : "")
{
}

LICE_IBitmap* IGraphicsLV2::OSLoadBitmap(int, const char* name)
{
  if (mResourceDir.empty() || !StaysInside(name) || !IsPNGName(name)) return nullptr;
  return LICE_LoadPNG((mResourceDir + "/" + name).c_str());
}

void IGraphicsLV2::PluginPath(WDL_String* path)
{
  if (mResourceDir.empty()) return;
  path->Set(mResourceDir.c_str());
  path->Append("/");
}

void IGraphicsLV2::HostPath(WDL_String* path)
{
  PluginPath(path);
}

std::string LV2ModuleFolder()
{
  Dl_info info = {};
  if (!dladdr(reinterpret_cast<void*>(&LV2ModuleFolder), &info) || !info.dli_fname) return "";
  const char* slash = std::strrchr(info.dli_fname, '/');
  if (!slash) return ".";
  return std::string(info.dli_fname, size_t(slash - info.dli_fname));
}
