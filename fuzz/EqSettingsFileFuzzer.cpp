// The graphic equalisers' settings file, read and loaded into a virtual unit the way the user
// loads one. The first byte picks the model; the rest is the file. Whatever loads must save, the
// saved file must give every section of the file the values the file gives it, and it must load
// back into a new unit and save the same again.
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bus/SettingsTextFile.h"
#include "family3300/SettingsFile3300.h"
#include "family3300/Types3300.h"
#include "familycommon/CheckedFileReader.h"
#include "fuzz/InputFile.h"
#include "fuzz/SavedText.h"

using namespace namespace3300;

namespace {

std::unique_ptr<IQDevice3300> NewUnit(Model3300 model) {
  static IQ3300Type type;
  return std::make_unique<IQDevice3300>(&type, nullptr, nullptr, model);
}

// Loads the file at `path` into `unit`; false when the file is refused.
bool Load(IQDevice3300& unit, const std::string& path) {
  SettingsTextFile file;
  if (!file.Open(path, SettingsTextFile::kRead)) std::abort();
  SettingsLoad load;
  try {
    if (ReadSettingsFile3300(file, unit.GetModel(), load) != FileCheck::kLoadable) return false;
  } catch (const familycommon::FileLineError&) {
    return false;
  }
  ApplySettingsLoad(unit, load);
  return true;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The values between two headers, split without the reader under test: quoted texts whole, with
// their quotes, the rest at blanks; comments left out.
std::vector<std::string_view> Tokens(std::string_view text) {
  std::vector<std::string_view> tokens;
  std::size_t at = 0;
  while (at < text.size()) {
    if (IsBlank(text[at])) {
      ++at;
      continue;
    }
    if (text.substr(at, 2) == "//") {
      at = std::min(text.find('\n', at), text.size());
      continue;
    }
    std::size_t end = at + 1;
    if (text[at] == '"') {
      end = std::min(text.find('"', at + 1) + 1, text.size());
    } else {
      while (end < text.size() && !IsBlank(text[end])) ++end;
    }
    tokens.push_back(text.substr(at, end - at));
    at = end;
  }
  return tokens;
}

// Each section's values, by the memory or current settings the section belongs to ("Settings
// Memory 3/EQ A"); none when a section stands twice.
std::optional<std::map<std::string, std::vector<std::string_view>>> SectionValues(
    std::string_view text) {
  SettingsTextFile file;
  file.OpenText(std::string(text));
  const std::vector<SettingsTextFile::Header>& headers = file.Headers();
  std::map<std::string, std::vector<std::string_view>> values;
  std::string group;
  for (std::size_t h = 0; h < headers.size(); ++h) {
    const std::string name(headers[h].name);
    const bool channel =
        name == "Channel A" || name == "EQ A" || name == "Channel B" || name == "EQ B";
    if (!channel) group = name;
    const std::size_t end = h + 1 < headers.size() ? headers[h + 1].begin : text.size();
    const std::string key = channel ? group + "/" + name : name;
    if (!values.emplace(key, Tokens(text.substr(headers[h].end, end - headers[h].end))).second) {
      return std::nullopt;
    }
  }
  return values;
}

std::optional<long long> Number(std::string_view token) {
  if (token.starts_with('+')) token.remove_prefix(1);
  long long value = 0;
  auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error != std::errc() || end != token.data() + token.size()) return std::nullopt;
  return value;
}

// Whether every section of `file` holds in `saved` what it holds in `file`: texts byte for byte,
// numbers by value.
bool LoadedAsWritten(std::string_view file, std::string_view saved) {
  const auto written = SectionValues(file);
  const auto kept = SectionValues(saved);
  if (!written || !kept) return false;
  for (const auto& [section, values] : *written) {
    const auto found = kept->find(section);
    if (found == kept->end() || found->second.size() != values.size()) return false;
    for (std::size_t v = 0; v < values.size(); ++v) {
      const std::string_view value = values[v];
      const std::string_view keptValue = found->second[v];
      if (value.starts_with('"') ? value != keptValue
                                 : !Number(value) || Number(value) != Number(keptValue)) {
        return false;
      }
    }
  }
  return true;
}

// The unit saved over `path`.
std::optional<std::string> Saved(IQDevice3300& unit, const std::string& path) {
  return SavedText(path, [&](SettingsTextFile& file) { WriteSettingsFile3300(unit, file); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static InputFile input;
  if (size == 0) return 0;
  const Model3300 model = data[0] % 2 ? Model3300::kTwoChannel : Model3300::kOneChannel;
  const std::string path = input.Write(data + 1, size - 1).string();
  const auto unit = NewUnit(model);
  if (!Load(*unit, path)) return 0;
  // The writer refuses only what the reader refuses, so a file that loads always saves.
  const std::optional<std::string> saved = Saved(*unit, path);
  if (!saved) std::abort();
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
  if (!LoadedAsWritten(file, *saved)) std::abort();
  const auto copy = NewUnit(model);
  if (!Load(*copy, path)) std::abort();
  if (Saved(*copy, path) != saved) std::abort();
  return 0;
}
