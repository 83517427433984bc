#pragma once

#include <filesystem>

namespace registry {

// An exclusive lock (flock) on a lock file, held from construction until destruction; it waits
// for any other holder. The lock file is made when missing and stays behind: removing it would let
// two processes lock different files of the same name.
class FileLock {
 public:
  explicit FileLock(const std::filesystem::path& lockFile);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // False when the lock file could not be opened or locked.
  bool IsHeld() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace registry
