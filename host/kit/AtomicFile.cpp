#include "host/kit/AtomicFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace
{
std::string SystemError(const std::string& what, const std::string& path)
{
  return what + " " + path + ": " + std::strerror(errno);
}

// Read and write for everyone the process's mask allows, as a plain create gives.
mode_t DefaultFileMode()
{
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}
} // namespace

PendingFile::~PendingFile()
{
  if (!mTemp.empty() && !mCommitted) std::remove(mTemp.c_str());
}

bool PendingFile::Create(std::string& error)
{
  const size_t slash = mTarget.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : mTarget.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? mTarget : mTarget.substr(slash + 1);
  if (base.empty())
  {
    error = "not a file name: " + mTarget;
    return false;
  }
  std::string pattern = (slash == std::string::npos ? std::string() : dir) + "." + base + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0)
  {
    error = SystemError("cannot write", mTarget);
    return false;
  }
  fchmod(fd, DefaultFileMode());
  close(fd);
  mTemp = name.data();
  return true;
}

bool PendingFile::Commit(std::string& error)
{
  if (std::rename(mTemp.c_str(), mTarget.c_str()) != 0)
  {
    error = SystemError("cannot write", mTarget);
    return false;
  }
  mCommitted = true;
  return true;
}

bool WriteFileAtomically(const std::string& path, const void* bytes, size_t size,
                         std::string& error)
{
  PendingFile file(path);
  if (!file.Create(error)) return false;
  std::ofstream out(file.TempPath(), std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
  out.close();
  if (!out)
  {
    error = SystemError("cannot write", path);
    return false;
  }
  return file.Commit(error);
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
  {
    error = "cannot read " + path + ": it is a folder";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in)
  {
    error = SystemError("cannot read", path);
    return false;
  }
  std::ostringstream contents;
  contents << in.rdbuf();
  if (in.bad())
  {
    error = SystemError("cannot read", path);
    return false;
  }
  bytes = contents.str();
  return true;
}
