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
// The primitives say what they found wrong and on which line; a family's own check may give
// neither.
class FileParserError : public std::exception {
 public:
  enum Kind { kUnexpectedEof = 0, kFormatError = 1 };

  explicit FileParserError(Kind kind, const std::string& reason = {}, int line = 0)
      : kind_(kind),
        line_(line),
        text_(std::string(kind == kUnexpectedEof ? "Unexpected EOF encountered during read"
                                                 : "Format error in file") +
              (reason.empty() ? "" : ": " + reason)) {}
  int GetKind() const { return kind_; }
  // The line (from 1) of the fault; 0 when the thrower did not know it.
  int GetLine() const { return line_; }
  std::string GetText() const { return text_; }
  const char* what() const noexcept override { return text_.c_str(); }

 private:
  Kind kind_;
  int line_;
  std::string text_;
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
  // What a name may hold: the characters of the file's 8-bit text (Windows-1252) less the
  // control characters, the five bytes that code page leaves without a character, a double quote,
  // which would end it early, and a "[", which a reader that does not know where strings are could
  // take for a header. The writer refuses the rest, so every file the program saves reads back.
  static constexpr const char* kUncarriedReason =
      "A name cannot hold \"[\", a double quote, a control character such as a tab or a line "
      "break, or a byte that is no Windows-1252 character: a settings file could not keep it.";
  static bool CanCarry(std::string_view text);

  // A section header: its name, the offset of its "[" and the offset just past its "]".
  struct Header {
    std::string_view name;
    std::size_t begin = 0;
    std::size_t end = 0;
    bool found = false;  // FindSection or EnterNextSection landed on it
  };

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
  // What to tell the user after Open failed, and after Close failed to save, with the system's
  // reason where there is one ("Could not open file: Read-only file system", "The file could not
  // be written: No space left on device.").
  std::string CouldNotOpenText() const;
  std::string NotWrittenText() const;
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
  // Every header of the file, in file order: what FindSection can find.
  const std::vector<Header>& Headers();
  // The offset of the "[" of the first header at or after the position; the end when none.
  std::size_t NextSectionAt();
  // Into the header NextSectionAt() gives, when it has this name; else false, and the position
  // stays.
  bool EnterNextSection(const std::string& name);
  // The first text from the position to the next header (or the end) that is no blank, line break
  // or comment: what a reader that has read a section's values would leave unread.
  std::optional<std::size_t> UnreadTextAt();
  // The first header no FindSection or EnterNextSection landed on since the file was opened, so
  // that a reader can tell that it read every section; null when it did.
  const Header* FirstUnfoundSection();
  // Whether a header of this name was landed on.
  bool WasFound(std::string_view name);

  // The next number. Blanks and line breaks before it are skipped; a blank, a line break or the
  // end of the file must follow it. Otherwise FileParserError kFormatError, saying why and naming
  // the line.
  int ReadInt();
  float ReadFloat();
  // The next quoted string into `out`, terminated. Blanks and line breaks before it are skipped;
  // then its opening quote must stand there and its closing quote on the same line. A string that
  // does not, holds a zero byte or does not fit in `capacity` bytes (terminator included) throws
  // FileParserError kFormatError, saying why and naming the line.
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
  // Moves past blanks, tabs and line breaks; throws kUnexpectedEof when nothing else follows.
  void SkipSpaceBeforeValue();
  [[noreturn]] void Refuse(std::size_t offset, const std::string& reason) const;
  // Reads the number at the current position: moves past it, or refuses one that is not `Number`
  // or that something other than a blank or a line break follows.
  template <typename Number>
  Number ReadNumber(bool withFraction);
  // The number at the current position: a sign and digits, with `withFraction` also a fraction
  // and an exponent. Empty when none stands there.
  std::string_view NumberText(bool withFraction) const;
  void Write(std::string_view bytes);
  // Every header in file order, and their places in headers_ by name.
  void IndexSections();
  // The first header whose "[" lies at or after the position.
  std::vector<Header>::iterator NextHeader();

  std::string content_;
  std::vector<Header> headers_;
  std::unordered_map<std::string_view, std::vector<std::size_t>> sections_;
  bool indexed_ = false;
  std::size_t position_ = 0;
  bool open_ = false;
  std::optional<registry::SafeFileWriter> writer_;  // set while open for writing
  std::string saveFailure_;  // the system's reason the last open for writing or save failed
};
