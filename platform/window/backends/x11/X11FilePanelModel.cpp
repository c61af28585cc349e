#include "platform/window/backends/x11/X11FilePanelModel.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace
{
bool isFolder(const std::string& path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string lower(std::string s)
{
  for (char& c : s)
    c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string extensionOf(const std::string& name)
{
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? "" : lower(name.substr(dot + 1));
}

std::string join(const std::string& folder, const std::string& name)
{
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string parentOf(const std::string& path)
{
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Without "." and "..", and without a trailing slash.
std::string normalised(const std::string& path)
{
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= path.size())
  {
    const size_t slash = std::min(path.find('/', i), path.size());
    const std::string part = path.substr(i, slash - i);
    if (part == "..")
    {
      if (!parts.empty()) parts.pop_back();
    }
    else if (!part.empty() && part != ".")
      parts.push_back(part);
    i = slash + 1;
  }
  std::string out;
  for (const std::string& p : parts)
    out += "/" + p;
  return out.empty() ? "/" : out;
}
} // namespace

std::string HomeFolder()
{
  if (const char* home = std::getenv("HOME"))
    if (*home) return home;
  if (const passwd* pw = getpwuid(getuid()))
    if (pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
  return "/";
}

std::string ExpandTilde(const std::string& path, const std::string& home)
{
  if (path == "~") return home;
  if (path.compare(0, 2, "~/") == 0) return join(home, path.substr(2));
  return path;
}

std::vector<FileEntry> ListFolder(const std::string& folder, const std::vector<std::string>& types)
{
  std::vector<FileEntry> folders, files;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return {};
  while (const dirent* e = readdir(dir))
  {
    const std::string name = e->d_name;
    if (name.empty() || name[0] == '.') continue;
    const std::string path = join(folder, name);
    if (isFolder(path))
      folders.push_back(FileEntry{name, true});
    else if (isFile(path))
    {
      bool allowed = types.empty();
      for (const std::string& t : types)
        allowed = allowed || extensionOf(name) == lower(t);
      if (allowed) files.push_back(FileEntry{name, false});
    }
  }
  closedir(dir);
  auto byName = [](const FileEntry& a, const FileEntry& b) { return a.name < b.name; };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  folders.insert(folders.end(), files.begin(), files.end());
  return folders;
}

FilePanelModel::FilePanelModel(bool save, const std::string& folder, const std::string& file,
                               const std::vector<std::string>& types)
    : mSave(save), mTypes(types)
{
  if (!enter(folder.empty() ? std::string("~") : folder)) enter(HomeFolder());
  typed = file;
}

bool FilePanelModel::enter(const std::string& folder)
{
  std::string path = ExpandTilde(folder, HomeFolder());
  if (!path.empty() && path[0] != '/') path = join(mFolder.empty() ? "/" : mFolder, path);
  path = normalised(path);
  if (!isFolder(path)) return false;
  mFolder = path;
  mEntries = ListFolder(mFolder, mTypes);
  if (mFolder != "/") mEntries.insert(mEntries.begin(), FileEntry{"..", true});
  mSelected = -1;
  typed.clear();
  mMessage.clear();
  return true;
}

void FilePanelModel::select(int i)
{
  if (i < 0 || i >= int(mEntries.size())) return;
  mSelected = i;
  if (!mEntries[size_t(i)].folder) typed = mEntries[size_t(i)].name;
}

FilePanelModel::Outcome FilePanelModel::activate(int i, std::string* path)
{
  if (i < 0 || i >= int(mEntries.size())) return kStay;
  const FileEntry entry = mEntries[size_t(i)];
  if (entry.folder)
  {
    enter(join(mFolder, entry.name));
    return kStay;
  }
  typed = entry.name;
  return confirm(path);
}

std::string FilePanelModel::resolved() const
{
  const std::string path = ExpandTilde(typed, HomeFolder());
  return normalised(!path.empty() && path[0] == '/' ? path : join(mFolder, path));
}

bool FilePanelModel::hasAllowedType(const std::string& name) const
{
  for (const std::string& t : mTypes)
    if (extensionOf(name) == lower(t)) return true;
  return mTypes.empty();
}

FilePanelModel::Outcome FilePanelModel::confirm(std::string* path)
{
  mMessage.clear();
  if (typed.empty())
  {
    mMessage = "Type or choose a file name";
    return kStay;
  }
  std::string full = resolved();
  if (isFolder(full))
  {
    enter(full);
    return kStay;
  }
  if (mSave)
  {
    if (!isFolder(parentOf(full)))
    {
      mMessage = "No such folder: " + parentOf(full);
      return kStay;
    }
    if (!hasAllowedType(full)) full += "." + mTypes.front();
  }
  else if (!isFile(full))
  {
    mMessage = "No such file: " + full;
    return kStay;
  }
  *path = full;
  return kChosen;
}
