#pragma once

// A file written under a temporary name beside its final place and renamed
// into place only when everything succeeded: a failed run leaves whatever was
// there before.
//
// Any thread; one object per thread.

#include <string>

class PendingFile
{
public:
  explicit PendingFile(std::string target) : mTarget(std::move(target)) {}
  // Removes the temporary file unless it was committed.
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Creates the empty temporary file; writers then open TempPath() by name.
  bool Create(std::string& error);
  const std::string& TempPath() const { return mTemp; }
  const std::string& Target() const { return mTarget; }
  // Renames the temporary file to the target.
  bool Commit(std::string& error);

private:
  std::string mTarget;
  std::string mTemp;
  bool mCommitted = false;
};

// Writes the bytes through a PendingFile.
bool WriteFileAtomically(const std::string& path, const void* bytes, size_t size,
                         std::string& error);
// The whole file; false with a message when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);
