#include "familyov/filters/MacroLibrary.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "bus/SettingsTextFile.h"
#include "platform/registry/UserRoot.h"

namespace namespaceOV {

namespace {

std::string Folded(const std::string& text) {
  std::string folded = text;
  std::transform(folded.begin(), folded.end(), folded.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  });
  return folded;
}

}  // namespace

std::filesystem::path MacroLibrary::UserFile() { return registry::UserDataFile("xmacro.dat"); }

MacroLibrary::Loaded MacroLibrary::Load() {
  SettingsTextFile file;
  if (!file.Open(file_.string(), SettingsTextFile::kRead)) return Loaded::kMissing;
  MacroFileContents contents = ReadMacroFile(file);
  file.Close();
  macros_ = std::move(contents.macros);
  loadError_.clear();
  for (const std::string& error : contents.errors) {
    loadError_ += (loadError_.empty() ? "" : "\n") + error;
  }
  return contents.errors.empty() ? Loaded::kRead : Loaded::kDamaged;
}

bool MacroLibrary::Save() {
  std::error_code error;
  std::filesystem::create_directories(file_.parent_path(), error);
  SettingsTextFile file;
  bool saved = file.Open(file_.string(), SettingsTextFile::kWrite);
  if (saved) {
    try {
      WriteMacroFile(file, macros_);
      saved = file.Close();
    } catch (const SettingsWriteError&) {
      saved = false;
    }
  }
  if (!saved) {
    saveError_ = "The macro file " + file_.string() + " could not be written; it is unchanged.";
  }
  return saved;
}

void MacroLibrary::Sort() {
  std::stable_sort(macros_.begin(), macros_.end(), [](const TXMacro& a, const TXMacro& b) {
    const std::string foldedA = Folded(a.name);
    const std::string foldedB = Folded(b.name);
    return foldedA != foldedB ? foldedA > foldedB : a.name > b.name;
  });
}

void MacroLibrary::Remove(std::size_t index) {
  if (index < macros_.size()) macros_.erase(macros_.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace namespaceOV
