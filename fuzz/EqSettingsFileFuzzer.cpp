// The graphic equalisers' settings file, read and loaded into a virtual unit the way the user
// loads one. The first byte picks the model; the rest is the file. Whatever loads must save, and
// the saved file must load back into a new unit and save the same again.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

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
  const std::optional<std::string> saved = Saved(*unit, path);
  if (!saved) return 0;
  const auto copy = NewUnit(model);
  if (!Load(*copy, path)) std::abort();
  if (Saved(*copy, path) != saved) std::abort();
  return 0;
}
