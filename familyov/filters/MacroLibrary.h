#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "familyov/filters/CrossoverMacro.h"

namespace namespaceOV {

// The crossover macros of every unit, as one file keeps them. A macro the file holds damaged is
// left out (and so gone from the file once the library is saved); the others are kept.
class MacroLibrary {
 public:
  enum class Loaded { kMissing, kRead, kDamaged };

  explicit MacroLibrary(std::filesystem::path file) : file_(std::move(file)) {}
  // "xmacro.dat" in the user's data folder.
  static std::filesystem::path UserFile();

  // A missing file gives an empty library.
  Loaded Load();
  // Why macros of the last load were left out, one line each, naming the line of the file.
  const std::string& LoadError() const { return loadError_; }
  // Writes the whole library through a safe save; false, with SaveError() saying why, when the
  // file could not be written (the old file is then unchanged).
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
  std::filesystem::path file_;
  std::vector<TXMacro> macros_;
  std::string loadError_;
  std::string saveError_;
};

}  // namespace namespaceOV
