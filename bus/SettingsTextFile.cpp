#include "bus/SettingsTextFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/registry/BoundedFileRead.h"

namespace {

constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;
// Far longer than any number the writer puts out ("%f" of the largest float is 46 characters).
constexpr std::size_t kMaxNumberChars = 64;
constexpr std::size_t kMaxFormattedNumberChars = 64;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<std::string> ReadWholeFile(const std::string& fileName) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(fileName, error)) return std::nullopt;
  std::optional<std::string> text = registry::ReadFileBounded(fileName, kMaxFileBytes);
  if (!text || text->size() > kMaxFileBytes) return std::nullopt;
  return text;
}

bool IsNameByte(unsigned char c) {
  constexpr unsigned char kFirstPrintable = 0x20;
  constexpr unsigned char kDelete = 0x7F;
  // The bytes of 0x80 to 0x9F that Windows-1252 gives no character.
  constexpr std::string_view kUndefined = "\x81\x8D\x8F\x90\x9D";
  return c >= kFirstPrintable && c != kDelete && c != '"' && c != '[' &&
         kUndefined.find(static_cast<char>(c)) == std::string_view::npos;
}

}  // namespace

bool SettingsTextFile::CanCarry(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return IsNameByte(static_cast<unsigned char>(c)); });
}

std::optional<std::string> SettingsTextFile::OpenToRead(const std::string& fileName,
                                                        std::size_t maxBytes) {
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(fileName, error);
  if (!error && bytes > maxBytes) {
    Close();
    return "The file is too large: " + std::to_string(bytes) +
           " bytes, where a settings file of this kind holds at most " + std::to_string(maxBytes) +
           ".";
  }
  if (!Open(fileName, kRead)) return "Could not open file";
  // It grew between the look and the read.
  if (content_.size() > maxBytes) {
    Close();
    return "The file is too large to be a settings file of this kind.";
  }
  return std::nullopt;
}

void SettingsTextFile::Restart(std::string content) {
  Close();
  content_ = std::move(content);
  position_ = 0;
  indexed_ = false;
}

void SettingsTextFile::OpenText(std::string text) {
  Restart(std::move(text));
  open_ = true;
}

bool SettingsTextFile::Open(const std::string& fileName, int mode) {
  Restart({});
  saveFailure_.clear();
  if (mode != kWrite) {
    std::optional<std::string> text = ReadWholeFile(fileName);
    if (!text) return false;
    content_ = std::move(*text);
  }
  if (mode != kRead) {
    writer_.emplace();
    if (!writer_->Begin(fileName)) {
      saveFailure_ = writer_->ErrorText();
      writer_.reset();
      content_.clear();
      return false;
    }
  }
  open_ = true;
  return true;
}

bool SettingsTextFile::Close() {
  if (!open_) return true;
  open_ = false;
  bool saved = true;
  if (writer_) {
    saved = writer_->Write(content_) && writer_->Commit();
    if (!saved) saveFailure_ = writer_->ErrorText();
    writer_.reset();
  }
  content_.clear();
  headers_.clear();
  sections_.clear();
  indexed_ = false;
  position_ = 0;
  return saved;
}

std::string SettingsTextFile::CouldNotOpenText() const {
  return "Could not open file" + (saveFailure_.empty() ? "" : ": " + saveFailure_);
}

std::string SettingsTextFile::NotWrittenText() const {
  return "The file could not be written" + (saveFailure_.empty() ? "" : ": " + saveFailure_) + ".";
}

void SettingsTextFile::IndexSections() {
  headers_.clear();
  sections_.clear();
  indexed_ = true;
  const std::string_view text(content_);
  std::size_t close = 0;  // the first "]" at or after the candidate, once looked for
  bool inString = false;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (inString) {
      // A text ends on its line, where the reader looks for its closing quote: a stray quote
      // hides no header of the lines after it.
      inString = c != '"' && c != '\n' && c != '\r';
    } else if (c == '"') {
      inString = true;
    } else if (c == '/' && at + 1 < text.size() && text[at + 1] == '/') {
      at = std::min(text.find('\n', at), text.size());
    } else if (c == '[') {
      // A "[" with no header after it hides none that follows: the next candidate starts just
      // after it, so "[[Unit]" still holds [Unit].
      if (close <= at) close = std::min(text.find(']', at), text.size());
      if (close == text.size()) continue;
      const std::size_t length = close - at - 1;
      if (length <= kMaxSectionNameChars) {
        const std::string_view name = text.substr(at + 1, length);
        sections_[name].push_back(headers_.size());
        headers_.push_back({.name = name, .begin = at, .end = close + 1});
      }
    }
  }
}

