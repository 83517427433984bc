#include "sim/UnitFaultCommands.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

#include "sim/Fault.h"
#include "sim/SimulatedBus.h"
#include "sim/WireFormat.h"

namespace sim {
namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  for (std::size_t start = line.find_first_not_of(kBlanks); start != std::string_view::npos;
       start = line.find_first_not_of(kBlanks, start)) {
    const std::size_t end = std::min(line.find_first_of(kBlanks, start), line.size());
    words.push_back(line.substr(start, end - start));
    start = end;
  }
  return words;
}

std::optional<int> Address(std::string_view word) {
  int address = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), address);
  if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return address;
}

// The line as it can be shown on a terminal: bytes other than printable ASCII become '?'.
std::string Printable(std::string_view line) {
  std::string shown(line);
  std::ranges::replace_if(
      shown, [](char c) { return c < ' ' || c > '~'; }, '?');
  return shown;
}

UnitFaultCommands::Outcome Rejected(std::string message) { return {false, std::move(message)}; }

}  // namespace

UnitFaultCommands::Outcome UnitFaultCommands::Take(std::string_view line) {
  if (line.size() > kMaxLineBytes) return Rejected("line too long");
  const std::vector<std::string_view> words = Words(line);
  if (words.empty()) return {};
  const std::optional<int> address = words.size() == 2 ? Address(words[1]) : std::nullopt;
  const std::string_view action = words[0];
  if (!address || (action != "refuse" && action != "silent" && action != "answer")) {
    return Rejected("not a command: \"" + Printable(line) +
                    "\" (refuse, silent or answer, then a unit's address)");
  }
  const auto refusal = refusals_.find(*address);
  if (refusal == refusals_.end()) return Rejected("no unit at address " + std::to_string(*address));

  // Each line says what the unit does from then on, whatever it did before.
  const std::string unit = "unit " + std::to_string(*address);
  if (action == "refuse") {
    bus_.ReplaceUnitFaults(*address, {Fault::ErrorObject(refusal->second).ForOpcode(kOpcodeSet)});
    return {true, unit + " refuses every write"};
  }
  if (action == "silent") {
    bus_.ReplaceUnitFaults(*address, {Fault::Unheard()});
    return {true, unit + " hears nothing"};
  }
  bus_.ReplaceUnitFaults(*address, {});
  return {true, unit + " answers again"};
}

}  // namespace sim
