#include "familyov/filters/CrossoverMacro.h"

#include <algorithm>
#include <string>
#include <string_view>
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

// Refuses with MacroFileError, the line named last.
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
    if (const auto why = filter->RangeFault()) Refuse(at, *why);
    KeepStartsHolding(starts, outputs, *filter);
    if (starts.empty()) Refuse(at, "Filter on a channel the macro has no output for");
    return filter;
  }

 private:
  std::exception_ptr Error(int line, const std::string& what) const override {
    return std::make_exception_ptr(MacroFileError(what + " (line " + std::to_string(line) + ")"));
  }
};

// The form of a library, told by its first section, and where its macros begin.
struct MacroFileForm {
  bool extended = true;
  std::size_t bodyStart = 0;
};

std::string LineText(int line) { return " (line " + std::to_string(line) + ")"; }

int LineOf(std::string_view text, std::size_t offset) {
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

bool OnlyBlankOrComments(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = text.substr(at, end - at);
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first != std::string_view::npos && !line.substr(first).starts_with("//")) return false;
    at = end + 1;
  }
  return true;
}

std::string Unclaimed(const SettingsTextFile& file, std::size_t offset) {
  return "Text that belongs to no macro" + LineText(file.LineAt(offset));
}

// Decided once for the whole file, so that no single damaged byte can change how every macro is
// read: a damaged marker or an encoding this reader does not know is no library at all.
MacroFileForm FormOf(std::string_view text) {
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
    throw MacroFileError("The file holds a byte of nothing" + LineText(LineOf(text, nul)) +
                         ": it is no plain text file (saved as UTF-16?).");
  }
  for (std::size_t cr = text.find('\r'); cr != std::string_view::npos;
       cr = text.find('\r', cr + 1)) {
    if (cr + 1 == text.size() || text[cr + 1] != '\n') {
      throw MacroFileError("A line ends in a carriage return alone" + LineText(LineOf(text, cr)) +
                           ": the file was saved with line ends this program does not read.");
    }
  }
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string_view::npos && !line.substr(first).starts_with("//")) {
      const std::string_view header = line.substr(first, line.find_last_not_of(" \t") + 1 - first);
      if (header == "[" + std::string(kExtendedSection) + "]") return {true, end};
      if (header == "[" + std::string(kMacroSection) + "]") return {false, at};
      throw MacroFileError("The file's form cannot be told" + LineText(LineOf(text, at)) +
                           ": its first section must be [Extended] or [MacroDef].");
    }
    at = end + 1;
  }
  // Comments alone: a library without macros, unless it was cut inside them.
  if (text.find_first_not_of(" \t\r\n") != std::string_view::npos && !text.ends_with('\n')) {
    throw MacroFileError("The file ends inside its heading" + LineText(LineOf(text, text.size())) +
                         ": it was cut short.");
  }
  return {true, text.size()};
}

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

MacroFileContents ReadMacroFile(const std::string& text) {
  const MacroFileForm form = FormOf(text);
  MacroFileContents contents;
  SettingsTextFile file;
  file.OpenText(text);
  MacroReader read(file);
  // Where text that belongs to no macro may begin; after a damaged macro, whose rest is not looked
  // at again, nowhere until the next macro is read.
  std::size_t unclaimed = form.bodyStart;
  bool looking = true;
  const auto claim = [&](std::size_t end) {
    if (looking &&
        !OnlyBlankOrComments(std::string_view(text).substr(unclaimed, end - unclaimed))) {
      contents.errors.push_back(Unclaimed(file, unclaimed));
    }
  };
  file.Seek(form.bodyStart);
  while (file.FindSection(kMacroSection)) {
    const std::size_t start = file.Tell();
    claim(start - std::string_view(kMacroSection).size() - 2);
    try {
      contents.macros.push_back(ReadMacro(read, form.extended));
      unclaimed = file.Tell();
      looking = true;
    } catch (const MacroFileError& error) {
      contents.errors.push_back(error.what());
      looking = false;
      // The damage may have read into the next macro: it starts after this one's header.
      file.Seek(start);
    }
  }
  claim(text.size());
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
