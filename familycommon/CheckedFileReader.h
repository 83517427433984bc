#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include "bus/SettingsTextFile.h"

namespace familycommon {

// A settings file that cannot be loaded as it stands; the text names the line.
class FileLineError : public std::runtime_error {
 public:
  FileLineError(int line, const std::string& what)
      : std::runtime_error("Line " + std::to_string(line) + ": " + what) {}
};

// Reads a settings file's values in order and refuses, by line, any that cannot be used: text
// that is no value, a value out of its range, a name the format cannot carry.
class CheckedFileReader {
 public:
  explicit CheckedFileReader(SettingsTextFile& file) : file_(file) {}

  int Int(int low, int high, const std::string& what);
  // Any integer, non-zero meaning on.
  bool Flag();
  float Float(float low, float high, const std::string& what);
  // A name of at most `maxChars`; a longer one is cut to fit when `cut`, else refused.
  std::string Name(std::size_t maxChars, bool cut);
  // Any other read of the file, its parser errors named by line.
  template <typename Read>
  auto Checked(Read read) -> decltype(read()) {
    const std::size_t at = file_.Tell();
    try {
      return read();
    } catch (const FileParserError& error) {
      Refuse(at, error.what());
    }
  }
  // Refuses the file at the value that starts at `offset`.
  [[noreturn]] void Refuse(std::size_t offset, const std::string& what) const;
  std::size_t Tell() const { return file_.Tell(); }

 private:
  SettingsTextFile& file_;
};

}  // namespace familycommon
