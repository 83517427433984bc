#pragma once

// A folder for files that are saved over and over: every save is flushed, and on a disk the
// flushes would be most of what is measured or fuzzed. A memory file system takes them at once.

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace testsupport {

// /dev/shm where the machine has it writable, else the temporary folder.
inline std::filesystem::path MemoryFolder() {
  const std::filesystem::path memory = "/dev/shm";
  std::error_code error;
  if (std::filesystem::is_directory(memory, error) && ::access(memory.c_str(), W_OK) == 0) {
    return memory;
  }
  return std::filesystem::temp_directory_path();
}

}  // namespace testsupport
