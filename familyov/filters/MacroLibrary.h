#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "familyov/filters/CrossoverMacro.h"

namespace namespaceOV {

// The crossover macros of every unit, as one file keeps them. A file the library could not read
// whole is never saved over: a macro it holds damaged is left out of the library, and would be
// gone from the file with the next save.
class MacroLibrary {
 public:
  // kDamaged: some macros were read, others left out; kUnreadable: the file could not be opened or
  // its form told, and nothing was read.
  enum class Loaded { kMissing, kRead, kDamaged, kUnreadable };

  explicit MacroLibrary(std::filesystem::path file) : file_(std::move(file)) {}
  // "xmacro.dat" in the user's data folder.
  static std::filesystem::path UserFile();
  const std::filesystem::path& File() const { return file_; }

  // A missing file gives an empty library.
  Loaded Load();
  // Why the last load did not read the file whole: why it could not be read, or why macros were
  // left out, one line each, naming the line of the file.
  const std::string& LoadError() const { return loadError_; }
  // Whether the last load read the whole file, or found none: only then may Save write over it.
  bool Writable() const { return writable_; }
  // Writes the whole library through a safe save; false, with SaveError() saying why, when the
  // library may not be written (see Writable) or the file could not be written (the old file is
  // then unchanged).
  bool Save();
  const std::string& SaveError() const { return saveError_; }

  // Descending by name (case ignored first), the order in which a list built by inserting at the
  // top shows them ascending.
  void Sort();
  const std::vector<TXMacro>& Macros() const { return macros_; }
  TXMacro& At(std::size_t index) { return macros_.at(index); }
  void Add(TXMacro macro) { macros_.push_back(std::move(macro)); }
  // Macro `index` gives way to `macro`, which takes its place.
  void Replace(std::size_t index, TXMacro macro) { macros_.at(index) = std::move(macro); }
  void Remove(std::size_t index);

 private:
  // The file's bytes; none, with LoadError() saying why, when it cannot be read whole.
  std::optional<std::string> ReadWhole();

  std::filesystem::path file_;
  std::vector<TXMacro> macros_;
  std::string loadError_;
  std::string saveError_;
  bool writable_ = true;
};

}  // namespace namespaceOV
