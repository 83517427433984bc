#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "familyov/filters/FilterClasses.h"

class SettingsTextFile;

namespace namespaceOV {

// What a macro keeps of one output.
struct MacroOutput {
  std::unique_ptr<TLowCrossover> low;
  std::unique_ptr<THighCrossover> high;
  bool inverted = false;
  int network = 0;
  // Samples at 48 kHz; none in a macro of the older file form, whose recall leaves the delay.
  std::optional<int> delay;
};

// A named snapshot of a unit's output section. The filters' channels count outputs from 0, so
// that the macro lands on the same outputs of any unit with as many outputs, wherever its
// outputs begin.
struct TXMacro {
  static constexpr std::size_t kNameChars = 29;
  static constexpr std::size_t kDescriptionChars = 69;

  std::string name;
  std::string description;
  std::vector<MacroOutput> outputs;
  std::vector<std::unique_ptr<TFilter>> filters;
};

// A macro file that cannot be read; the text names the line.
class MacroFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The macros of a file in file order. A damaged file gives the macros before the damage and
// `error` the reason; the macro being read is dropped.
struct MacroFileContents {
  std::vector<TXMacro> macros;
  std::string error;
};

// The library file: comments, the "Extended" section, then per macro a "MacroDef" section with
// the name, description, output count, each output's low and high crossover, polarity and
// network, then the delays and the output filters. A file without "Extended" is of the older form,
// whose macros end after the outputs. In the file a filter's channel counts outputs from 2, as on
// the two-input models (whose files the format began with); a delay of -1 leaves the output's
// delay as it is.
MacroFileContents ReadMacroFile(SettingsTextFile& file);
// Always the extended form, so every macro reads back as it was.
void WriteMacroFile(SettingsTextFile& file, const std::vector<TXMacro>& macros);

}  // namespace namespaceOV
