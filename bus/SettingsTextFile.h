#pragma once

#include <algorithm>
#include <cstddef>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry/SafeFileWriter.h"

// A settings file that cannot be read as written. Families catch it around a whole file load.
class FileParserError : public std::exception {
 public:
  enum Kind { kUnexpectedEof = 0, kFormatError = 1 };

  explicit FileParserError(Kind kind) : kind_(kind) {}
  int GetKind() const { return kind_; }
  std::string GetText() const { return what(); }
  const char* what() const noexcept override {
    return kind_ == kUnexpectedEof ? "Unexpected EOF encountered during read"
                                   : "Format error in file";
  }

 private:
  Kind kind_;
};

// A write that would make a settings file unreadable (a string holding a character the format
// cannot carry, a section name that cannot be read back, a number that is not finite), or a write
// to a file not opened for writing.
class SettingsWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads and writes the sectioned text settings format: named sections holding integers, floats
// and quoted strings in the order they were written. Reading is sequential: find a section, then
// read its values in order. Numbers are written and read in the C locale whatever the user's.
//
// The file is worked on in memory. Writes reach the disk only through a safe save on Close, so a
// failed save, or a writer abandoned without Close, leaves the old file as it was.
class SettingsTextFile {
 public:
  enum Mode { kRead = 0, kWrite = 1 };  // any other mode: read and write an existing file
  static constexpr std::size_t kMaxSectionNameChars = 30;
  // What no quoted text of the format may hold: a double quote would end it early, a "[" could be
  // taken for a header by a reader that does not know where strings are, and a line break moves
  // what follows onto a line of its own.
  static constexpr std::string_view kUncarriedChars = "\"[\n\r";
  static constexpr const char* kUncarriedReason =
      "A name cannot hold \"[\", a double quote or a line break: a settings file could not keep "
      "it.";
  static bool CanCarry(std::string_view text) {
    return text.find_first_of(kUncarriedChars) == std::string_view::npos;
  }

  SettingsTextFile() = default;
  SettingsTextFile(const SettingsTextFile&) = delete;
  SettingsTextFile& operator=(const SettingsTextFile&) = delete;

  // kRead opens an existing file; kWrite starts an empty one (made or emptied on Close); any other
  // mode opens an existing file to be read and changed. False when the file cannot be opened (or,
  // for writing, its folder cannot take the new file).
  bool Open(const std::string& fileName, int mode);
  // Reads `text` as the content of a file opened for reading, for text that was never a file.
  void OpenText(std::string text);
  // Opens an existing file for reading when it holds at most `maxBytes`; otherwise what to tell
  // the user: that it could not be opened, or that it is too large, with its size.
  std::optional<std::string> OpenToRead(const std::string& fileName, std::size_t maxBytes);
  // Ends the work on the file; a file opened for writing is saved. False when the save failed:
  // the old file is then unchanged.
  bool Close();
  void Rewind() { position_ = 0; }
  // Back to where Tell() stood, so that a reader can skip a damaged part and go on after it.
  void Seek(std::size_t offset) { position_ = std::min(offset, content_.size()); }
  // Where reading stands, and the line (from 1) of the first character after `offset` that is no
  // blank or line break, or at the end the last line that holds anything: what a reader names
  // when it reports an error.
  std::size_t Tell() const { return position_; }
  int LineAt(std::size_t offset) const;
  // Whether the next character that is no blank or line break opens a quoted string.
  bool AtString() const;

  // The next header with this exact name, from the current position; false (at the end of the
  // file) when there is none. Bracketed text longer than kMaxSectionNameChars is no header, nor is
  // bracketed text inside a quoted string or a "//" comment, so a name never reads as a section.
  // The headers are indexed once per file, so a reader that looks for many costs one pass.
  bool FindSection(const std::string& name);
  // Whether the last line that is not blank is the comment `text`: how a writer that always ends
  // its files so can tell a file cut short.
  bool EndsWithComment(std::string_view text) const;
  int ReadInt();
  float ReadFloat();
  // The next quoted string into `out`, terminated; one that does not fit in `capacity` bytes
  // (terminator included) throws FileParserError kFormatError.
  void ReadString(char* out, std::size_t capacity);
  template <std::size_t N>
  void ReadString(char (&out)[N]) {
    ReadString(out, N);
  }

  void WriteSection(const std::string& name);
  void WriteNewline();
  void WriteInt(int value);
  void WriteFloat(float value);
  void WriteString(const std::string& text);
  void WriteComment(const std::string& text);

 private:
  // Closes what was open and starts over on `content`, read from its start.
  void Restart(std::string content);
  // The next character, moving past it; none at the end.
  std::optional<char> Next();
  // Moves past blanks, tabs and line breaks; throws kUnexpectedEof when nothing else follows.
  void SkipSpaceBeforeNumber();
  // The number at the current position: a sign and digits, with `withFraction` also a fraction
  // and an exponent. Empty when none stands there.
  std::string_view NumberText(bool withFraction) const;
  void Write(std::string_view bytes);
  // The offsets just past each header's "]", by name, in file order.
  void IndexSections();

  std::string content_;
  std::unordered_map<std::string_view, std::vector<std::size_t>> sections_;
  bool indexed_ = false;
  std::size_t position_ = 0;
  bool open_ = false;
  std::optional<registry::SafeFileWriter> writer_;  // set while open for writing
};
