#include "familycommon/CheckedFileReader.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace familycommon {

namespace {

// Room for a name read from a file; a longer one is no name of these formats.
constexpr std::size_t kNameBuffer = 256;

std::string Shown(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

void CheckedFileReader::Refuse(std::size_t offset, const std::string& what) const {
  throw FileLineError(file_.LineAt(offset), what);
}

int CheckedFileReader::Int(int low, int high, const std::string& what) {
  const std::size_t at = file_.Tell();
  const int value = Checked([&] { return file_.ReadInt(); });
  if (value < low || value > high) {
    Refuse(at, "The " + what + " " + std::to_string(value) + " is out of range (" +
                   std::to_string(low) + " to " + std::to_string(high) + ").");
  }
  return value;
}

bool CheckedFileReader::Flag() {
  return Checked([&] { return file_.ReadInt(); }) != 0;
}

float CheckedFileReader::Float(float low, float high, const std::string& what) {
  const std::size_t at = file_.Tell();
  const float value = Checked([&] { return file_.ReadFloat(); });
  if (value < low || value > high) {
    Refuse(at, "The " + what + " " + Shown(value) + " is out of range (" + Shown(low) + " to " +
                   Shown(high) + ").");
  }
  return value;
}

std::string CheckedFileReader::Name(std::size_t maxChars, bool cut) {
  const std::size_t at = file_.Tell();
  std::vector<char> text(std::max(kNameBuffer, maxChars + 1));
  Checked([&] {
    file_.ReadString(text.data(), text.size());
    return 0;
  });
  std::string name = text.data();
  if (!SettingsTextFile::CanCarry(name)) Refuse(at, SettingsTextFile::kUncarriedReason);
  if (name.size() > maxChars) {
    if (!cut) {
      Refuse(at, "The name \"" + name + "\" is longer than " + std::to_string(maxChars) +
                     " characters.");
    }
    name.resize(maxChars);
  }
  return name;
}

}  // namespace familycommon
