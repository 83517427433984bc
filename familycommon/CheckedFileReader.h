#pragma once

#include <cstddef>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "bus/SettingsTextFile.h"

namespace familycommon {

// A settings file that cannot be loaded as it stands; the text names the line.
class FileLineError : public std::runtime_error {
 public:
  FileLineError(int line, const std::string& what)
      : std::runtime_error("Line " + std::to_string(line) + ": " + what) {}
};

// Reads a settings file's values in order and refuses, by line, any that cannot be used: text
// that is no value, a value out of its range, a name the format cannot carry. A refusal is a
// FileLineError unless a file format's own reader tells its callers otherwise.
class CheckedFileReader {
 public:
  explicit CheckedFileReader(SettingsTextFile& file) : file_(file) {}
  CheckedFileReader(const CheckedFileReader&) = delete;
  CheckedFileReader& operator=(const CheckedFileReader&) = delete;
  virtual ~CheckedFileReader() = default;

  // Any integer.
  int Int();
  int Int(int low, int high, std::string_view what);
  // Any integer, non-zero meaning on.
  bool Flag();
  // 0 or 1; any other number is out of range.
  bool Flag(std::string_view what);
  // Any float.
  float Float();
  float Float(float low, float high, std::string_view what);
  // A quoted text of at most `maxChars`, taken as it stands; a longer one is no value.
  std::string Text(std::size_t maxChars);
  // The same, refused when the format cannot carry it: such a text would load and then fail every
  // save.
  std::string SavableText(std::size_t maxChars);
  // A name of at most `maxChars`; a longer one is cut to fit when `cut`, else refused.
  std::string Name(std::size_t maxChars, bool cut);
  // Any other read of the file, its parser errors named by the line of the fault, or where the
  // error does not say it, by the line where the read began.
  template <typename Read>
  auto Checked(Read read) -> decltype(read()) {
    const std::size_t at = file_.Tell();
    try {
      return read();
    } catch (const FileParserError& error) {
      RefuseAtLine(error.GetLine() > 0 ? error.GetLine() : file_.LineAt(at), error.what());
    }
  }

  // Refuses text left after the values read from `section`, up to the next header: a value the
  // load would drop.
  void EndOfSection(std::string_view section);
  // Into the next header, which must be `name`; else refused at the line where it should stand.
  void NextSection(const std::string& name);
  // Refuses the first header no section search landed on: one the file's reader does not know,
  // or one that stands twice or out of its place.
  void AllSectionsRead();

  // Refuses the file at the value that starts at `offset`.
  [[noreturn]] void Refuse(std::size_t offset, const std::string& what) const;
  std::size_t Tell() const { return file_.Tell(); }

 protected:
  SettingsTextFile& File() const { return file_; }
  // Why `value`, a `what` read from the file, cannot be used outside `low` to `high`.
  virtual std::string OutOfRange(const std::string& what, const std::string& value,
                                 const std::string& low, const std::string& high) const;
  // What tells the callers that the value at `line` cannot be used.
  virtual std::exception_ptr Error(int line, const std::string& what) const;

 private:
  [[noreturn]] void RefuseAtLine(int line, const std::string& what) const;
  // Refuses the value at `offset` when it lies outside `low` to `high`.
  template <typename Number>
  Number InRange(std::size_t offset, Number value, Number low, Number high,
                 std::string_view what) const;

  SettingsTextFile& file_;
};

}  // namespace familycommon
