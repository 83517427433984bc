#include "familyov/filters/MacroLibrary.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

#include "bus/SettingsTextFile.h"
#include "platform/registry/BoundedFileRead.h"
#include "platform/registry/UserRoot.h"

namespace namespaceOV {

namespace {

// Far more than any library of macros takes; a larger file is no library.
constexpr std::size_t kMaxLibraryBytes = 16 * 1024 * 1024;

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
  macros_.clear();
  loadError_.clear();
  writable_ = false;
  std::error_code error;
  if (std::filesystem::status(file_, error).type() == std::filesystem::file_type::not_found) {
    writable_ = true;
    return Loaded::kMissing;
  }
  const std::optional<std::string> text = ReadWhole();
  if (!text) return Loaded::kUnreadable;
  try {
    MacroFileContents contents = ReadMacroFile(*text);
    macros_ = std::move(contents.macros);
    for (const std::string& fault : contents.errors) {
      loadError_ += (loadError_.empty() ? "" : "\n") + fault;
    }
  } catch (const MacroFileError& fault) {
    loadError_ = fault.what();
    return Loaded::kUnreadable;
  }
  writable_ = loadError_.empty();
  return writable_ ? Loaded::kRead : Loaded::kDamaged;
}

std::optional<std::string> MacroLibrary::ReadWhole() {
  const std::string named = "The macro file " + file_.string();
  std::error_code error;
  if (!std::filesystem::is_regular_file(file_, error)) {
    loadError_ = named + " is no file that can be read.";
    return std::nullopt;
  }
  errno = 0;
  std::optional<std::string> text = registry::ReadFileBounded(file_, kMaxLibraryBytes);
  if (!text) {
    loadError_ = named + " could not be opened" +
                 (errno != 0 ? ": " + std::generic_category().message(errno) : "") + ".";
  } else if (text->size() > kMaxLibraryBytes) {
    loadError_ = named + " is larger than a macro library can be (" +
                 std::to_string(kMaxLibraryBytes) + " bytes).";
    text.reset();
  }
  return text;
}

bool MacroLibrary::Save() {
  if (!writable_) {
    saveError_ = "The macro file " + file_.string() +
                 " could not be read whole, so nothing is saved over it.";
    return false;
  }
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
