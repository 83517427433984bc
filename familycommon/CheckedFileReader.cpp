#include "familycommon/CheckedFileReader.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace familycommon {

namespace {

// Room for a name read from a file; a longer one is no name of these formats.
constexpr std::size_t kNameChars = 255;

std::string Shown(int value) { return std::to_string(value); }

std::string Shown(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

}  // namespace

void CheckedFileReader::Refuse(std::size_t offset, const std::string& what) const {
  RefuseAtLine(file_.LineAt(offset), what);
}

void CheckedFileReader::RefuseAtLine(int line, const std::string& what) const {
  std::rethrow_exception(Error(line, what));
}

std::exception_ptr CheckedFileReader::Error(int line, const std::string& what) const {
  return std::make_exception_ptr(FileLineError(line, what));
}

std::string CheckedFileReader::OutOfRange(const std::string& what, const std::string& value,
                                          const std::string& low, const std::string& high) const {
  return "The " + what + " " + value + " is out of range (" + low + " to " + high + ").";
}

template <typename Number>
Number CheckedFileReader::InRange(std::size_t offset, Number value, Number low, Number high,
                                  std::string_view what) const {
  if (value < low || value > high) {
    Refuse(offset, OutOfRange(std::string(what), Shown(value), Shown(low), Shown(high)));
  }
  return value;
}

int CheckedFileReader::Int() {
  return Checked([&] { return file_.ReadInt(); });
}

int CheckedFileReader::Int(int low, int high, std::string_view what) {
  const std::size_t at = file_.Tell();
  return InRange(at, Int(), low, high, what);
}

bool CheckedFileReader::Flag() { return Int() != 0; }

bool CheckedFileReader::Flag(std::string_view what) { return Int(0, 1, what) != 0; }

float CheckedFileReader::Float() {
  return Checked([&] { return file_.ReadFloat(); });
}

float CheckedFileReader::Float(float low, float high, std::string_view what) {
  const std::size_t at = file_.Tell();
  return InRange(at, Float(), low, high, what);
}

std::string CheckedFileReader::Text(std::size_t maxChars) {
  // Read in place: a settings file has thousands of texts, and each would take a second copy.
  std::string text(maxChars + 1, '\0');
  Checked([&] { file_.ReadString(text.data(), text.size()); });
  text.resize(text.find('\0'));
  return text;
}

std::string CheckedFileReader::SavableText(std::size_t maxChars) {
  const std::size_t at = file_.Tell();
  std::string text = Text(maxChars);
  if (!SettingsTextFile::CanCarry(text)) Refuse(at, SettingsTextFile::kUncarriedReason);
  return text;
}

std::string CheckedFileReader::Name(std::size_t maxChars, bool cut) {
  const std::size_t at = file_.Tell();
  std::string name = SavableText(std::max(kNameChars, maxChars));
  if (name.size() > maxChars) {
    if (!cut) {
      Refuse(at, "The name \"" + name + "\" is longer than " + std::to_string(maxChars) +
                     " characters.");
    }
    name.resize(maxChars);
  }
  return name;
}

void CheckedFileReader::EndOfSection(std::string_view section) {
  if (const std::optional<std::size_t> unread = file_.UnreadTextAt()) {
    Refuse(*unread, "Unexpected text after the values of [" + std::string(section) + "].");
  }
}

void CheckedFileReader::NextSection(const std::string& name) {
  const std::size_t at = file_.NextSectionAt();
  if (!file_.EnterNextSection(name)) Refuse(at, "The section [" + name + "] is missing here.");
}

void CheckedFileReader::AllSectionsRead() {
  const SettingsTextFile::Header* unread = file_.FirstUnfoundSection();
  if (unread == nullptr) return;
  const std::string section = "The section [" + std::string(unread->name) + "]";
  Refuse(unread->begin, file_.WasFound(unread->name)
                            ? section + " stands twice or out of its place."
                            : section + " does not belong in this file.");
}

}  // namespace familycommon
