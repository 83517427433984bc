// Crossover macro library files: whatever a file holds, the reader gives whole macros and an
// errors for the macros left out, and whatever it gives is written back in a form it reads again
// unchanged.
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "bus/SettingsTextFile.h"
#include "familyov/filters/CrossoverMacro.h"
#include "fuzz/InputFile.h"

using namespace namespaceOV;

namespace {

MacroFileContents Read(const std::filesystem::path& path) {
  SettingsTextFile file;
  if (!file.Open(path.string(), SettingsTextFile::kRead)) std::abort();
  return ReadMacroFile(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static InputFile input;
  static InputFile output("-written");
  const MacroFileContents read = Read(input.Write(data, size));
  const std::filesystem::path& written = output.Write(nullptr, 0);
  {
    SettingsTextFile file;
    if (!file.Open(written.string(), SettingsTextFile::kWrite)) std::abort();
    WriteMacroFile(file, read.macros);
    if (!file.Close()) std::abort();
  }
  const MacroFileContents again = Read(written);
  if (!again.errors.empty() || again.macros.size() != read.macros.size()) std::abort();
  for (std::size_t k = 0; k < read.macros.size(); ++k) {
    const TXMacro& a = read.macros[k];
    const TXMacro& b = again.macros[k];
    if (a.name != b.name || a.outputs.size() != b.outputs.size() ||
        a.filters.size() != b.filters.size()) {
      std::abort();
    }
    for (std::size_t o = 0; o < a.outputs.size(); ++o) {
      if (a.outputs[o].delay != b.outputs[o].delay ||
          a.outputs[o].network != b.outputs[o].network ||
          (a.outputs[o].low == nullptr) != (b.outputs[o].low == nullptr)) {
        std::abort();
      }
    }
  }
  return 0;
}
