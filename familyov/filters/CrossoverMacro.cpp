#include "familyov/filters/CrossoverMacro.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "bus/SettingsTextFile.h"
#include "familycommon/CheckedFileReader.h"
#include "familyov/filters/CrossoverRules.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/ParameterTable.h"

namespace namespaceOV {

namespace {

constexpr const char* kExtendedSection = "Extended";
constexpr const char* kMacroSection = "MacroDef";
constexpr int kKeepDelay = -1;
constexpr int kMaxDelaySamples = 1 << 24;
constexpr int kMaxNetwork = (kMaxOutputs + 1) / 2;
// More filters than any unit holds.
constexpr int kMaxMacroFilters = 256;

bool OutputsHold(int firstOutput, int outputs, const TFilter& filter) {
  return filter.channel >= firstOutput && filter.channel < firstOutput + outputs;
}

// Of the first outputs in `starts`, keeps those whose outputs hold `filter`.
void KeepStartsHolding(std::vector<int>& starts, int outputs, const TFilter& filter) {
  std::erase_if(starts, [&](int first) { return !OutputsHold(first, outputs, filter); });
}

// Refuses with MacroFileError, the line named last; a value out of range reads as text that is
// no value at all.
class MacroReader final : public familycommon::CheckedFileReader {
 public:
  using CheckedFileReader::CheckedFileReader;

  template <typename Edge>
  std::unique_ptr<Edge> Crossover(int channel) {
    if (Int(0, 1, "crossover switch") == 0) return nullptr;
    auto edge = std::make_unique<Edge>();
    edge->channel = channel;
    edge->frequency = Int(kMinCrossoverHz, kMaxCrossoverHz, "crossover frequency");
    edge->crossoverType = Int(kCrossoverNone, kCrossoverLinkwitzRiley, "crossover type");
    edge->order = Int(1, kMaxCrossoverOrder, "crossover order");
    return edge;
  }
  // A filter on an output of a model in `starts`, which keeps the models whose outputs hold it.
  std::unique_ptr<TFilter> Filter(int outputs, std::vector<int>& starts) {
    const std::size_t at = Tell();
    const int typeCode = Int();
    std::unique_ptr<TFilter> filter = MakeFilter(typeCode);
    // Crossovers belong to the outputs' slots, not among the output filters.
    if (!filter || filter->crossover) {
      Refuse(at, "Unknown filter type " + std::to_string(typeCode));
    }
    Checked([&] { filter->ReadFromFile(File()); });
    KeepStartsHolding(starts, outputs, *filter);
    if (starts.empty()) Refuse(at, "Filter on a channel the macro has no output for");
    return filter;
  }

 private:
  std::string OutOfRange(const std::string&, const std::string&, const std::string&,
                         const std::string&) const override {
    return FileParserError(FileParserError::kFormatError).what();
  }
  std::exception_ptr Error(int line, const std::string& what) const override {
    return std::make_exception_ptr(MacroFileError(what + " (line " + std::to_string(line) + ")"));
  }
};

TXMacro ReadMacro(MacroReader& read, bool extended) {
  TXMacro macro;
  macro.name = read.SavableText(TXMacro::kNameChars);
  macro.description = read.SavableText(TXMacro::kDescriptionChars);
  const int outputs = read.Int(1, kMaxOutputs, "output count");
  macro.outputs.resize(static_cast<std::size_t>(outputs));
  for (int o = 0; o < outputs; ++o) {
    MacroOutput& output = macro.outputs[static_cast<std::size_t>(o)];
    output.low = read.Crossover<TLowCrossover>(o);
    output.high = read.Crossover<THighCrossover>(o);
    output.inverted = read.Flag();
    output.network = read.Int(0, kMaxNetwork, "network");
  }
  if (!extended) return macro;
  for (MacroOutput& output : macro.outputs) {
    const int delay = read.Int(kKeepDelay, kMaxDelaySamples, "delay");
    if (delay != kKeepDelay) output.delay = delay;
  }
  const int count = read.Int(0, kMaxMacroFilters, "filter count");
  std::vector<int> starts = FirstOutputsOfModels(outputs);
  for (int k = 0; k < count; ++k) macro.filters.push_back(read.Filter(outputs, starts));
  return macro;
}

void WriteCrossover(SettingsTextFile& file, const auto* edge) {
  if (edge == nullptr) {
    file.WriteInt(0);
  } else {
    file.WriteInt(1);
    file.WriteInt(edge->frequency);
    file.WriteInt(edge->crossoverType);
    file.WriteInt(edge->order);
  }
  file.WriteNewline();
}

}  // namespace

MacroFileContents ReadMacroFile(SettingsTextFile& file) {
  MacroFileContents contents;
  const bool extended = file.FindSection(kExtendedSection);
  file.Rewind();
  MacroReader read(file);
  while (file.FindSection(kMacroSection)) {
    const std::size_t start = file.Tell();
    try {
      contents.macros.push_back(ReadMacro(read, extended));
    } catch (const MacroFileError& error) {
      contents.errors.push_back(error.what());
      // The damage may have read into the next macro: it starts after this one's header.
      file.Seek(start);
    }
  }
  return contents;
}

void WriteMacroFile(SettingsTextFile& file, const std::vector<TXMacro>& macros) {
  file.WriteComment("xmacro.dat");
  file.WriteComment("Ordavinex crossover macro file");
  file.WriteSection(kExtendedSection);
  for (const TXMacro& macro : macros) {
    file.WriteSection(kMacroSection);
    file.WriteString(macro.name);
    file.WriteNewline();
    file.WriteString(macro.description);
    file.WriteNewline();
    file.WriteInt(static_cast<int>(macro.outputs.size()));
    file.WriteNewline();
    for (const MacroOutput& output : macro.outputs) {
      WriteCrossover(file, output.low.get());
      WriteCrossover(file, output.high.get());
      file.WriteInt(output.inverted ? 1 : 0);
      file.WriteNewline();
      file.WriteInt(output.network);
    }
    file.WriteNewline();
    for (const MacroOutput& output : macro.outputs)
      file.WriteInt(output.delay.value_or(kKeepDelay));
    file.WriteNewline();
    file.WriteInt(static_cast<int>(macro.filters.size()));
    file.WriteNewline();
    for (const auto& filter : macro.filters) {
      filter->WriteToFile(file);
      file.WriteNewline();
    }
    file.WriteNewline();
  }
}

int MacroFirstOutput(const TXMacro& macro, int unitFirstOutput) {
  const int outputs = static_cast<int>(macro.outputs.size());
  std::vector<int> starts = FirstOutputsOfModels(outputs);
  for (const auto& filter : macro.filters) KeepStartsHolding(starts, outputs, *filter);
  if (starts.empty() || std::ranges::find(starts, unitFirstOutput) != starts.end()) {
    return unitFirstOutput;
  }
  return starts.front();
}

}  // namespace namespaceOV
