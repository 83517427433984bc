#include "fuzz/InputFile.h"

#include <unistd.h>

#include <fstream>
#include <string>

namespace {

// Every loaded input is saved twice, each save flushed to the disk: on a disk that is most of the
// time an input takes. A memory file system takes the flush at once.
std::filesystem::path Folder() {
  const std::filesystem::path memory = "/dev/shm";
  std::error_code error;
  if (std::filesystem::is_directory(memory, error) && ::access(memory.c_str(), W_OK) == 0) {
    return memory;
  }
  return std::filesystem::temp_directory_path();
}

}  // namespace

InputFile::InputFile(const std::string& tag)
    : path_(Folder() / ("telvo-fuzz-" + std::to_string(::getpid()) + tag + ".txt")) {}

InputFile::~InputFile() {
  std::error_code error;
  std::filesystem::remove(path_, error);
}

const std::filesystem::path& InputFile::Write(const uint8_t* data, std::size_t size) {
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path_;
}