const std::vector<SettingsTextFile::Header>& SettingsTextFile::Headers() {
  if (!indexed_) IndexSections();
  return headers_;
}

bool SettingsTextFile::FindSection(const std::string& name) {
  Headers();
  const auto found = sections_.find(name);
  if (found != sections_.end()) {
    const std::vector<std::size_t>& places = found->second;
    // The header's "[" lies at or after the position.
    const auto next = std::lower_bound(
        places.begin(), places.end(), position_,
        [&](std::size_t place, std::size_t offset) { return headers_[place].begin < offset; });
    if (next != places.end()) {
      Header& header = headers_[*next];
      header.found = true;
      position_ = header.end;
      return true;
    }
  }
  position_ = content_.size();
  return false;
}

std::vector<SettingsTextFile::Header>::iterator SettingsTextFile::NextHeader() {
  Headers();
  return std::lower_bound(
      headers_.begin(), headers_.end(), position_,
      [](const Header& header, std::size_t offset) { return header.begin < offset; });
}

std::size_t SettingsTextFile::NextSectionAt() {
  const auto next = NextHeader();
  return next == headers_.end() ? content_.size() : next->begin;
}

bool SettingsTextFile::EnterNextSection(const std::string& name) {
  const auto next = NextHeader();
  if (next == headers_.end() || next->name != name) return false;
  next->found = true;
  position_ = next->end;
  return true;
}

std::optional<std::size_t> SettingsTextFile::UnreadTextAt() {
  const std::size_t next = NextSectionAt();
  for (std::size_t at = position_; at < next;) {
    if (IsSpace(content_[at])) {
      ++at;
    } else if (std::string_view(content_).substr(at, 2) == "//") {
      at = std::min(content_.find('\n', at), next);
    } else {
      return at;
    }
  }
  return std::nullopt;
}

const SettingsTextFile::Header* SettingsTextFile::FirstUnfoundSection() {
  for (const Header& header : Headers()) {
    if (!header.found) return &header;
  }
  return nullptr;
}

bool SettingsTextFile::WasFound(std::string_view name) {
  Headers();
  const auto places = sections_.find(name);
  return places != sections_.end() &&
         std::any_of(places->second.begin(), places->second.end(),
                     [&](std::size_t place) { return headers_[place].found; });
}

bool SettingsTextFile::EndsWithComment(std::string_view text) const {
  std::string_view rest(content_);
  while (!rest.empty() && IsSpace(rest.back())) rest.remove_suffix(1);
  const std::size_t lineBreak = rest.rfind('\n');
  const std::string_view line =
      lineBreak == std::string_view::npos ? rest : rest.substr(lineBreak + 1);
  return line.size() == text.size() + 3 && line.starts_with("// ") && line.ends_with(text);
}

int SettingsTextFile::LineAt(std::size_t offset) const {
  if (offset >= content_.size()) {
    // At the end: the last line that holds anything.
    offset = content_.size();
    while (offset > 0 && IsSpace(content_[offset - 1])) --offset;
    if (offset > 0) --offset;
  }
  while (offset < content_.size() && IsSpace(content_[offset])) ++offset;
  const auto begin = content_.begin();
  return 1 + static_cast<int>(std::count(begin, begin + static_cast<std::ptrdiff_t>(offset), '\n'));
}

bool SettingsTextFile::AtString() const {
  std::size_t at = position_;
  while (at < content_.size() && IsSpace(content_[at])) ++at;
  return at < content_.size() && content_[at] == '"';
}

void SettingsTextFile::SkipSpaceBeforeValue() {
  while (position_ < content_.size() && IsSpace(content_[position_])) ++position_;
  if (position_ >= content_.size()) {
    throw FileParserError(FileParserError::kUnexpectedEof, {}, LineAt(position_));
  }
}

void SettingsTextFile::Refuse(std::size_t offset, const std::string& reason) const {
  throw FileParserError(FileParserError::kFormatError, reason, LineAt(offset));
}

std::string_view SettingsTextFile::NumberText(bool withFraction) const {
  const std::string_view rest = std::string_view(content_).substr(position_);
  auto digitsFrom = [&](std::size_t at) {
    while (at < rest.size() && IsDigit(rest[at])) ++at;
    return at;
  };
  // A leading plus is taken, as a "%d" or "%f" reader takes it, but left out of the text
  // because from_chars refuses it.
  std::size_t start = 0;
  std::size_t at = 0;
  if (!rest.empty() && rest[0] == '+') {
    start = at = 1;
  } else if (!rest.empty() && rest[0] == '-') {
    at = 1;
  }
  std::size_t end = digitsFrom(at);
  std::size_t digits = end - at;
  if (withFraction && end < rest.size() && rest[end] == '.') {
    std::size_t fractionEnd = digitsFrom(end + 1);
    digits += fractionEnd - end - 1;
    end = fractionEnd;
  }
  if (digits == 0) return {};
  if (withFraction && end < rest.size() && (rest[end] == 'e' || rest[end] == 'E')) {
    std::size_t at = end + 1;
    if (at < rest.size() && (rest[at] == '+' || rest[at] == '-')) ++at;
    if (std::size_t exponentEnd = digitsFrom(at); exponentEnd > at) end = exponentEnd;
  }
  return rest.substr(start, end - start);
}

