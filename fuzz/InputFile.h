#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

// The fuzz input as a file, for parsers that only read files: in memory where the machine has a
// memory file system. One file per process, rewritten for every input and removed at exit.
class InputFile {
 public:
  // `tag` tells apart the files of one process.
  explicit InputFile(const std::string& tag = "");
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Replaces the file's contents with `data`; its path.
  const std::filesystem::path& Write(const uint8_t* data, std::size_t size);

 private:
  std::filesystem::path path_;
};
