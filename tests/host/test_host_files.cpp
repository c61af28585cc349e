// Files that appear only when everything succeeded: a pending file replaces
// its target on commit and leaves nothing behind otherwise.

#include "HostTestSupport.h"

#include "host/kit/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

namespace
{
size_t CountFiles(const TempDir& dir)
{
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path("")))
    ++count;
  return count;
}
} // namespace

TEST(HostFiles, CommitReplacesTheTargetAndOnlyThen)
{
  TempDir dir;
  const std::string target = dir.Path("out.wav");
  WriteText(target, "old");
  std::string error;
  {
    PendingFile file(target);
    ASSERT_TRUE(file.Create(error)) << error;
    EXPECT_NE(file.TempPath(), target);
    EXPECT_EQ(file.TempPath().rfind(dir.Path(".out.wav."), 0), 0u) << "beside the target";
    WriteText(file.TempPath(), "new");
    EXPECT_EQ(ReadText(target), "old");
    ASSERT_TRUE(file.Commit(error)) << error;
  }
  EXPECT_EQ(ReadText(target), "new");
  EXPECT_EQ(CountFiles(dir), 1u);

  // A file that plain creation would make readable to others is readable here too.
  struct stat info;
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_TRUE(info.st_mode & S_IRUSR);
  EXPECT_TRUE(info.st_mode & S_IWUSR);
}

TEST(HostFiles, AnAbandonedFileLeavesNothingBehind)
{
  TempDir dir;
  const std::string target = dir.Path("out.wav");
  WriteText(target, "old");
  std::string error;
  {
    PendingFile file(target);
    ASSERT_TRUE(file.Create(error));
    WriteText(file.TempPath(), "half written");
  }
  EXPECT_EQ(ReadText(target), "old");
  EXPECT_EQ(CountFiles(dir), 1u);

  PendingFile nowhere(dir.Path("missing/out.wav"));
  EXPECT_FALSE(nowhere.Create(error));
  EXPECT_EQ(error.find("cannot write " + dir.Path("missing/out.wav") + ": "), 0u) << error;
  PendingFile noName(dir.Path("folder/"));
  EXPECT_FALSE(noName.Create(error));
}

TEST(HostFiles, WholeFilesInAndOut)
{
  TempDir dir;
  std::string error, bytes;
  const std::string data("a\0b\xff", 4);
  ASSERT_TRUE(WriteFileAtomically(dir.Path("f"), data.data(), data.size(), error)) << error;
  ASSERT_TRUE(ReadWholeFile(dir.Path("f"), bytes, error)) << error;
  EXPECT_EQ(bytes, data);
  EXPECT_FALSE(ReadWholeFile(dir.Path("none"), bytes, error));
  EXPECT_FALSE(ReadWholeFile(dir.Path(""), bytes, error));
  EXPECT_NE(error.find("it is a folder"), std::string::npos) << error;
}