template <typename Number>
Number SettingsTextFile::ReadNumber(bool withFraction) {
  SkipSpaceBeforeValue();
  const std::size_t start = position_;
  const std::string_view text = NumberText(withFraction);
  if (text.empty()) Refuse(start, "a number is expected here.");
  const auto end = static_cast<std::size_t>(text.data() + text.size() - content_.data());
  // "1junk" or "0x1" is no number of the format, whatever a formatted read makes of it.
  if (end < content_.size() && !IsSpace(content_[end])) {
    Refuse(start, "a number must be followed by a blank or a line end.");
  }
  if (text.size() > kMaxNumberChars) Refuse(start, "the number is too long.");
  Number value{};
  auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || stop != text.data() + text.size()) {
    Refuse(start, "the number " + std::string(text) + " is out of range.");
  }
  position_ = end;
  return value;
}

int SettingsTextFile::ReadInt() { return ReadNumber<int>(false); }

float SettingsTextFile::ReadFloat() { return ReadNumber<float>(true); }

void SettingsTextFile::ReadString(char* out, std::size_t capacity) {
  SkipSpaceBeforeValue();
  const std::size_t open = position_;
  if (content_[open] != '"') Refuse(open, "a quoted text is expected here.");
  if (capacity == 0) Refuse(open, "there is no room for a text.");
  std::size_t length = 0;
  for (std::size_t at = open + 1; at < content_.size(); ++at) {
    const char c = content_[at];
    if (c == '"') {
      out[length] = '\0';
      position_ = at + 1;
      return;
    }
    if (c == '\n' || c == '\r') Refuse(open, "the quoted text does not end on its line.");
    // The text is handed on terminated: a zero byte would cut off what follows it.
    if (c == '\0') Refuse(open, "the quoted text holds a zero byte.");
    if (length + 1 >= capacity) {
      Refuse(open, "the text is longer than " + std::to_string(capacity - 1) + " characters.");
    }
    out[length++] = c;
  }
  throw FileParserError(FileParserError::kUnexpectedEof, {}, LineAt(open));
}

void SettingsTextFile::Write(std::string_view bytes) {
  if (!writer_) throw SettingsWriteError("The settings file is not open for writing.");
  indexed_ = false;
  std::size_t overwritten = std::min(bytes.size(), content_.size() - position_);
  content_.replace(position_, overwritten, bytes);
  position_ += bytes.size();
}

void SettingsTextFile::WriteSection(const std::string& name) {
  if (name.size() > kMaxSectionNameChars || name.find(']') != std::string::npos) {
    throw SettingsWriteError("The section name \"" + name +
                             "\" is too long or holds a \"]\" and cannot be written.");
  }
  Write("\n[" + name + "]\n");
}

void SettingsTextFile::WriteNewline() { Write("\n"); }

void SettingsTextFile::WriteInt(int value) {
  char text[kMaxFormattedNumberChars];
  char* end = std::to_chars(text, text + sizeof text - 1, value).ptr;
  *end++ = ' ';
  Write(std::string_view(text, static_cast<std::size_t>(end - text)));
}

void SettingsTextFile::WriteFloat(float value) {
  if (!std::isfinite(value)) {
    throw SettingsWriteError("A number that is not finite cannot be written to a settings file.");
  }
  char text[kMaxFormattedNumberChars];
  constexpr int kDecimals = 6;
  char* end =
      std::to_chars(text, text + sizeof text - 1, value, std::chars_format::fixed, kDecimals).ptr;
  *end++ = ' ';
  Write(std::string_view(text, static_cast<std::size_t>(end - text)));
}

void SettingsTextFile::WriteString(const std::string& text) {
  if (!CanCarry(text)) {
    throw SettingsWriteError("The text \"" + text +
                             "\" holds a double quote, a \"[\", a control character or a byte "
                             "that is no Windows-1252 character and cannot be written to a "
                             "settings file.");
  }
  // In pieces: a file holds thousands of texts, and each would take a temporary copy.
  Write("\"");
  Write(text);
  Write("\" ");
}

void SettingsTextFile::WriteComment(const std::string& text) {
  Write("// ");
  Write(text);
  Write("\n");
}
