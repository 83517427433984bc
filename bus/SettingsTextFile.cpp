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

template <typename Number>
Number ParseNumber(std::string_view text) {
  if (text.empty() || text.size() > kMaxNumberChars) {
    throw FileParserError(FileParserError::kFormatError);
  }
  Number value{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw FileParserError(FileParserError::kFormatError);
  }
  return value;
}

}  // namespace

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
  if (mode != kWrite) {
    std::optional<std::string> text = ReadWholeFile(fileName);
    if (!text) return false;
    content_ = std::move(*text);
  }
  if (mode != kRead) {
    writer_.emplace();
    if (!writer_->Begin(fileName)) {
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
    writer_.reset();
  }
  content_.clear();
  sections_.clear();
  indexed_ = false;
  position_ = 0;
  return saved;
}

std::optional<char> SettingsTextFile::Next() {
  if (position_ >= content_.size()) return std::nullopt;
  return content_[position_++];
}

void SettingsTextFile::IndexSections() {
  sections_.clear();
  indexed_ = true;
  const std::string_view text(content_);
  std::size_t close = 0;  // the first "]" at or after the candidate, once looked for
  bool inString = false;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (inString) {
      inString = c != '"';
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
      if (length <= kMaxSectionNameChars)
        sections_[text.substr(at + 1, length)].push_back(close + 1);
    }
  }
}

bool SettingsTextFile::FindSection(const std::string& name) {
  if (!indexed_) IndexSections();
  const auto found = sections_.find(name);
  if (found != sections_.end()) {
    const std::vector<std::size_t>& starts = found->second;
    // The header's "[" lies at or after the position: its end lies past it.
    const auto next = std::upper_bound(starts.begin(), starts.end(), position_ + name.size() + 1);
    if (next != starts.end()) {
      position_ = *next;
      return true;
    }
  }
  position_ = content_.size();
  return false;
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

void SettingsTextFile::SkipSpaceBeforeNumber() {
  while (position_ < content_.size() && IsSpace(content_[position_])) ++position_;
  if (position_ >= content_.size()) throw FileParserError(FileParserError::kUnexpectedEof);
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

int SettingsTextFile::ReadInt() {
  SkipSpaceBeforeNumber();
  std::string_view text = NumberText(false);
  int value = ParseNumber<int>(text);
  position_ = static_cast<std::size_t>(text.data() + text.size() - content_.data());
  return value;
}

float SettingsTextFile::ReadFloat() {
  SkipSpaceBeforeNumber();
  std::string_view text = NumberText(true);
  float value = ParseNumber<float>(text);
  if (!std::isfinite(value)) throw FileParserError(FileParserError::kFormatError);
  position_ = static_cast<std::size_t>(text.data() + text.size() - content_.data());
  return value;
}

void SettingsTextFile::ReadString(char* out, std::size_t capacity) {
  if (capacity == 0) throw FileParserError(FileParserError::kFormatError);
  std::optional<char> c;
  while ((c = Next()) && *c != '"') {
  }
  if (!c) throw FileParserError(FileParserError::kUnexpectedEof);
  std::size_t length = 0;
  while ((c = Next()) && *c != '"') {
    if (length + 1 >= capacity) throw FileParserError(FileParserError::kFormatError);
    out[length++] = *c;
  }
  if (!c) throw FileParserError(FileParserError::kUnexpectedEof);
  out[length] = '\0';
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
                             "\" holds a double quote, a \"[\" or a line break and cannot be "
                             "written to a settings file.");
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
