// A temporary folder removed with everything in it at the end of the test.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

class TempFolder
{
public:
  TempFolder()
  {
    char pattern[] = "/tmp/tolvane_cf_XXXXXX";
    const char* made = mkdtemp(pattern);
    mPath = made ? made : "";
  }
  ~TempFolder()
  {
    if (!mPath.empty()) std::system(("rm -rf '" + mPath + "'").c_str());
  }
  const std::string& Path() const { return mPath; }

  std::string MakeFolder(const std::string& relative) const
  {
    std::string path = mPath;
    size_t start = 0;
    while (start <= relative.size())
    {
      size_t slash = relative.find('/', start);
      path = mPath + "/" + relative.substr(0, slash);
      mkdir(path.c_str(), 0755);
      if (slash == std::string::npos) break;
      start = slash + 1;
    }
    return path;
  }

  std::string Write(const std::string& relative, const std::string& contents) const
  {
    std::string path = mPath + "/" + relative;
    std::ofstream(path, std::ios::binary) << contents;
    return path;
  }

private:
  std::string mPath;
};
