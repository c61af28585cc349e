#include "host/kit/Component.h"

#include "host/kit/StatusText.h"

#include <StandInExtensions.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#ifndef TOLVANE_DEFAULT_COMPONENTS_DIR
#define TOLVANE_DEFAULT_COMPONENTS_DIR ""
#endif

namespace
{
const char kBundleName[] = "TolvaneDelay.component";

bool IsDirectory(const std::string& path)
{
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder of this program.
std::string ProgramDir()
{
  std::vector<char> path(4096);
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return std::string();
  std::string exe(path.data(), static_cast<size_t>(length));
  const size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return std::string();
  return exe.substr(0, slash);
}

std::string Canonical(const std::string& path)
{
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string canonical = resolved;
  std::free(resolved);
  return canonical;
}

std::vector<std::string> CandidateBundles()
{
  std::vector<std::string> candidates;
  if (const char* dir = std::getenv("TOLVANE_COMPONENTS_DIR"); dir && *dir)
    candidates.push_back(std::string(dir) + "/" + kBundleName);
  const std::string programDir = ProgramDir();
  if (!programDir.empty())
  {
    // <build>/Components when this program is <build>/host/tolvane; an
    // installed program's <prefix>/lib/tolvane/Components.
    candidates.push_back(programDir + "/../Components/" + kBundleName);
    candidates.push_back(programDir + "/../lib/tolvane/Components/" + kBundleName);
  }
  const std::string compiledIn = TOLVANE_DEFAULT_COMPONENTS_DIR;
  if (!compiledIn.empty()) candidates.push_back(compiledIn + "/" + kBundleName);
  return candidates;
}
} // namespace

bool FindComponentBundle(const std::string& explicitPath, std::string& bundlePath,
                         std::string& error)
{
  if (!explicitPath.empty())
  {
    if (!IsDirectory(explicitPath))
    {
      error = "no component bundle at " + explicitPath;
      return false;
    }
    struct stat info;
    const std::string plist = explicitPath + "/Contents/Info.plist";
    if (stat(plist.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    {
      error = explicitPath + " is not a component bundle (it has no Contents/Info.plist)";
      return false;
    }
    bundlePath = explicitPath;
    return true;
  }
  std::string searched;
  for (const std::string& candidate : CandidateBundles())
  {
    if (IsDirectory(candidate))
    {
      bundlePath = Canonical(candidate);
      return true;
    }
    searched += (searched.empty() ? "" : ", ") + candidate;
  }
  error = std::string("cannot find ") + kBundleName + " (looked in " +
          (searched.empty() ? std::string("no place") : searched) +
          "); build the TolvaneDelay target or pass --component PATH";
  return false;
}

bool LoadComponent(const std::string& bundlePath, Component& component, std::string& error)
{
  const OSErr status = RegisterComponentBundle(bundlePath.c_str(), &component);
  if (status != noErr)
  {
    const std::string reason = GetComponentRegistrationMessage();
    error = "cannot load the component bundle " + bundlePath + ": " +
            (reason.empty() ? std::string() : reason + ", ") + "status " + StatusText(status);
    return false;
  }
  ComponentDescription description = {};
  if (GetComponentInfo(component, &description, nullptr, nullptr, nullptr) != noErr ||
      description.componentType != kAudioUnitType_Effect)
  {
    error = bundlePath + " is not an audio effect component (type '" +
            FourCCText(description.componentType) + "')";
    return false;
  }
  return true;
}

bool FindAndLoadComponent(const std::string& explicitPath, Component& component, std::string& error)
{
  std::string bundlePath;
  return FindComponentBundle(explicitPath, bundlePath, error) &&
         LoadComponent(bundlePath, component, error);
}

OSErr UnitInstance::Open(Component component)
{
  Close();
  return OpenAComponent(component, &mUnit);
}

OSErr UnitInstance::Close()
{
  if (!mUnit) return noErr;
  const OSErr status = CloseComponent(mUnit);
  mUnit = nullptr;
  return status;
}

bool OpenUnit(Component component, UnitInstance& instance, std::string& error)
{
  const OSErr status = instance.Open(component);
  if (status != noErr) error = "the component does not open: status " + StatusText(status);
  return status == noErr;
}
