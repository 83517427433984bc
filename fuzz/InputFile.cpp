#include "fuzz/InputFile.h"

#include <unistd.h>

#include <fstream>
#include <string>

#include "tests/support/MemoryFolder.h"

InputFile::InputFile(const std::string& tag)
    : path_(testsupport::MemoryFolder() /
            ("telvo-fuzz-" + std::to_string(::getpid()) + tag + ".txt")) {}

InputFile::~InputFile() {
  std::error_code error;
  std::filesystem::remove(path_, error);
}

const std::filesystem::path& InputFile::Write(const uint8_t* data, std::size_t size) {
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path_;
}
