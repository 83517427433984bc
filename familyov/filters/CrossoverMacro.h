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

// A named snapshot of a unit's output section. Its filters keep the channels they had on the unit
// the macro was made on; where that unit's outputs began is told by MacroFirstOutput. Its
// crossovers are kept by output.
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

// The macros of a file in file order. A damaged macro, or text that belongs to no macro, is left
// out, and `errors` says why, the line named; the macros after it are still read.
struct MacroFileContents {
  std::vector<TXMacro> macros;
  std::vector<std::string> errors;
};

// The library file: comments, the "Extended" section, then per macro a "MacroDef" section with
// the name, description, output count, each output's low and high crossover, polarity and
// network, then the delays and the output filters, each in the filter record of the settings
// file. A file whose first section is "MacroDef" is of the older form, whose macros end after the
// outputs. A delay of -1 leaves the output's delay as it is.
//
// `text` is the whole file. One whose form cannot be told (no plain text with line feeds, a first
// section that is neither, a heading cut short) throws MacroFileError: read in either form, every
// macro would come out other than written.
MacroFileContents ReadMacroFile(const std::string& text);
// Always the extended form, so every macro reads back as it was.
void WriteMacroFile(SettingsTextFile& file, const std::vector<TXMacro>& macros);

// Where the outputs began on the unit `macro` was made on: the first output of a model with as
// many outputs whose outputs hold every filter of the macro, `unitFirstOutput` when that is one
// of them (so a macro lands on the unit it was made on as it was made, and a file that cannot tell
// two models apart is taken as made on this one).
int MacroFirstOutput(const TXMacro& macro, int unitFirstOutput);

}  // namespace namespaceOV
