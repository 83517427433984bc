// Crossover macro library files: whatever a file holds, the reader refuses it whole or gives whole
// macros, every filter in range, and errors for the macros left out; and whatever it gives is
// written back in a form it reads again unchanged.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "bus/SettingsTextFile.h"
#include "familyov/filters/CrossoverMacro.h"
#include "fuzz/InputFile.h"
#include "fuzz/SavedText.h"

using namespace namespaceOV;

namespace {

std::optional<MacroFileContents> Read(const std::string& text) {
  try {
    return ReadMacroFile(text);
  } catch (const MacroFileError&) {
    return std::nullopt;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::optional<MacroFileContents> read =
      Read(std::string(reinterpret_cast<const char*>(data), size));
  if (!read) return 0;
  for (const TXMacro& macro : read->macros) {
    for (const auto& filter : macro.filters) {
      if (filter->RangeFault()) std::abort();
    }
  }
  static InputFile output("-written");
  const std::optional<std::string> written =
      SavedText(output.Write(nullptr, 0).string(),
                [&](SettingsTextFile& file) { WriteMacroFile(file, read->macros); });
  if (!written) std::abort();
  const std::optional<MacroFileContents> again = Read(*written);
  if (!again || !again->errors.empty() || again->macros.size() != read->macros.size()) {
    std::abort();
  }
  for (std::size_t k = 0; k < read->macros.size(); ++k) {
    const TXMacro& a = read->macros[k];
    const TXMacro& b = again->macros[k];
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
